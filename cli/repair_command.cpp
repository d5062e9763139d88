// tillbook-cli repair: compacts DIR's archive into a checked copy that then takes its place.
#include <ostream>

#include "base/error.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "core/repair.h"

namespace tillbook::cli {

int RepairCommand(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "Uso: tillbook-cli repair DIR\n";
    return 2;
  }
  try {
    core::CompactArchive(ArchivePath(args[0]));
    out << "Recupero completato\n";
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
