#include "engine/jet/testing/test_database.h"

#include <sqlite3.h>

#include <map>
#include <stdexcept>

#include "base/text.h"
#include "engine/jet/sqlite_binding.h"
#include "engine/jet/sqlite_functions.h"

namespace tillbook::jet::testing {
namespace {

std::string Quote(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string SqlType(int code) {
  switch (TypeOfCode(code)) {
    case LogicalType::Integer:
    case LogicalType::Boolean:
    case LogicalType::Money:
      return "INTEGER";
    case LogicalType::Number:
      return "REAL";
    case LogicalType::Date:
      return "TEXT";
    default:
      return "TEXT COLLATE JET_CI";
  }
}

int CompareCi(void*, int la, const void* a, int lb, const void* b) {
  return text::CompareNoCase(std::string_view(static_cast<const char*>(a), la),
                             std::string_view(static_cast<const char*>(b), lb));
}

int CompareSort(void*, int la, const void* a, int lb, const void* b) {
  return text::CompareForSort(std::string_view(static_cast<const char*>(a), la),
                              std::string_view(static_cast<const char*>(b), lb));
}

}  // namespace

std::vector<std::string> SchemaStatements(const Catalog& catalog,
                                          const std::vector<const TableInfo*>& tables) {
  std::vector<std::string> out;
  for (const TableInfo* t : tables) {
    std::vector<std::string> columns{"\"OID\" INTEGER PRIMARY KEY"};
    // Own declarations, and with a copied base everything inherited plus the base link.
    std::vector<const TableInfo*> stored{t};
    if (!t->linkToBase && !t->baseTable.empty()) {
      auto chain = BaseChain(catalog, *t);
      stored.assign(chain.begin(), chain.end());
    }
    for (const TableInfo* s : stored) {
      for (const FieldInfo& f : s->fields)
        columns.push_back(Quote(f.name) + " " + SqlType(f.typeCode));
      for (const ReferenceInfo& r : s->references) {
        if (!IsList(r.kind)) columns.push_back(Quote("OID_" + r.name) + " INTEGER");
      }
    }
    if (!t->linkToBase && !t->baseTable.empty()) {
      columns.push_back(Quote("OID_" + t->baseTable) + " INTEGER");
    }
    for (const OwnerInfo& o : catalog.Owners(t->name)) {
      if (!o.single) columns.push_back(Quote(o.ownerColumn) + " INTEGER");
    }
    std::string sql = "CREATE TABLE " + Quote(t->name) + " (";
    for (size_t i = 0; i < columns.size(); ++i) sql += (i ? ", " : "") + columns[i];
    out.push_back(sql + ")");
    for (const ReferenceInfo& r : t->references) {
      if (r.kind == RefKind::List) {
        out.push_back("CREATE TABLE " + Quote(catalog.ListTable(t->name, r.name)) +
                      " (\"OID_Owner\" INTEGER, \"OID_Item\" INTEGER)");
      }
    }
  }
  return out;
}

TestDatabase::TestDatabase(const MemoryCatalog& catalog) : catalog_(catalog) {
  if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw std::runtime_error("sqlite open");
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_create_collation(db_, "JET_CI", SQLITE_UTF8, nullptr, CompareCi);
  sqlite3_create_collation(db_, "JET_SORT", SQLITE_UTF8, nullptr, CompareSort);
  RegisterJetFunctions(db_);
  std::vector<const TableInfo*> tables;
  for (const TableInfo& t : catalog.tables()) tables.push_back(&t);
  for (const std::string& sql : SchemaStatements(catalog, tables)) Exec(sql);
}

TestDatabase::~TestDatabase() {
  sqlite3_close(db_);
}

void TestDatabase::Exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error(message + " in: " + sql);
  }
}

void TestDatabase::Insert(std::string_view table, int64_t oid,
                          const std::vector<std::pair<std::string, Variant>>& values) {
  const TableInfo* info = catalog_.FindTable(table);
  if (!info) throw std::runtime_error("no table " + std::string(table));
  std::map<std::string, std::vector<const std::pair<std::string, Variant>*>> byTable;
  for (const TableInfo* t : IdentityChain(catalog_, *info)) byTable[t->name];
  for (const auto& v : values) byTable[catalog_.StorageTable(info->name, v.first)].push_back(&v);
  for (const auto& [storage, columns] : byTable) {
    std::string names = "\"OID\"", marks = "?1";
    std::vector<Variant> params{Variant::Long(static_cast<int32_t>(oid))};
    for (const auto* c : columns) {
      names += ", " + Quote(c->first);
      params.push_back(c->second);
      marks += ", ?" + std::to_string(params.size());
    }
    Run("INSERT INTO " + Quote(storage) + " (" + names + ") VALUES (" + marks + ")", params);
  }
}

void TestDatabase::Link(std::string_view declaringTable, std::string_view reference,
                        int64_t ownerOid, int64_t itemOid) {
  Exec("INSERT INTO " + Quote(catalog_.ListTable(declaringTable, reference)) + " VALUES (" +
       std::to_string(ownerOid) + ", " + std::to_string(itemOid) + ")");
}

std::vector<Row> TestDatabase::Run(const std::string& sql,
                                   const std::vector<Variant>& params) const {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
  }
  std::vector<Row> rows;
  try {
    BindJetParameters(stmt, params);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      Row row;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const unsigned char* s = sqlite3_column_text(stmt, i);
        row.push_back(s ? reinterpret_cast<const char*>(s) : "NULL");
      }
      rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
      throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
  } catch (...) {
    sqlite3_finalize(stmt);
    throw;
  }
  sqlite3_finalize(stmt);
  return rows;
}

int64_t TestDatabase::Count(const Translation& t) const {
  return std::stoll(Run(t.countSql, t.countParams).at(0).at(0));
}

std::vector<std::string> TestDatabase::Column(const Translation& t, std::string_view name) const {
  size_t index = t.columns.size();
  for (size_t i = 0; i < t.columns.size(); ++i) {
    if (t.columns[i].name == name) index = i;
  }
  if (index == t.columns.size()) throw std::runtime_error("no column " + std::string(name));
  std::vector<std::string> out;
  for (const Row& r : Rows(t)) out.push_back(r.at(index));
  return out;
}

int64_t TestDatabase::TableCount() const {
  return std::stoll(Run("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'", {}).at(0).at(0));
}

}  // namespace tillbook::jet::testing
