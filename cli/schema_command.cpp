#include <ostream>

#include "base/error.h"
#include "base/json.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"

namespace tillbook::cli {

namespace {

using json::Quote;

const char* KindName(engine::RefKind k) {
  switch (k) {
    case engine::RefKind::Single:
      return "single";
    case engine::RefKind::OwnedSingle:
      return "owned single";
    case engine::RefKind::List:
      return "list";
    case engine::RefKind::OwnedList:
      return "owned list";
  }
  return "";
}

void WriteTable(std::ostream& out, const engine::TableInfo& t) {
  const engine::TableDef& d = *t.def;
  out << "{\"name\":" << Quote(t.name) << ",\"caption\":" << Quote(d.Caption)
      << ",\"base\":" << Quote(d.BaseTable) << ",\"version\":" << json::Number(d.Version)
      << ",\"tableOptions\":" << d.TableOptions
      << ",\"linkToBase\":" << (d.LinkToBase ? "true" : "false") << ",\"fields\":[";
  bool first = true;
  for (const engine::FieldDef& f : d.fields()) {
    out << (first ? "" : ",") << "{\"name\":" << Quote(f.name)
        << ",\"type\":" << static_cast<int>(f.type) << ",\"size\":" << f.size
        << ",\"source\":" << Quote(f.source) << ",\"default\":" << Quote(f.defaultValue)
        << ",\"nullable\":" << (f.notNull ? "false" : "true") << ",\"a1\":" << f.a1
        << ",\"a2\":" << f.a2 << ",\"a3\":" << f.a3 << ",\"description\":" << Quote(f.description)
        << ",\"values\":" << Quote(f.valueList) << ",\"group\":" << Quote(f.group) << "}";
    first = false;
  }
  out << "],\"references\":[";
  first = true;
  for (const engine::ReferenceDef& r : d.references()) {
    out << (first ? "" : ",") << "{\"name\":" << Quote(r.name) << ",\"table\":" << Quote(r.table)
        << ",\"kind\":" << Quote(KindName(r.kind())) << ",\"key\":" << Quote(r.keyField)
        << ",\"shown\":" << Quote(r.shownFields)
        << ",\"nullable\":" << (r.notNull ? "false" : "true") << ",\"a1\":" << r.a1
        << ",\"a2\":" << r.a2 << ",\"a3\":" << r.a3 << ",\"description\":" << Quote(r.description)
        << ",\"mode\":" << r.mode << ",\"group\":" << Quote(r.group) << "}";
    first = false;
  }
  out << "],\"indexes\":[";
  first = true;
  for (const engine::IndexDef& ix : d.indexes()) {
    out << (first ? "" : ",") << "{\"name\":" << Quote(ix.name)
        << ",\"unique\":" << (ix.unique ? "true" : "false") << ",\"items\":[";
    for (size_t i = 0; i < ix.items.size(); ++i) out << (i ? "," : "") << Quote(ix.items[i].name);
    out << "]}";
    first = false;
  }
  out << "],\"fieldOrder\":" << Quote(d.FieldOrder) << "}";
}

}  // namespace

int SchemaCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  if (auto problem = TakeSwitches(args, overrides); !problem.empty()) {
    err << problem << '\n';
    return 2;
  }
  std::string dir, table, format = "json";
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--table" && i + 1 < args.size()) {
      table = args[++i];
    } else if (args[i] == "--format" && i + 1 < args.size()) {
      format = args[++i];
    } else if (dir.empty() && args[i].rfind("--", 0) != 0) {
      dir = args[i];
    } else {
      err << "Uso: tillbook-cli schema DIR [--table T] [--set KEY=VALUE ...] --format json\n";
      return 2;
    }
  }
  if (dir.empty() || format != "json") {
    err << "Uso: tillbook-cli schema DIR [--table T] [--set KEY=VALUE ...] --format json\n";
    return 2;
  }
  try {
    // The definitions only, under the archive's switches: the archive is only read.
    data::TableSwitches switches;
    {
      engine::Connection connection;
      connection.Open(ArchivePath(dir), engine::Connection::Access::ReadOnly);
      switches = core::StoredSwitches(connection);
    }
    overrides.ApplyTo(switches);
    engine::DatabaseDef defs;
    data::DB(switches).itfDefDatabase_Define(defs);
    engine::Catalog catalog(defs);
    if (!table.empty() && !catalog.Find(table)) {
      err << "Tabella sconosciuta: " << table << ".\n";
      return 2;
    }
    out << "{\"tables\":[";
    bool first = true;
    for (const auto& t : catalog.tables()) {
      if (!table.empty() && !text::EqualNoCase(t->name, table)) continue;
      if (!first) out << ",";
      WriteTable(out, *t);
      first = false;
    }
    out << "]}\n";
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
