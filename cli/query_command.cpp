#include <ostream>

#include "base/error.h"
#include "base/json.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/switches.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
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
    case VarType::Null: return "null";
    case VarType::Boolean: return v.AsBoolean() ? "true" : "false";
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return std::to_string(v.AsInteger());
    case VarType::Single:
    case VarType::Double: return json::Number(v.AsDouble());
    case VarType::Currency: return v.AsMoney().ToString();
    default: return json::Quote(v.ToText());
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
    if (a == "--table" && hasValue) request.table = args[++i];
    else if (a == "--filter" && hasValue) request.filter = args[++i];
    else if (a == "--fields" && hasValue) request.fields = args[++i];
    else if (a == "--sort" && hasValue) request.sort = args[++i];
    else if (a == "--format" && hasValue) format = args[++i];
    else if (dir.empty() && a.rfind("--", 0) != 0) dir = a;
    else {
      err << kUsage;
      return 2;
    }
  }
  if (dir.empty() || request.table.empty() || (format != "tsv" && format != "json")) {
    err << kUsage;
    return 2;
  }
  ConsoleUi ui(err, {}, true);
  engine::Connection connection(&ui);
  try {
    connection.Open(ArchivePath(dir));
    data::TableSwitches switches = StoredSwitches(connection);
    overrides.ApplyTo(switches);
    engine::Database database(std::make_unique<data::DB>(switches), "Tillbook");
    database.Attach(connection);
  } catch (const Error& e) {
    err << e.message() << '\n';
    return 1;
  }
  try {
    engine::DataSet ds(connection, request);
    const auto& cols = ds.columns();
    if (format == "tsv") {
      for (size_t c = 0; c < cols.size(); ++c) out << (c ? "\t" : "") << cols[c].name;
      out << '\n';
      for (ds.First(); !ds.IsEOF(); ds.Next()) {
        for (size_t c = 0; c < cols.size(); ++c)
          out << (c ? "\t" : "") << TsvValue(ds.ColValue(static_cast<int>(c)));
        out << '\n';
      }
    } else {
      out << '[';
      bool first = true;
      for (ds.First(); !ds.IsEOF(); ds.Next()) {
        out << (first ? "" : ",") << '{';
        for (size_t c = 0; c < cols.size(); ++c)
          out << (c ? "," : "") << json::Quote(cols[c].name) << ':'
              << JsonValue(ds.ColValue(static_cast<int>(c)));
        out << '}';
        first = false;
      }
      out << "]\n";
    }
    return 0;
  } catch (const Error& e) {
    // A request the dialect refuses: the message names the problem and its position.
    err << e.message() << '\n';
    return 2;
  }
}

}  // namespace tillbook::cli
