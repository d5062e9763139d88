#include "core/repair.h"

#include <filesystem>

#include "base/error.h"
#include "engine/connection.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "platform/files.h"

namespace tillbook::core {

namespace {

bool Exists(const std::string& path) {
  return platform::Examine(path) != platform::PathKind::Missing;
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

void RemoveWithSidecars(const std::string& path) {
  for (const char* side : {"-wal", "-shm", "-journal", ""}) platform::RemoveFile(path + side);
}

// Reads the whole copy back; any damage SQLite can find by a full read refuses it.
void CheckCopy(const std::string& path) {
  engine::Connection copy;
  copy.Open(path, engine::Connection::Access::ReadOnly);
  engine::internal::Statement check(copy.session().db().handle(), "PRAGMA quick_check");
  std::string verdict;
  while (check.Step()) verdict += check.Text(0) + " ";
  if (verdict != "ok ")
    throw Error("La copia compattata del database è danneggiata.", "quick_check: " + verdict);
}

}  // namespace

void CompactArchive(const std::string& path,
                    const std::function<void(std::string_view)>& beforeStep) {
  const std::string copyPath = path + ".NEW";
  const std::string oldPath = path + "._";
  auto step = [&](std::string_view name) {
    if (beforeStep) beforeStep(name);
  };
  try {
    if (!Exists(path)) throw Error("Il database " + path + " non esiste.");
    // A file left by an interrupted repair may be the only good copy: never overwritten.
    if (Exists(oldPath))
      throw Error("È presente il file " + FileName(oldPath) +
                  " lasciato da un ripristino interrotto: va controllato prima di ripetere.");
    RemoveWithSidecars(copyPath);

    step("compattazione");
    {
      engine::Connection archive;
      archive.Open(path);
      if (archive.readOnly()) throw Error("Il database è in sola lettura.");
      archive.Execute("VACUUM INTO " + Quoted(copyPath));
      archive.Close();
    }
    // The last connection to close removes the log; one left means another workstation.
    if (Exists(path + "-wal")) throw Error("Il database è ancora aperto da un'altra postazione.");
    platform::SyncFile(copyPath);

    step("controllo");
    CheckCopy(copyPath);

    step("sostituzione");
    if (!platform::RenameNoReplace(path, oldPath))
      throw Error("Il file " + FileName(oldPath) + " esiste già.");
    try {
      if (!platform::RenameNoReplace(copyPath, path))
        throw Error("Il file " + FileName(path) + " esiste già.");
    } catch (...) {
      platform::RenameNoReplace(oldPath, path);  // the original back under its name
      throw;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    platform::SyncDirectory(folder.empty() ? "." : folder);
    RemoveWithSidecars(oldPath);
  } catch (const Error& e) {
    std::string present;
    for (const std::string& p : {path, copyPath, oldPath})
      if (Exists(p)) present += (present.empty() ? "" : ", ") + FileName(p);
    throw Error(e.message() + "\nFile presenti: " + (present.empty() ? "nessuno" : present) + ".",
                e.detail());
  }
}

}  // namespace tillbook::core
