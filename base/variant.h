// Variant: the one value type shared by the record engine and the script interpreter, with the
// subtypes of script variants (Empty, Null, Boolean, Byte, Integer, Long, Single, Double,
// Currency, Date, String, Object, Error, arrays). Field values cross between rows and scripts
// unchanged: a money field is a Currency, a date field a Date, a yes/no field a Boolean.
//
// This class holds and converts values without locale; the script language's own rules
// (operators, Italian text conversions) live with the interpreter.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/money.h"

namespace tillbook {

class Variant;

// Subtype codes as scripts' VarType reports them; pinned, never renumber.
enum class VarType : uint16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,   // 16-bit
  Long = 3,      // 32-bit
  Single = 4,
  Double = 5,
  Currency = 6,  // Money
  Date = 7,
  String = 8,
  Object = 9,    // a host or script object, or Nothing
  Error = 10,
  Boolean = 11,
  Byte = 17,
  Array = 8192,  // flag: an array of Variants (VarType reports 8192 + 12)
};

// How a member of an object is reached: read (x = o.P), assignment (o.P = v), object assignment
// (Set o.P = v), or a call whose result is ignored or used.
enum class InvokeKind { Get, Let, Set, Call };

// An object reachable from scripts by member name: host objects of the program (data sets,
// report engines...) and script class instances derive from it.
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  // TypeName as scripts see it.
  virtual std::string TypeName() const = 0;
  // Reaches member `name` (case-insensitive; empty name: the default member). For Let and Set
  // the value is the last element of args. Arguments are passed by reference: a member may
  // write back into args. Throws Error with number 438 when there is no such member.
  virtual Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args);
  virtual bool HasMember(std::string_view name) const { return false; }
  // The items For Each walks over a collection object; false when the object is no collection.
  virtual bool Enumerate(std::vector<Variant>& items) { return false; }
};

// A script array: zero-based bounds in each dimension, elements in row-major order.
struct VarArray {
  VarArray() = default;
  VarArray(const VarArray&) = default;
  VarArray(VarArray&&) = default;
  VarArray& operator=(const VarArray&) = default;
  VarArray& operator=(VarArray&&) = default;
  // Releases the items through DropNested.
  ~VarArray();
  std::vector<int32_t> upper;  // upper bound of each dimension (-1: empty dimension)
  std::vector<Variant> items;
  size_t Dimensions() const { return upper.size(); }
};

// Releases an array or object value without a native call per level of nesting: the value is
// queued and released by the outermost DropNested running on this thread. Containers of values
// (arrays, script objects, dictionaries) call it for their values as they go, so that a script
// that built a million nested arrays or linked objects cannot exhaust the stack when they are
// dropped. Other values are left alone.
void DropNested(Variant& value);

class Variant {
 public:
  Variant() = default;  // Empty
  static Variant Null();
  static Variant Boolean(bool b);
  static Variant Byte(uint8_t v);
  static Variant Integer(int16_t v);
  static Variant Long(int32_t v);
  static Variant Single(float v);
  static Variant Double(double v);
  static Variant Currency(Money v);
  static Variant Date(DateTime v);
  static Variant DateSerial(double serial);  // keeps fractions of a second, as scripts do
  static Variant String(std::string v);
  static Variant Object(std::shared_ptr<tillbook::Object> o);  // null pointer: Nothing
  static Variant Nothing() { return Object(nullptr); }
  static Variant Error(int32_t code);
  static Variant Array(std::shared_ptr<VarArray> a);

  VarType type() const { return type_; }
  bool IsEmpty() const { return type_ == VarType::Empty; }
  bool IsNull() const { return type_ == VarType::Null; }
  bool IsString() const { return type_ == VarType::String; }
  bool IsObject() const { return type_ == VarType::Object; }
  bool IsNothing() const { return type_ == VarType::Object && !object_; }
  bool IsArray() const { return type_ == VarType::Array; }
  // Boolean, Byte, Integer, Long, Single, Double, Currency.
  bool IsNumeric() const;

  // Direct access; valid only for the matching subtype (asserted).
  bool AsBoolean() const;
  int64_t AsInteger() const;  // Byte, Integer, Long, Error code
  double AsDouble() const;    // Single, Double
  Money AsMoney() const;      // Currency
  double AsDateSerial() const;
  const std::string& AsString() const;
  const std::shared_ptr<tillbook::Object>& AsObject() const { return object_; }
  const std::shared_ptr<VarArray>& AsArray() const { return array_; }

  // Unchecked inline reads and in-place stores for the interpreter's hot paths: RawInteger for
  // Byte, Integer and Long, RawDouble for Single and Double; SetIntegral for those integer
  // subtypes (and Empty), SetFloating for Single and Double.
  int64_t RawInteger() const { return i_; }
  double RawDouble() const { return d_; }
  void SetIntegral(VarType t, int64_t v) {
    ReleasePayload();
    type_ = t;
    i_ = v;
  }
  // The text of a String value for appending in place; nullptr for other subtypes.
  std::string* MutableString() { return type_ == VarType::String ? &s_ : nullptr; }
  void SetFloating(VarType t, double v) {
    ReleasePayload();
    type_ = t;
    d_ = v;
  }

  // Locale-free conversions for the engine (scripts use their own). Empty converts to 0, "" or
  // false; Null is an error in all of them. Throws Error on a value that does not convert.
  double ToDouble() const;
  int64_t ToInt64() const;
  Money ToMoney() const;
  bool ToBool() const;  // numbers: non-zero; texts "true"/"false"/numbers
  DateTime ToDateTime() const;
  // Text with '.' decimals and ISO dates ("yyyy-mm-dd", with time when not midnight), "True"
  // and "False"; Empty and Null give "".
  std::string ToText() const;

  // Same subtype and same value (arrays and objects by identity). Not the script '='.
  bool operator==(const Variant& other) const;

 private:
  void ReleasePayload() {
    if (type_ == VarType::String) s_.clear();
    else if (type_ == VarType::Object) object_.reset();
    else if (type_ == VarType::Array) array_.reset();
  }

  VarType type_ = VarType::Empty;
  union {
    int64_t i_ = 0;  // Boolean (0/1), Byte, Integer, Long, Error, Currency raw
    double d_;       // Single, Double, Date serial
  };
  std::string s_;
  std::shared_ptr<tillbook::Object> object_;
  std::shared_ptr<VarArray> array_;
};

}  // namespace tillbook
