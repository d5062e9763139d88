// Fulfilment counters: sums per article or description, clamping to 0 ... cap, completion, and
// the pinned table of which documents draw on which.
#include "calc/fulfilment.h"

#include <gtest/gtest.h>

#include <vector>

namespace tillbook::calc {
namespace {

TEST(FulfilmentTest, CountersStayWithinZeroAndTheCap) {
  // An order row of 10 drawn by two sales of 6 each ends at 10, not 12.
  std::vector<FulfilmentRow> order = {{"A1", 0, 10}};
  EXPECT_FALSE(UpdateOrderFulfilment(order, {{"A1", 6}}, false));
  EXPECT_EQ(order[0].counter, 6);
  EXPECT_TRUE(UpdateOrderFulfilment(order, {{"A1", 6}}, false));
  EXPECT_EQ(order[0].counter, 10);
  // Removing one sale leaves 4.
  EXPECT_FALSE(UpdateOrderFulfilment(order, {{"A1", 6}}, true));
  EXPECT_EQ(order[0].counter, 4);
  // Removing more than was drawn stops at 0.
  EXPECT_FALSE(UpdateOrderFulfilment(order, {{"A1", 6}}, true));
  EXPECT_EQ(order[0].counter, 0);
}

TEST(FulfilmentTest, MatchesRowsAndReportsCompletion) {
  struct Case {
    const char* name;
    std::vector<FulfilmentRow> rows;
    std::vector<DrawingRow> drawing;
    bool remove;
    std::vector<double> counters;
    std::vector<bool> changed;
    bool complete;
  } cases[] = {
      {"same article summed", {{"A1", 0, 10}}, {{"A1", 3}, {"A1", 4}}, false, {7}, {true}, false},
      {"other articles ignored",
       {{"A1", 0, 10}, {"B2", 0, 5}},
       {{"B2", 5}},
       false,
       {0, 5},
       {false, true},
       false},
      {"descriptions without regard to case",
       {{"Vite M6", 0, 5}},
       {{"VITE m6", 5}},
       false,
       {5},
       {true},
       true},
      {"nothing drawn leaves the row", {{"A1", 2, 10}}, {{"A1", 0}}, false, {2}, {false}, false},
      {"drawn quantities cancelling out",
       {{"A1", 2, 10}},
       {{"A1", 3}, {"A1", -3}},
       false,
       {2},
       {false},
       false},
      {"a return drawn lowers the counter",
       {{"A1", 5, 10}},
       {{"A1", -2}},
       false,
       {3},
       {true},
       false},
      {"rows with nothing to fulfil are complete", {{"A1", 0, 0}}, {}, false, {0}, {false}, true},
      {"every row fulfilled",
       {{"A1", 0, 2}, {"B2", 3, 3}},
       {{"A1", 2}},
       false,
       {2, 3},
       {true, false},
       true},
      {"no rows", {}, {{"A1", 2}}, false, {}, {}, true},
  };
  for (Case& c : cases) {
    EXPECT_EQ(UpdateOrderFulfilment(c.rows, c.drawing, c.remove), c.complete) << c.name;
    ASSERT_EQ(c.rows.size(), c.counters.size()) << c.name;
    for (size_t i = 0; i < c.rows.size(); ++i) {
      EXPECT_EQ(c.rows[i].counter, c.counters[i]) << c.name << " row " << i;
      EXPECT_EQ(c.rows[i].changed, c.changed[i]) << c.name << " row " << i;
    }
  }
}

TEST(FulfilmentTest, LinksArePinned) {
  const auto& links = FulfilmentLinks();
  ASSERT_EQ(links.size(), 6u);
  for (const FulfilmentLink& l : links) {
    const bool supplier = l.drawing == "Forniture" || l.drawing == "TrasportiFornitori";
    EXPECT_EQ(l.counterField, supplier ? "QuantitàCaricata" : "QuantitàScaricata") << l.drawing;
    const bool order = l.drawn == "OrdiniFornitori" || l.drawn == "OrdiniClienti";
    EXPECT_EQ(l.capField, order ? "QuantitàOrdine" : "QuantitàTrasporto") << l.drawn;
  }
  EXPECT_EQ(links[0].drawn, "OrdiniFornitori");
  EXPECT_EQ(links[0].sourceField, "QuantitàCarico");
  EXPECT_EQ(links[3].drawing, "TrasportiClienti");
  EXPECT_EQ(links[3].sourceField, "QuantitàTrasporto");
  EXPECT_EQ(links[5].drawn, "TrasportiClienti");
  EXPECT_EQ(links[5].sourceField, "QuantitàScarico");
}

}  // namespace
}  // namespace tillbook::calc
