#include "engine/ui/value_text.h"

#include <charconv>
#include <cstdint>
#include <regex>

#include "base/date.h"
#include "base/money.h"
#include "base/text.h"

namespace tillbook::engine::ui {
namespace {

// Groups the integer digits of `plain` ("-1234,5") by thousands with '.'.
std::string GroupThousands(const std::string& plain) {
  const size_t start = plain[0] == '-' ? 1 : 0;
  size_t end = plain.find(',');
  if (end == std::string::npos) end = plain.size();
  std::string out = plain.substr(0, start);
  for (size_t i = start; i < end; ++i) {
    if (i > start && (end - i) % 3 == 0) out += '.';
    out += plain[i];
  }
  return out + plain.substr(end);
}

std::string MoneyText(Money m) {
  std::string s = m.ToFixed(4, ',');
  // Trailing zeros past the second decimal carry nothing: 12,5000 shows as 12,50.
  while (s.size() - s.find(',') > 3 && s.back() == '0') s.pop_back();
  return GroupThousands(s);
}

std::string NumberText(double d) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  std::string s(buffer, end);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

// The digits of an Italian or plain decimal text with '.' as the only decimal mark: with a
// comma, dots are thousands separators; without one, a dot is thousands grouping only when
// every group after it has three digits ("1.234.567"), else it is the decimal mark ("12.5").
std::optional<std::string> Normalise(std::string_view text) {
  std::string s(text::Trim(text));
  static const std::regex grouped(R"([-+]?\d{1,3}(\.\d{3})+)");
  if (s.find(',') != std::string::npos || std::regex_match(s, grouped)) {
    std::string out;
    for (char c : s)
      if (c != '.') out += c == ',' ? '.' : c;
    s = out;
  }
  static const std::regex number(R"([-+]?(\d+\.?\d*|\.\d+))");
  if (!std::regex_match(s, number)) return std::nullopt;
  if (s.front() == '+') s.erase(0, 1);
  return s;
}

std::optional<Variant> Blank(FieldType type, bool notNull) {
  if (!notNull) return Variant::Null();
  switch (type) {
    case FieldType::Money:
      return Variant::Currency(Money());
    case FieldType::Number:
    case FieldType::Millimetres:
      return Variant::Double(0);
    case FieldType::Integer:
    case FieldType::SmallInteger:
      return Variant::Long(0);
    case FieldType::YesNo:
      return Variant::Boolean(false);
    default:
      return Variant::Null();  // a date has no empty value
  }
}

}  // namespace

std::string EditText(const Variant& value, FieldType type) {
  if (value.IsNull() || value.IsEmpty()) return {};
  switch (type) {
    case FieldType::Money:
      return MoneyText(value.ToMoney());
    case FieldType::Number:
    case FieldType::Millimetres:
      return NumberText(value.ToDouble());
    case FieldType::Integer:
    case FieldType::SmallInteger:
      return std::to_string(value.ToInt64());
    case FieldType::Date:
      return value.ToDateTime().ToItalian(false);
    case FieldType::DateTime:
      return value.ToDateTime().ToItalian(true);
    case FieldType::YesNo:
      return value.ToBool() ? "Sì" : "No";
    default:
      return value.ToText();
  }
}

std::optional<Variant> ParseEditText(std::string_view text, FieldType type, bool notNull) {
  if (IsTextType(type)) return Variant::String(std::string(text));
  if (text::Trim(text).empty()) return Blank(type, notNull);
  if (type == FieldType::Date || type == FieldType::DateTime) {
    auto d = DateTime::ParseItalian(text::Trim(text));
    if (!d) return std::nullopt;
    return Variant::Date(type == FieldType::Date ? d->DatePart() : *d);
  }
  if (type == FieldType::YesNo) {
    const std::string t = text::Lower(text::Trim(text));
    if (t == "sì" || t == "si" || t == "1" || t == "true") return Variant::Boolean(true);
    if (t == "no" || t == "0" || t == "false") return Variant::Boolean(false);
    return std::nullopt;
  }
  auto digits = Normalise(text);
  if (!digits) return std::nullopt;
  if (type == FieldType::Money) {
    auto m = Money::Parse(*digits);
    if (!m) return std::nullopt;
    return Variant::Currency(*m);
  }
  if (type == FieldType::Integer || type == FieldType::SmallInteger) {
    if (digits->find('.') != std::string::npos) return std::nullopt;
    int64_t n = 0;
    auto [end, ec] = std::from_chars(digits->data(), digits->data() + digits->size(), n);
    if (ec != std::errc() || n < INT32_MIN || n > INT32_MAX) return std::nullopt;
    return Variant::Long(static_cast<int32_t>(n));
  }
  // from_chars reads '.' whatever the process's locale (the desktop may be Italian).
  double d = 0;
  auto [end, ec] = std::from_chars(digits->data(), digits->data() + digits->size(), d);
  if (ec != std::errc() || end != digits->data() + digits->size()) return std::nullopt;
  return Variant::Double(d);
}

std::string InvalidValueMessage(std::string_view text, std::string_view field) {
  return "Il valore «" + std::string(text) + "» non è valido per il campo «" + std::string(field) +
         "».";
}

}  // namespace tillbook::engine::ui
