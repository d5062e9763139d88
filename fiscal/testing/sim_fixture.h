// A register simulator of one family with the fiscal module set up to print on it, and the
// bytes the driver is expected to put on the wire.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/ui_services.h"
#include "fiscal/modFiscalPrinter.h"
#include "fiscal/sim/register_sim.h"
#include "fiscal/testing/sale_fixture.h"

namespace tillbook::fiscal::testing {

// Presses Stop once, at the given step of the whole run (not of each progress), and answers
// Cancel to questions left unqueued, so a retry never loops.
class StopOnceUi : public engine::ScriptedUi {
 public:
  StopOnceUi() { SetDefaultAnswer(engine::Answer::Cancel); }
  void StopOnceAt(int step) { stopAt_ = step; }
  bool ProgressStep(int done, std::string_view text) override {
    if (++steps_ == stopAt_) return false;
    return ScriptedUi::ProgressStep(done, text);
  }

 private:
  int stopAt_ = 0;
  int steps_ = 0;
};

class SimulatorTest : public ::testing::Test {
 protected:
  explicit SimulatorTest(int type)
      : archive_(::testing::UnitTest::GetInstance()->current_test_info()->name()), sim_(type) {
    module_.settings.Type = type;
    module_.settings.COMPortPath = sim_.path();
    module_.settings.CommandWait = 0;
    module_.settings.Timout = 300;
    module_.dataFolder = archive_.folder();
    module_.beep = [this] { ++beeps_; };
    sim_.Start();
  }
  void Connect() { ASSERT_TRUE(module_.CreateFiscalPrinter(false, ui_)); }
  bool Send(const Row& sale) {
    Row fresh = archive_.Fetch(sale);
    return Send_Scontrino(module_, fresh, ui_);
  }
  // The bytes on the wire once the simulator has read at least as many as `expected` holds
  // (the driver's last acknowledgement may still be on its way), compared with `expected`.
  void ExpectWire(const std::string& expected) {
    for (int i = 0; i < 200 && sim_.Wire().size() < expected.size(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(sim_.Wire(), expected);
  }
  // True when no command of the ones given was received more than once.
  static bool NoneTwice(std::vector<std::string> commands, const std::string& prefix) {
    std::vector<std::string> lines;
    for (auto& c : commands) {
      if (c.rfind(prefix, 0) == 0) lines.push_back(c);
    }
    std::sort(lines.begin(), lines.end());
    return std::adjacent_find(lines.begin(), lines.end()) == lines.end();
  }
  std::string LastMessage() const {
    return ui_.messages().empty() ? std::string() : ui_.messages().back();
  }

  SaleArchive archive_;
  sim::RegisterSimulator sim_;
  FiscalModule module_;
  StopOnceUi ui_;
  int beeps_ = 0;
};

}  // namespace tillbook::fiscal::testing
