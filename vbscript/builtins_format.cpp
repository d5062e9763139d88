// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime under the interpreter's locale.
#include <charconv>
#include <cmath>

#include "base/date.h"
#include "vbscript/builtins.h"
#include "vbscript/conversions.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript::builtins {
namespace {

using Args = std::span<Variant>;

constexpr int kUseDefault = -2;

bool Tristate(Machine& m, Args a, size_t i, bool fallback) {
  int32_t v = LongOr(m, a, i, kUseDefault);
  if (v == kUseDefault) return fallback;
  return v != 0;
}

// |x| with `digits` decimals: the number is first read as the 15 significant digits it is
// shown with, then rounded half away from zero, so FormatNumber(2.675, 2) gives 2.68 as the
// person expects, not what the binary fraction 2.67499... would.
std::string RoundedText(double x, int digits) {
  x = std::fabs(x);
  std::string out;
  if (x == 0) {
    out = "0";
  } else {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    std::string sci(buf, r.ptr);
    size_t e = sci.find('e');
    int exponent = std::stoi(sci.substr(e + 1));
    std::string d;
    for (char c : sci.substr(0, e))
      if (c != '.') d += c;
    int keep = exponent + 1 + digits;  // significant digits that stay
    if (keep < 0) {
      d = "0";
      exponent = 0;
    } else if (keep < static_cast<int>(d.size())) {
      bool up = d[static_cast<size_t>(keep)] >= '5';
      d.resize(static_cast<size_t>(keep));
      if (up) {
        int i = keep - 1;
        while (i >= 0 && d[static_cast<size_t>(i)] == '9') d[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
          d.insert(d.begin(), '1');
          ++exponent;
        } else {
          ++d[static_cast<size_t>(i)];
        }
      }
      if (d.empty()) {
        d = "0";
        exponent = 0;
      }
    }
    // digits d with the decimal point after exponent + 1 of them
    int intDigits = exponent + 1;
    if (intDigits <= 0) {
      out = "0." + std::string(static_cast<size_t>(-intDigits), '0') + d;
    } else if (static_cast<int>(d.size()) <= intDigits) {
      out = d + std::string(static_cast<size_t>(intDigits) - d.size(), '0');
    } else {
      out = d.substr(0, static_cast<size_t>(intDigits)) + "." + d.substr(static_cast<size_t>(intDigits));
    }
  }
  size_t dot = out.find('.');
  size_t have = dot == std::string::npos ? 0 : out.size() - dot - 1;
  if (static_cast<int>(have) > digits) out.resize(dot + (digits > 0 ? 1 + static_cast<size_t>(digits) : 0));
  if (digits > 0) {
    if (dot == std::string::npos) out += '.';
    while (static_cast<int>(out.size() - out.find('.') - 1) < digits) out += '0';
  }
  return out;
}

// Digits of |x| with `digits` decimals, thousands grouped or not, in the locale's marks.
std::string Fixed(double x, int digits, bool group, bool leadingDigit, const Locale& l) {
  std::string s = RoundedText(x, digits);
  size_t dot = s.find('.');
  std::string whole = s.substr(0, dot), frac = dot == std::string::npos ? "" : s.substr(dot + 1);
  if (group) {
    std::string grouped;
    int count = 0;
    for (size_t i = whole.size(); i-- > 0;) {
      grouped.insert(grouped.begin(), whole[i]);
      if (++count % 3 == 0 && i > 0) grouped.insert(grouped.begin(), l.group);
    }
    whole = grouped;
  }
  if (whole == "0" && !leadingDigit && !frac.empty()) whole.clear();
  return frac.empty() ? whole : whole + l.decimal + frac;
}

bool IsZeroText(const std::string& s) {
  for (char c : s)
    if (c >= '1' && c <= '9') return false;
  return true;
}

struct Options {
  int digits;
  bool leadingDigit, parens, group;
};

Options Read(Machine& m, Args a, bool parensDefault) {
  Options o;
  o.digits = LongOr(m, a, 1, -1);
  if (o.digits == -1) o.digits = 2;
  if (o.digits < 0 || o.digits > 99) Throw(kInvalidCall);
  o.leadingDigit = Tristate(m, a, 2, true);
  o.parens = Tristate(m, a, 3, parensDefault);
  o.group = Tristate(m, a, 4, true);
  return o;
}

double Amount(Machine& m, const Variant& arg) {
  Variant v = Val(arg);
  if (v.IsNull() || v.IsEmpty()) {
    if (v.IsNull()) Throw(kTypeMismatch);
    return 0;
  }
  return ToDouble(v, *m.locale);
}

std::string Signed(const std::string& body, bool negative, bool parens) {
  if (!negative) return body;
  return parens ? "(" + body + ")" : "-" + body;
}

Variant FormatNumber(Machine& m, Args a) {
  double x = Amount(m, a[0]);
  Options o = Read(m, a, false);
  std::string body = Fixed(x, o.digits, o.group, o.leadingDigit, *m.locale);
  return Variant::String(Signed(body, x < 0 && !IsZeroText(body), o.parens));
}

Variant FormatPercent(Machine& m, Args a) {
  double x = Amount(m, a[0]) * 100.0;
  Options o = Read(m, a, false);
  std::string body = Fixed(x, o.digits, o.group, o.leadingDigit, *m.locale) + "%";
  return Variant::String(Signed(body, x < 0 && !IsZeroText(body), o.parens));
}

Variant FormatCurrency(Machine& m, Args a) {
  double x = Amount(m, a[0]);
  const Locale& l = *m.locale;
  // English shows negative amounts in parentheses, Italian with a minus sign.
  Options o = Read(m, a, !l.dayFirst);
  std::string body = Fixed(x, o.digits, o.group, o.leadingDigit, l);
  body = l.dayFirst ? l.currencySymbol + " " + body : l.currencySymbol + body;
  return Variant::String(Signed(body, x < 0 && !IsZeroText(body), o.parens));
}

Variant FormatDateTime(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) Throw(kTypeMismatch);
  double serial = ToDateSerial(v, *m.locale);
  int format = LongOr(m, a, 1, 0);
  const Locale& l = *m.locale;
  auto dt = DateTime::FromSerial(serial);
  if (!dt) Throw(kInvalidCall);
  switch (format) {
    case 0: return Variant::String(DateText(serial, l));
    case 1: {
      std::string weekday = l.days[dt->Weekday() - 1];
      std::string month = l.months[dt->Month() - 1];
      if (l.longDateWeekdayComma)
        return Variant::String(weekday + ", " + month + " " + std::to_string(dt->Day()) + ", " +
                               std::to_string(dt->Year()));
      return Variant::String(weekday + " " + std::to_string(dt->Day()) + " " + month + " " +
                             std::to_string(dt->Year()));
    }
    case 2: return Variant::String(ShortDateText(serial, l));
    case 3: return Variant::String(LongTimeText(serial, l));
    case 4: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%02d:%02d", dt->Hour(), dt->Minute());
      return Variant::String(buf);
    }
    default: Throw(kInvalidCall);
  }
}

constexpr Builtin kList[] = {
    {"FormatNumber", 1, 5, FormatNumber},
    {"FormatCurrency", 1, 5, FormatCurrency},
    {"FormatPercent", 1, 5, FormatPercent},
    {"FormatDateTime", 1, 2, FormatDateTime},
};

}  // namespace

std::span<const Builtin> Formatting() { return kList; }

}  // namespace tillbook::vbscript::builtins
