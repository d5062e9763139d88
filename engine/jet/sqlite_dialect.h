// The SQLite spelling of the translator's output. Relies on the collations JET_CI and JET_SORT
// (registered by the engine) and the functions of RegisterJetFunctions.
#pragma once

#include "engine/jet/dialect.h"

namespace tillbook::jet {

class SqliteDialect : public Dialect {
 public:
  std::string Placeholder(int number) const override;
  std::string CompareText(const std::string& operand) const override;
  std::string SortKey(const std::string& expr, bool isText, bool descending) const override;
  std::string DatePartOf(DatePart part, const std::string& date) const override;
  std::string DateAddDays(const std::string& date, const std::string& days) const override;
  std::string DateDiffDays(const std::string& a, const std::string& b) const override;
  std::string Like(const std::string& value, const std::string& pattern) const override;
  std::string Divide(const std::string& a, const std::string& b) const override;
  std::string Power(const std::string& a, const std::string& b) const override;
  std::string Floor(const std::string& x) const override;
  std::string ToText(const std::string& x) const override;
  std::string Upper(const std::string& x) const override;
  std::string Lower(const std::string& x) const override;
  std::string Length(const std::string& x) const override;
  std::string Position(const std::string& text, const std::string& needle) const override;
  std::string TrimBlanks(const std::string& x, int side) const override;
  std::string BoolToNumber(const std::string& x) const override;
  std::string MoneyToNumber(const std::string& raw) const override;
  std::string True() const override { return "1"; }
  std::string False() const override { return "0"; }
};

}  // namespace tillbook::jet
