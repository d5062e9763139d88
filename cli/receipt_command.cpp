// tillbook-cli receipt: the receipt of one sale through Send_Scontrino, with the store's fiscal
// settings overridden by the flags. "OK" and status 0 when the device took the whole receipt;
// the messages as MSG lines and status 1 otherwise.
#include <cstdlib>
#include <fstream>
#include <ostream>

#include "base/error.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/fiscal_options.h"
#include "cli/open_archive.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "core/configuration.h"
#include "fiscal/request_spool.h"
#include "fiscal/trace.h"
#include "platform/settings.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli receipt DIR --sale OID [--type N] [--port PERCORSO] [--param "
    "IMPOSTAZIONI] [--trace FILE] [--answers yes,no,...]\n";

bool WholeNumber(const std::string& text, long long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return *end == '\0';
}

}  // namespace

bool KnownDevice(int type) {
  for (const auto& item : fiscal::DeviceTypes()) {
    if (item.code == type) return type != fiscal::kDeviceNone;
  }
  return false;
}

std::string TakeFiscalOptions(std::vector<std::string>& args, FiscalOptions& options) {
  platform::IniSettings store(platform::DefaultSettingsPath());
  fiscal::LoadFiscalPrinterSettings(store, options.settings);
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    long long number = 0;
    if (a == "--type" && hasValue) {
      if (!WholeNumber(args[++i], number)) return "Tipo di registratore non valido: " + args[i];
      options.settings.Type = static_cast<int>(number);
    } else if (a == "--port" && hasValue) {
      options.settings.COMPortPath = args[++i];
    } else if (a == "--param" && hasValue) {
      options.settings.COMPortParam = args[++i];
    } else if (a == "--trace" && hasValue) {
      options.tracePath = args[++i];
    } else if (a == "--answers" && hasValue) {
      if (!ParseAnswers(args[++i], options.answers)) {
        return "Risposte non valide: " + args[i] + " (usare yes o no).";
      }
    } else {
      rest.push_back(a);
    }
  }
  args = rest;
  return {};
}

void PrepareModule(FiscalOptions& options, fiscal::FiscalModule& module, const std::string& dir) {
  module.settings = options.settings;
  module.dataFolder = dir;
  module.hostName = fiscal::LocalHostName();
  if (!options.tracePath.empty()) {
    options.trace = std::make_unique<std::ofstream>(options.tracePath, std::ios::trunc);
    if (!*options.trace) {
      throw Error("Impossibile scrivere il file " + options.tracePath);
    }
    std::ofstream* trace = options.trace.get();
    module.controlTrace = [trace](const std::string& line) {
      *trace << line << '\n' << std::flush;
    };
    module.wrapDriver = [trace](std::unique_ptr<fiscal::itfFiscalPrinter> driver) {
      return fiscal::NewTracingPrinter(std::move(driver), [trace](const std::string& line) {
        *trace << line << '\n' << std::flush;
      });
    };
  }
}

int ReceiptCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  FiscalOptions options;
  try {
    if (auto problem = TakeFiscalOptions(args, options); !problem.empty()) {
      err << problem << '\n';
      return 2;
    }
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
  std::string dir;
  long long oid = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sale" && i + 1 < args.size() && WholeNumber(args[i + 1], oid)) {
      ++i;
    } else if (dir.empty() && args[i].rfind("--", 0) != 0) {
      dir = args[i];
    } else {
      err << kUsage;
      return 2;
    }
  }
  if (dir.empty() || oid <= 0) {
    err << kUsage;
    return 2;
  }
  try {
    OpenArchive archive(err);
    OpenForReading(archive, dir, SwitchOverrides{});
    ConsoleUi ui(err, options.answers, false);
    archive.connection.SetUi(&ui);
    auto sale = archive.connection.GetRow("Vendite", oid);
    if (!sale) {
      err << "La vendita " << oid << " non esiste nell'archivio.\n";
      return 1;
    }
    if (!KnownDevice(options.settings.Type)) {
      err << "MSG Nessun registratore di cassa impostato\n";
      return 1;
    }
    fiscal::FiscalModule module;
    PrepareModule(options, module, dir);
    module.SetFiscalPrinter(true, ui);
    // A refused speed leaves no driver: that is a failure here, not the network path.
    if (!module.enabled || (!module.driver() && options.settings.Type != fiscal::kDeviceNetwork)) {
      return 1;
    }
    if (!fiscal::Send_Scontrino(module, *sale, ui)) return 1;
    out << "OK\n";
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
