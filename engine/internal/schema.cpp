#include "engine/internal/schema.h"

#include <charconv>
#include <optional>
#include <set>

#include "base/text.h"
#include "engine/jet/jet_error.h"
#include "engine/jet/parser.h"

namespace tillbook::engine::internal {

namespace {

std::string SqlLiteral(const Variant& v) {
  switch (v.type()) {
    case VarType::String: {
      std::string out = "'";
      for (char c : v.AsString()) {
        if (c == '\'') out += '\'';
        out += c;
      }
      return out + "'";
    }
    case VarType::Boolean:
      return v.AsBoolean() ? "1" : "0";
    case VarType::Currency:
      return std::to_string(v.AsMoney().raw());
    case VarType::Single:
    case VarType::Double: {
      char buf[64];
      auto r = std::to_chars(buf, buf + sizeof buf, v.AsDouble());
      return std::string(buf, r.ptr);
    }
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return std::to_string(v.AsInteger());
    default:
      return {};
  }
}

std::string ColumnDecl(const ColumnInfo& c) {
  std::string decl = Quote(c.name);
  if (c.kind != ColumnInfo::Kind::Field) return decl + " INTEGER";
  switch (c.type) {
    case FieldType::Integer:
    case FieldType::SmallInteger:
    case FieldType::YesNo:
    case FieldType::Money:
      decl += " INTEGER";
      break;
    case FieldType::Millimetres:
    case FieldType::Number:
      decl += " REAL";
      break;
    case FieldType::Date:
    case FieldType::DateTime:
      return decl + " TEXT";
    default:
      decl += " TEXT COLLATE JET_CI";
  }
  std::string def = SqlLiteral(c.initial);
  if (!def.empty()) decl += " DEFAULT " + def;
  if (c.notNull && !def.empty()) decl += " NOT NULL";
  return decl;
}


// Adds the index on the key terms `keys` (SQL, comma-separated) to the plan unless the archive
// has one of that name.
void PlanIndexKeys(const StoredSchema& stored, bool newTable, StoragePlan& plan,
                   const std::string& table, const std::string& name, bool unique,
                   const std::string& keys) {
  if (!newTable && stored.HasIndex(name)) return;
  plan.statements.push_back(std::string("CREATE ") + (unique ? "UNIQUE " : "") +
                            "INDEX IF NOT EXISTS " + Quote(name) + " ON " + Quote(table) + " (" +
                            keys + ")");
}

// The same on plain columns, each compared as its declaration says.
void PlanIndex(const StoredSchema& stored, bool newTable, StoragePlan& plan, const std::string& table,
               const std::string& name, bool unique, const std::vector<std::string>& cols) {
  std::string list;
  for (const auto& c : cols) list += (list.empty() ? "" : ",") + Quote(c);
  PlanIndexKeys(stored, newTable, plan, table, name, unique, list);
}

// The column of the own segment a sort item names, when it is a stored field: "Campo" or
// "Tabella.Campo". Anything else (a reference shown through its target, an expression, a base
// column kept in another segment) is sorted through a join or a computation no index serves.
const ColumnInfo* SortedColumn(const TableInfo& t, const jet::Expr& e) {
  if (e.kind != jet::ExprKind::Path || e.parts.empty() || e.parts.size() > 2) return nullptr;
  if (e.parts.size() == 2 && !text::EqualNoCase(e.parts[0], t.name)) return nullptr;
  const int i = t.own->Find(e.parts.back());
  if (i < 0) return nullptr;
  const ColumnInfo& c = t.own->columns[i];
  return c.kind == ColumnInfo::Kind::Field ? &c : nullptr;
}

// The table's own row identifier: "OID" or "Tabella.OID" (not a referenced row's).
bool IsOid(const TableInfo& t, const jet::Expr& e) {
  if (e.kind != jet::ExprKind::Path || e.parts.empty() || e.parts.size() > 2) return false;
  if (e.parts.size() == 2 && !text::EqualNoCase(e.parts[0], t.name)) return false;
  return text::EqualNoCase(e.parts.back(), "OID");
}

// The index a table's default order (the sort its OnSelect hook gives a request without one)
// needs, so that a grid opened on a big table reads each page along the index instead of
// sorting every row for every page. Keys are compared as the query translator sorts them: texts
// in the archive's sort order, other values as stored; the row identifier, which ends every
// sort, ends every index of a rowid table by itself. Empty when the order is not a list of the
// table's own stored fields (yes/no fields sort through a conversion, so they do not qualify).
struct OrderIndex {
  std::string name;
  std::string keys;
};
std::optional<OrderIndex> DefaultOrderIndex(const TableInfo& t) {
  SelectRequest request;
  request.table = t.name;
  t.hooks->itfSetData_OnSelect(request);
  if (text::Trim(request.sort).empty()) return std::nullopt;
  std::vector<jet::SortItem> sorts;
  try {
    sorts = jet::ParseSortList(request.sort);
  } catch (const jet::JetError&) {
    return std::nullopt;  // the data set refuses it too, and says so when opened
  }
  OrderIndex ix{"IX_" + t.own->table + "_Ordine", {}};
  for (const jet::SortItem& s : sorts) {
    // Rows with equal keys come in identifier order: an ascending identifier ends the order.
    if (IsOid(t, *s.expr) && !s.descending) break;
    const ColumnInfo* c = SortedColumn(t, *s.expr);
    if (!c || c->type == FieldType::YesNo) return std::nullopt;
    ix.name += "_" + c->name + (s.descending ? "_Desc" : "");
    ix.keys += (ix.keys.empty() ? "" : ",") + Quote(c->name) +
               (IsTextType(c->type) ? " COLLATE JET_SORT" : "") + (s.descending ? " DESC" : "");
  }
  if (ix.keys.empty()) return std::nullopt;
  return ix;
}

}  // namespace

StoredSchema StoredSchema::Read(SqliteDb& db) {
  // One statement for the whole archive: opening an archive of many tables must not prepare
  // a statement per table.
  StoredSchema schema;
  Statement s(db.handle(),
              "SELECT m.type, m.name, p.name FROM sqlite_master AS m "
              "LEFT JOIN pragma_table_info(m.name) AS p WHERE m.type IN ('table','index')");
  while (s.Step()) {
    const std::string name = text::Fold(s.Text(1));
    if (s.Text(0) == "index") {
      schema.indexes.insert(name);
    } else {
      auto& columns = schema.tables[name];
      if (!s.IsNull(2)) columns.insert(text::Fold(s.Text(2)));
    }
  }
  return schema;
}

bool StoredSchema::HasTable(std::string_view name) const {
  return tables.find(text::Fold(name)) != tables.end();
}

bool StoredSchema::HasIndex(std::string_view name) const {
  return indexes.find(text::Fold(name)) != indexes.end();
}

StoragePlan PlanStorage(const StoredSchema& stored, const TableInfo& t) {
  StoragePlan plan;
  const SegmentInfo& seg = *t.own;
  plan.createsTable = !stored.HasTable(seg.table);
  const bool fresh = plan.createsTable;
  if (fresh) {
    std::string sql = "CREATE TABLE " + Quote(seg.table) + " (\"OID\" INTEGER PRIMARY KEY" +
                      (seg.autoIncrement ? " AUTOINCREMENT" : "");
    for (const auto& c : seg.columns) sql += ", " + ColumnDecl(c);
    plan.statements.push_back(sql + ")");
  } else {
    const auto& existing = stored.tables.find(text::Fold(seg.table))->second;
    for (const auto& c : seg.columns)
      if (!existing.count(text::Fold(c.name)))
        plan.statements.push_back("ALTER TABLE " + Quote(seg.table) + " ADD COLUMN " +
                                  ColumnDecl(c));
  }
  // Links followed by every list read and every delete.
  for (const auto& c : seg.columns)
    if (c.kind == ColumnInfo::Kind::OwnerLink || c.kind == ColumnInfo::Kind::BaseLink)
      PlanIndex(stored, fresh, plan, seg.table, "IX_" + seg.table + "_" + c.name, false, {c.name});
  int n = 0;
  for (const IndexDef& ix : t.def->indexes()) {
    ++n;
    std::vector<std::string> cols;
    bool local = true;
    for (const auto& item : ix.items) {
      // A reference named as a plain index item means its link column.
      std::string col = item.isReference ? "OID_" + item.name : item.name;
      int i = seg.Find(col);
      if (i < 0 && !item.isReference) i = seg.Find("OID_" + item.name);
      if (i < 0) {
        local = false;  // an item stored with the base row cannot be indexed here
        break;
      }
      cols.push_back(seg.columns[i].name);
    }
    if (!local || cols.empty()) continue;
    std::string name = "IX_" + seg.table + "_" + (ix.name.empty() ? std::to_string(n) : ix.name);
    PlanIndex(stored, fresh, plan, seg.table, name, ix.unique, cols);
  }
  // Named after its keys: a later program with another default order adds its own index.
  if (const auto order = DefaultOrderIndex(t))
    PlanIndexKeys(stored, fresh, plan, seg.table, order->name, false, order->keys);
  for (const auto& r : t.references)
    if (r->kind == RefKind::List && r->declaredIn == &t) {
      const bool newList = !stored.HasTable(r->linkTable);
      if (newList)
        plan.statements.push_back("CREATE TABLE IF NOT EXISTS " + Quote(r->linkTable) +
                                  " (\"OID_Owner\" INTEGER NOT NULL, \"OID_Item\" INTEGER NOT "
                                  "NULL, PRIMARY KEY (\"OID_Owner\", \"OID_Item\"))");
      PlanIndex(stored, newList, plan, r->linkTable, "IX_" + r->linkTable + "_Item", false,
                {"OID_Item"});
    }
  return plan;
}

bool UpdateStorage(SqliteDb& db, const StoredSchema& stored, const TableInfo& t) {
  const StoragePlan plan = PlanStorage(stored, t);
  for (const std::string& sql : plan.statements) db.Exec(sql);
  return plan.createsTable;
}

}  // namespace tillbook::engine::internal
