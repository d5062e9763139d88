// The objects tillbook-cli hands to a script it runs: WScript (Echo, Arguments, Quit) and, with
// an archive, Database (OpenTable gives a data-set object).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/variant.h"

namespace tillbook::engine {
class Connection;
}

namespace tillbook::cli {

class WScriptObject : public Object {
 public:
  // `toText` converts a value as the script language does (Italian regional settings).
  WScriptObject(std::ostream& out, std::vector<std::string> arguments,
                std::function<std::string(const Variant&)> toText);
  std::string TypeName() const override { return "WScript"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
  bool HasMember(std::string_view name) const override;

 private:
  std::ostream& out_;
  std::shared_ptr<Object> arguments_;
  std::function<std::string(const Variant&)> toText_;
};

class DatabaseObject : public Object {
 public:
  explicit DatabaseObject(engine::Connection& connection) : connection_(connection) {}
  std::string TypeName() const override { return "Database"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
  bool HasMember(std::string_view name) const override;

 private:
  engine::Connection& connection_;
};

}  // namespace tillbook::cli
