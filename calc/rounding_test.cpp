// Currency and price rounding: the tie rule, the steps, the ranges and rounding by excess.
#include "calc/rounding.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/error.h"
#include "core/configuration.h"

namespace tillbook::calc {
namespace {

Money M(const char* text) {
  return *Money::Parse(text);
}

TEST(RoundCurrencyTest, RoundsToTheFactorsUnitWithTiesToEven) {
  struct Case {
    const char* name;
    const char* amount;
    float factor;
    const char* expected;
  } cases[] = {
      {"zero", "0", kFactorPrice, "0"},
      {"cents down", "5.373", kFactorPrice, "5.37"},
      {"cents up", "5.376", kFactorPrice, "5.38"},
      {"tie to even up", "5.375", kFactorPrice, "5.38"},
      {"tie to even down", "5.385", kFactorPrice, "5.38"},
      {"negative tie", "-5.385", kFactorPrice, "-5.38"},
      {"negative away", "-5.386", kFactorPrice, "-5.39"},
      {"half a cent", "0.005", kFactorPrice, "0"},
      {"thousandths", "1.2346", kFactorVat, "1.235"},
      {"thousandths tie down", "1.2345", kFactorVat, "1.234"},
      {"thousandths tie up", "1.2355", kFactorVat, "1.236"},
      {"finer than money", "1.2345", kFactorUnitCost, "1.2345"},
      {"whole tens of cents", "1.25", 10.0f, "1.2"},
      {"whole tens of cents up", "1.26", 10.0f, "1.3"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RoundCurrency(M(c.amount), false, c.factor), M(c.expected)) << c.name;
}

TEST(RoundCurrencyTest, ConvertsBeforeRoundingAndRefusesABadFactor) {
  EXPECT_EQ(RoundCurrency(M("10"), true, kFactorPrice, 1.5), M("15"));
  EXPECT_EQ(RoundCurrency(M("1.003"), true, kFactorPrice, 2), M("2.01"));
  EXPECT_EQ(RoundCurrency(M("1.003"), false, kFactorPrice, 2), M("1"));
  EXPECT_THROW(RoundCurrency(M("1"), false, 0.0f), Error);
  EXPECT_THROW(RoundCurrency(M("1"), false, -1.0f), Error);
}

struct Range {
  const char* from;
  const char* to;
  const char* step;
};

core::Configuration Config(double general, bool excess, std::vector<Range> ranges = {}) {
  core::Configuration c;
  c.ValoreArrotondamento = general;
  c.ArrotondaInEccesso = excess;
  for (const Range& r : ranges) c.RoundRanges.emplace_back(M(r.from), M(r.to), M(r.step));
  return c;
}

TEST(RoundPriceTest, GeneralStepWithAndWithoutExcess) {
  struct Case {
    const char* name;
    double step;
    bool excess;
    const char* amount;
    const char* expected;
  } cases[] = {
      {"no step is the currency rounding", 0, true, "1.234", "1.23"},
      {"no step, tie to even", 0, false, "1.245", "1.24"},
      {"no step ignores excess", 0, true, "1.231", "1.23"},
      {"excess moves up", 0.05, true, "1.21", "1.25"},
      {"excess on a tie", 0.05, true, "1.225", "1.25"},
      {"excess on a multiple", 0.05, true, "1.25", "1.25"},
      {"nearest down", 0.05, false, "1.21", "1.2"},
      {"tie to even multiple 24", 0.05, false, "1.225", "1.2"},
      {"tie to even multiple 26", 0.05, false, "1.275", "1.3"},
      {"nearest up", 0.05, false, "1.23", "1.25"},
      {"zero with excess", 0.05, true, "0", "0"},
      {"negative, excess away from zero", 0.05, true, "-1.21", "-1.25"},
      {"negative tie without excess", 0.05, false, "-1.225", "-1.2"},
      {"negative nearest", 0.05, false, "-1.23", "-1.25"},
      {"whole euro step", 1, false, "2.5", "2"},
      {"whole euro step, excess", 1, true, "2.01", "3"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RoundPrice(M(c.amount), Config(c.step, c.excess)), M(c.expected)) << c.name;
}

TEST(RoundPriceTest, RangesChooseTheStep) {
  struct Case {
    const char* name;
    core::Configuration config;
    const char* amount;
    const char* expected;
  } cases[] = {
      {"range step instead of general", Config(0.05, false, {{"1", "2", "0.5"}}), "1.3", "1.5"},
      {"range tie to even", Config(0.05, false, {{"1", "2", "0.5"}}), "1.25", "1"},
      {"outside the range: general", Config(0.05, false, {{"1", "2", "0.5"}}), "2.51", "2.5"},
      {"upper bound inclusive", Config(0, false, {{"1", "2.2", "1"}}), "2.2", "2"},
      {"just above the upper bound", Config(0, false, {{"1", "2.2", "1"}}), "2.2001", "2.2"},
      {"lower bound inclusive", Config(0, true, {{"1.1", "2", "1"}}), "1.1", "2"},
      {"zero step range: currency, not general", Config(0.05, false, {{"0", "10", "0"}}), "1.234",
       "1.23"},
      {"first matching range wins", Config(0, false, {{"0", "10", "1"}, {"0", "10", "0.5"}}), "1.3",
       "1"},
      {"later range when the first misses",
       Config(0, false, {{"5", "10", "1"}, {"0", "10", "0.5"}}), "1.3", "1.5"},
      {"negative amount misses positive ranges", Config(0, true, {{"1", "10", "1"}}), "-1.4",
       "-1.4"},
      {"negative range, excess away from zero", Config(0, true, {{"-10", "-1", "1"}}), "-1.4",
       "-2"},
      {"negative range, nearest", Config(0, false, {{"-10", "-1", "1"}}), "-1.6", "-2"},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundPrice(M(c.amount), c.config), M(c.expected)) << c.name;
}

TEST(PercentTest, MarkupDiscountAndMarkedUpPrice) {
  EXPECT_DOUBLE_EQ(CalcMarkupPercent(M("0"), M("10")), 0);
  EXPECT_DOUBLE_EQ(CalcMarkupPercent(M("5"), M("6")), 20);
  EXPECT_DOUBLE_EQ(CalcMarkupPercent(M("10"), M("5")), -50);
  EXPECT_DOUBLE_EQ(CalcMarkupPercent(M("3"), M("4")), 100.0 / 3);  // unrounded
  EXPECT_DOUBLE_EQ(CalcDiscountPercent(M("0"), M("100")), 0);
  EXPECT_DOUBLE_EQ(CalcDiscountPercent(M("90"), M("0")), 0);
  EXPECT_DOUBLE_EQ(CalcDiscountPercent(M("90"), M("100")), 10);
  EXPECT_DOUBLE_EQ(CalcDiscountPercent(M("110"), M("100")), -10);
  EXPECT_DOUBLE_EQ(CalcPriceWithMarkup(10, 33), 13.3);
  EXPECT_DOUBLE_EQ(CalcPriceWithMarkup(1.99, 10), 2.19);  // 2.189 to the cent
  EXPECT_DOUBLE_EQ(CalcPriceWithMarkup(0, 50), 0);
  EXPECT_DOUBLE_EQ(CalcPriceWithMarkup(10, -100), 0);
}

}  // namespace
}  // namespace tillbook::calc
