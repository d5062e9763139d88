#include <filesystem>
#include <ostream>
#include <sstream>

#include "base/error.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/open_archive.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "platform/files.h"

namespace tillbook::cli {

namespace {

// `s` followed by blanks up to `width` characters (not bytes: "Attività" is eight).
std::string PadRight(const std::string& s, size_t width) {
  const size_t length = text::Length(s);
  return length >= width ? s : s + std::string(width - length, ' ');
}

// Removes a file that holds no table, with its work files: a creation cut off before it stored
// anything, which a new creation replaces.
void RemoveUnfinished(const std::string& path) {
  for (const char* side : {"-journal", "-wal", "-shm", ""}) platform::RemoveFile(path + side);
}

}  // namespace

std::string ArchivePath(const std::string& dir) {
  return (std::filesystem::path(dir) / "Tillbook.mdb").string();
}

void OpenForReading(OpenArchive& a, const std::string& dir, const SwitchOverrides& overrides) {
  a.connection.Open(ArchivePath(dir), engine::Connection::Access::ReadOnly);
  data::TableSwitches switches = core::StoredSwitches(a.connection);
  overrides.ApplyTo(switches);
  a.database = std::make_unique<engine::Database>(std::make_unique<data::DB>(switches), "Tillbook");
  try {
    a.database->Attach(a.connection);
  } catch (const engine::ArchiveNeedsUpdate& e) {
    throw Error(
        "L'archivio va aggiornato a questa versione del programma: eseguire "
        "«tillbook-cli init " +
            dir + "».",
        e.detail());
  }
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
    platform::MakeDirectories(args[0]);
    OpenArchive a(err);
    bool create = false;
    switch (engine::Connection::Inspect(path)) {
      case engine::Connection::FileState::Unfinished:
        RemoveUnfinished(path);
        [[fallthrough]];
      case engine::Connection::FileState::Missing:
        create = true;
        break;
      case engine::Connection::FileState::Other:
        break;
    }
    // A new archive is made whole under a temporary name and only then takes its own, so a
    // creation cut off at any moment leaves no archive rather than half of one.
    if (create) {
      a.connection.BeginCreate(path);
    } else {
      a.connection.Open(path);
      if (a.connection.readOnly())
        throw Error("L'archivio è in sola lettura.", "init on a read-only file or folder");
    }
    data::TableSwitches switches = core::WorkingSwitches(a.connection);
    overrides.ApplyTo(switches);
    a.database =
        std::make_unique<engine::Database>(std::make_unique<data::DB>(switches), "Tillbook");
    a.database->Attach(a.connection);
    core::StoreSwitches(a.connection, switches);
    if (create) a.connection.FinishCreate();
    out << (create ? "Archivio creato: " : "Archivio aggiornato: ") << path << '\n';
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

int InfoCommand(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "Uso: tillbook-cli info DIR\n";
    return 2;
  }
  try {
    OpenArchive a(err);
    OpenForReading(a, args[0], {});
    // Versions and counts from one state of the archive, whatever a writer does meanwhile.
    engine::ReadTransaction read(a.connection);
    const auto& tables = a.database->catalog().tables();
    // Printed only once all of it was read: a failure midway shows no half list.
    std::ostringstream text;
    text << "Archivio: " << a.connection.path() << '\n';
    text << "Tabelle: " << tables.size() << '\n';
    for (const auto& t : tables)
      text << PadRight(t->name, 32) << " versione "
           << engine::Database::StoredVersion(a.connection, t->name) << ", righe "
           << a.connection.Count(t->name) << '\n';
    out << text.str();
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
