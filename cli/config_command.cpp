// tillbook-cli config: reads and writes the person's settings file (TILLBOOK_SETTINGS moves it),
// and exports or imports section "Configuration" as a text file.
#include <ostream>

#include "base/error.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "core/configuration.h"
#include "platform/instance.h"
#include "platform/settings.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli config get [SEZIONE/]CHIAVE\n"
    "     tillbook-cli config set [SEZIONE/]CHIAVE VALORE\n"
    "     tillbook-cli config export FILE\n"
    "     tillbook-cli config import FILE\n";

// "Section/Key" or "Key" (section "Configuration").
std::pair<std::string, std::string> SplitName(const std::string& name) {
  const auto slash = name.find('/');
  if (slash == std::string::npos) return {std::string(core::kSectionConfiguration), name};
  return {name.substr(0, slash), name.substr(slash + 1)};
}

}  // namespace

int ConfigCommand(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string action = args.empty() ? "" : args[0];
  const size_t expected = action == "set" ? 3 : 2;
  if ((action != "get" && action != "set" && action != "export" && action != "import") ||
      args.size() != expected) {
    err << kUsage;
    return 2;
  }
  try {
    platform::IniSettings store(platform::DefaultSettingsPath());
    for (const auto& problem : store.ProblemMessages()) err << problem << '\n';
    if (action == "get") {
      const auto [section, key] = SplitName(args[1]);
      out << core::EffectiveValue(store, section, key, platform::ProgramFolder()) << '\n';
    } else if (action == "set") {
      const auto [section, key] = SplitName(args[1]);
      store.Set(section, key, args[2]);
    } else if (action == "export") {
      core::WriteFileConfiguration(store, args[1]);
    } else {
      core::ReadFileConfiguration(store, args[1]);
    }
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
