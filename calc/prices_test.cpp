// Article and row prices: markup, VAT conversions, the price-list choice, row VAT, derived
// quantities, the average purchase cost and the unit charge cost.
#include "calc/prices.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/configuration.h"

namespace tillbook::calc {
namespace {

Money M(const char* text) {
  return *Money::Parse(text);
}

core::Configuration Plain() {
  return core::Configuration{};
}
core::Configuration Step(double step) {
  core::Configuration c;
  c.ValoreArrotondamento = step;
  return c;
}

TEST(SalePriceTest, MarkupOverCosts) {
  struct Case {
    const char* name;
    ArticleCosts costs;
    double markup;
    core::Configuration config;
    double expected;
  } cases[] = {
      {"all costs zero", {}, 50, Plain(), 0},
      {"only the charge cost, rounded", {M("0"), M("0"), M("1.234")}, 50, Plain(), 1.23},
      {"average cost first", {M("8"), M("10"), M("0")}, 20, Plain(), 12},
      {"purchase price without average", {M("10"), M("0"), M("0")}, 20, Plain(), 12},
      {"charge added after the markup", {M("0"), M("10"), M("0.5")}, 20, Plain(), 12.5},
      {"price rounding applies", {M("0"), M("10.1"), M("0")}, 10, Step(0.5), 11.5},
      {"negative markup", {M("0"), M("10"), M("0")}, -10, Plain(), 9},
      {"cents tie to even", {M("0"), M("0.5"), M("0.005")}, 0, Plain(), 0.5},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(CalcSalePriceFromMarkup(c.costs, c.markup, c.config), c.expected) << c.name;
}

TEST(SalePriceTest, NetAndFinalThroughTheRate) {
  EXPECT_DOUBLE_EQ(CalcNetFromFinalPrice(M("12.2"), 22), 10);
  EXPECT_DOUBLE_EQ(CalcNetFromFinalPrice(M("0"), 22), 0);
  EXPECT_DOUBLE_EQ(CalcNetFromFinalPrice(M("10"), 0), 10);
  EXPECT_DOUBLE_EQ(CalcNetFromFinalPrice(M("1"), 22), 0.82);  // 0.8197
  EXPECT_DOUBLE_EQ(CalcFinalFromSalePrice(M("10"), 22), 12.2);
  EXPECT_DOUBLE_EQ(CalcFinalFromSalePrice(M("1.99"), 22), 2.43);  // 2.4278
  EXPECT_DOUBLE_EQ(CalcFinalFromSalePrice(M("0"), 22), 0);
  EXPECT_DOUBLE_EQ(CalcFinalFromSalePrice(M("-10"), 22), -12.2);
}

TEST(SalePriceTest, MarkupFollowsATypedPriceUnlessItAlreadyGivesIt) {
  const ArticleCosts at3{M("0"), M("3"), M("0")};
  struct Case {
    const char* name;
    ArticleCosts costs;
    const char* price;
    double stored;
    core::Configuration config;
    std::optional<double> expected;
  } cases[] = {
      {"no average cost", {M("3"), M("0"), M("0")}, "4", 10, Plain(), std::nullopt},
      {"no price", at3, "0", 10, Plain(), std::nullopt},
      {"stored markup is exact", at3, "6", 100, Plain(), std::nullopt},
      {"new markup to four decimals", at3, "4", 10, Plain(), 33.3333},
      {"stored markup rounds to the price", at3, "4", 30, Step(0.5), std::nullopt},
      {"stored markup rounds elsewhere", at3, "4", 10, Step(0.5), 33.3333},
      {"price below cost", at3, "2", 10, Plain(), -33.3333},
  };
  for (const Case& c : cases) {
    const std::optional<double> got = MarkupForSalePrice(c.costs, M(c.price), c.stored, c.config);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
    if (got) {
      EXPECT_DOUBLE_EQ(*got, *c.expected) << c.name;
    }
  }
}

TEST(ListPriceTest, ChoosesThePriceOfTheDocumentsList) {
  const ArticleCosts costs{M("0"), M("10"), M("0")};
  struct Case {
    const char* name;
    ListPriceSources sources;
    double expected;
  } cases[] = {
      {"no list", {false, M("9"), true, M("15"), true, 50.0, 10, costs}, 0},
      {"personalised price first", {true, M("9"), true, M("15"), true, 50.0, 10, costs}, 9},
      {"personalised zero still wins", {true, M("0"), true, M("15"), true, 50.0, 10, costs}, 0},
      {"base list: article price", {true, std::nullopt, true, M("15"), true, 50.0, 10, costs}, 15},
      {"no sector on another list",
       {true, std::nullopt, false, M("15"), false, 50.0, 10, costs},
       0},
      {"sector markup", {true, std::nullopt, false, M("15"), true, 50.0, 10, costs}, 15},
      {"list markup without a sector line",
       {true, std::nullopt, false, M("15"), true, std::nullopt, 10, costs},
       11},
      {"sector markup of zero is a markup",
       {true, std::nullopt, false, M("15"), true, 0.0, 10, costs},
       10},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(GetListPrice(c.sources, Plain()), c.expected) << c.name;
}

TEST(ListPriceTest, SupplierPriceWhenPositive) {
  EXPECT_DOUBLE_EQ(GetSupplierPurchasePrice(M("5"), std::nullopt), 5);
  EXPECT_DOUBLE_EQ(GetSupplierPurchasePrice(M("5"), M("0")), 5);
  EXPECT_DOUBLE_EQ(GetSupplierPurchasePrice(M("5"), M("-1")), 5);
  EXPECT_DOUBLE_EQ(GetSupplierPurchasePrice(M("5"), M("4.5")), 4.5);
}

TEST(VatTest, RowAndDefaultVat) {
  struct Case {
    const char* name;
    const char* amount;
    double rate;
    const char* expected;
  } cases[] = {
      {"zero amount", "0", 22, "0"},
      {"zero rate", "100", 0, "0"},
      {"whole", "100", 22, "22"},
      {"to the thousandth", "10.005", 22, "2.201"},
      {"tie to even thousandth", "0.25", 21, "0.052"},
      {"negative", "-100", 22, "-22"},
      {"negative tie", "-0.25", 21, "-0.052"},
  };
  for (const Case& c : cases) EXPECT_EQ(CalcRowVat(M(c.amount), c.rate), M(c.expected)) << c.name;
  EXPECT_DOUBLE_EQ(CalcDefaultVat(M("50"), 20.0), 10);
  EXPECT_DOUBLE_EQ(CalcDefaultVat(M("50"), std::nullopt), 0);
}

TEST(QuantityTest, FromAmount) {
  struct Case {
    const char* name;
    const char* amount;
    const char* price;
    bool decimals;
    double expected;
  } cases[] = {
      {"whole units, tie down to even", "5", "2", false, 2},
      {"whole units, tie up to even", "7", "2", false, 4},
      {"three decimals", "10", "3", true, 3.333},
      {"three decimals, tie to even", "0.0125", "1", true, 0.012},
      {"zero price", "10", "0", true, 0},
      {"negative price", "10", "-2", false, 0},
      {"negative amount", "-6", "2", false, -3},
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(CalcQuantityFromAmount(M(c.amount), M(c.price), c.decimals), c.expected)
        << c.name;
}

TEST(AverageCostTest, FollowsLoadsInAndOut) {
  const AverageCost at5{M("5"), M("5")};
  // Stock 10 at 5.00, a load of 10 at 7.00 (stock now 20): 6.00.
  auto in = UpdateAveragePurchaseCost(at5, {M("7"), 10, 10, 20}, false);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->PrezzoAcquistoMedio, M("6"));
  EXPECT_EQ(in->PrezzoAcquisto, M("5"));
  // Removing it again (stock 10): back to 5.00.
  auto out = UpdateAveragePurchaseCost(*in, {M("7"), 10, 10, 10}, true);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->PrezzoAcquistoMedio, M("5"));

  struct Case {
    const char* name;
    AverageCost article;
    PurchaseMovement movement;
    bool reverse;
    std::optional<AverageCost> expected;
  } cases[] = {
      {"no price on the row", at5, {M("0"), 10, 10, 20}, false, std::nullopt},
      {"no quantity on the row", at5, {M("7"), 0, 0, 20}, false, std::nullopt},
      {"empty stock takes the row price",
       at5,
       {M("7"), 10, 10, 0},
       false,
       AverageCost{M("5"), M("7")}},
      {"no cost yet sets both",
       {M("0"), M("0")},
       {M("7"), 10, 10, 20},
       false,
       AverageCost{M("7"), M("7")}},
      {"purchase price stands in for the average",
       {M("5"), M("0")},
       {M("7"), 10, 10, 20},
       false,
       AverageCost{M("5"), M("6")}},
      {"stock not above the row quantity",
       at5,
       {M("7"), 10, 10, 10},
       false,
       AverageCost{M("5"), M("7")}},
      {"a third at a new price", at5, {M("6"), 1, 1, 3}, false, AverageCost{M("5"), M("5.3333")}},
  };
  for (const Case& c : cases) {
    auto got = UpdateAveragePurchaseCost(c.article, c.movement, c.reverse);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
    if (!got) continue;
    EXPECT_EQ(got->PrezzoAcquisto, c.expected->PrezzoAcquisto) << c.name;
    EXPECT_EQ(got->PrezzoAcquistoMedio, c.expected->PrezzoAcquistoMedio) << c.name;
  }
}

TEST(UnitChargeCostTest, SpreadsTheChargeOverTheStock) {
  struct Case {
    const char* name;
    const char* unitCost;
    const char* charge;
    double moved, stock;
    bool reverse;
    const char* expected;
  } cases[] = {
      {"load into stock", "1", "30", 10, 20, false, "2"},
      {"load is the whole stock", "1", "5", 10, 10, false, "0.5"},
      {"thirds keep four decimals", "0", "1", 3, 3, false, "0.3333"},
      {"nothing moved, no stock", "1", "5", 0, 0, false, "0"},
      {"load leaves", "2", "30", 10, 10, true, "1"},
      {"load leaves an empty stock", "2", "30", 10, 0, true, "0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UpdateUnitChargeCost(M(c.unitCost), M(c.charge), c.moved, c.stock, c.reverse),
              M(c.expected))
        << c.name;
}

TEST(SmallRulesTest, PadReverseAndBaseListWarning) {
  struct Pad {
    const char* text;
    int length;
    const char* expected;
  } pads[] = {
      {"abc", 5, "abc  "}, {"abcdef", 3, "abc"}, {"città", 4, "citt"}, {"città", 6, "città "},
      {"", 2, "  "},       {"abc", 0, ""},       {"abc", -1, ""},
  };
  for (const Pad& p : pads) EXPECT_EQ(PadText(p.text, p.length), p.expected) << p.text;

  EXPECT_FALSE(IsReverseMovement(false, false));
  EXPECT_TRUE(IsReverseMovement(true, false));
  EXPECT_TRUE(IsReverseMovement(false, true));
  EXPECT_FALSE(IsReverseMovement(true, true));

  core::Configuration on;
  core::Configuration off;
  off.Notify_ListinoRicarico = false;
  EXPECT_TRUE(CheckCustomerBaseList(on, "< BASE >", 0));
  EXPECT_FALSE(CheckCustomerBaseList(off, "< BASE >", 0));
  EXPECT_FALSE(CheckCustomerBaseList(on, "< BASE >", 5));
  EXPECT_FALSE(CheckCustomerBaseList(on, "INGROSSO", 0));
}

}  // namespace
}  // namespace tillbook::calc
