// Conversion, math, type inspection and array builtins.
#include <cmath>
#include <cstring>

#include "vbscript/builtins.h"
#include "vbscript/conversions.h"

namespace tillbook::vbscript::builtins {
namespace {

using Args = std::span<Variant>;

Variant CheckNull(const Variant& v) {
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  return v;
}

Variant CBool(Machine& m, Args a) { return Variant::Boolean(ToBoolean(Val(a[0]), *m.locale)); }
Variant CByte(Machine& m, Args a) { return Variant::Byte(ToByte(CheckNull(Val(a[0])), *m.locale)); }
Variant CInt(Machine& m, Args a) { return Variant::Integer(ToInteger(CheckNull(Val(a[0])), *m.locale)); }
Variant CLng(Machine& m, Args a) { return Variant::Long(ToLong(CheckNull(Val(a[0])), *m.locale)); }
Variant CDbl(Machine& m, Args a) { return Variant::Double(ToDouble(CheckNull(Val(a[0])), *m.locale)); }
Variant CSng(Machine& m, Args a) {
  double d = ToDouble(CheckNull(Val(a[0])), *m.locale);
  if (std::fabs(d) > 3.402823466e38) Throw(kOverflow);
  return Variant::Single(static_cast<float>(d));
}
Variant CCur(Machine& m, Args a) { return Variant::Currency(ToCurrency(CheckNull(Val(a[0])), *m.locale)); }
Variant CDate(Machine& m, Args a) {
  Variant v = CheckNull(Val(a[0]));
  return Variant::DateSerial(ToDateSerial(v, *m.locale));
}

// Int and Fix keep the subtype of their argument.
Variant Truncate(Machine& m, const Variant& v, bool floor) {
  auto f = [floor](double d) { return floor ? std::floor(d) : std::trunc(d); };
  switch (v.type()) {
    case VarType::Null:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte: return v;
    case VarType::Empty: return Variant::Integer(0);
    case VarType::Boolean: return Variant::Integer(v.AsBoolean() ? -1 : 0);
    case VarType::Single: return Variant::Single(static_cast<float>(f(v.AsDouble())));
    case VarType::Currency: {
      double d = f(v.AsMoney().ToDouble());
      return Variant::Currency(Money::FromDouble(d));
    }
    case VarType::Date: return Variant::DateSerial(f(v.AsDateSerial()));
    default: return Variant::Double(f(ToDouble(v, *m.locale)));
  }
}
Variant Int(Machine& m, Args a) { return Truncate(m, Val(a[0]), true); }
Variant Fix(Machine& m, Args a) { return Truncate(m, Val(a[0]), false); }

Variant Round(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  int32_t places = LongOr(m, a, 1, 0);
  if (places < 0) Throw(kInvalidCall);
  switch (v.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte: return v;
    case VarType::Empty: return Variant::Integer(0);
    case VarType::Boolean: return v;
    case VarType::Currency: return Variant::Currency(HalfEven(v.AsMoney(), std::min(places, 4)));
    case VarType::Single:
      return Variant::Single(static_cast<float>(HalfEven(v.AsDouble(), places)));
    default: return Variant::Double(HalfEven(ToDouble(v, *m.locale), places));
  }
}

Variant Abs(Machine& m, Args a) {
  Variant v = Val(a[0]);
  switch (v.type()) {
    case VarType::Null: return v;
    case VarType::Empty: return Variant::Integer(0);
    case VarType::Boolean: return Variant::Integer(v.AsBoolean() ? 1 : 0);
    case VarType::Byte: return v;
    case VarType::Integer:
    case VarType::Long: return IntegerResult(std::llabs(v.AsInteger()));
    case VarType::Currency: return v.AsMoney() < Money() ? Variant::Currency(-v.AsMoney()) : v;
    case VarType::Single: return Variant::Single(static_cast<float>(std::fabs(v.AsDouble())));
    default: return Variant::Double(std::fabs(ToDouble(v, *m.locale)));
  }
}

Variant Sgn(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  double d = ToDouble(v, *m.locale);
  return Variant::Integer(static_cast<int16_t>(d < 0 ? -1 : d > 0 ? 1 : 0));
}

Variant MathOf(Machine& m, const Variant& arg, double (*fn)(double), bool positive,
               bool nonNegative) {
  Variant v = Val(arg);
  if (v.IsNull()) return v;
  double d = ToDouble(v, *m.locale);
  if ((positive && d <= 0) || (nonNegative && d < 0)) Throw(kInvalidCall);
  double r = fn(d);
  if (!std::isfinite(r)) Throw(kOverflow);
  return Variant::Double(r);
}
Variant Sqr(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::sqrt(d); }, false, true); }
Variant Exp(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::exp(d); }, false, false); }
Variant Log(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::log(d); }, true, false); }
Variant Sin(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::sin(d); }, false, false); }
Variant Cos(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::cos(d); }, false, false); }
Variant Tan(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::tan(d); }, false, false); }
Variant Atn(Machine& m, Args a) { return MathOf(m, a[0], [](double d) { return std::atan(d); }, false, false); }

Variant Radix(Machine& m, Args a, int bits, const char* digits) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  int64_t n;
  uint32_t u;
  if (v.type() == VarType::Empty) return Variant::String("0");
  if (v.type() == VarType::Integer || v.type() == VarType::Byte || v.type() == VarType::Boolean) {
    n = v.type() == VarType::Boolean ? (v.AsBoolean() ? -1 : 0) : v.AsInteger();
    u = n < 0 ? static_cast<uint16_t>(n) : static_cast<uint32_t>(n);
  } else {
    n = ToLong(v, *m.locale);
    u = (n < 0 && n >= -32768 && v.type() != VarType::Long) ? static_cast<uint16_t>(n)
                                                              : static_cast<uint32_t>(n);
    if (n < 0 && n < -32768) u = static_cast<uint32_t>(n);
  }
  std::string out;
  int shift = bits;
  do {
    out.insert(out.begin(), digits[u & ((1u << shift) - 1)]);
    u >>= shift;
  } while (u != 0);
  return Variant::String(out);
}
Variant Hex(Machine& m, Args a) { return Radix(m, a, 4, "0123456789ABCDEF"); }
Variant Oct(Machine& m, Args a) { return Radix(m, a, 3, "01234567"); }

// Rnd is a 24-bit linear congruential generator, seeded the way the native engine seeds it,
// so that layouts drawing sample data with a fixed seed get the numbers they always got.
uint32_t NextRandom(uint32_t seed) { return (seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu; }

// Randomize mixes the high half of the number's Double bits into the middle of the state.
void Reseed(Machine& m, double number) {
  uint64_t bits;
  std::memcpy(&bits, &number, sizeof bits);
  auto high = static_cast<uint32_t>(bits >> 32);
  uint32_t mixed = ((high & 0xFFFFu) ^ (high >> 16)) << 8;
  m.rndSeed = (m.rndSeed & 0xFF0000FFu) | mixed;
}

Variant Randomize(Machine& m, Args a) {
  if (IsMissing(a, 0)) {
    double now = m.now();
    Reseed(m, (now - std::floor(now)) * 86400.0);  // the seconds since midnight, as Timer
  } else {
    Reseed(m, Number(m, Val(a[0])));
  }
  return {};
}

// Rnd(negative) restarts a sequence from that number's Single bits, Rnd(0) repeats the last
// number, anything else draws the next.
Variant Rnd(Machine& m, Args a) {
  if (!IsMissing(a, 0)) {
    double d = Number(m, Val(a[0]));
    if (d == 0) return Variant::Single(static_cast<float>(m.rndSeed) / 16777216.0f);
    if (d < 0) {
      float single = static_cast<float>(d);
      uint32_t bits;
      std::memcpy(&bits, &single, sizeof bits);
      m.rndSeed = (bits + (bits >> 24)) & 0xFFFFFFu;
    }
  }
  m.rndSeed = NextRandom(m.rndSeed);
  return Variant::Single(static_cast<float>(m.rndSeed) / 16777216.0f);
}

Variant RGB(Machine& m, Args a) {
  int32_t c[3];
  for (int i = 0; i < 3; ++i) {
    c[i] = Long(m, Val(a[i]));
    if (c[i] < 0) Throw(kInvalidCall);
    if (c[i] > 255) c[i] = 255;
  }
  return Variant::Long(c[0] + 256 * c[1] + 65536 * c[2]);
}

// The value of an argument for the Is* tests: an object without a value (Nothing, no default
// member) is simply not a number or a date.
bool TestedValue(const Variant& arg, Variant& v) {
  if (!arg.IsObject()) {
    v = arg;
    return true;
  }
  if (arg.IsNothing()) return false;
  try {
    v = ValueOf(arg);
    return true;
  } catch (const RuntimeError&) {
    return false;
  } catch (const Error&) {
    return false;
  }
}

Variant IsNumeric(Machine& m, Args a) {
  Variant v;
  if (!TestedValue(a[0], v)) return Variant::Boolean(false);
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: return Variant::Boolean(true);
    case VarType::String: {
      double d;
      try {
        return Variant::Boolean(ParseNumber(v.AsString(), *m.locale, d));
      } catch (const RuntimeError&) {
        return Variant::Boolean(true);  // too large for a Double, but a number
      }
    }
    default: return Variant::Boolean(false);
  }
}

Variant IsDate(Machine& m, Args a) {
  Variant v;
  if (!TestedValue(a[0], v)) return Variant::Boolean(false);
  if (v.type() == VarType::Date) return Variant::Boolean(true);
  if (!v.IsString()) return Variant::Boolean(false);
  double serial;
  return Variant::Boolean(ParseDate(v.AsString(), *m.locale, serial));
}

Variant IsEmpty(Machine&, Args a) { return Variant::Boolean(a[0].IsEmpty()); }
Variant IsNull(Machine&, Args a) { return Variant::Boolean(a[0].IsNull()); }
Variant IsArray(Machine&, Args a) { return Variant::Boolean(a[0].IsArray()); }
Variant IsObject(Machine&, Args a) { return Variant::Boolean(a[0].IsObject()); }

Variant VarTypeOf(Machine&, Args a) {
  const Variant& v = a[0];
  if (v.IsArray()) return Variant::Integer(8192 + 12);
  return Variant::Integer(static_cast<int16_t>(v.type()));
}

Variant TypeNameOf(Machine&, Args a) {
  const Variant& v = a[0];
  switch (v.type()) {
    case VarType::Empty: return Variant::String("Empty");
    case VarType::Null: return Variant::String("Null");
    case VarType::Integer: return Variant::String("Integer");
    case VarType::Long: return Variant::String("Long");
    case VarType::Single: return Variant::String("Single");
    case VarType::Double: return Variant::String("Double");
    case VarType::Currency: return Variant::String("Currency");
    case VarType::Date: return Variant::String("Date");
    case VarType::String: return Variant::String("String");
    case VarType::Object:
      return Variant::String(v.IsNothing() ? "Nothing" : v.AsObject()->TypeName());
    case VarType::Error: return Variant::String("Error");
    case VarType::Boolean: return Variant::String("Boolean");
    case VarType::Byte: return Variant::String("Byte");
    case VarType::Array: return Variant::String("Variant()");
  }
  return Variant::String("Unknown");
}

Variant MakeArrayOf(Machine&, Args a) {
  Variant result = MakeArray({static_cast<int32_t>(a.size()) - 1});
  auto& items = result.AsArray()->items;
  for (size_t i = 0; i < a.size(); ++i) items[i] = a[i];
  return result;
}

Variant Bound(Machine& m, Args a, bool upper) {
  const Variant& v = a[0];
  if (!v.IsArray()) Throw(kTypeMismatch);
  int32_t dim = LongOr(m, a, 1, 1);
  const VarArray& arr = *v.AsArray();
  if (dim < 1 || static_cast<size_t>(dim) > arr.Dimensions()) Throw(kSubscriptOutOfRange);
  return Variant::Long(upper ? arr.upper[static_cast<size_t>(dim - 1)] : 0);
}
Variant UBound(Machine& m, Args a) { return Bound(m, a, true); }
Variant LBound(Machine& m, Args a) { return Bound(m, a, false); }

constexpr Builtin kList[] = {
    {"CBool", 1, 1, CBool},
    {"CByte", 1, 1, CByte},
    {"CInt", 1, 1, CInt},
    {"CLng", 1, 1, CLng},
    {"CDbl", 1, 1, CDbl},
    {"CSng", 1, 1, CSng},
    {"CCur", 1, 1, CCur},
    {"CDate", 1, 1, CDate},
    {"Int", 1, 1, Int},
    {"Fix", 1, 1, Fix},
    {"Round", 1, 2, Round},
    {"Abs", 1, 1, Abs},
    {"Sgn", 1, 1, Sgn},
    {"Sqr", 1, 1, Sqr},
    {"Exp", 1, 1, Exp},
    {"Log", 1, 1, Log},
    {"Sin", 1, 1, Sin},
    {"Cos", 1, 1, Cos},
    {"Tan", 1, 1, Tan},
    {"Atn", 1, 1, Atn},
    {"Hex", 1, 1, Hex},
    {"Oct", 1, 1, Oct},
    {"Randomize", 0, 1, Randomize},
    {"Rnd", 0, 1, Rnd},
    {"RGB", 3, 3, RGB},
    {"IsNumeric", 1, 1, IsNumeric},
    {"IsDate", 1, 1, IsDate},
    {"IsEmpty", 1, 1, IsEmpty},
    {"IsNull", 1, 1, IsNull},
    {"IsArray", 1, 1, IsArray},
    {"IsObject", 1, 1, IsObject},
    {"VarType", 1, 1, VarTypeOf},
    {"TypeName", 1, 1, TypeNameOf},
    {"Array", 0, 100000, MakeArrayOf},
    {"UBound", 1, 2, UBound},
    {"LBound", 1, 2, LBound},
};

}  // namespace

std::span<const Builtin> Numbers() { return kList; }

}  // namespace tillbook::vbscript::builtins
