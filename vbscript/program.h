// What a compiled script text consists of: procedures, classes, the global statements and the
// global declarations, with the names the parser could not bind locally left for the linker.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "vbscript/ast.h"

namespace tillbook::vbscript {

struct Procedure {
  enum class Kind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };
  std::string name, key;
  Kind kind = Kind::Sub;
  std::vector<uint8_t> byVal;  // per parameter (1: ByVal); parameter i lives in slot i + 1
  int slotCount = 1;        // slot 0 holds the result
  ast::Block body;
  const ClassDef* owner = nullptr;
  bool isPublic = true;
  bool isDefault = false;
  int line = 0;
  // Whether the body is one assignment of plain arithmetic to the result (decided on first
  // use: 0 not yet, 1 yes, 2 no); such a Function is evaluated without a full call.
  mutable uint8_t numeric = 0;
  size_t ParamCount() const { return byVal.size(); }
};

struct ClassDef {
  std::string name, key;
  struct Field {
    std::string name;
    bool isPublic = true;
    std::vector<int32_t> dims;  // a fixed array field when not empty
    bool dynamicArray = false;
  };
  std::vector<Field> fields;
  std::unordered_map<std::string, int> fieldIndex;
  struct Member {
    const Procedure* method = nullptr;  // Function or Sub
    const Procedure* get = nullptr;
    const Procedure* let = nullptr;
    const Procedure* set = nullptr;
  };
  std::unordered_map<std::string, Member> members;
  const Procedure* initialize = nullptr;
  const Procedure* terminate = nullptr;
  std::string defaultKey;
  std::vector<std::unique_ptr<Procedure>> procs;
};

struct Unit {
  std::vector<std::unique_ptr<Procedure>> procs;
  std::vector<std::unique_ptr<ClassDef>> classes;
  ast::Block top;
  struct Global {
    std::string name, key;
    bool isConst = false;
    Variant value;
    int line = 0;
  };
  std::vector<Global> globals;
  std::vector<ast::Name*> unresolved;
  bool optionExplicit = false;
};

}  // namespace tillbook::vbscript
