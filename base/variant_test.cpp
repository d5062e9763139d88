#include "base/variant.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "base/error.h"

namespace tillbook {
namespace {

// Persisted in scripts (VarType) and files: the codes must never move.
TEST(VariantTest, SubtypeCodesArePinned) {
  const std::pair<Variant, int> cases[] = {
      {Variant(), 0},
      {Variant::Null(), 1},
      {Variant::Integer(1), 2},
      {Variant::Long(1), 3},
      {Variant::Single(1), 4},
      {Variant::Double(1), 5},
      {Variant::Currency(Money::FromUnits(1)), 6},
      {Variant::Date(DateTime()), 7},
      {Variant::String("x"), 8},
      {Variant::Nothing(), 9},
      {Variant::Error(5), 10},
      {Variant::Boolean(true), 11},
      {Variant::Byte(1), 17},
      {Variant::Array(std::make_shared<VarArray>()), 8192},
  };
  for (const auto& [value, code] : cases) {
    EXPECT_EQ(static_cast<int>(value.type()), code);
  }
}

TEST(VariantTest, ToTextForms) {
  const std::pair<Variant, const char*> cases[] = {
      {Variant(), ""},
      {Variant::Null(), ""},
      {Variant::Boolean(true), "True"},
      {Variant::Boolean(false), "False"},
      {Variant::Byte(255), "255"},
      {Variant::Integer(-32768), "-32768"},
      {Variant::Long(2147483647), "2147483647"},
      {Variant::Double(0.1 + 0.2), "0.30000000000000004"},
      {Variant::Double(12.5), "12.5"},
      {Variant::Double(-0.0), "0"},
      {Variant::Double(1e21), "1e+21"},
      {Variant::Single(0.1f), "0.1"},
      {Variant::Currency(*Money::Parse("12.50")), "12.5"},
      {Variant::Currency(Money::FromRaw(-1)), "-0.0001"},
      {Variant::Date(*DateTime::FromParts(2024, 1, 5)), "2024-01-05"},
      {Variant::Date(*DateTime::FromParts(2024, 1, 5, 13, 5)), "2024-01-05 13:05:00"},
      {Variant::DateSerial(-1.25), "1899-12-29 06:00:00"},
      {Variant::String("città"), "città"},
      {Variant::Error(5), "Error 5"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(value.ToText(), text) << static_cast<int>(value.type());
  }
}

TEST(VariantTest, NumericConversions) {
  struct Case {
    Variant value;
    double asDouble;
    int64_t asInt;
    int64_t moneyRaw;
    bool asBool;
  };
  const Case cases[] = {
      {Variant(), 0, 0, 0, false},
      {Variant::Boolean(true), -1, -1, -10000, true},
      {Variant::Boolean(false), 0, 0, 0, false},
      {Variant::Integer(-7), -7, -7, -70000, true},
      {Variant::Double(2.5), 2.5, 2, 25000, true},
      {Variant::Double(3.5), 3.5, 4, 35000, true},
      {Variant::Double(-2.5), -2.5, -2, -25000, true},
      {Variant::Double(0.00015), 0.00015, 0, 2, true},
      {Variant::Currency(Money::FromRaw(25000)), 2.5, 2, 25000, true},
      {Variant::Currency(Money::FromRaw(35000)), 3.5, 4, 35000, true},
      {Variant::Currency(Money::FromRaw(1)), 0.0001, 0, 1, true},
      {Variant::DateSerial(36526.75), 36526.75, 36527, 365267500, true},
      {Variant::String(" 12.5 "), 12.5, 12, 125000, true},
      {Variant::String("-1e3"), -1000, -1000, -10000000, true},
      {Variant::String("0"), 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    const std::string label = c.value.ToText();
    EXPECT_EQ(c.value.ToDouble(), c.asDouble) << label;
    EXPECT_EQ(c.value.ToInt64(), c.asInt) << label;
    EXPECT_EQ(c.value.ToMoney().raw(), c.moneyRaw) << label;
    EXPECT_EQ(c.value.ToBool(), c.asBool) << label;
  }
  // Texts beyond a double's precision stay exact.
  EXPECT_EQ(Variant::String("9007199254740993").ToInt64(), 9007199254740993);
  EXPECT_EQ(Variant::String("0.1").ToMoney() + Variant::String("0,2").ToMoney(),
            *Money::Parse("0.3"));
  EXPECT_TRUE(Variant::String("TRUE").ToBool());
  EXPECT_FALSE(Variant::String("false").ToBool());
}

TEST(VariantTest, ConversionFailuresCarryScriptNumbers) {
  struct Case {
    const char* name;
    std::function<void()> convert;
    int number;
    const char* message;
  };
  const Case cases[] = {
      {"Null to Double", [] { Variant::Null().ToDouble(); }, 94, "Uso non valido di Null"},
      {"Null to text-free bool", [] { Variant::Null().ToBool(); }, 94, "Uso non valido di Null"},
      {"word to Double", [] { Variant::String("abc").ToDouble(); }, 13, "Tipo non corrispondente"},
      {"empty text", [] { Variant::String("").ToInt64(); }, 13, "Tipo non corrispondente"},
      {"trailing junk", [] { Variant::String("12a").ToMoney(); }, 13, "Tipo non corrispondente"},
      {"infinity text", [] { Variant::String("inf").ToDouble(); }, 13, "Tipo non corrispondente"},
      {"word to bool", [] { Variant::String("yes").ToBool(); }, 13, "Tipo non corrispondente"},
      {"object to text", [] { Variant::Nothing().ToText(); }, 13, "Tipo non corrispondente"},
      {"array to number", [] { Variant::Array(std::make_shared<VarArray>()).ToDouble(); }, 13,
       "Tipo non corrispondente"},
      {"huge to integer", [] { Variant::Double(1e19).ToInt64(); }, 6, "Overflow"},
      {"huge to money", [] { Variant::Double(1e16).ToMoney(); }, 6,
       "Importo fuori dai limiti consentiti"},
      {"serial out of range", [] { Variant::Double(1e7).ToDateTime(); }, 6, "Overflow"},
      {"bad date text", [] { Variant::String("31/02/2024").ToDateTime(); }, 13,
       "Tipo non corrispondente"},
  };
  for (const auto& c : cases) {
    try {
      c.convert();
      ADD_FAILURE() << c.name << " converted";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.number) << c.name;
      EXPECT_EQ(e.message(), c.message) << c.name;
    }
  }
}

TEST(VariantTest, ToDateTime) {
  EXPECT_EQ(Variant().ToDateTime(), DateTime());
  EXPECT_EQ(Variant::Long(45292).ToDateTime().ToIsoDate(), "2024-01-01");
  EXPECT_EQ(Variant::String("2024-01-05 13:05:00").ToDateTime().ToIso(), "2024-01-05 13:05:00");
  EXPECT_EQ(Variant::String("#1/15/2024#").ToDateTime().ToIsoDate(), "2024-01-15");
  const DateTime when = *DateTime::FromParts(2024, 2, 29, 23, 59, 59);
  EXPECT_EQ(Variant::Date(when).ToDateTime(), when);
  // A serial with a fraction of a second keeps it until converted.
  const Variant precise = Variant::DateSerial(45292.0 + 0.6 / 86400);
  EXPECT_EQ(precise.AsDateSerial(), 45292.0 + 0.6 / 86400);
  EXPECT_EQ(precise.ToDateTime().ToIso(), "2024-01-01 00:00:01");
}

class Counter : public Object {
 public:
  std::string TypeName() const override { return "Counter"; }
};

TEST(VariantTest, EqualityIsSubtypeAndValue) {
  auto counter = std::make_shared<Counter>();
  auto array = std::make_shared<VarArray>();
  EXPECT_EQ(Variant::Long(1), Variant::Long(1));
  EXPECT_NE(Variant::Long(1), Variant::Integer(1));
  EXPECT_NE(Variant::Double(1), Variant::Single(1));
  EXPECT_EQ(Variant::String("a"), Variant::String("a"));
  EXPECT_NE(Variant::String("a"), Variant::String("A"));
  EXPECT_EQ(Variant(), Variant());
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_EQ(Variant::Object(counter), Variant::Object(counter));
  EXPECT_NE(Variant::Object(counter), Variant::Object(std::make_shared<Counter>()));
  EXPECT_EQ(Variant::Nothing(), Variant::Object(nullptr));
  EXPECT_EQ(Variant::Array(array), Variant::Array(array));
  EXPECT_NE(Variant::Array(array), Variant::Array(std::make_shared<VarArray>()));
  EXPECT_NE(Variant::Currency(Money::FromRaw(10000)), Variant::Long(1));
}

TEST(VariantTest, SubtypePredicatesAndAccess) {
  auto counter = std::make_shared<Counter>();
  const Variant object = Variant::Object(counter);
  EXPECT_TRUE(object.IsObject());
  EXPECT_FALSE(object.IsNothing());
  EXPECT_TRUE(Variant::Nothing().IsNothing());
  EXPECT_EQ(object.AsObject(), counter);
  EXPECT_TRUE(Variant::Currency(Money()).IsNumeric());
  EXPECT_TRUE(Variant::Boolean(false).IsNumeric());
  EXPECT_FALSE(Variant::Date(DateTime()).IsNumeric());
  EXPECT_FALSE(Variant::String("1").IsNumeric());
  EXPECT_FALSE(Variant::Null().IsNumeric());
  EXPECT_EQ(Variant::Error(53).AsInteger(), 53);
  EXPECT_EQ(Variant::Currency(Money::FromRaw(-5)).AsMoney().raw(), -5);

  // Copies share objects and arrays but not strings.
  Variant text = Variant::String("abc");
  Variant copy = text;
  text = Variant::Long(3);
  EXPECT_EQ(copy.AsString(), "abc");
  EXPECT_EQ(text.AsInteger(), 3);
}

TEST(VariantTest, ObjectWithoutMembersRefusesEveryInvoke) {
  Counter counter;
  std::vector<Variant> args = {Variant::Long(1)};
  try {
    counter.Invoke("Incrementa", InvokeKind::Call, args);
    FAIL() << "invoked a missing member";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 438);
    EXPECT_EQ(e.message(), "Proprietà o metodo non supportati dall'oggetto: Incrementa");
  }
  EXPECT_FALSE(counter.HasMember("Incrementa"));
}

}  // namespace
}  // namespace tillbook
