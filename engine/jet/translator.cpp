#include "engine/jet/translator.h"

#include <algorithm>

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

// The database reads a statement with a parser of bounded depth (SQLite's gives up about a
// hundred levels down), and how much of it each parenthesis takes depends on what is pending
// there: nothing more after another parenthesis, an operand and an operator or a function name
// elsewhere, whole clauses in a sub-select or a CASE. This estimates it from the SQL text, on the
// safe side; the translator's tests hold it against the database.
int ParserNesting(std::string_view sql) {
  std::vector<int> open;
  int total = 0;
  int deepest = 0;
  auto startsWith = [&](size_t at, std::string_view word) {
    while (at < sql.size() && sql[at] == ' ') ++at;
    return sql.substr(at, word.size()) == word;
  };
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (c == '\'' || c == '"') {
      // Quoted texts and names: skip to the closing quote (a doubled one stays inside).
      for (++i; i < sql.size(); ++i) {
        if (sql[i] != c) continue;
        if (i + 1 < sql.size() && sql[i + 1] == c) {
          ++i;
          continue;
        }
        break;
      }
    } else if (c == '(') {
      size_t before = i;
      while (before > 0 && sql[before - 1] == ' ') --before;
      int cost = 4;
      if (startsWith(i + 1, "SELECT")) {
        cost = 10;
      } else if (startsWith(i + 1, "CASE")) {
        cost = 8;
      } else if (before > 0 && sql[before - 1] == '(') {
        cost = 1;
      }
      open.push_back(cost);
      total += cost;
      deepest = std::max(deepest, total);
    } else if (c == ')' && !open.empty()) {
      total -= open.back();
      open.pop_back();
    }
  }
  return deepest;
}

constexpr int kMaxParserNesting = 80;

void CheckNesting(const std::string& sql, std::string_view text) {
  if (ParserNesting(sql) > kMaxParserNesting) {
    throw JetError(ErrorKind::TooComplex,
                   "Espressione troppo complessa: troppi livelli annidati (posizione 1).", text, 0,
                   text.size());
  }
}

// Each literal is a parameter, and the database binds a bounded number of them per statement
// (32766 in SQLite); a data set adds two of its own for paging.
constexpr size_t kMaxParameters = 30000;

void CheckParameterCount(const std::vector<Variant>& params, const Query& query) {
  if (params.size() <= kMaxParameters) return;
  const std::string& text = !query.filter.empty() ? query.filter : query.fields;
  throw JetError(
      ErrorKind::TooComplex,
      "Testo troppo complesso: più di " + std::to_string(kMaxParameters) + " valori (posizione 1).",
      text, 0, text.size());
}

struct Column {
  OutputColumn info;
  std::string sql;
};

// The result columns as they are built: looked up by name without regard to case. The first is
// the row identifier the caller keeps apart; a field list naming OID shows it as a column of its
// own.
class Columns {
 public:
  // Any column, the row identifier included (a sort by "OID").
  Column* Find(std::string_view name) { return Find(name, 0); }
  // A column the field list shows.
  Column* FindShown(std::string_view name) { return Find(name, 1); }
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
  Column* Find(std::string_view name, size_t from) {
    for (size_t i = from; i < columns_.size(); ++i) {
      if (text::EqualNoCase(columns_[i].info.name, name)) return &columns_[i];
    }
    return nullptr;
  }

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
        if (c.HasAlias(star.name) || columns.FindShown(star.name)) continue;
        columns.Add(star.name, star.value, star.value.typeCode);
      }
      continue;
    }
    if (!item.alias.empty()) {
      Value v = c.AliasValue(item.alias, item.aliasOffset);
      if (Column* existing = columns.FindShown(item.alias); existing && existing->sql == v.sql) {
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
      if (Column* existing = columns.FindShown(name)) {
        if (existing->sql == v.sql) continue;  // "*,Codice": already there
        name.clear();
        for (size_t i = 0; i < parts.size(); ++i) name += (i ? "." : "") + parts[i];
        if (columns.FindShown(name)) continue;
      }
    } else {
      name = "Expr" + std::to_string(++exprCounter);
    }
    columns.Add(name, v, v.typeCode);
  }
}

// A sort key with the same value on every row orders nothing. A number in particular is not a
// column position in this dialect, so "1" is refused rather than sorting nothing in silence.
[[noreturn]] void RefuseConstantSort(const Expr& e, Compiler& c) {
  const std::string shown(c.text().substr(e.offset, e.length));
  const bool number = e.kind == ExprKind::Literal && e.literal == LiteralKind::Number;
  c.Fail(ErrorKind::BadSort,
         "Ordinamento non valido «" + shown + "»" + c.At(e.offset) +
             (number ? " Un numero non indica una colonna: scrivere il nome del campo."
                     : " Il valore è lo stesso per ogni riga: scrivere il nome di un campo."),
         e.offset, e.length);
}

// ORDER BY keys. A lone name is first a column of the result (an alias, the name given to a
// path), so that a clicked computed column sorts by its value. The row identifier ends the list.
// `reversed` gets the same keys, each in the other direction.
std::string OrderBy(const std::vector<SortItem>& sorts, const std::string& oidSql, Compiler& c,
                    Scope& scope, Columns& columns, const Dialect& dialect, std::string& reversed) {
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
      const int before = c.rowReferences();
      v = c.Compile(*s.expr, scope);
      if (c.rowReferences() == before) RefuseConstantSort(*s.expr, c);
    }
    // Yes/no values sort as the original numbers: True (-1) before False (0).
    std::string key = v.type == LogicalType::Boolean ? dialect.BoolToNumber(v.sql) : v.sql;
    orderBy += dialect.SortKey(key, v.type == LogicalType::Text, s.descending) + ", ";
    reversed += dialect.SortKey(key, v.type == LogicalType::Text, !s.descending) + ", ";
  }
  reversed += dialect.SortKey(oidSql, false, true);
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
  if (items.empty()) {
    throw JetError(ErrorKind::Incomplete,
                   "Elenco dei campi vuoto: indicare almeno un campo, oppure «*» per tutti.",
                   fieldsText, 0, fieldsText.size());
  }
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
  std::string reversed;
  out.orderBy = OrderBy(sorts, oid.sql, c, sortScope, columns, dialect_, reversed);

  Scope filterScope = main;
  filterScope.context = Context::Filter;
  filterScope.listsAsExists = true;
  if (filter) {
    c.SetText(query.filter);
    out.where = c.Condition(*filter, filterScope, false);
  }
  for (const Column& col : columns.all()) {
    out.select +=
        (out.select.empty() ? "" : ", ") + col.sql + " AS " + dialect_.Quote(col.info.name);
    out.columns.push_back(col.info);
  }
  CheckNesting(out.select, fieldsText);
  CheckNesting(out.orderBy, query.sort);
  CheckNesting(out.where, query.filter);
  const std::string root = dialect_.Quote(table.name) + " " + main.root->alias;
  out.from = root + c.mainSpace().Text();
  const std::string where = out.where.empty() ? "" : " WHERE " + out.where;
  out.sql = "SELECT " + out.select + " FROM " + out.from + where + " ORDER BY " + out.orderBy;
  out.reverseSql = "SELECT " + out.select + " FROM " + out.from + where + " ORDER BY " + reversed;
  out.params = std::move(c.params());
  CheckParameterCount(out.params, query);

  // The count binds only what its own text uses: the filter is compiled once more with a fresh
  // parameter list (the field list's values are not in the count). The joins are those the
  // first compilation made, so the rows are the same; the count needs only the joins of the
  // filter and those that multiply rows.
  std::string countWhere;
  c.params().clear();
  if (filter) {
    c.SetText(query.filter);
    c.ForgetAliasValues();
    countWhere = c.Condition(*filter, filterScope, false);
  }
  out.countSql = "SELECT COUNT(*) FROM " + root + c.mainSpace().TextFor(countWhere) +
                 (countWhere.empty() ? "" : " WHERE " + countWhere);
  out.countParams = std::move(c.params());
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
  CheckNesting(sql, expression);
  CheckNesting(out.where, filterText);
  out.select = sql + " AS " + dialect_.Quote(name);
  out.from = dialect_.Quote(table.name) + " " + main.root->alias + c.mainSpace().Text();
  out.sql = "SELECT " + out.select + " FROM " + out.from +
            (out.where.empty() ? "" : " WHERE " + out.where);
  OutputColumn col;
  col.name = name;
  col.type = type;
  out.columns.push_back(col);
  out.params = std::move(c.params());
  CheckParameterCount(
      out.params,
      Query{std::string(tableName), std::string(filterText), std::string(expression), {}});
  return out;
}

}  // namespace tillbook::jet
