#include "core/round_ranges_editor.h"

#include <gtest/gtest.h>

#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::core {
namespace {

struct AddCase {
  const char* name;
  const char *from, *to, *step;
  const char* message;  // empty: added
};

TEST(RoundRangesEditor, AddChecksTheTypedRange) {
  const AddCase cases[] = {
      {"all three", "1", "9,99", "0.05", ""},
      {"equal bounds", "5", "5", "1", ""},
      {"negative range", "-10", "-1", "0,5", ""},
      {"from empty", "", "9", "1", "Devi impostare i parametri di arrotondamento."},
      {"to blank", "1", "  ", "1", "Devi impostare i parametri di arrotondamento."},
      {"step empty", "1", "9", "", "Devi impostare i parametri di arrotondamento."},
      {"not a number", "uno", "9", "1", "Devi impostare i parametri di arrotondamento."},
      {"from above to", "10", "9,99", "1", "La fascia di prezzo non è valida."},
  };
  for (const auto& c : cases) {
    engine::ScriptedUi ui;
    RoundRangesEditor editor({}, ui);
    const bool added = editor.Add(c.from, c.to, c.step);
    EXPECT_EQ(added, std::string(c.message).empty()) << c.name;
    EXPECT_EQ(editor.ranges().size(), added ? 1u : 0u) << c.name;
    if (!added) {
      ASSERT_EQ(ui.messages().size(), 1u) << c.name;
      EXPECT_EQ(ui.messages()[0], c.message) << c.name;
    } else {
      EXPECT_TRUE(ui.messages().empty()) << c.name;
    }
  }
}

TEST(RoundRangesEditor, ListLinesShowTheRangesInTheirOrderOverlapsIncluded) {
  engine::ScriptedUi ui;
  RoundRangesEditor editor(
      {clsRoundItem(Money::FromUnits(0), Money::FromUnits(10), *Money::Parse("0.05"))}, ui);
  ASSERT_TRUE(editor.Add("5", "20,5", "0,1"));
  EXPECT_EQ(editor.Lines(), (std::vector<std::string>{"da  0,00  a  10,00   ->  0,05",
                                                      "da  5,00  a  20,50   ->  0,10"}));
  editor.Remove(0);
  editor.Remove(7);
  ASSERT_EQ(editor.ranges().size(), 1u);
  EXPECT_EQ(editor.ranges()[0].FromValue(), Money::FromUnits(5));
}

TEST(RoundRangesEditor, ConfirmReplacesTheProgramsRangesAndTheirSettings) {
  engine::ScriptedUi ui;
  platform::MemorySettings store;
  Configuration config;
  config.RoundRanges = {
      clsRoundItem(Money::FromUnits(1), Money::FromUnits(2), Money::FromUnits(1)),
      clsRoundItem(Money::FromUnits(3), Money::FromUnits(4), Money::FromUnits(1))};
  SaveRoundRanges(store, config.RoundRanges);
  RoundRangesEditor editor(config.RoundRanges, ui);
  editor.Remove(0);
  ASSERT_TRUE(editor.Add("100", "200", "5"));
  // Until confirmed the program keeps its ranges.
  EXPECT_EQ(config.RoundRanges.size(), 2u);
  ASSERT_TRUE(editor.Confirm(store, config));
  EXPECT_EQ(config.RoundRanges, editor.ranges());
  std::vector<clsRoundItem> reloaded;
  LoadRoundRanges(store, reloaded);
  EXPECT_EQ(reloaded, editor.ranges());
  EXPECT_FALSE(store.Get("Configuration", "ArrotondaValore3").has_value());
}

TEST(RoundRangesEditor, MoreRangesThanTheSettingsHoldAreRefusedAtConfirmation) {
  engine::ScriptedUi ui;
  platform::MemorySettings store;
  Configuration config;
  RoundRangesEditor editor({}, ui);
  for (int i = 0; i < 11; ++i) ASSERT_TRUE(editor.Add(std::to_string(i), "100", "1"));
  EXPECT_FALSE(editor.Confirm(store, config));
  EXPECT_TRUE(config.RoundRanges.empty());
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_NE(ui.messages()[0].find("10"), std::string::npos);
}

}  // namespace
}  // namespace tillbook::core
