// The commands of tillbook-cli. Each takes its own arguments (after the command name), writes
// its output on `out` and its messages on `err`, and returns the process exit status: 0 done,
// 1 failed (the message says why), 2 wrong usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tillbook::cli {

using Args = std::vector<std::string>;

int InitCommand(const Args& args, std::ostream& out, std::ostream& err);
int InfoCommand(const Args& args, std::ostream& out, std::ostream& err);
int QueryCommand(const Args& args, std::ostream& out, std::ostream& err);
int RunCommand(const Args& args, std::ostream& out, std::ostream& err);
int SchemaCommand(const Args& args, std::ostream& out, std::ostream& err);
int ConfigCommand(const Args& args, std::ostream& out, std::ostream& err);
int RepairCommand(const Args& args, std::ostream& out, std::ostream& err);
int IdentityCommand(const Args& args, std::ostream& out, std::ostream& err);
int RecalcCommand(const Args& args, std::ostream& out, std::ostream& err);
int PaymentsCommand(const Args& args, std::ostream& out, std::ostream& err);
int ReceiptCommand(const Args& args, std::ostream& out, std::ostream& err);
int SpoolCommand(const Args& args, std::ostream& out, std::ostream& err);
int RegisterSimCommand(const Args& args, std::ostream& out, std::ostream& err);
int LayoutCommand(const Args& args, std::ostream& out, std::ostream& err);
int PrintCommand(const Args& args, std::ostream& out, std::ostream& err);
int LabelsCommand(const Args& args, std::ostream& out, std::ostream& err);

// "DIR/Tillbook.mdb".
std::string ArchivePath(const std::string& dir);

}  // namespace tillbook::cli
