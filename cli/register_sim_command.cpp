// tillbook-cli register-sim: a cash register of one family on a pseudo-terminal, for training
// without a register and for testing the drivers. Prints the device path, then each receipt as
// the register prints it, until stopped (Ctrl+C).
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <ostream>
#include <thread>

#include "base/error.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "fiscal/sim/register_sim.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli register-sim --type N [--baud VELOCITA] [--fault "
    "silent|refuse|garbage|late|drop@COMANDO ...]\n";

volatile std::sig_atomic_t stopSimulator = 0;
void StopSimulator(int) {
  stopSimulator = 1;
}

}  // namespace

int RegisterSimCommand(const Args& args, std::ostream& out, std::ostream& err) {
  long type = -2, baud = 0;
  struct Planned {
    fiscal::sim::Fault fault;
    int command;
  };
  std::vector<Planned> faults;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    char* end = nullptr;
    if (a == "--type" && hasValue) {
      type = std::strtol(args[++i].c_str(), &end, 10);
      if (*end != '\0') type = -2;
    } else if (a == "--baud" && hasValue) {
      baud = std::strtol(args[++i].c_str(), &end, 10);
      if (*end != '\0' || baud < 0) baud = -1;
    } else if (a == "--fault" && hasValue) {
      const std::string& spec = args[++i];
      const size_t at = spec.find('@');
      Planned p{};
      if (at == std::string::npos || !fiscal::sim::ParseFault(spec.substr(0, at), p.fault)) {
        err << kUsage;
        return 2;
      }
      p.command = static_cast<int>(std::strtol(spec.c_str() + at + 1, &end, 10));
      if (*end != '\0' || p.command <= 0) {
        err << kUsage;
        return 2;
      }
      faults.push_back(p);
    } else {
      err << kUsage;
      return 2;
    }
  }
  if (type == -2 || baud < 0) {
    err << kUsage;
    return 2;
  }
  try {
    fiscal::sim::RegisterSimulator sim(static_cast<int>(type));
    sim.SetBaud(static_cast<int>(baud));
    for (const auto& p : faults) sim.InjectFault(p.command, p.fault, 2 * 5000);
    std::mutex outMutex;
    sim.OnReceipt([&](const std::string& receipt) {
      std::lock_guard lock(outMutex);
      out << receipt << '\n' << std::flush;
    });
    std::signal(SIGINT, StopSimulator);
    std::signal(SIGTERM, StopSimulator);
    {
      std::lock_guard lock(outMutex);
      out << sim.path() << '\n' << std::flush;
    }
    sim.Start();
    while (!stopSimulator && !sim.dropped()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    sim.Stop();
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
