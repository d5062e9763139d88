#include <optional>
#include <ostream>

#include "base/error.h"
#include "base/json.h"
#include "cli/commands.h"
#include "cli/open_archive.h"
#include "cli/report.h"
#include "cli/spool.h"
#include "cli/switches.h"
#include "engine/dataset.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli query DIR --table T [--filter F] [--fields L] [--sort S] "
    "[--format tsv|json] [--set KEY=VALUE ...]\n";

// Tabs and line breaks inside a value would break the line-per-row form.
std::string TsvValue(const Variant& v) {
  std::string s = v.ToText();
  for (char& c : s)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return s;
}

std::string JsonValue(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      return "null";
    case VarType::Boolean:
      return v.AsBoolean() ? "true" : "false";
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return std::to_string(v.AsInteger());
    case VarType::Single:
    case VarType::Double:
      return json::Number(v.AsDouble());
    case VarType::Currency:
      return v.AsMoney().ToString();
    default:
      return json::Quote(v.ToText());
  }
}

}  // namespace

int QueryCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  if (auto problem = TakeSwitches(args, overrides); !problem.empty()) {
    err << problem << '\n';
    return 2;
  }
  std::string dir, format = "tsv";
  engine::SelectRequest request;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--table" && hasValue)
      request.table = args[++i];
    else if (a == "--filter" && hasValue)
      request.filter = args[++i];
    else if (a == "--fields" && hasValue)
      request.fields = args[++i];
    else if (a == "--sort" && hasValue)
      request.sort = args[++i];
    else if (a == "--format" && hasValue)
      format = args[++i];
    else if (dir.empty() && a.rfind("--", 0) != 0)
      dir = a;
    else {
      err << kUsage;
      return 2;
    }
  }
  if (dir.empty() || request.table.empty() || (format != "tsv" && format != "json")) {
    err << kUsage;
    return 2;
  }
  OpenArchive a(err);
  std::optional<engine::ReadTransaction> read;
  try {
    OpenForReading(a, dir, overrides);
    read.emplace(a.connection);
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
  std::optional<engine::DataSet> ds;
  try {
    ds.emplace(a.connection, request);
  } catch (const Error& e) {
    // A request the dialect refuses: the message names the problem and its position.
    err << e.message() << '\n';
    LogDetail(err, e.detail());
    return 2;
  }
  // Everything is read before anything is printed, so a failure midway leaves no half
  // document on the standard output; one pass over one statement keeps big tables workable.
  try {
    Spool spool;
    const auto& cols = ds->columns();
    if (format == "tsv") {
      for (size_t c = 0; c < cols.size(); ++c) spool << (c ? "\t" : "") << cols[c].name;
      spool << '\n';
      ds->ForEachRow([&](const std::vector<Variant>& row) {
        for (size_t c = 0; c < cols.size(); ++c) spool << (c ? "\t" : "") << TsvValue(row[c]);
        spool << '\n';
        return true;
      });
    } else {
      spool << '[';
      bool first = true;
      ds->ForEachRow([&](const std::vector<Variant>& row) {
        spool << (first ? "" : ",") << '{';
        for (size_t c = 0; c < cols.size(); ++c)
          spool << (c ? "," : "") << json::Quote(cols[c].name) << ':' << JsonValue(row[c]);
        spool << '}';
        first = false;
        return true;
      });
      spool << "]\n";
    }
    read.reset();
    spool.CopyTo(out);
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
