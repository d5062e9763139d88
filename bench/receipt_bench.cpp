// A 100-row receipt on the CRF 4600 and DS Progress simulators with the line imitated at 9600
// baud and no command pause, against the time the same bytes need on such a line (ten bits a
// byte, both directions, one after the other): the physical limit. Prints "ratio R" per family;
// the overhead of the drivers and the serial layer is what R above 1 measures.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "engine/ui_services.h"
#include "fiscal/modFiscalPrinter.h"
#include "fiscal/sim/register_sim.h"

namespace {

using namespace tillbook;

constexpr int kRows = 100;
constexpr int kBaud = 9600;

double Run(int type, const char* name) {
  fiscal::sim::RegisterSimulator sim(type);
  sim.SetBaud(kBaud);
  sim.Start();
  engine::ScriptedUi ui;
  fiscal::FiscalModule module;
  module.settings.Type = type;
  module.settings.COMPortPath = sim.path();
  module.settings.CommandWait = 0;
  if (!module.CreateFiscalPrinter(false, ui) || !module.driver()) {
    std::fprintf(stderr, "%s: driver not created\n", name);
    return -1;
  }
  fiscal::itfFiscalPrinter& driver = *module.driver();
  const auto start = std::chrono::steady_clock::now();
  driver.NewSession(2);
  for (int i = 0; i < kRows; ++i) {
    driver.SendData(1.25 + i, static_cast<int16_t>(1 + i % 5),
                    "Articolo di prova " + std::to_string(i), static_cast<int16_t>(1 + i % 9));
  }
  driver.EndSession();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The driver's last acknowledgement may still be crossing the line.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const size_t bytes = sim.Wire().size() + sim.RepliedBytes();
  const double wire = bytes * 10.0 / kBaud;
  const double ratio = elapsed / wire;
  std::printf("%s: %d righe, %zu byte, %.3f s (linea a %d baud: %.3f s) ratio %.2f\n", name, kRows,
              bytes, elapsed, kBaud, wire, ratio);
  return ratio;
}

}  // namespace

int main() {
  try {
    const double crf = Run(fiscal::kDeviceCRF4600, "CRF 4600");
    const double dsp = Run(fiscal::kDeviceDSProgress, "DS Progress");
    return crf > 0 && dsp > 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
