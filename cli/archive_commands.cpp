#include <filesystem>
#include <iomanip>
#include <ostream>

#include "base/error.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/switches.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"

namespace tillbook::cli {

namespace {

struct OpenArchive {
  explicit OpenArchive(std::ostream& err) : ui(err, {}, true), connection(&ui) {}
  ConsoleUi ui;
  engine::Connection connection;
  std::unique_ptr<engine::Database> database;
};

}  // namespace

std::string ArchivePath(const std::string& dir) {
  return (std::filesystem::path(dir) / "Tillbook.mdb").string();
}

int InitCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  if (auto problem = TakeSwitches(args, overrides); !problem.empty()) {
    err << problem << '\n';
    return 2;
  }
  if (args.size() != 1) {
    err << "Uso: tillbook-cli init DIR [--set KEY=VALUE ...]\n";
    return 2;
  }
  const std::string path = ArchivePath(args[0]);
  try {
    std::filesystem::create_directories(args[0]);
    OpenArchive a(err);
    const bool existed = std::filesystem::exists(path);
    if (existed)
      a.connection.Open(path);
    else
      a.connection.Create(path);
    data::TableSwitches switches = StoredSwitches(a.connection);
    overrides.ApplyTo(switches);
    a.database =
        std::make_unique<engine::Database>(std::make_unique<data::DB>(switches), "Tillbook");
    a.database->Attach(a.connection);
    StoreSwitches(a.connection, switches);
    out << (existed ? "Archivio aggiornato: " : "Archivio creato: ") << path << '\n';
    return 0;
  } catch (const Error& e) {
    err << e.message() << '\n';
    if (!e.detail().empty()) err << "(" << e.detail() << ")\n";
    return 1;
  } catch (const std::filesystem::filesystem_error& e) {
    err << "Impossibile creare la cartella " << args[0] << ".\n(" << e.what() << ")\n";
    return 1;
  }
}

int InfoCommand(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "Uso: tillbook-cli info DIR\n";
    return 2;
  }
  try {
    OpenArchive a(err);
    a.connection.Open(ArchivePath(args[0]));
    a.database = std::make_unique<engine::Database>(
        std::make_unique<data::DB>(StoredSwitches(a.connection)), "Tillbook");
    a.database->Attach(a.connection);
    const auto& tables = a.database->catalog().tables();
    out << "Archivio: " << a.connection.path() << '\n';
    out << "Tabelle: " << tables.size() << '\n';
    for (const auto& t : tables)
      out << std::left << std::setw(32) << t->name << " versione "
          << engine::Database::StoredVersion(a.connection, t->name) << ", righe "
          << a.connection.Count(t->name) << '\n';
    return 0;
  } catch (const Error& e) {
    err << e.message() << '\n';
    if (!e.detail().empty()) err << "(" << e.detail() << ")\n";
    return 1;
  }
}

}  // namespace tillbook::cli
