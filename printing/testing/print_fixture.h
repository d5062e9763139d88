// A small archive for print tests: the two layout tables and an order table with a note, a
// printed flag and two owned lists of rows, so list prints, detail prints, notes and the printed
// flag all have data. Output goes to a recording target standing for every printer.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/connection.h"
#include "engine/database.h"
#include "engine/script_dataset.h"
#include "engine/ui_services.h"
#include "printing/layouts.h"
#include "printing/modCustomReport.h"
#include "printing/recording_surface.h"

namespace tillbook::printing::testing {

// The scripted person, also keeping the titles of the message boxes.
class TitledUi : public engine::ScriptedUi {
 public:
  engine::Answer MessageBox(std::string_view text, engine::Buttons buttons, engine::Icon icon,
                            int defaultButton, std::string_view title) override {
    titles.emplace_back(title);
    return ScriptedUi::MessageBox(text, buttons, icon, defaultButton, title);
  }
  std::vector<std::string> titles;
};

class PrintFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // An order with `rows` detail rows ("R1", "R2"... with amounts 1, 2...).
  int64_t AddOrder(int number, const std::string& customer, int rows, const std::string& note = {},
                   bool printed = false);
  void AddLayout(ReportLayout layout);
  // A list layout of "Ordini" named `name` with the given script, rows 5 mm from 20 to 60 mm.
  ReportLayout ListLayout(const std::string& name, const std::string& script);

  // The orders (or `table`), sorted by number, standing on the first.
  ReportSource Source(const std::string& table = "Ordini", const std::string& filter = {});
  bool Print(PrintRequest request, const std::string& table = "Ordini");

  // Recorded lines starting with `call` (e.g. "Text"), the call name left out.
  std::vector<std::string> Calls(const std::string& call) const;
  // What reached the printer beyond the document being begun and its font (which measures
  // text): drawing, pages, the document's end.
  std::vector<std::string> Drawn() const;
  bool Printed(int64_t order);

  std::filesystem::path dir_;
  TitledUi ui_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
  std::shared_ptr<RecordingTarget> printer_;
  PrintServices services_;
};

}  // namespace tillbook::printing::testing
