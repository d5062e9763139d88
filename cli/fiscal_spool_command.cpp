// tillbook-cli spool: the receipt request spool from the command line. "serve" does what the
// main window's timer does every 2 seconds on the workstation that owns the register; "post"
// writes this computer's request for a sale and waits until it is taken.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ostream>
#include <thread>

#include "base/error.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/fiscal_options.h"
#include "cli/open_archive.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "fiscal/request_spool.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli spool serve DIR [--once] [--type N] [--port PERCORSO] [--param "
    "IMPOSTAZIONI] [--trace FILE]\n"
    "     tillbook-cli spool post DIR --sale OID [--timeout SECONDI] [--host NOME] [--user "
    "NOME]\n";

// The main window's timer interval.
constexpr auto kTick = std::chrono::milliseconds(2000);

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) {
  stopRequested = 1;
}

// The person waiting at the requesting computer: presses Stop once the time-out has passed.
class PostConsole : public ConsoleUi {
 public:
  PostConsole(std::ostream& err, std::chrono::steady_clock::time_point deadline, bool limited)
      : ConsoleUi(err, {}, false), deadline_(deadline), limited_(limited) {}
  bool ProgressStep(int, std::string_view) override {
    return !stopRequested && (!limited_ || std::chrono::steady_clock::now() < deadline_);
  }

 private:
  std::chrono::steady_clock::time_point deadline_;
  bool limited_;
};

int Serve(Args args, FiscalOptions& options, std::ostream& out, std::ostream& err) {
  bool once = false;
  std::string dir;
  for (const auto& a : args) {
    if (a == "--once") {
      once = true;
    } else if (dir.empty() && a.rfind("--", 0) != 0) {
      dir = a;
    } else {
      err << kUsage;
      return 2;
    }
  }
  if (dir.empty()) {
    err << kUsage;
    return 2;
  }
  if (!KnownDevice(options.settings.Type) || options.settings.Type == fiscal::kDeviceNetwork) {
    err << "MSG Nessun registratore di cassa locale impostato\n";
    return 1;
  }
  OpenArchive archive(err);
  OpenForReading(archive, dir, SwitchOverrides{});
  ConsoleUi ui(err, options.answers, false);
  archive.connection.SetUi(&ui);
  fiscal::FiscalModule module;
  PrepareModule(options, module, dir);
  module.SetFiscalPrinter(true, ui);
  if (!module.driver()) return 1;
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  int status = 0;
  while (!stopRequested) {
    const bool pending =
        fiscal::RequestSpool(dir, module.hostName).TakeReceiptRequest().has_value();
    if (pending) {
      if (fiscal::TestNetwork_Scontrino(module, archive.connection, ui)) {
        out << "OK\n" << std::flush;
      } else {
        status = 1;
      }
    }
    if (once) break;
    const auto until = std::chrono::steady_clock::now() + kTick;
    while (!stopRequested && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  return status;
}

int Post(const Args& args, std::ostream& out, std::ostream& err) {
  std::string dir, host = fiscal::LocalHostName(), user;
  long long oid = 0;
  double timeout = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    char* end = nullptr;
    if (a == "--sale" && hasValue) {
      oid = std::strtoll(args[++i].c_str(), &end, 10);
      if (*end != '\0' || oid <= 0) {
        err << kUsage;
        return 2;
      }
    } else if (a == "--timeout" && hasValue) {
      timeout = std::strtod(args[++i].c_str(), &end);
      if (*end != '\0' || !(timeout >= 0)) {
        err << kUsage;
        return 2;
      }
    } else if (a == "--host" && hasValue) {
      host = args[++i];
    } else if (a == "--user" && hasValue) {
      user = args[++i];
    } else if (dir.empty() && a.rfind("--", 0) != 0) {
      dir = a;
    } else {
      err << kUsage;
      return 2;
    }
  }
  if (dir.empty() || oid <= 0) {
    err << kUsage;
    return 2;
  }
  OpenArchive archive(err);
  OpenForReading(archive, dir, SwitchOverrides{});
  if (!archive.connection.GetRow("Vendite", oid)) {
    err << "La vendita " << oid << " non esiste nell'archivio.\n";
    return 1;
  }
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(static_cast<long long>(timeout * 1000));
  PostConsole ui(err, deadline, timeout > 0);
  if (!fiscal::RequestSpool(dir, host).PostReceiptRequest(user, "Vendite", oid, ui, {})) {
    err << "MSG Richiesta di emissione scontrino non presa in carico\n";
    return 1;
  }
  out << "OK\n";
  return 0;
}

}  // namespace

int SpoolCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  if (argsIn.empty() || (argsIn[0] != "serve" && argsIn[0] != "post")) {
    err << kUsage;
    return 2;
  }
  Args args(argsIn.begin() + 1, argsIn.end());
  try {
    if (argsIn[0] == "post") return Post(args, out, err);
    FiscalOptions options;
    if (auto problem = TakeFiscalOptions(args, options); !problem.empty()) {
      err << problem << '\n';
      return 2;
    }
    return Serve(args, options, out, err);
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
