#include "engine/jet/translator.h"

#include "base/text.h"
#include "engine/jet/catalog.h"
#include "engine/jet/dialect.h"
#include "engine/jet/internal/compiler.h"
#include "engine/jet/jet_error.h"
#include "engine/jet/parser.h"

namespace tillbook::jet {

using internal::Compiler;
using internal::Context;
using internal::Scope;
using internal::Value;

LogicalType TypeOfCode(int typeCode) {
  switch (typeCode) {
    case 11:
    case 12:
      return LogicalType::Integer;
    case 14:
      return LogicalType::Boolean;
    case 15:
    case 16:
      return LogicalType::Number;
    case 17:
    case 19:
      return LogicalType::Date;
    case 20:
      return LogicalType::Money;
    default:
      return LogicalType::Text;
  }
}

namespace {

const TableInfo& FindQueryTable(const Catalog& catalog, std::string_view name) {
  const TableInfo* table = catalog.FindTable(text::Trim(name));
  if (!table) {
    throw JetError(ErrorKind::UnknownName, "Tabella sconosciuta «" + std::string(name) + "».", name,
                   0, name.size());
  }
  return *table;
}

struct Column {
  OutputColumn info;
  std::string sql;
};

// The result columns as they are built: looked up by name without regard to case.
class Columns {
 public:
  Column* Find(std::string_view name) {
    for (Column& col : columns_) {
      if (text::EqualNoCase(col.info.name, name)) return &col;
    }
    return nullptr;
  }
  void Add(const std::string& name, const Value& v, int typeCode) {
    Column col;
    col.info.name = name;
    col.info.type = v.type;
    col.info.typeCode = typeCode;
    col.info.readOnly = !v.ownColumn;
    col.info.storageTable = v.ownColumn ? v.storageTable : "";
    col.info.storageColumn = v.ownColumn ? v.storageColumn : "";
    col.sql = v.sql;
    columns_.push_back(std::move(col));
  }
  const std::vector<Column>& all() const { return columns_; }

 private:
  std::vector<Column> columns_;
};

// "Name.*" may only name the opened table (or a base it shares its rows with).
void CheckStarTable(const Catalog& catalog, const TableInfo& table, const FieldItem& item,
                    Compiler& c, const std::string& fieldsText) {
  if (item.starTable.empty()) return;
  for (const TableInfo* t : IdentityChain(catalog, table)) {
    if (text::EqualNoCase(t->name, item.starTable)) return;
  }
  throw JetError(ErrorKind::UnknownName,
                 "Tabella «" + item.starTable + "» non presente: «" + item.starTable +
                     ".*» può indicare solo la tabella " + table.name + c.At(item.starTableOffset),
                 fieldsText, item.starTableOffset, item.starTable.size());
}

// The field list, in order: '*' expands to the table's columns (less those an alias replaces),
// an alias names its item, a path is named by its last part (its whole text when that name is
// taken by another value), any other expression is Expr1, Expr2...
void AddFieldColumns(const Catalog& catalog, const TableInfo& table,
                     const std::vector<FieldItem>& items, const std::string& fieldsText,
                     Compiler& c, Scope& scope, Columns& columns) {
  int exprCounter = 0;
  for (const FieldItem& item : items) {
    if (item.star) {
      CheckStarTable(catalog, table, item, c, fieldsText);
      for (const auto& star : c.StarColumns(scope)) {
        if (c.HasAlias(star.name) || columns.Find(star.name)) continue;
        columns.Add(star.name, star.value, star.value.typeCode);
      }
      continue;
    }
    if (!item.alias.empty()) {
      Value v = c.AliasValue(item.alias, item.aliasOffset);
      if (Column* existing = columns.Find(item.alias); existing && existing->sql == v.sql) {
        continue;
      }
      columns.Add(item.alias, v, v.ownColumn ? v.typeCode : -1);
      continue;
    }
    Value v = c.Compile(*item.expr, scope);
    std::string name;
    if (item.expr->kind == ExprKind::Path) {
      const auto& parts = item.expr->parts;
      name = parts.back();
      if (Column* existing = columns.Find(name)) {
        if (existing->sql == v.sql) continue;  // "*,Codice": already there
        name.clear();
        for (size_t i = 0; i < parts.size(); ++i) name += (i ? "." : "") + parts[i];
        if (columns.Find(name)) continue;
      }
    } else {
      name = "Expr" + std::to_string(++exprCounter);
    }
    columns.Add(name, v, v.typeCode);
  }
}

// ORDER BY keys. A lone name is first a column of the result (an alias, the name given to a
// path), so that a clicked computed column sorts by its value. The row identifier ends the list.
std::string OrderBy(const std::vector<SortItem>& sorts, const std::string& oidSql, Compiler& c,
                    Scope& scope, Columns& columns, const Dialect& dialect) {
  std::string orderBy;
  for (const SortItem& s : sorts) {
    Value v;
    const Column* col = nullptr;
    if (s.expr->kind == ExprKind::Path && s.expr->parts.size() == 1) {
      col = columns.Find(s.expr->parts[0]);
    }
    if (col) {
      v.sql = col->sql;
      v.type = col->info.type;
    } else {
      v = c.Compile(*s.expr, scope);
    }
    // Yes/no values sort as the original numbers: True (-1) before False (0).
    std::string key = v.type == LogicalType::Boolean ? dialect.BoolToNumber(v.sql) : v.sql;
    orderBy += dialect.SortKey(key, v.type == LogicalType::Text, s.descending) + ", ";
  }
  return orderBy + dialect.SortKey(oidSql, false, false);
}

}  // namespace

Translator::Translator(const Catalog& catalog, const Dialect& dialect)
    : catalog_(catalog), dialect_(dialect) {}

Translation Translator::Translate(const Query& query, DateTime now) const {
  const TableInfo& table = FindQueryTable(catalog_, query.table);
  Compiler c(catalog_, dialect_, now);
  Scope& main = c.Begin(table);

  const std::string fieldsText = text::Trim(query.fields).empty() ? std::string("*") : query.fields;
  c.SetText(fieldsText);
  std::vector<FieldItem> items = ParseFieldList(fieldsText);
  c.SetText(query.sort);
  std::vector<SortItem> sorts = ParseSortList(query.sort);
  c.SetText(query.filter);
  ExprPtr filter = ParseFilter(query.filter);
  c.SetAliases(&items, fieldsText);

  // Field list and sort first: list paths they show become joins that the filter then reuses.
  Columns columns;
  Value oid;
  oid.sql = main.root->alias + ".\"OID\"";
  oid.type = LogicalType::Integer;
  columns.Add("OID", oid, -1);
  c.SetText(fieldsText);
  Scope fieldsScope = main;
  fieldsScope.context = Context::Fields;
  fieldsScope.listsAsExists = false;
  AddFieldColumns(catalog_, table, items, fieldsText, c, fieldsScope, columns);

  c.SetText(query.sort);
  Scope sortScope = main;
  sortScope.context = Context::Sort;
  sortScope.listsAsExists = false;
  Translation out;
  out.orderBy = OrderBy(sorts, oid.sql, c, sortScope, columns, dialect_);

  if (filter) {
    c.SetText(query.filter);
    Scope filterScope = main;
    filterScope.context = Context::Filter;
    filterScope.listsAsExists = true;
    out.where = c.Condition(*filter, filterScope, false);
  }
  for (const Column& col : columns.all()) {
    out.select +=
        (out.select.empty() ? "" : ", ") + col.sql + " AS " + dialect_.Quote(col.info.name);
    out.columns.push_back(col.info);
  }
  const std::string root = dialect_.Quote(table.name) + " " + main.root->alias;
  out.from = root + c.mainSpace().Text();
  const std::string where = out.where.empty() ? "" : " WHERE " + out.where;
  out.sql = "SELECT " + out.select + " FROM " + out.from + where + " ORDER BY " + out.orderBy;
  // The count needs only the joins of the filter and those that multiply rows.
  out.countSql = "SELECT COUNT(*) FROM " + root + c.mainSpace().TextFor(out.where) + where;
  out.params = std::move(c.params());
  return out;
}

Translation Translator::TranslateAggregate(std::string_view tableName, Aggregate aggregate,
                                           std::string_view expression, std::string_view filterText,
                                           DateTime now) const {
  const TableInfo& table = FindQueryTable(catalog_, tableName);
  Compiler c(catalog_, dialect_, now);
  Scope& main = c.Begin(table);
  std::string_view exprText = text::Trim(expression);
  const bool star = exprText.empty() || exprText == "*";
  c.SetText(expression);
  ExprPtr expr = star ? nullptr : ParseExpression(expression);
  c.SetText(filterText);
  ExprPtr filter = ParseFilter(filterText);

  if (star && aggregate != Aggregate::Count) {
    throw JetError(ErrorKind::Incomplete, "Espressione mancante per il calcolo.", expression, 0, 0);
  }
  Scope valueScope = main;
  valueScope.context = Context::Fields;
  valueScope.listsAsExists = false;
  Value v;
  if (expr) {
    c.SetText(expression);
    v = c.Compile(*expr, valueScope);
  }
  std::string sql;
  LogicalType type = v.type;
  const char* name = "Valore";
  switch (aggregate) {
    case Aggregate::Count:
      sql = star ? "COUNT(*)" : "COUNT(" + v.sql + ")";
      type = LogicalType::Integer;
      name = "Conteggio";
      break;
    case Aggregate::Sum:
      if (v.type != LogicalType::Money) v = c.AsNumber(v, *expr);
      sql = "COALESCE(SUM(" + v.sql + "), 0)";
      type = v.type == LogicalType::Null ? LogicalType::Integer : v.type;
      name = "Somma";
      break;
    case Aggregate::Avg:
      v = c.AsNumber(v, *expr);
      sql = "AVG(" + v.sql + ")";
      type = LogicalType::Number;
      name = "Media";
      break;
    case Aggregate::Min:
    case Aggregate::Max:
      sql = std::string(aggregate == Aggregate::Min ? "MIN(" : "MAX(") + v.sql + ")";
      name = aggregate == Aggregate::Min ? "Minimo" : "Massimo";
      break;
  }
  Translation out;
  if (filter) {
    c.SetText(filterText);
    Scope filterScope = main;
    out.where = c.Condition(*filter, filterScope, false);
  }
  out.select = sql + " AS " + dialect_.Quote(name);
  out.from = dialect_.Quote(table.name) + " " + main.root->alias + c.mainSpace().Text();
  out.sql = "SELECT " + out.select + " FROM " + out.from +
            (out.where.empty() ? "" : " WHERE " + out.where);
  OutputColumn col;
  col.name = name;
  col.type = type;
  out.columns.push_back(col);
  out.params = std::move(c.params());
  return out;
}

}  // namespace tillbook::jet
