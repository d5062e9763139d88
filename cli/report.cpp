#include "cli/report.h"

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

#include "base/error.h"

namespace tillbook::cli {

void LogDetail(std::ostream& err, std::string_view detail) {
  const char* target = std::getenv("TILLBOOK_LOG");
  if (target == nullptr || *target == '\0' || detail.empty()) return;
  if (std::string_view(target) == "-") {
    err << "tillbook-cli: " << detail << '\n';
    return;
  }
  std::ofstream log(target, std::ios::app);
  if (log) log << "tillbook-cli: " << detail << '\n';
}

int ReportFailure(std::ostream& err, const Error& e) {
  err << e.message() << '\n';
  LogDetail(err, e.detail());
  return 1;
}

}  // namespace tillbook::cli
