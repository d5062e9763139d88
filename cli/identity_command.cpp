// tillbook-cli identity: shows the business identity kept in DIR's archive, or sets some of its
// values under the rules of the identity window (a category is required).
#include <ostream>

#include "base/error.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "core/identity.h"
#include "engine/connection.h"
#include "engine/ui_services.h"

namespace tillbook::cli {

namespace {

// Line breaks of a value written as "\n", so each key stays on one line.
std::string OneLine(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
    if (value[i] == '\n' || value[i] == '\r')
      out += "\\n";
    else
      out += value[i];
  }
  return out;
}

}  // namespace

int IdentityCommand(const Args& args, std::ostream& out, std::ostream& err) {
  constexpr const char* kUsage = "Uso: tillbook-cli identity DIR [--set CHIAVE=VALORE ...]\n";
  std::string dir;
  core::IdentityValues changes;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string pair;
    if (args[i] == "--set" && i + 1 < args.size()) {
      pair = args[++i];
    } else if (args[i].rfind("--set=", 0) == 0) {
      pair = args[i].substr(6);
    } else if (dir.empty() && args[i].rfind("--", 0) != 0) {
      dir = args[i];
      continue;
    } else {
      err << kUsage;
      return 2;
    }
    const auto eq = pair.find('=');
    const core::IdentityKey* key =
        eq == std::string::npos ? nullptr : core::FindIdentityKey(text::Trim(pair.substr(0, eq)));
    if (!key) {
      err << "Dato identificativo sconosciuto: " << pair.substr(0, eq) << ".\n";
      return 2;
    }
    changes[key->key] = pair.substr(eq + 1);
  }
  if (dir.empty()) {
    err << kUsage;
    return 2;
  }
  try {
    engine::ScriptedUi ui;
    ui.SetDefaultAnswer(engine::Answer::Yes);  // the command line already said what to store
    engine::Connection connection(&ui);
    connection.Open(ArchivePath(dir), changes.empty() ? engine::Connection::Access::ReadOnly
                                                      : engine::Connection::Access::ReadWrite);
    core::IdentityValues values = core::ReadIdentity(connection);
    if (!changes.empty()) {
      for (const auto& [k, v] : changes) values[k] = v;
      if (!core::StoreIdentity(connection, values, ui)) {
        err << (ui.messages().empty() ? "Dati non memorizzati." : ui.messages().back()) << '\n';
        return 1;
      }
    }
    for (const auto& k : core::IdentityKeys())
      out << k.key << '\t' << k.caption << '\t' << OneLine(values[k.key]) << '\n';
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
