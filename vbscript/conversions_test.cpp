#include "vbscript/conversions.h"

#include <gtest/gtest.h>

#include "vbscript/errors.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript {
namespace {

const Locale& it = Locale::Italian();
const Locale& en = Locale::English();

TEST(Conversions, DoublesAsText) {
  struct Case {
    double value;
    const char* italian;
    const char* english;
  } cases[] = {
      {0.1 + 0.2, "0,3", "0.3"},
      {1.0 / 3, "0,333333333333333", "0.333333333333333"},
      {2.0 / 3, "0,666666666666667", "0.666666666666667"},
      {2.0, "2", "2"},
      {-0.25, "-0,25", "-0.25"},
      {1e15, "1E+15", "1E+15"},
      {1234567890123456.0, "1,23456789012346E+15", "1.23456789012346E+15"},
      {1e-5, "1E-05", "1E-05"},
      {0.0001, "0,0001", "0.0001"},
      {123456789012345.0, "123456789012345", "123456789012345"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToText(Variant::Double(c.value), it), c.italian) << c.value;
    EXPECT_EQ(ToText(Variant::Double(c.value), en), c.english) << c.value;
  }
  EXPECT_EQ(ToText(Variant::Single(0.1f), it), "0,1");
  EXPECT_EQ(ToText(Variant::Currency(Money::FromRaw(125000)), it), "12,5");
  EXPECT_EQ(ToText(Variant::Boolean(true), it), "True");
}

TEST(Conversions, TextToNumberFollowsTheLocale) {
  struct Case {
    const char* text;
    const Locale* locale;
    bool ok;
    double value;
  } cases[] = {
      {"1,5", &it, true, 1.5},       {"1.5", &it, true, 15},        {"1.234,5", &it, true, 1234.5},
      {"1,5", &en, true, 15},        {"1.5", &en, true, 1.5},       {" 7 ", &it, true, 7},
      {"-5", &it, true, -5},         {"1E3", &it, true, 1000},      {"&H10", &it, true, 16},
      {"", &it, false, 0},           {"abc", &it, false, 0},        {"12a", &it, false, 0},
      {"1,5,5", &it, false, 0},
  };
  for (const auto& c : cases) {
    double d = 0;
    EXPECT_EQ(ParseNumber(c.text, *c.locale, d), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(d, c.value) << c.text;
    }
  }
}

TEST(Conversions, IntegerConversionsRoundHalfToEven) {
  struct Case {
    double value;
    int expected;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-0.5, 0}, {2.4999, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToInteger(Variant::Double(c.value), it), c.expected) << c.value;
    EXPECT_EQ(ToLong(Variant::Double(c.value), it), c.expected) << c.value;
  }
}

TEST(Conversions, Failures) {
  auto number = [](auto f) {
    try {
      f();
    } catch (const RuntimeError& e) {
      return e.number;
    }
    return 0;
  };
  EXPECT_EQ(number([] { ToInteger(Variant::Double(32767.5), it); }), kOverflow);
  EXPECT_EQ(number([] { ToInteger(Variant::Long(40000), it); }), kOverflow);
  EXPECT_EQ(number([] { ToByte(Variant::Integer(256), it); }), kOverflow);
  EXPECT_EQ(number([] { ToByte(Variant::Integer(-1), it); }), kOverflow);
  EXPECT_EQ(number([] { ToLong(Variant::Double(2147483648.0), it); }), kOverflow);
  EXPECT_EQ(number([] { ToText(Variant::Null(), it); }), kInvalidUseOfNull);
  EXPECT_EQ(number([] { ToDouble(Variant::String("abc"), it); }), kTypeMismatch);
  EXPECT_EQ(number([] { ToBoolean(Variant::String("forse"), it); }), kTypeMismatch);
  EXPECT_EQ(ToTextOrEmpty(Variant::Null(), it), "");
}

TEST(Conversions, DatesAsTextAndBack) {
  double jan5 = 45296;  // 2024-01-05
  double lunch = 45296 + (13 * 3600 + 5 * 60) / 86400.0;
  EXPECT_EQ(DateText(jan5, it), "05/01/2024");
  EXPECT_EQ(DateText(jan5, en), "1/5/2024");
  EXPECT_EQ(DateText(lunch, it), "05/01/2024 13:05:00");
  EXPECT_EQ(DateText(lunch, en), "1/5/2024 1:05:00 PM");
  EXPECT_EQ(DateText(0, en), "12:00:00 AM");
  EXPECT_EQ(DateText(0, it), "00:00:00");

  struct Case {
    const char* text;
    const Locale* locale;
    double serial;
  } cases[] = {
      {"05/01/2024", &it, jan5},       {"5/1/2024", &it, jan5},      {"1/5/2024", &en, jan5},
      {"2024-01-05", &it, jan5},       {"5 gennaio 2024", &it, jan5}, {"January 5, 2024", &en, jan5},
      {"05/01/2024 13:05", &it, lunch}, {"1/5/2024 1:05 PM", &en, lunch},
      // an impossible day/month order is read the other way round
      {"25/12/2023", &en, 45285},
  };
  for (const auto& c : cases) {
    double serial = -1;
    ASSERT_TRUE(ParseDate(c.text, *c.locale, serial)) << c.text;
    EXPECT_NEAR(serial, c.serial, 1e-9) << c.text;
  }
  double unused;
  EXPECT_FALSE(ParseDate("31/02/2024", it, unused));
  EXPECT_FALSE(ParseDate("domani", it, unused));
}

}  // namespace
}  // namespace tillbook::vbscript
