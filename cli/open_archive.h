// An archive as the read commands (info, query) open it: read-only, under the table switches
// the archive remembers (with the command's own --set over them), the definitions attached
// without writing anything.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "cli/console_ui.h"
#include "engine/connection.h"
#include "engine/database.h"

namespace tillbook::cli {

class SwitchOverrides;

struct OpenArchive {
  explicit OpenArchive(std::ostream& err) : ui(err, {}, true), connection(&ui) {}
  ConsoleUi ui;
  engine::Connection connection;
  std::unique_ptr<engine::Database> database;
};

// Opens DIR's archive for reading into `archive`. Throws Error; an archive that must first be
// updated by `init` gets a message saying so.
void OpenForReading(OpenArchive& archive, const std::string& dir, const SwitchOverrides& overrides);

}  // namespace tillbook::cli
