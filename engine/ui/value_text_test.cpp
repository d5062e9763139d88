// The editor texts of values and what typed texts read as: the Italian forms, amounts kept
// exact to the ten-thousandth, blank texts by nullability, and texts refused per type. Also the
// attribute-bit rule and the panel plan a customer's definition gives.
#include <gtest/gtest.h>

#include "base/date.h"
#include "base/money.h"
#include "engine/ui/presentation.h"
#include "engine/ui/value_text.h"

namespace tillbook::engine::ui {
namespace {

Variant Amount(const char* text) {
  return Variant::Currency(*Money::Parse(text));
}

TEST(ValueTextTest, EditTextsAreItalian) {
  struct Case {
    const char* name;
    Variant value;
    FieldType type;
    const char* text;
  } cases[] = {
      {"amount with thousands", Amount("1234.5"), FieldType::Money, "1.234,50"},
      {"amount keeps ten-thousandths", Amount("0.1235"), FieldType::Money, "0,1235"},
      {"negative millions", Amount("-1234567.01"), FieldType::Money, "-1.234.567,01"},
      {"zero amount", Amount("0"), FieldType::Money, "0,00"},
      {"number", Variant::Double(12.5), FieldType::Number, "12,5"},
      {"integer", Variant::Long(42), FieldType::Integer, "42"},
      {"date", Variant::Date(*DateTime::FromParts(2026, 3, 5)), FieldType::Date, "05/03/2026"},
      {"date-time", Variant::Date(*DateTime::FromParts(2026, 3, 5, 8, 30)), FieldType::DateTime,
       "05/03/2026 08:30:00"},
      {"null date", Variant::Null(), FieldType::Date, ""},
      {"text", Variant::String("Via Roma, 1"), FieldType::Text, "Via Roma, 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(EditText(c.value, c.type), c.text) << c.name;
}

TEST(ValueTextTest, TypedTextsReadAsTheirType) {
  struct Case {
    const char* text;
    FieldType type;
    bool notNull;
    std::optional<Variant> value;
  } cases[] = {
      {"1.234,50", FieldType::Money, true, Amount("1234.5")},
      {"1234.5", FieldType::Money, true, Amount("1234.5")},
      {"1.234", FieldType::Money, true, Amount("1234")},      // grouped thousands, not 1,234
      {"0,00005", FieldType::Money, true, Amount("0.0000")},  // half-even at the fifth decimal
      {"-3,25", FieldType::Money, true, Amount("-3.25")},
      {"", FieldType::Money, true, Amount("0")},
      {"", FieldType::Money, false, Variant::Null()},
      {"12,5", FieldType::Number, true, Variant::Double(12.5)},
      {"7", FieldType::Integer, true, Variant::Long(7)},
      {"7,5", FieldType::Integer, true, std::nullopt},
      {"abc", FieldType::Number, true, std::nullopt},
      {"1,2,3", FieldType::Money, true, std::nullopt},
      {"31/12/2026", FieldType::Date, true, Variant::Date(*DateTime::FromParts(2026, 12, 31))},
      {"31/02/2026", FieldType::Date, true, std::nullopt},
      {"", FieldType::Date, true, Variant::Null()},
      {"sì", FieldType::YesNo, true, Variant::Boolean(true)},
      {"  spazi  ", FieldType::Text, true, Variant::String("  spazi  ")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::optional<Variant> got = ParseEditText(c.text, c.type, c.notNull);
    ASSERT_EQ(got.has_value(), c.value.has_value());
    if (got) {
      EXPECT_EQ(*got, *c.value);
    }
  }
}

TEST(ValueTextTest, AmountsSurviveTheirOwnEditText) {
  for (const char* raw : {"0.0001", "999999.9999", "-0.5", "1000000"}) {
    const Variant v = Amount(raw);
    EXPECT_EQ(ParseEditText(EditText(v, FieldType::Money), FieldType::Money, true), v) << raw;
  }
}

TEST(PresentationTest, OneBitPerView) {
  struct Case {
    int mask;
    bool grid;
    bool panel;
  } cases[] = {{kNotSet, false, false}, {0, false, false}, {1, true, false},
               {2, false, true},        {15, true, true},  {255, true, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(MaskCovers(c.mask, View::Grid), c.grid) << c.mask;
    EXPECT_EQ(MaskCovers(c.mask, View::Panel), c.panel) << c.mask;
  }
}

}  // namespace
}  // namespace tillbook::engine::ui
