#include "engine/jet/sqlite_dialect.h"

namespace tillbook::jet {

std::string Dialect::Quote(std::string_view identifier) const {
  std::string out = "\"";
  for (char c : identifier) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string SqliteDialect::Placeholder(int number) const {
  return "?" + std::to_string(number);
}

std::string SqliteDialect::CompareText(const std::string& operand) const {
  return operand + " COLLATE JET_CI";
}

std::string SqliteDialect::SortKey(const std::string& expr, bool isText, bool descending) const {
  // SQLite already puts nulls first when ascending and last when descending, as Jet does.
  return expr + (isText ? " COLLATE JET_SORT" : "") + (descending ? " DESC" : " ASC");
}

std::string SqliteDialect::DatePartOf(DatePart part, const std::string& date) const {
  const char* format = "%d";
  switch (part) {
    case DatePart::Year:
      format = "%Y";
      break;
    case DatePart::Month:
      format = "%m";
      break;
    case DatePart::Day:
      format = "%d";
      break;
    case DatePart::Hour:
      format = "%H";
      break;
    case DatePart::Minute:
      format = "%M";
      break;
    case DatePart::Second:
      format = "%S";
      break;
    case DatePart::Weekday:
      format = "%w";
      break;
  }
  std::string sql = std::string("CAST(strftime('") + format + "', " + date + ") AS INTEGER)";
  return part == DatePart::Weekday ? "(" + sql + " + 1)" : sql;
}

std::string SqliteDialect::DateAddDays(const std::string& date, const std::string& days) const {
  return "strftime('%Y-%m-%d %H:%M:%S', julianday(" + date + ") + (" + days + "))";
}

std::string SqliteDialect::DateDiffDays(const std::string& a, const std::string& b) const {
  return "(julianday(" + a + ") - julianday(" + b + "))";
}

std::string SqliteDialect::Like(const std::string& value, const std::string& pattern) const {
  return "jet_like(" + value + ", " + pattern + ")";
}

std::string SqliteDialect::Divide(const std::string& a, const std::string& b) const {
  return "(CAST(" + a + " AS REAL) / NULLIF(" + b + ", 0))";
}

std::string SqliteDialect::Power(const std::string& a, const std::string& b) const {
  return "jet_pow(" + a + ", " + b + ")";
}

std::string SqliteDialect::Floor(const std::string& x) const {
  // Toward minus infinity; CAST alone truncates toward zero.
  return "(CAST(" + x + " AS INTEGER) - (" + x + " < CAST(" + x + " AS INTEGER)))";
}

std::string SqliteDialect::ToText(const std::string& x) const {
  return "CAST(" + x + " AS TEXT)";
}

std::string SqliteDialect::Upper(const std::string& x) const {
  return "jet_upper(" + x + ")";
}
std::string SqliteDialect::Lower(const std::string& x) const {
  return "jet_lower(" + x + ")";
}
std::string SqliteDialect::Length(const std::string& x) const {
  return "length(" + x + ")";
}

std::string SqliteDialect::Position(const std::string& text, const std::string& needle) const {
  return "instr(" + text + ", " + needle + ")";
}

std::string SqliteDialect::TrimBlanks(const std::string& x, int side) const {
  const char* fn = side < 0 ? "ltrim(" : side > 0 ? "rtrim(" : "trim(";
  return fn + x + ", ' ')";
}

std::string SqliteDialect::BoolToNumber(const std::string& x) const {
  return "(-" + x + ")";
}

std::string SqliteDialect::MoneyToNumber(const std::string& raw) const {
  return "(" + raw + " / 10000.0)";
}

}  // namespace tillbook::jet
