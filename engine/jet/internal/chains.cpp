// Chains of one associative operator (And, Or, '&'), however long: their operands in order,
// and SQL that stays shallow for the database whatever their number.
#include <algorithm>

#include "engine/jet/internal/compiler.h"

namespace tillbook::jet::internal {

std::vector<const Expr*> ChainOperands(const Expr& e, Op op) {
  std::vector<const Expr*> out;
  std::vector<const Expr*> pending{&e};
  while (!pending.empty()) {
    const Expr* x = pending.back();
    pending.pop_back();
    if (x->kind == ExprKind::Binary && x->op == op) {
      pending.push_back(x->args[1].get());
      pending.push_back(x->args[0].get());
    } else {
      out.push_back(x);
    }
  }
  return out;
}

std::string JoinGrouped(std::vector<std::string> terms, const std::string& separator) {
  constexpr size_t kGroup = 32;
  auto join = [&](size_t from, size_t to) {
    std::string s = "(";
    for (size_t i = from; i < to; ++i) s += (i > from ? separator : "") + terms[i];
    return s + ")";
  };
  while (terms.size() > kGroup) {
    std::vector<std::string> groups;
    for (size_t i = 0; i < terms.size(); i += kGroup) {
      size_t end = std::min(terms.size(), i + kGroup);
      groups.push_back(end - i == 1 ? std::move(terms[i]) : join(i, end));
    }
    terms = std::move(groups);
  }
  return join(0, terms.size());
}

// a & b & ...: Null only when every operand is Null, otherwise the texts with Null as "". The
// whole chain at once, so each operand appears twice in the SQL however long the chain.
Value Compiler::Concatenation(const Expr& e, Scope& scope) {
  std::vector<std::string> nullTests;
  std::vector<std::string> texts;
  for (const Expr* operand : ChainOperands(e, Op::Concat)) {
    Value v = AsText(Compile(*operand, scope));
    nullTests.push_back(v.sql + " IS NULL");
    texts.push_back("COALESCE(" + v.sql + ", '')");
  }
  Value out;
  out.type = LogicalType::Text;
  out.sql = "(CASE WHEN " + JoinGrouped(std::move(nullTests), " AND ") + " THEN NULL ELSE " +
            JoinGrouped(std::move(texts), " || ") + " END)";
  return out;
}

}  // namespace tillbook::jet::internal
