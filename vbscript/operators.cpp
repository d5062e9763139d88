#include "vbscript/operators.h"

#include <cmath>
#include <limits>

#include "vbscript/conversions.h"
#include "vbscript/errors.h"
#include "vbscript/limits.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript {
namespace {

using ast::BinaryOp;

// Rank of a numeric operand in the widening order; Empty and Boolean count as Integer.
enum Rank : int {
  kByte = 1,
  kInteger = 2,
  kLong = 3,
  kSingle = 4,
  kDouble = 5,
  kCurrency = 6,
  kDate = 7
};

int RankOf(VarType t) {
  switch (t) {
    case VarType::Byte:
      return kByte;
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
      return kInteger;
    case VarType::Long:
      return kLong;
    case VarType::Single:
      return kSingle;
    case VarType::Double:
    case VarType::String:
      return kDouble;
    case VarType::Currency:
      return kCurrency;
    case VarType::Date:
      return kDate;
    default:
      Throw(kTypeMismatch);
  }
}

int64_t IntOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
      return 0;
    case VarType::Boolean:
      return v.AsBoolean() ? -1 : 0;
    default:
      return v.AsInteger();
  }
}

Variant FitInteger(int64_t x, int rank) {
  if (rank == kByte && x >= 0 && x <= 255) return Variant::Byte(static_cast<uint8_t>(x));
  if (rank <= kInteger && x >= -32768 && x <= 32767)
    return Variant::Integer(static_cast<int16_t>(x));
  if (x >= std::numeric_limits<int32_t>::min() && x <= std::numeric_limits<int32_t>::max())
    return Variant::Long(static_cast<int32_t>(x));
  return Variant::Double(static_cast<double>(x));
}

Variant CheckedDouble(double d) {
  if (!std::isfinite(d)) Throw(kOverflow);
  return Variant::Double(d);
}

Money MoneyOf(const Variant& v, const Locale& locale) {
  return ToCurrency(v, locale);
}

Variant CurrencyOp(BinaryOp op, const Variant& a, const Variant& b, const Locale& locale) {
  try {
    switch (op) {
      case BinaryOp::Add:
        return Variant::Currency(MoneyOf(a, locale) + MoneyOf(b, locale));
      case BinaryOp::Sub:
        return Variant::Currency(MoneyOf(a, locale) - MoneyOf(b, locale));
      default: {
        // Products go through doubles; an exact integer factor keeps the amount exact.
        const Variant& money = a.type() == VarType::Currency ? a : b;
        const Variant& other = a.type() == VarType::Currency ? b : a;
        if (other.type() == VarType::Currency)
          return Variant::Currency(money.AsMoney() * other.AsMoney().ToDouble());
        return Variant::Currency(money.AsMoney() * ToDouble(other, locale));
      }
    }
  } catch (const Error&) {
    Throw(kOverflow);
  }
}

Variant AddSubMul(BinaryOp op, const Variant& a, const Variant& b, const Locale& locale) {
  int ra = RankOf(a.type()), rb = RankOf(b.type());
  if (ra == kDate || rb == kDate) {
    double x = ToDouble(a, locale), y = ToDouble(b, locale);
    if (op == BinaryOp::Add) return Variant::DateSerial(x + y);
    if (op == BinaryOp::Sub)
      return (ra == kDate && rb == kDate) ? CheckedDouble(x - y) : Variant::DateSerial(x - y);
    return CheckedDouble(x * y);
  }
  int rank = std::max(ra, rb);
  if (rank <= kLong) {
    int64_t x = IntOf(a), y = IntOf(b);
    int64_t r = op == BinaryOp::Add ? x + y : op == BinaryOp::Sub ? x - y : x * y;
    return FitInteger(r, rank);
  }
  if (rank == kCurrency) return CurrencyOp(op, a, b, locale);
  double x = ToDouble(a, locale), y = ToDouble(b, locale);
  double r = op == BinaryOp::Add ? x + y : op == BinaryOp::Sub ? x - y : x * y;
  if (rank == kSingle && ra != kLong && rb != kLong) {
    float f = static_cast<float>(r);
    if (std::isfinite(f)) return Variant::Single(f);
  }
  return CheckedDouble(r);
}

}  // namespace

Variant Arithmetic(BinaryOp op, const Variant& a, const Variant& b, const Locale& locale,
                   size_t maxTextBytes) {
  VarType ta = a.type(), tb = b.type();
  // The common case first: two integers.
  if ((ta == VarType::Integer || ta == VarType::Long) &&
      (tb == VarType::Integer || tb == VarType::Long)) {
    int64_t x = a.AsInteger(), y = b.AsInteger();
    switch (op) {
      case BinaryOp::Add:
        return FitInteger(x + y, ta == VarType::Long || tb == VarType::Long ? kLong : kInteger);
      case BinaryOp::Sub:
        return FitInteger(x - y, ta == VarType::Long || tb == VarType::Long ? kLong : kInteger);
      case BinaryOp::Mul:
        return FitInteger(x * y, ta == VarType::Long || tb == VarType::Long ? kLong : kInteger);
      default:
        break;
    }
  }
  if (ta == VarType::Object || tb == VarType::Object)
    return Arithmetic(op, ValueOf(a), ValueOf(b), locale, maxTextBytes);
  if (ta == VarType::Null || tb == VarType::Null) return Variant::Null();
  if (ta == VarType::Array || tb == VarType::Array) Throw(kTypeMismatch);
  switch (op) {
    case BinaryOp::Add:
      if (ta == VarType::String && tb == VarType::String) {
        CheckTextSize(a.AsString().size() + b.AsString().size(), maxTextBytes);
        return Variant::String(a.AsString() + b.AsString());
      }
      if (ta == VarType::Empty && tb == VarType::String) return b;
      if (tb == VarType::Empty && ta == VarType::String) return a;
      [[fallthrough]];
    case BinaryOp::Sub:
    case BinaryOp::Mul:
      if (ta == VarType::String || tb == VarType::String) {
        Variant x = ta == VarType::String ? Variant::Double(ToDouble(a, locale)) : a;
        Variant y = tb == VarType::String ? Variant::Double(ToDouble(b, locale)) : b;
        return AddSubMul(op, x, y, locale);
      }
      return AddSubMul(op, a, b, locale);
    case BinaryOp::Div: {
      double x = ToDouble(a, locale), y = ToDouble(b, locale);
      if (y == 0) Throw(x == 0 ? kOverflow : kDivisionByZero);
      return CheckedDouble(x / y);
    }
    case BinaryOp::IntDiv:
    case BinaryOp::Mod: {
      bool wide = RankOf(ta) > kInteger || RankOf(tb) > kInteger;
      int64_t x = ToLong(a, locale), y = ToLong(b, locale);
      if (y == 0) Throw(kDivisionByZero);
      int64_t r = op == BinaryOp::IntDiv ? x / y : x % y;
      return FitInteger(r, wide ? kLong : kInteger);
    }
    case BinaryOp::Pow: {
      double x = ToDouble(a, locale), y = ToDouble(b, locale);
      if (x == 0 && y < 0) Throw(kInvalidCall);
      if (x < 0 && y != std::floor(y)) Throw(kInvalidCall);
      return CheckedDouble(std::pow(x, y));
    }
    default:
      Throw(kTypeMismatch);
  }
}

Variant Concat(const Variant& a, const Variant& b, const Locale& locale, size_t maxBytes) {
  if (a.IsNull() && b.IsNull()) return Variant::Null();
  if (a.IsString() && b.IsString()) {
    CheckTextSize(a.AsString().size() + b.AsString().size(), maxBytes);
    return Variant::String(a.AsString() + b.AsString());
  }
  std::string text = ToTextOrEmpty(a, locale), more = ToTextOrEmpty(b, locale);
  CheckTextSize(text.size() + more.size(), maxBytes);
  text += more;
  return Variant::String(std::move(text));
}

Variant Negate(const Variant& a, const Locale& locale) {
  switch (a.type()) {
    case VarType::Null:
      return a;
    case VarType::Empty:
      return Variant::Integer(0);
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
      return FitInteger(-IntOf(a), kInteger);
    case VarType::Long:
      return FitInteger(-a.AsInteger(), kLong);
    case VarType::Single:
      return Variant::Single(-static_cast<float>(a.AsDouble()));
    case VarType::Double:
      return Variant::Double(-a.AsDouble());
    case VarType::Currency:
      return Variant::Currency(-a.AsMoney());
    case VarType::Date:
      return Variant::DateSerial(-a.AsDateSerial());
    case VarType::String:
      return Variant::Double(-ToDouble(a, locale));
    case VarType::Object:
      return Negate(ValueOf(a), locale);
    default:
      Throw(kTypeMismatch);
  }
}

Variant Not(const Variant& a, const Locale& locale) {
  switch (a.type()) {
    case VarType::Null:
      return a;
    case VarType::Boolean:
      return Variant::Boolean(!a.AsBoolean());
    case VarType::Empty:
      return Variant::Integer(-1);
    case VarType::Byte:
      return Variant::Byte(static_cast<uint8_t>(~a.AsInteger()));
    case VarType::Integer:
      return Variant::Integer(static_cast<int16_t>(~a.AsInteger()));
    case VarType::Object:
      return Not(ValueOf(a), locale);
    default:
      return Variant::Long(~ToLong(a, locale));
  }
}

Variant Logic(BinaryOp op, const Variant& a, const Variant& b, const Locale& locale) {
  if (a.IsObject() || b.IsObject()) return Logic(op, ValueOf(a), ValueOf(b), locale);
  bool an = a.IsNull(), bn = b.IsNull();
  if (an || bn) {
    const Variant& other = an ? b : a;
    bool bothNull = an && bn;
    switch (op) {
      case BinaryOp::And:
        if (!bothNull && ToLong(other, locale) == 0)
          return other.type() == VarType::Boolean ? Variant::Boolean(false) : Variant::Integer(0);
        return Variant::Null();
      case BinaryOp::Or:
        if (!bothNull && other.type() == VarType::Boolean && other.AsBoolean()) return other;
        if (!bothNull && other.type() != VarType::Boolean && ToLong(other, locale) == -1)
          return other;
        return Variant::Null();
      case BinaryOp::Imp:
        // Null Imp True is True, False Imp Null is True; everything else with Null is Null.
        if (an && !bn && ToLong(b, locale) == -1) return b;
        if (bn && !an && ToLong(a, locale) == 0) return Variant::Boolean(true);
        return Variant::Null();
      default:
        return Variant::Null();
    }
  }
  if (a.type() == VarType::Boolean && b.type() == VarType::Boolean) {
    bool x = a.AsBoolean(), y = b.AsBoolean();
    switch (op) {
      case BinaryOp::And:
        return Variant::Boolean(x && y);
      case BinaryOp::Or:
        return Variant::Boolean(x || y);
      case BinaryOp::Xor:
        return Variant::Boolean(x != y);
      case BinaryOp::Eqv:
        return Variant::Boolean(x == y);
      default:
        return Variant::Boolean(!x || y);
    }
  }
  int32_t x = ToLong(a, locale), y = ToLong(b, locale);
  int32_t r;
  switch (op) {
    case BinaryOp::And:
      r = x & y;
      break;
    case BinaryOp::Or:
      r = x | y;
      break;
    case BinaryOp::Xor:
      r = x ^ y;
      break;
    case BinaryOp::Eqv:
      r = ~(x ^ y);
      break;
    default:
      r = ~x | y;
      break;
  }
  bool narrow = RankOf(a.type()) <= kInteger && RankOf(b.type()) <= kInteger &&
                a.type() != VarType::String && b.type() != VarType::String;
  if (narrow) return Variant::Integer(static_cast<int16_t>(r));
  return Variant::Long(r);
}

namespace {

int CompareText(const std::string& x, const std::string& y) {
  int c = x.compare(y);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareNumbers(const Variant& a, const Variant& b, const Locale& locale) {
  VarType ta = a.type(), tb = b.type();
  bool ia = ta == VarType::Integer || ta == VarType::Long || ta == VarType::Byte ||
            ta == VarType::Boolean || ta == VarType::Empty;
  bool ib = tb == VarType::Integer || tb == VarType::Long || tb == VarType::Byte ||
            tb == VarType::Boolean || tb == VarType::Empty;
  if (ia && ib) {
    int64_t x = IntOf(a), y = IntOf(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (ta == VarType::Currency && tb == VarType::Currency) {
    Money x = a.AsMoney(), y = b.AsMoney();
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if ((ta == VarType::Single && tb == VarType::Double) ||
      (ta == VarType::Double && tb == VarType::Single)) {
    // The Double is brought to the Single's precision: CSng(0.1) = 0.1.
    float x = static_cast<float>(a.AsDouble()), y = static_cast<float>(b.AsDouble());
    return x < y ? -1 : x > y ? 1 : 0;
  }
  double x = ToDouble(a, locale), y = ToDouble(b, locale);
  return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

int Compare(const Variant& a, const Variant& b, LiteralSides sides, const Locale& locale,
            bool& isNull) {
  isNull = false;
  VarType ta = a.type(), tb = b.type();
  if (ta == VarType::Object || tb == VarType::Object)
    return Compare(ValueOf(a), ValueOf(b), sides, locale, isNull);
  if (ta == VarType::Null || tb == VarType::Null) {
    isNull = true;
    return 0;
  }
  if (ta == VarType::Array || tb == VarType::Array) Throw(kTypeMismatch);
  if (ta == VarType::String && tb == VarType::String)
    return CompareText(a.AsString(), b.AsString());
  if (ta == VarType::Empty && tb == VarType::String) return CompareText("", b.AsString());
  if (tb == VarType::Empty && ta == VarType::String) return CompareText(a.AsString(), "");
  if (ta == VarType::String || tb == VarType::String) {
    bool stringLeft = ta == VarType::String;
    const std::string& s = stringLeft ? a.AsString() : b.AsString();
    const Variant& n = stringLeft ? b : a;
    bool numberIsLiteral = stringLeft ? sides.rightNumber : sides.leftNumber;
    bool stringIsLiteral = stringLeft ? sides.leftString : sides.rightString;
    if (numberIsLiteral) {
      double d;
      if (ParseNumber(s, locale, d)) {
        int c = CompareNumbers(Variant::Double(d), n, locale);
        return stringLeft ? c : -c;
      }
    } else if (stringIsLiteral) {
      int c = CompareText(s, ToText(n, locale));
      return stringLeft ? c : -c;
    }
    // A number held in a variable is always less than a string.
    return stringLeft ? 1 : -1;
  }
  return CompareNumbers(a, b, locale);
}

Variant Comparison(BinaryOp op, const Variant& a, const Variant& b, LiteralSides sides,
                   const Locale& locale) {
  bool isNull;
  int c = Compare(a, b, sides, locale, isNull);
  if (isNull) return Variant::Null();
  bool r;
  switch (op) {
    case BinaryOp::Eq:
      r = c == 0;
      break;
    case BinaryOp::Ne:
      r = c != 0;
      break;
    case BinaryOp::Lt:
      r = c < 0;
      break;
    case BinaryOp::Gt:
      r = c > 0;
      break;
    case BinaryOp::Le:
      r = c <= 0;
      break;
    default:
      r = c >= 0;
      break;
  }
  return Variant::Boolean(r);
}

Variant Apply(BinaryOp op, const Variant& a, const Variant& b, LiteralSides sides,
              const Locale& locale, size_t maxTextBytes) {
  switch (op) {
    case BinaryOp::Add:
    case BinaryOp::Sub:
    case BinaryOp::Mul:
    case BinaryOp::Div:
    case BinaryOp::IntDiv:
    case BinaryOp::Mod:
    case BinaryOp::Pow:
      return Arithmetic(op, a, b, locale, maxTextBytes);
    case BinaryOp::Concat:
      return Concat(a, b, locale, maxTextBytes);
    case BinaryOp::Eq:
    case BinaryOp::Ne:
    case BinaryOp::Lt:
    case BinaryOp::Gt:
    case BinaryOp::Le:
    case BinaryOp::Ge:
      return Comparison(op, a, b, sides, locale);
    case BinaryOp::Is: {
      if (!a.IsObject() || !b.IsObject()) Throw(kObjectRequired);
      return Variant::Boolean(a.AsObject() == b.AsObject());
    }
    default:
      return Logic(op, a, b, locale);
  }
}

}  // namespace tillbook::vbscript
