// Period clauses: "Month(x) = m And Year(x) = y" and "Year(x) = y", as the main window writes
// them, become ranges on x so that an index on x can serve them; the rows are the same.
#include <algorithm>
#include <charconv>
#include <optional>

#include "base/text.h"
#include "engine/jet/internal/compiler.h"

namespace tillbook::jet::internal {

namespace {

// "Month(x) = m" or "Year(x) = y" with x a name and an integer literal: half of a period clause.
struct DatePartTest {
  const Expr* path = nullptr;
  bool month = false;
  int value = 0;
};

std::optional<DatePartTest> AsDatePartTest(const Expr& e) {
  if (e.kind != ExprKind::Binary || e.op != Op::Eq) return std::nullopt;
  for (int side = 0; side < 2; ++side) {
    const Expr& call = *e.args[side];
    const Expr& literal = *e.args[1 - side];
    if (call.kind != ExprKind::Call || call.args.size() != 1 ||
        call.args[0]->kind != ExprKind::Path || literal.kind != ExprKind::Literal ||
        literal.literal != LiteralKind::Number) {
      continue;
    }
    bool month = text::EqualNoCase(call.name, "Month");
    if (!month && !text::EqualNoCase(call.name, "Year")) continue;
    int value = 0;
    const std::string& t = literal.text;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || ptr != t.data() + t.size()) continue;
    return DatePartTest{call.args[0].get(), month, value};
  }
  return std::nullopt;
}

bool SamePath(const Expr& a, const Expr& b) {
  if (a.parts.size() != b.parts.size()) return false;
  for (size_t i = 0; i < a.parts.size(); ++i) {
    if (!text::EqualNoCase(a.parts[i], b.parts[i])) return false;
  }
  return true;
}

}  // namespace

// The period clauses "Month(x) = m And Year(x) = y" and "Year(x) = y" as a range on x, which an
// index on x can serve; the rows are the same. Empty when x is not a date or the numbers are
// not a real month.
std::string Compiler::PeriodRange(const Expr& path, int year, std::optional<int> month,
                                  Scope& scope) {
  std::optional<DateTime> start = DateTime::FromParts(year, month.value_or(1), 1);
  if (!start) return std::string();
  std::optional<DateTime> end = month ? start->AddMonths(1) : DateTime::FromParts(year + 1, 1, 1);
  if (!end) return std::string();
  return InFrames([&]() -> std::string {
    Value v = Compile(path, scope);
    if (v.type != LogicalType::Date) return std::string();
    int from = AddParam(Variant::Date(*start));
    int to = AddParam(Variant::Date(*end));
    return "(" + v.sql + " >= " + dialect_.Placeholder(from) + " AND " + v.sql + " < " +
           dialect_.Placeholder(to) + ")";
  });
}

// A chain of conditions joined by And; a month and a year test on the same date become one
// range. The partner of a test is looked for among the next few terms only, which is where
// period clauses put it, so a chain of thousands of date tests stays linear.
std::string Compiler::Conjunction(const Expr& e, Scope& scope) {
  constexpr size_t kPartnerWindow = 16;
  std::vector<const Expr*> terms = ChainOperands(e, Op::And);
  std::vector<std::optional<DatePartTest>> tests;
  for (const Expr* t : terms) tests.push_back(AsDatePartTest(*t));
  std::vector<bool> used(terms.size(), false);
  std::vector<std::string> parts;
  for (size_t i = 0; i < terms.size(); ++i) {
    if (used[i]) continue;
    std::string part;
    const size_t last = std::min(terms.size(), i + 1 + kPartnerWindow);
    for (size_t j = i + 1; tests[i] && j < last && part.empty(); ++j) {
      if (used[j] || !tests[j] || tests[j]->month == tests[i]->month ||
          !SamePath(*tests[j]->path, *tests[i]->path)) {
        continue;
      }
      const DatePartTest& year = tests[i]->month ? *tests[j] : *tests[i];
      const DatePartTest& month = tests[i]->month ? *tests[i] : *tests[j];
      part = PeriodRange(*year.path, year.value, month.value, scope);
      if (!part.empty()) used[j] = true;
    }
    if (part.empty()) part = Condition(*terms[i], scope, true);
    parts.push_back(std::move(part));
  }
  return JoinGrouped(std::move(parts), " AND ");
}

std::string Compiler::YearEquality(const Expr& e, Scope& scope) {
  std::optional<DatePartTest> test = AsDatePartTest(e);
  if (!test || test->month) return std::string();
  return PeriodRange(*test->path, test->value, std::nullopt, scope);
}

}  // namespace tillbook::jet::internal
