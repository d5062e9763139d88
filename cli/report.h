// How tillbook-cli tells of a failure: the Italian message on the standard error, and the
// technical detail (SQL text, SQLite's own words, the operation that failed) only in the log.
// TILLBOOK_LOG says where the log goes: "-" for the standard error, anything else is a file
// the lines are appended to; unset or empty, there is no log.
#pragma once

#include <iosfwd>
#include <string_view>

namespace tillbook {
class Error;
}

namespace tillbook::cli {

// Writes one log line "tillbook-cli: <detail>" where TILLBOOK_LOG says; `err` stands for the
// standard error. Never fails: a log that cannot be written is skipped.
void LogDetail(std::ostream& err, std::string_view detail);

// Prints the failure's message and logs its detail. Returns 1, the status of a failure.
int ReportFailure(std::ostream& err, const Error& e);

}  // namespace tillbook::cli
