#include "base/variant.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <deque>

#include "base/error.h"
#include "base/text.h"

namespace tillbook {
namespace {

// Script error numbers of the failures below, so that a conversion failing inside a script
// reports the code scripts expect.
constexpr int kOverflow = 6;
constexpr int kTypeMismatch = 13;
constexpr int kInvalidUseOfNull = 94;
constexpr int kMemberNotSupported = 438;

const char* SubtypeName(VarType type) {
  switch (type) {
    case VarType::Empty:
      return "Empty";
    case VarType::Null:
      return "Null";
    case VarType::Integer:
      return "Integer";
    case VarType::Long:
      return "Long";
    case VarType::Single:
      return "Single";
    case VarType::Double:
      return "Double";
    case VarType::Currency:
      return "Currency";
    case VarType::Date:
      return "Date";
    case VarType::String:
      return "String";
    case VarType::Object:
      return "Object";
    case VarType::Error:
      return "Error";
    case VarType::Boolean:
      return "Boolean";
    case VarType::Byte:
      return "Byte";
    case VarType::Array:
      return "Array";
  }
  return "?";
}

[[noreturn]] void ThrowMismatch(VarType from, const char* to, const std::string& text = {}) {
  std::string detail = std::string(SubtypeName(from)) + " cannot convert to " + to;
  if (!text.empty()) detail += ": \"" + text + "\"";
  throw Error("Tipo non corrispondente", detail, kTypeMismatch);
}

[[noreturn]] void ThrowNull(const char* to) {
  throw Error("Uso non valido di Null", std::string("Null cannot convert to ") + to,
              kInvalidUseOfNull);
}

[[noreturn]] void ThrowOverflow(const std::string& detail) {
  throw Error("Overflow", detail, kOverflow);
}

// A locale-free number: optional sign, digits with '.', optional exponent; blanks around are
// allowed. Infinity and NaN spellings are not numbers here.
bool ParseNumber(std::string_view s, double* value) {
  s = text::Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.find_first_of("0123456789") == std::string_view::npos ||
      s.find_first_of("iInN") != std::string_view::npos) {
    return false;
  }
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value);
  return ec == std::errc() && end == s.data() + s.size();
}

bool ParseInteger(std::string_view s, int64_t* value) {
  s = text::Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

std::string ShortestText(double x) {
  if (x == 0) return "0";  // no "-0"
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
  return std::string(buffer, end);
}

std::string ShortestText(float x) {
  if (x == 0) return "0";
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
  return std::string(buffer, end);
}

// Nearest integer, ties to even, as integer conversions of numbers round.
int64_t RoundToInt64(double x) {
  const double rounded = std::nearbyint(x);
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
    ThrowOverflow(ShortestText(x) + " does not fit a 64-bit integer");
  }
  return static_cast<int64_t>(rounded);
}

}  // namespace

Variant Object::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
  throw Error("Proprietà o metodo non supportati dall'oggetto: " + std::string(name),
              TypeName() + "." + std::string(name), kMemberNotSupported);
}

Variant Variant::Null() {
  Variant v;
  v.type_ = VarType::Null;
  return v;
}

Variant Variant::Boolean(bool b) {
  Variant v;
  v.type_ = VarType::Boolean;
  v.i_ = b ? 1 : 0;
  return v;
}

Variant Variant::Byte(uint8_t value) {
  Variant v;
  v.type_ = VarType::Byte;
  v.i_ = value;
  return v;
}

Variant Variant::Integer(int16_t value) {
  Variant v;
  v.type_ = VarType::Integer;
  v.i_ = value;
  return v;
}

Variant Variant::Long(int32_t value) {
  Variant v;
  v.type_ = VarType::Long;
  v.i_ = value;
  return v;
}

Variant Variant::Single(float value) {
  Variant v;
  v.type_ = VarType::Single;
  v.d_ = value;
  return v;
}

Variant Variant::Double(double value) {
  Variant v;
  v.type_ = VarType::Double;
  v.d_ = value;
  return v;
}

Variant Variant::Currency(Money value) {
  Variant v;
  v.type_ = VarType::Currency;
  v.i_ = value.raw();
  return v;
}

Variant Variant::Date(DateTime value) {
  return DateSerial(value.ToSerial());
}

Variant Variant::DateSerial(double serial) {
  Variant v;
  v.type_ = VarType::Date;
  v.d_ = serial;
  return v;
}

Variant Variant::String(std::string value) {
  Variant v;
  v.type_ = VarType::String;
  v.s_ = std::move(value);
  return v;
}

Variant Variant::Object(std::shared_ptr<tillbook::Object> o) {
  Variant v;
  v.type_ = VarType::Object;
  v.object_ = std::move(o);
  return v;
}

Variant Variant::Error(int32_t code) {
  Variant v;
  v.type_ = VarType::Error;
  v.i_ = code;
  return v;
}

Variant Variant::Array(std::shared_ptr<VarArray> a) {
  Variant v;
  v.type_ = VarType::Array;
  v.array_ = std::move(a);
  return v;
}

bool Variant::IsNumeric() const {
  switch (type_) {
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
      return true;
    default:
      return false;
  }
}

bool Variant::AsBoolean() const {
  assert(type_ == VarType::Boolean);
  return i_ != 0;
}

int64_t Variant::AsInteger() const {
  assert(type_ == VarType::Byte || type_ == VarType::Integer || type_ == VarType::Long ||
         type_ == VarType::Error);
  return i_;
}

double Variant::AsDouble() const {
  assert(type_ == VarType::Single || type_ == VarType::Double);
  return d_;
}

Money Variant::AsMoney() const {
  assert(type_ == VarType::Currency);
  return Money::FromRaw(i_);
}

double Variant::AsDateSerial() const {
  assert(type_ == VarType::Date);
  return d_;
}

const std::string& Variant::AsString() const {
  assert(type_ == VarType::String);
  return s_;
}

double Variant::ToDouble() const {
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
      ThrowNull("Double");
    // True is -1, as scripts and yes/no columns count it.
    case VarType::Boolean:
      return i_ != 0 ? -1 : 0;
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return static_cast<double>(i_);
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return d_;
    case VarType::Currency:
      return Money::FromRaw(i_).ToDouble();
    case VarType::String: {
      double value;
      if (!ParseNumber(s_, &value)) ThrowMismatch(type_, "Double", s_);
      return value;
    }
    default:
      ThrowMismatch(type_, "Double");
  }
}

int64_t Variant::ToInt64() const {
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
      ThrowNull("Long");
    case VarType::Boolean:
      return i_ != 0 ? -1 : 0;
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return i_;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return RoundToInt64(d_);
    case VarType::Currency:
      return HalfEven(Money::FromRaw(i_), 0).raw() / Money::kScale;
    case VarType::String: {
      // Integer text first, so that values beyond a double's 53 bits stay exact.
      int64_t exact;
      if (ParseInteger(s_, &exact)) return exact;
      double value;
      if (!ParseNumber(s_, &value)) ThrowMismatch(type_, "Long", s_);
      return RoundToInt64(value);
    }
    default:
      ThrowMismatch(type_, "Long");
  }
}

Money Variant::ToMoney() const {
  switch (type_) {
    case VarType::Empty:
      return Money();
    case VarType::Null:
      ThrowNull("Currency");
    case VarType::Boolean:
      return Money::FromUnits(i_ != 0 ? -1 : 0);
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return Money::FromUnits(i_);
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return Money::FromDouble(d_);
    case VarType::Currency:
      return Money::FromRaw(i_);
    case VarType::String: {
      // Decimal text converts exactly; only exponent forms go through a double.
      if (auto exact = Money::Parse(text::Trim(s_))) return *exact;
      double value;
      if (!ParseNumber(s_, &value)) ThrowMismatch(type_, "Currency", s_);
      return Money::FromDouble(value);
    }
    default:
      ThrowMismatch(type_, "Currency");
  }
}

bool Variant::ToBool() const {
  switch (type_) {
    case VarType::Empty:
      return false;
    case VarType::Null:
      ThrowNull("Boolean");
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Currency:
      return i_ != 0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return d_ != 0;
    case VarType::String: {
      const std::string_view trimmed = text::Trim(s_);
      if (text::EqualNoCase(trimmed, "true")) return true;
      if (text::EqualNoCase(trimmed, "false")) return false;
      double value;
      if (!ParseNumber(trimmed, &value)) ThrowMismatch(type_, "Boolean", s_);
      return value != 0;
    }
    default:
      ThrowMismatch(type_, "Boolean");
  }
}

DateTime Variant::ToDateTime() const {
  switch (type_) {
    case VarType::Empty:
      return DateTime();
    case VarType::Null:
      ThrowNull("Date");
    case VarType::String: {
      const std::string_view trimmed = text::Trim(s_);
      if (auto iso = DateTime::ParseIso(trimmed)) return *iso;
      if (auto jet = DateTime::ParseJet(trimmed)) return *jet;
      ThrowMismatch(type_, "Date", s_);
    }
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
    case VarType::Currency: {
      const double serial = ToDouble();
      if (auto date = DateTime::FromSerial(serial)) return *date;
      ThrowOverflow("date serial out of range: " + ShortestText(serial));
    }
    default:
      ThrowMismatch(type_, "Date");
  }
}

std::string Variant::ToText() const {
  switch (type_) {
    case VarType::Empty:
    case VarType::Null:
      return {};
    case VarType::Boolean:
      return i_ != 0 ? "True" : "False";
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return std::to_string(i_);
    case VarType::Error:
      return "Error " + std::to_string(i_);
    case VarType::Single:
      return ShortestText(static_cast<float>(d_));
    case VarType::Double:
      return ShortestText(d_);
    case VarType::Currency:
      return Money::FromRaw(i_).ToString();
    case VarType::Date: {
      const DateTime date = ToDateTime();
      return date.HasTime() ? date.ToIso() : date.ToIsoDate();
    }
    case VarType::String:
      return s_;
    default:
      ThrowMismatch(type_, "String");
  }
}

bool Variant::operator==(const Variant& other) const {
  if (type_ != other.type_) return false;
  switch (type_) {
    case VarType::Empty:
    case VarType::Null:
      return true;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return d_ == other.d_;
    case VarType::String:
      return s_ == other.s_;
    case VarType::Object:
      return object_ == other.object_;
    case VarType::Array:
      return array_ == other.array_;
    default:
      return i_ == other.i_;
  }
}

VarArray::~VarArray() {
  for (Variant& item : items) DropNested(item);
}

void DropNested(Variant& value) {
  if (!value.IsArray() && !value.IsObject()) return;
  struct Queue {
    std::deque<Variant> values;
    bool draining = false;
  };
  thread_local Queue queue;
  try {
    queue.values.push_back(std::move(value));
  } catch (...) {
    return;  // no room to queue it: its owner releases it as usual
  }
  if (queue.draining) return;
  queue.draining = true;
  // First in, first out: the items of one container go in their order.
  while (!queue.values.empty()) {
    Variant next = std::move(queue.values.front());
    queue.values.pop_front();
  }
  queue.draining = false;
}

}  // namespace tillbook
