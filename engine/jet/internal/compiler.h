// The translator's working state for one request: the table instances of the query and their
// joins, the bound parameters, the field-list aliases, and the typed SQL of each expression.
// Split over six files: names.cpp (name resolution and joins), expressions.cpp (operators,
// typing, sub-selects), chains.cpp (And, Or and '&' chains), functions.cpp (the function
// whitelist), periods.cpp (date ranges) and aliases.cpp.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/variant.h"
#include "engine/jet/ast.h"
#include "engine/jet/catalog.h"
#include "engine/jet/dialect.h"
#include "engine/jet/jet_error.h"
#include "engine/jet/translator.h"

namespace tillbook::jet::internal {

// Typed SQL of one expression. A Money value is always in stored ten-thousandths.
struct Value {
  std::string sql;
  LogicalType type = LogicalType::Null;
  // Set when the value is exactly one literal: its parameter (1-based) and kind, so that a
  // number can be rescaled exactly for a money comparison or a yes/no turned into -1.
  int param = 0;
  std::optional<LiteralKind> literal;
  std::string numberText;  // number literal as written, sign folded in
  // Set when a name path ends on a single reference: the stored link, for Is Null.
  std::string linkSql;
  // Set when the value is a stored column of the opened row (it may be written back).
  int typeCode = -1;
  bool ownColumn = false;
  std::string storageTable;
  std::string storageColumn;
};

struct Join {
  std::string sql;                   // "LEFT JOIN ... ON ..."
  std::vector<std::string> aliases;  // the aliases it introduces
  bool multiplies = false;           // a list: one result row per list row
};

struct JoinSpace {
  std::vector<Join> joins;  // in the order they were needed (a join follows those it uses)
  // " LEFT JOIN ..." for every join, or only for those that `sql` needs (directly or through
  // another join) and those that multiply rows.
  std::string Text() const;
  std::string TextFor(const std::string& sql) const;
};

// One occurrence of a table in the statement.
struct Instance {
  const TableInfo* table = nullptr;
  std::string alias;
  JoinSpace* space = nullptr;                      // where its base-table joins go
  std::map<std::string, std::string> baseAliases;  // storage table (folded) -> alias
  // The row identifier as the row that leads here stores it (its link or owner column), so
  // "Cliente.OID" or "Vendite.OID" need no join; empty for the query's own tables.
  std::string oidSql;
  // A referenced row is joined only when one of its own columns is used: a path to a field its
  // base table stores ("Cliente.RagioneSociale") joins the base directly on the link.
  bool joined = true;
  Join pending;
};

// A list path met in a condition: the condition is tested inside EXISTS over the list rows.
struct Frame {
  JoinSpace space;
  std::string from;  // "Table tN" (with the link table when the list is not owned)
  std::string link;  // correlation with the row holding the list
};

enum class Context { Fields, Sort, Filter, SubSelect };

struct Scope {
  Scope* parent = nullptr;  // the query around a sub-select
  Instance* root = nullptr;
  Context context = Context::Filter;
  bool aggregates = false;  // Sum/Count/... allowed here
  bool listsAsExists = true;
};

class Compiler {
 public:
  Compiler(const Catalog& catalog, const Dialect& dialect, DateTime now);

  const Catalog& catalog() const { return catalog_; }
  const Dialect& dialect() const { return dialect_; }
  std::vector<Variant>& params() { return params_; }

  // The opened table; its instance is "t0" and its joins go to mainSpace().
  Scope& Begin(const TableInfo& table);
  JoinSpace& mainSpace() { return mainSpace_; }

  // The text that offsets of the next expressions refer to (for messages).
  void SetText(std::string_view text) { text_ = text; }
  std::string_view text() const { return text_; }

  // Field-list aliases, resolved lazily (an item may use an alias defined after it).
  void SetAliases(const std::vector<FieldItem>* items, std::string_view fieldsText);
  bool HasAlias(std::string_view name) const;
  // "Codice AS Codice": the alias only names the field it shows, so inside the field list the
  // name still means the field, not the alias.
  bool NamesItsField(std::string_view alias) const;
  Value AliasValue(std::string_view name, size_t offset);
  // Forgets the compiled aliases (their SQL holds parameter numbers), keeping the joins they
  // made, so that a second statement can compile its own copy with its own parameters.
  void ForgetAliasValues();

  // Names resolved to a column of some row so far: an expression that adds none has the same
  // value on every row.
  int rowReferences() const { return rowReferences_; }

  // Any expression.
  Value Compile(const Expr& e, Scope& scope);
  // An expression used as a condition: list paths inside it become EXISTS tests. `strict`
  // refuses numbers (operands of Not/And/Or); otherwise a number is true when not zero.
  std::string Condition(const Expr& e, Scope& scope, bool strict);

  // Names (names.cpp).
  Value ResolvePath(const Expr& path, Scope& scope);
  // Where a path starts: a table instance and the index of the next part, or a whole value
  // (an alias, Now...).
  struct Head {
    Instance* inst = nullptr;
    size_t next = 0;
    std::optional<Value> value;
  };
  Head ResolveHead(const Expr& path, Scope& scope);
  Value WalkPath(const Expr& path, Instance* inst, size_t next, Scope& scope);
  std::string Column(Instance* inst, std::string_view column);
  Value FieldValue(Instance* inst, const FieldInfo& field, bool own);
  Value ReferenceValue(Instance* inst, const ReferenceHit& ref, Scope& scope, int depth = 0);
  // The '*' columns of the opened table: fields, references by display value, links.
  struct StarColumn {
    std::string name;
    Value value;
    bool link = false;
  };
  std::vector<StarColumn> StarColumns(Scope& scope);

  // Functions (functions.cpp).
  Value Call(const Expr& e, Scope& scope);

  // Helpers shared by the three parts.
  int AddParam(Variant v);
  [[noreturn]] void Fail(ErrorKind kind, const std::string& message, size_t offset,
                         size_t length) const;
  std::string At(size_t offset) const;
  Value AsNumber(Value v, const Expr& at);
  Value AsText(Value v) const;
  void ToMoney(Value& v, const Expr& at);
  // Brings two operands to one comparable kind; throws a type error when they have none.
  void Unify(Value& a, Value& b, const Expr& at);
  std::string AsCondition(const Value& v, bool strict, const Expr& at) const;
  Value NowValue(bool dateOnly);

 private:
  Instance* NewInstance(const TableInfo* table, JoinSpace* space);
  void EnsureJoined(Instance* inst);
  // The instance's row identifier: the link that leads to it when there is one (no join needed,
  // and an index on the link can serve a comparison).
  std::string Oid(Instance* inst);
  std::string NewAlias();
  Instance* Hop(Instance* from, const ReferenceHit& ref, Scope& scope, size_t offset);
  Instance* HopOwner(Instance* from, const OwnerInfo& owner);
  [[noreturn]] void Unknown(std::string_view name, const TableInfo& table, size_t offset);
  Value CompileNode(const Expr& e, Scope& scope);
  Value Binary(const Expr& e, Scope& scope);
  Value Concatenation(const Expr& e, Scope& scope);
  std::string Conjunction(const Expr& e, Scope& scope);
  std::string PeriodRange(const Expr& path, int year, std::optional<int> month, Scope& scope);
  // "Year(x) = y" as a range on x; empty when the text is not that.
  std::string YearEquality(const Expr& e, Scope& scope);
  // Runs `build` with a fresh collector of list paths and wraps its SQL in their EXISTS tests.
  std::string InFrames(const std::function<std::string()>& build);
  Value Comparison(Op op, Value l, Value r, const Expr& e);
  Value Arithmetic(Op op, Value l, Value r, const Expr& e);
  Value SubSelect(const Expr& e, Scope& scope);
  Value Literal(const Expr& e);

  const Catalog& catalog_;
  const Dialect& dialect_;
  DateTime now_;
  std::string_view text_;
  std::vector<Variant> params_;
  std::deque<Instance> instances_;
  std::deque<JoinSpace> spaces_;
  JoinSpace mainSpace_;
  std::deque<Scope> scopes_;
  int aliasCounter_ = 0;
  int rowReferences_ = 0;
  // Joined instances by (origin alias, hop): one join per path prefix.
  std::map<std::string, Instance*> joined_;
  // EXISTS frames of the conditions being compiled, innermost last.
  std::vector<std::map<std::string, std::pair<Frame*, Instance*>>> frameStack_;
  std::vector<std::vector<Frame*>> frameOrder_;
  std::deque<Frame> frames_;

  struct AliasState {
    const FieldItem* item = nullptr;
    int state = 0;  // 0 not compiled, 1 compiling, 2 done
    Value value;
  };
  std::map<std::string, AliasState> aliases_;  // key: folded alias
  std::string_view fieldsText_;
  Scope* mainScope_ = nullptr;
  Scope* fieldsScope_ = nullptr;
};

std::string TypeName(LogicalType t);

// The operands of a chain of `op` (a tree of Binary `op` nodes of any shape), left to right.
std::vector<const Expr*> ChainOperands(const Expr& e, Op op);
// "(a OR b OR c)". Long lists are grouped, each group in parentheses, so that neither the depth
// of the expression nor the nesting of parentheses grows with the number of terms.
std::string JoinGrouped(std::vector<std::string> terms, const std::string& separator);

}  // namespace tillbook::jet::internal
