// Instances of classes declared in scripts (Class ... End Class): fields, methods and
// properties reached by member name like any host object, Class_Initialize on creation and
// Class_Terminate when the last reference goes away.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/variant.h"
#include "vbscript/ast.h"

namespace tillbook::vbscript {

class Machine;
struct ClassDef;
struct Frame;

class ScriptObject : public Object {
 public:
  ScriptObject(const ClassDef& cls, std::shared_ptr<Machine*> handle);
  ~ScriptObject() override;

  std::string TypeName() const override;
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
  bool HasMember(std::string_view name) const override;

  const ClassDef& cls() const { return cls_; }
  Machine* machine() const { return *handle_; }
  std::vector<Variant> fields;

  // Member access from a running script, arguments still as expressions so that methods get
  // them by reference. `inside`: the caller runs in this very instance (private members ok).
  Variant Get(const std::string& key, bool hasParens, const ast::ExprList& args, Frame& f,
              bool inside);
  void Set(const std::string& key, const ast::ExprList& args, Variant value, bool isSet,
           Frame& f, bool inside);

 private:
  Variant InvokeMember(std::string_view name, InvokeKind kind, std::span<Variant> args);
  const ClassDef& cls_;
  std::shared_ptr<Machine*> handle_;
};

}  // namespace tillbook::vbscript
