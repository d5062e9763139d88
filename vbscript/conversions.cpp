#include "vbscript/conversions.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/date.h"
#include "base/text.h"
#include "vbscript/errors.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Pad2(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

bool ParseRadix(std::string_view s, double& out) {
  // &H / &O literals in text: up to 16 bits read as Integer, up to 32 as Long (two's complement).
  if (s.size() < 3 || s[0] != '&') return false;
  int base = (s[1] == 'h' || s[1] == 'H') ? 16 : (s[1] == 'o' || s[1] == 'O') ? 8 : 0;
  if (base == 0) return false;
  uint64_t v = 0;
  auto r = std::from_chars(s.data() + 2, s.data() + s.size(), v, base);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || v > 0xFFFFFFFFull) return false;
  if (v <= 0xFFFF && base == 16 && s.size() <= 6)
    out = static_cast<int16_t>(static_cast<uint16_t>(v));
  else
    out = static_cast<int32_t>(static_cast<uint32_t>(v));
  return true;
}

}  // namespace

Variant ValueOf(const Variant& v) {
  if (!v.IsObject()) return v;
  Variant cur = v;
  for (int depth = 0; cur.IsObject(); ++depth) {
    if (cur.IsNothing()) Throw(kObjectNotSet);
    if (depth > 16) Throw(kTypeMismatch);
    auto object = cur.AsObject();
    cur = object->Invoke("", InvokeKind::Get, {});
  }
  return cur;
}

double RoundHalfEven(double x) {
  double r = std::nearbyint(x);  // default rounding mode: to nearest, ties to even
  return r;
}

Variant IntegerResult(int64_t x) {
  if (x >= -32768 && x <= 32767) return Variant::Integer(static_cast<int16_t>(x));
  if (x >= std::numeric_limits<int32_t>::min() && x <= std::numeric_limits<int32_t>::max())
    return Variant::Long(static_cast<int32_t>(x));
  return Variant::Double(static_cast<double>(x));
}

std::string FormatFloat(double x, int significant, char decimal) {
  if (x == 0) return "0";
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "1" + std::string(1, decimal) + "#INF" : "-1" + std::string(1, decimal) + "#INF";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, significant - 1);
  std::string_view sci(buf, r.ptr - buf);
  bool negative = sci[0] == '-';
  if (negative) sci.remove_prefix(1);
  size_t e = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exponent);
  std::string digits;
  for (char c : sci.substr(0, e))
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent < -4 || exponent >= significant) {
    out += digits[0];
    if (digits.size() > 1) {
      out += decimal;
      out.append(digits, 1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    std::string ex = std::to_string(std::abs(exponent));
    if (ex.size() < 2) ex = "0" + ex;
    return out + ex;
  }
  if (exponent < 0) {
    out += '0';
    out += decimal;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    return out + digits;
  }
  size_t intDigits = static_cast<size_t>(exponent) + 1;
  if (digits.size() <= intDigits) {
    out += digits;
    out.append(intDigits - digits.size(), '0');
    return out;
  }
  out.append(digits, 0, intDigits);
  out += decimal;
  out.append(digits, intDigits);
  return out;
}

std::string ShortDateText(double serial, const Locale& locale) {
  auto dt = DateTime::FromSerial(serial);
  if (!dt) Throw(kOverflow);
  int y = dt->Year(), m = dt->Month(), d = dt->Day();
  if (locale.dayFirst) return Pad2(d) + "/" + Pad2(m) + "/" + std::to_string(y);
  return std::to_string(m) + "/" + std::to_string(d) + "/" + std::to_string(y);
}

std::string LongTimeText(double serial, const Locale& locale) {
  auto dt = DateTime::FromSerial(serial);
  if (!dt) Throw(kOverflow);
  int h = dt->Hour();
  if (locale.hour24) return Pad2(h) + ":" + Pad2(dt->Minute()) + ":" + Pad2(dt->Second());
  int h12 = h % 12 == 0 ? 12 : h % 12;
  return std::to_string(h12) + ":" + Pad2(dt->Minute()) + ":" + Pad2(dt->Second()) + " " +
         (h < 12 ? locale.am : locale.pm);
}

std::string DateText(double serial, const Locale& locale) {
  auto dt = DateTime::FromSerial(serial);
  if (!dt) Throw(kOverflow);
  if (dt->days() == 0) return LongTimeText(serial, locale);
  if (!dt->HasTime()) return ShortDateText(serial, locale);
  return ShortDateText(serial, locale) + " " + LongTimeText(serial, locale);
}

std::string ToText(const Variant& v, const Locale& locale) {
  switch (v.type()) {
    case VarType::Empty: return {};
    case VarType::Null: Throw(kInvalidUseOfNull);
    case VarType::Boolean: return v.AsBoolean() ? "True" : "False";
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return std::to_string(v.AsInteger());
    case VarType::Single: return FormatFloat(v.AsDouble(), 7, locale.decimal);
    case VarType::Double: return FormatFloat(v.AsDouble(), 15, locale.decimal);
    case VarType::Currency: {
      std::string s = v.AsMoney().ToString();
      for (char& c : s)
        if (c == '.') c = locale.decimal;
      return s;
    }
    case VarType::Date: return DateText(v.AsDateSerial(), locale);
    case VarType::String: return v.AsString();
    case VarType::Object: return ToText(ValueOf(v), locale);
    case VarType::Error: return "Errore " + std::to_string(v.AsInteger());
    default: Throw(kTypeMismatch);
  }
}

std::string ToTextOrEmpty(const Variant& v, const Locale& locale) {
  if (v.IsNull()) return {};
  if (v.IsString()) return v.AsString();
  return ToText(v, locale);
}

bool ParseNumber(std::string_view s, const Locale& locale, double& out) {
  s = TrimBlanks(s);
  if (s.empty()) return false;
  if (s[0] == '&') return ParseRadix(s, out);
  std::string plain;
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') plain += s[i++];
  bool digits = false, seenDecimal = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      digits = true;
    } else if (c == locale.decimal && !seenDecimal) {
      plain += '.';
      seenDecimal = true;
    } else if (c == locale.group && !seenDecimal && digits && i + 1 < s.size() &&
               s[i + 1] >= '0' && s[i + 1] <= '9') {
      // thousands separators are accepted anywhere between digits of the integer part
    } else {
      break;
    }
  }
  if (!digits) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::string exp = "e";
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
    size_t start = j;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') exp += s[j++];
    if (j == start) return false;
    plain += exp;
    i = j;
  }
  if (i != s.size()) return false;
  const char* b = plain.data();
  if (*b == '+') ++b;
  auto r = std::from_chars(b, plain.data() + plain.size(), out);
  if (r.ec == std::errc::result_out_of_range) Throw(kOverflow);
  return r.ec == std::errc() && r.ptr == plain.data() + plain.size();
}

double ToDouble(const Variant& v, const Locale& locale) {
  switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: Throw(kInvalidUseOfNull);
    case VarType::Boolean: return v.AsBoolean() ? -1 : 0;
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return static_cast<double>(v.AsInteger());
    case VarType::Single:
    case VarType::Double: return v.AsDouble();
    case VarType::Currency: return v.AsMoney().ToDouble();
    case VarType::Date: return v.AsDateSerial();
    case VarType::String: {
      double d;
      if (!ParseNumber(v.AsString(), locale, d)) Throw(kTypeMismatch);
      return d;
    }
    case VarType::Object: return ToDouble(ValueOf(v), locale);
    default: Throw(kTypeMismatch);
  }
}

int32_t ToLong(const Variant& v, const Locale& locale) {
  if (v.type() == VarType::Long || v.type() == VarType::Integer || v.type() == VarType::Byte)
    return static_cast<int32_t>(v.AsInteger());
  double d = RoundHalfEven(ToDouble(v, locale));
  if (!(d >= -2147483648.0 && d <= 2147483647.0)) Throw(kOverflow);
  return static_cast<int32_t>(d);
}

int16_t ToInteger(const Variant& v, const Locale& locale) {
  double d = RoundHalfEven(ToDouble(v, locale));
  if (!(d >= -32768.0 && d <= 32767.0)) Throw(kOverflow);
  return static_cast<int16_t>(d);
}

uint8_t ToByte(const Variant& v, const Locale& locale) {
  // True is all bits set: the Byte with every bit set.
  if (v.type() == VarType::Boolean) return v.AsBoolean() ? 255 : 0;
  double d = RoundHalfEven(ToDouble(v, locale));
  if (!(d >= 0 && d <= 255)) Throw(kOverflow);
  return static_cast<uint8_t>(d);
}

Money ToCurrency(const Variant& v, const Locale& locale) {
  if (v.type() == VarType::Currency) return v.AsMoney();
  if (v.IsString()) {
    double d;
    if (!ParseNumber(v.AsString(), locale, d)) Throw(kTypeMismatch);
    try {
      return Money::FromDouble(d);
    } catch (const Error&) {
      Throw(kOverflow);
    }
  }
  double d = ToDouble(v, locale);
  try {
    return Money::FromDouble(d);
  } catch (const Error&) {
    Throw(kOverflow);
  }
}

bool ToBoolean(const Variant& v, const Locale& locale) {
  switch (v.type()) {
    case VarType::Boolean: return v.AsBoolean();
    case VarType::Null: Throw(kInvalidUseOfNull);
    case VarType::String: {
      std::string_view s = TrimBlanks(v.AsString());
      // "#TRUE#" and "#FALSE#" are how Booleans are written in exported text files.
      if (text::EqualNoCase(s, "true") || text::EqualNoCase(s, "vero") ||
          text::EqualNoCase(s, "#true#"))
        return true;
      if (text::EqualNoCase(s, "false") || text::EqualNoCase(s, "falso") ||
          text::EqualNoCase(s, "#false#"))
        return false;
      double d;
      if (!ParseNumber(s, locale, d)) Throw(kTypeMismatch);
      return d != 0;
    }
    case VarType::Object: return ToBoolean(ValueOf(v), locale);
    default: return ToDouble(v, locale) != 0;
  }
}

bool IsTrue(const Variant& v, const Locale& locale) {
  switch (v.type()) {
    case VarType::Boolean: return v.AsBoolean();
    case VarType::Null:
    case VarType::Empty: return false;
    case VarType::Object: return IsTrue(ValueOf(v), locale);
    default: return ToBoolean(v, locale);
  }
}

double ToDateSerial(const Variant& v, const Locale& locale) {
  switch (v.type()) {
    case VarType::Date: return v.AsDateSerial();
    case VarType::Null: Throw(kInvalidUseOfNull);
    case VarType::String: {
      double serial;
      if (ParseDate(v.AsString(), locale, serial)) return serial;
      double d;
      if (ParseNumber(v.AsString(), locale, d)) return d;
      Throw(kTypeMismatch);
    }
    case VarType::Object: return ToDateSerial(ValueOf(v), locale);
    default: {
      double d = ToDouble(v, locale);
      if (!DateTime::FromSerial(d)) Throw(kOverflow);
      return d;
    }
  }
}

namespace {

struct DateToken {
  bool isNumber;
  int value;
  int digits;
  std::string word;
};

int MonthFromWord(std::string_view word, const Locale& locale) {
  for (const Locale* l : {&locale, &Locale::English(), &Locale::Italian()}) {
    for (int i = 0; i < 12; ++i) {
      if (text::EqualNoCase(word, l->months[i]) || text::EqualNoCase(word, l->monthsShort[i]))
        return i + 1;
    }
  }
  return 0;
}

bool IsDayName(std::string_view word, const Locale& locale) {
  for (const Locale* l : {&locale, &Locale::English()}) {
    for (int i = 0; i < 7; ++i)
      if (text::EqualNoCase(word, l->days[i]) || text::EqualNoCase(word, l->daysShort[i]))
        return true;
  }
  return false;
}

int FullYear(const DateToken& t) {
  if (t.digits <= 2) return t.value < 30 ? 2000 + t.value : 1900 + t.value;
  return t.value;
}

bool ParseTime(std::string_view s, const Locale& locale, double& fraction) {
  int parts[3] = {0, 0, 0};
  int count = 0;
  size_t i = 0;
  while (i < s.size() && count < 3) {
    size_t start = i;
    int v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') v = v * 10 + (s[i++] - '0');
    if (i == start) return false;
    parts[count++] = v;
    if (i < s.size() && (s[i] == ':' || s[i] == '.') && count < 3) {
      ++i;
      continue;
    }
    break;
  }
  std::string_view rest = TrimBlanks(s.substr(i));
  int h = parts[0];
  if (!rest.empty()) {
    bool pm = text::EqualNoCase(rest, "pm") || text::EqualNoCase(rest, "p");
    bool am = text::EqualNoCase(rest, "am") || text::EqualNoCase(rest, "a");
    if (!pm && !am) return false;
    if (h < 1 || h > 12) return false;
    if (pm && h != 12) h += 12;
    if (am && h == 12) h = 0;
  }
  if (count < 2 && rest.empty()) return false;
  if (h > 23 || parts[1] > 59 || parts[2] > 59) return false;
  fraction = (h * 3600 + parts[1] * 60 + parts[2]) / 86400.0;
  return true;
}

bool DateFromParts(int y, int m, int d, double& serial) {
  auto dt = DateTime::FromParts(y, m, d);
  if (!dt) return false;
  serial = dt->days();
  return true;
}

}  // namespace

bool ParseDate(std::string_view s, const Locale& locale, double& serial) {
  s = TrimBlanks(s);
  if (s.empty()) return false;
  // The time begins at the number in front of the first ':'.
  std::string_view datePart = s, timePart;
  size_t colon = s.find(':');
  if (colon != std::string_view::npos) {
    size_t start = colon;
    while (start > 0 && s[start - 1] >= '0' && s[start - 1] <= '9') --start;
    datePart = TrimBlanks(s.substr(0, start));
    timePart = s.substr(start);
    while (!datePart.empty() && (datePart.back() == 'T' || datePart.back() == ','))
      datePart = TrimBlanks(datePart.substr(0, datePart.size() - 1));
  }
  double fraction = 0;
  if (!timePart.empty() && !ParseTime(timePart, locale, fraction)) return false;
  if (datePart.empty()) {
    if (timePart.empty()) return false;
    serial = fraction;
    return true;
  }
  std::vector<DateToken> tokens;
  char separator = 0;
  for (size_t i = 0; i < datePart.size();) {
    unsigned char c = datePart[i];
    if (c >= '0' && c <= '9') {
      int v = 0, n = 0;
      while (i < datePart.size() && datePart[i] >= '0' && datePart[i] <= '9') {
        if (++n > 4) return false;
        v = v * 10 + (datePart[i++] - '0');
      }
      tokens.push_back({true, v, n, {}});
    } else if (c == '/' || c == '-' || c == '.') {
      if (separator == 0) separator = static_cast<char>(c);
      ++i;
    } else if (c == ' ' || c == ',' || c == '\t') {
      ++i;
    } else {
      size_t start = i;
      while (i < datePart.size() && !(datePart[i] >= '0' && datePart[i] <= '9') &&
             datePart[i] != ' ' && datePart[i] != ',' && datePart[i] != '/' && datePart[i] != '-' &&
             datePart[i] != '.')
        ++i;
      std::string word(datePart.substr(start, i - start));
      if (IsDayName(word, locale)) continue;
      int month = MonthFromWord(word, locale);
      if (month == 0) return false;
      tokens.push_back({false, month, 0, word});
    }
  }
  double day = 0;
  std::vector<DateToken> numbers;
  int month = 0;
  for (const auto& t : tokens) {
    if (t.isNumber)
      numbers.push_back(t);
    else if (month == 0)
      month = t.value;
    else
      return false;
  }
  bool ok = false;
  if (month != 0) {
    if (numbers.size() != 2) return false;
    // "5 gennaio 2024" or "January 5, 2024"; a four-digit or >31 number is the year.
    const DateToken* y = &numbers[1];
    const DateToken* d = &numbers[0];
    if (numbers[0].digits > 2 || numbers[0].value > 31) std::swap(y, d);
    ok = DateFromParts(FullYear(*y), month, d->value, day);
  } else if (numbers.size() == 3) {
    if (numbers[0].digits > 2) {
      ok = DateFromParts(numbers[0].value, numbers[1].value, numbers[2].value, day);
    } else {
      int first = numbers[0].value, second = numbers[1].value;
      int year = FullYear(numbers[2]);
      int d = locale.dayFirst ? first : second, m = locale.dayFirst ? second : first;
      ok = DateFromParts(year, m, d, day) || DateFromParts(year, d, m, day);
    }
  } else if (numbers.size() == 2 && separator != '.') {
    // Day and month of the year of a reference date the caller cannot know: read as such with
    // the current year being unknown is not supported; a month and a four-digit year is.
    if (numbers[1].digits == 4) ok = DateFromParts(numbers[1].value, numbers[0].value, 1, day);
  }
  if (!ok) return false;
  serial = day + (day < 0 ? -fraction : fraction);
  return true;
}

}  // namespace tillbook::vbscript
