#include "base/money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/error.h"

namespace tillbook {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct DoubleCase {
  const char* name;
  double x;
  int64_t raw;
};

TEST(MoneyTest, FromDoubleRoundsDecimalTiesToEven) {
  const DoubleCase cases[] = {
      {"zero", 0.0, 0},
      {"negative zero", -0.0, 0},
      {"exact", 12.5, 125000},
      {"tie down to even", 0.00005, 0},
      {"tie up to even", 0.00015, 2},
      {"tie 0.00025", 0.00025, 2},
      {"negative tie", -0.00015, -2},
      {"negative tie to zero", -0.00005, 0},
      {"above tie", 0.000051, 1},
      {"below tie", 0.000049, 0},
      {"tie judged on the text, not the binary value", 1.00005, 10000},
      {"odd tie judged on the text", 1.00015, 10002},
      {"tenth plus fifth", 0.1 + 0.2, 3000},
      {"five decimals", 2.67495, 26750},
      {"tiny", 1e-300, 0},
      {"large", 123456789012.3456, 1234567890123456},
      {"largest whole", 922337203685477.0, 9223372036854770000},
      {"most negative whole", -922337203685477.0, -9223372036854770000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Money::FromDouble(c.x).raw(), c.raw) << c.name;
  }
}

TEST(MoneyTest, FromDoubleRefusesOutOfRangeAndNonFinite) {
  const double cases[] = {922337203685478.0, -922337203685478.0, 1e300,
                          std::numeric_limits<double>::infinity(), std::nan("")};
  for (double x : cases) {
    try {
      Money::FromDouble(x);
      ADD_FAILURE() << "accepted " << x;
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), "Importo fuori dai limiti consentiti") << x;
      EXPECT_EQ(e.number(), 6);
    }
  }
}

TEST(MoneyTest, HalfEvenOnDoublesJudgesTheShortestDecimalText) {
  struct Case {
    double x;
    int n;
    double expected;
  };
  const Case cases[] = {
      {2.675, 2, 2.68}, {2.665, 2, 2.66},  {0.5, 0, 0.0},
      {1.5, 0, 2.0},    {2.5, 0, 2.0},     {3.5, 0, 4.0},
      {-2.5, 0, -2.0},  {-3.5, 0, -4.0},   {0.125, 2, 0.12},
      {0.375, 2, 0.38}, {1.005, 2, 1.0},   {1.015, 2, 1.02},
      {2.4999, 0, 2.0}, {2.5001, 0, 3.0},  {1234.5678, 2, 1234.57},
      {125, -1, 120},   {135, -1, 140},    {1250, -2, 1200},
      {49, -2, 0},      {51, -2, 100},     {0.004, 2, 0},
      {0.005, 2, 0},    {0.0051, 2, 0.01}, {12.3, 5, 12.3},
      {1e20, 2, 1e20},  {-0.45, 1, -0.4},  {0.95, 1, 1.0},
      {9.995, 2, 10.0}, {1e-20, 2, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HalfEven(c.x, c.n), c.expected) << c.x << " to " << c.n;
  }
  EXPECT_FALSE(std::signbit(HalfEven(-0.4, 0)));  // never "-0"
  EXPECT_TRUE(std::isnan(HalfEven(std::nan(""), 2)));
  EXPECT_EQ(HalfEven(-1.7976931348623157e308, -308), -HUGE_VAL);
}

TEST(MoneyTest, HalfEvenOnMoneyIsExact) {
  struct Case {
    int64_t raw;
    int n;
    int64_t expected;
  };
  const Case cases[] = {
      {26750, 2, 26800},      {26650, 2, 26600},      {5000, 0, 0},      {15000, 0, 20000},
      {-25000, 0, -20000},    {-35000, 0, -40000},    {26751, 2, 26800}, {26749, 2, 26700},
      {12345, 4, 12345},      {12345, 3, 12340},      {12355, 3, 12360}, {-12355, 3, -12360},
      {1250000, -1, 1200000}, {1350000, -1, 1400000}, {kMax, -20, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HalfEven(Money::FromRaw(c.raw), c.n).raw(), c.expected) << c.raw << " to " << c.n;
  }
  EXPECT_THROW(HalfEven(Money::FromRaw(kMax), 0), Error);
}

TEST(MoneyTest, ParseAcceptsEitherDecimalMark) {
  struct Case {
    const char* text;
    int64_t raw;
  };
  const Case cases[] = {
      {"0", 0},
      {"12", 120000},
      {"12.5", 125000},
      {"12,5", 125000},
      {"-0,0001", -1},
      {"+3", 30000},
      {".5", 5000},
      {"5.", 50000},
      {"-0", 0},
      {"0.00005", 0},
      {"0.00015", 2},
      {"1.000050000001", 10001},
      {"2.67495", 26750},
      {"007.10", 71000},
      {"922337203685477.5807", kMax},
      {"-922337203685477.5808", kMin},
  };
  for (const auto& c : cases) {
    const auto parsed = Money::Parse(c.text);
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(parsed->raw(), c.raw) << c.text;
  }
  const char* malformed[] = {"",   "-",   ".",   "1.2.3", "1,2.3", "1 000",
                             " 1", "1e3", "abc", "12a",   "--1",   "922337203685477.5808"};
  for (const char* text : malformed) {
    EXPECT_FALSE(Money::Parse(text).has_value()) << text;
  }
}

TEST(MoneyTest, TextForms) {
  struct Case {
    int64_t raw;
    const char* plain;
    const char* twoDecimals;
  };
  const Case cases[] = {
      {0, "0", "0,00"},
      {125000, "12.5", "12,50"},
      {-1, "-0.0001", "0,00"},
      {30000, "3", "3,00"},
      {-26750, "-2.675", "-2,68"},
      {26650, "2.665", "2,66"},
      {kMax, "922337203685477.5807", "922337203685477,58"},
      {kMin, "-922337203685477.5808", "-922337203685477,58"},
  };
  for (const auto& c : cases) {
    const Money m = Money::FromRaw(c.raw);
    EXPECT_EQ(m.ToString(), c.plain);
    EXPECT_EQ(m.ToFixed(2, ','), c.twoDecimals) << c.plain;
  }
  EXPECT_EQ(Money::FromRaw(25000).ToFixed(0), "2");
  EXPECT_EQ(Money::FromRaw(35000).ToFixed(0), "4");
  EXPECT_EQ(Money::FromRaw(12345).ToFixed(4), "1.2345");
  EXPECT_EQ(Money::FromRaw(12345).ToFixed(3), "1.234");
}

TEST(MoneyTest, SumsAreExactAndOverflowIsAnError) {
  const Money tenth = *Money::Parse("0.1");
  const Money fifth = *Money::Parse("0.2");
  EXPECT_EQ(tenth + fifth, *Money::Parse("0.3"));
  EXPECT_EQ((fifth - tenth - tenth).raw(), 0);
  EXPECT_EQ((-tenth).raw(), -1000);
  Money sum;
  for (int i = 0; i < 10; ++i) sum += tenth;
  EXPECT_EQ(sum, Money::FromUnits(1));

  EXPECT_THROW(Money::FromRaw(kMax) + Money::FromRaw(1), Error);
  EXPECT_THROW(Money::FromRaw(kMin) - Money::FromRaw(1), Error);
  EXPECT_THROW(-Money::FromRaw(kMin), Error);
  EXPECT_THROW(Money::FromUnits(kMax / 1000), Error);
  EXPECT_EQ((Money::FromRaw(kMax) + Money::FromRaw(kMin)).raw(), -1);
}

TEST(MoneyTest, ProductsAndQuotientsRoundHalfEven) {
  EXPECT_EQ((Money::FromRaw(1) * 0.5).raw(), 0);
  EXPECT_EQ((Money::FromRaw(3) * 0.5).raw(), 2);
  EXPECT_EQ((Money::FromUnits(10) / 3.0).raw(), 33333);
  EXPECT_EQ((Money::FromUnits(-10) / 3.0).raw(), -33333);
  EXPECT_EQ(*Money::Parse("19.99") * 3.0, *Money::Parse("59.97"));
  EXPECT_DOUBLE_EQ(Money::FromUnits(3) / Money::FromUnits(4), 0.75);
  EXPECT_LT(Money::FromRaw(-1), Money());
}

}  // namespace
}  // namespace tillbook
