// How one database writes what the translator needs beyond plain SQL: identifier quoting,
// parameter placeholders, text comparison and sort collations, and the few functions whose
// spelling differs between backends. SQLite's is SqliteDialect; a PostgreSQL one implements the
// same interface.
#pragma once

#include <string>
#include <string_view>

namespace tillbook::jet {

enum class DatePart { Year, Month, Day, Hour, Minute, Second, Weekday };

class Dialect {
 public:
  virtual ~Dialect() = default;

  // "name" with embedded quotes doubled.
  virtual std::string Quote(std::string_view identifier) const;
  // Placeholder of the 1-based parameter `number`; the same number may appear more than once.
  virtual std::string Placeholder(int number) const = 0;
  // Text comparison operand: case-insensitive, accent-sensitive.
  virtual std::string CompareText(const std::string& operand) const = 0;
  // One ORDER BY key; nulls come first in ascending order.
  virtual std::string SortKey(const std::string& expr, bool isText, bool descending) const = 0;

  // Integer part of a date; Weekday counts 1 (Sunday) to 7.
  virtual std::string DatePartOf(DatePart part, const std::string& date) const = 0;
  virtual std::string DateAddDays(const std::string& date, const std::string& days) const = 0;
  virtual std::string DateDiffDays(const std::string& a, const std::string& b) const = 0;
  // The pattern follows the original wildcards (* ? # [..]); case-insensitive.
  virtual std::string Like(const std::string& value, const std::string& pattern) const = 0;
  // Never truncating, an empty result for a zero divisor.
  virtual std::string Divide(const std::string& a, const std::string& b) const = 0;
  virtual std::string Power(const std::string& a, const std::string& b) const = 0;
  virtual std::string Floor(const std::string& x) const = 0;
  virtual std::string ToText(const std::string& x) const = 0;
  virtual std::string Upper(const std::string& x) const = 0;
  virtual std::string Lower(const std::string& x) const = 0;
  virtual std::string Length(const std::string& x) const = 0;
  // 1-based position of `needle` in `text`, 0 when absent (both already folded by the caller).
  virtual std::string Position(const std::string& text, const std::string& needle) const = 0;
  // Blanks removed at the start, the end or both (side -1, 1, 0).
  virtual std::string TrimBlanks(const std::string& x, int side) const = 0;
  // A stored yes/no (true 1) as the original engine's number (true -1).
  virtual std::string BoolToNumber(const std::string& x) const = 0;
  // A money column's stored ten-thousandths as a number of units.
  virtual std::string MoneyToNumber(const std::string& raw) const = 0;
  virtual std::string True() const = 0;
  virtual std::string False() const = 0;
};

}  // namespace tillbook::jet
