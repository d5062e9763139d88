#include "mainwindow/internal/archive_sql.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>

#include "base/error.h"
#include "base/money.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/ui_services.h"

namespace tillbook::mainwindow::internal {

std::string Quote(std::string_view name) {
  return engine::internal::Quote(name);
}

std::string SqlNumber(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  std::string text = buffer;
  // A whole number stays REAL in a REAL column, but keep it a real literal all the same.
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  return text;
}

std::optional<SqlColumn> FindSqlColumn(const engine::TableInfo& table, std::string_view field) {
  const engine::ColumnRef c = table.FindColumn(field);
  if (!c.valid()) return std::nullopt;
  return SqlColumn{Quote(table.segments[c.segment]->table), Quote(table.Column(c).name)};
}

SqlColumn SqlColumnOf(const engine::TableInfo& table, std::string_view field) {
  if (auto c = FindSqlColumn(table, field)) return *c;
  throw Error("Campo sconosciuto «" + std::string(field) + "» nella tabella " + table.name + ".",
              "recalculation: missing field");
}

std::string OwnTable(const engine::TableInfo& table) {
  return Quote(table.own->table);
}

std::string BaseLinkColumn(const engine::TableInfo& rows) {
  if (rows.baseLinkColumn < 0)
    throw Error("La tabella " + rows.name + " non deriva da un articolo.",
                "recalculation: no base link");
  return Quote(rows.own->columns[rows.baseLinkColumn].name);
}

const engine::ReferenceInfo& ListOf(const engine::TableInfo& table, std::string_view name) {
  const engine::ReferenceInfo* r = table.FindReference(name);
  if (!r || (r->kind != engine::RefKind::List && r->kind != engine::RefKind::OwnedList))
    throw Error("Elenco sconosciuto «" + std::string(name) + "» nella tabella " + table.name + ".",
                "recalculation: missing list");
  return *r;
}

void ForEachResult(engine::Connection& connection, const std::string& sql,
                   const std::vector<Variant>& params,
                   const std::function<void(const std::vector<Variant>&)>& row) {
  connection.Flush();
  engine::internal::Statement s(connection.session().db().handle(), sql);
  for (size_t i = 0; i < params.size(); ++i) s.Bind(static_cast<int>(i) + 1, params[i]);
  std::vector<Variant> values(static_cast<size_t>(s.ColumnCount()));
  while (s.Step()) {
    for (size_t i = 0; i < values.size(); ++i) values[i] = s.Value(static_cast<int>(i));
    row(values);
  }
}

void WriteNumbers(engine::Connection& connection, const SqlColumn& target,
                  const std::vector<std::pair<int64_t, double>>& values) {
  constexpr size_t kPerStatement = 500;
  for (size_t start = 0; start < values.size(); start += kPerStatement) {
    std::string list;
    for (size_t i = start; i < values.size() && i < start + kPerStatement; ++i)
      list += std::string(list.empty() ? "" : ",") + "(" + std::to_string(values[i].first) + "," +
              SqlNumber(values[i].second) + ")";
    connection.Execute("UPDATE " + target.table + " SET " + target.column +
                       " = v.column2 FROM (VALUES " + list + ") AS v WHERE " + target.table +
                       ".\"OID\" = v.column1");
  }
}

namespace {

void MoneyDivision(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const double quantity = sqlite3_value_double(argv[1]);
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || !(quantity != 0)) {
    sqlite3_result_null(ctx);
    return;
  }
  try {
    const Money amount = Money::FromRaw(sqlite3_value_int64(argv[0]));
    sqlite3_result_int64(ctx, (amount / quantity).raw());
  } catch (const Error& e) {
    sqlite3_result_error(ctx, e.detail().c_str(), -1);
  }
}

}  // namespace

void RegisterMoneyDivision(engine::Connection& connection) {
  const int rc = sqlite3_create_function_v2(connection.session().db().handle(), "tb_money_div", 2,
                                            SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                            MoneyDivision, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK)
    throw Error("Impossibile preparare il ricalcolo",
                std::string("tb_money_div: ") + sqlite3_errstr(rc));
}

Phase::Phase(engine::UiServices& ui, std::string text, int total)
    : ui_(ui), text_(std::move(text)) {
  ui_.ProgressStart(text_, total);
}

Phase::~Phase() {
  ui_.ProgressEnd();
}

bool Phase::Step() {
  return ui_.ProgressStep(++done_, text_);
}

}  // namespace tillbook::mainwindow::internal
