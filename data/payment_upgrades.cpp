// Archives written by older versions of the payment tables, brought to the current layout by the
// structure-updated hooks. Each step runs once: only while the version stored with the table is
// below the version that introduced it, and the engine then stores the current version.
#include <string>

#include "base/error.h"
#include "data/payment_rules.h"
#include "engine/catalog.h"
#include "engine/connection.h"

namespace tillbook::data {

namespace {

// Payments stored before these versions hold their dates in the columns of the older layout.
constexpr double kDatesMoved = 2.0;
// ... and have no open amount or instalment count of their own.
constexpr double kOpenAmount = 2.8;
// Instalments before these versions have no operation date and no booking flag of their own.
constexpr double kCustomerInstalmentFlags = 1.7;
constexpr double kSupplierInstalmentFlags = 1.3;

std::string Q(std::string_view name) {
  return "\"" + std::string(name) + "\"";
}

// True when the stored table has every column named (the older layout's columns are kept by
// the structure update; a table created by this version never had them).
bool HasColumns(engine::Connection& c, std::string_view table, std::string_view columns) {
  try {
    c.Execute("SELECT " + std::string(columns) + " FROM " + Q(table) + " LIMIT 0");
    return true;
  } catch (const Error&) {
    return false;
  }
}

void CopyColumn(engine::Connection& c, std::string_view table, std::string_view to,
                std::string_view from) {
  if (HasColumns(c, table, Q(to) + "," + Q(from)))
    c.Execute("UPDATE " + Q(table) + " SET " + Q(to) + "=" + Q(from));
}

}  // namespace

void PaymentTable::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& c,
                                                   double storedVersion, bool created) {
  if (created) return;
  const engine::TableInfo& payments = table.info();
  const std::string header = payments.own->table;
  if (storedVersion < kDatesMoved) {
    CopyColumn(c, header, "Data", "DataOperazione");
    CopyColumn(c, header, "DataDecorrenzaPagamento", "DataInizioPagamento");
  }
  if (storedVersion >= kOpenAmount) return;
  const engine::ReferenceInfo* list = payments.FindReference("Dettagli");
  if (!list) return;
  const std::string rows = list->target->own->table;
  const std::string owner = "d." + Q(list->ownerColumn) + "=" + Q(header) + ".\"OID\"";
  // Follow-ups of unpaid instalments are not instalments of the plan.
  const std::string planned = "SELECT COUNT(*) FROM " + Q(rows) + " AS d WHERE " + owner +
                              " AND COALESCE(d.\"Note\",'') NOT LIKE '%[INSOLUTO]%'";
  c.Execute("UPDATE " + Q(header) + " SET \"NumeroRate\"=(" + planned + ") WHERE (" + planned +
            ")>0");
  const std::string unpaid = side_.tracksUnpaid ? " AND COALESCE(d.\"Insoluto\",0)=0" : "";
  const std::string paid = "SELECT SUM(d.\"Importo\") FROM " + Q(rows) + " AS d WHERE " + owner +
                           " AND COALESCE(d.\"Pagato\",0)<>0" + unpaid;
  const std::string any = "SELECT COUNT(*) FROM " + Q(rows) + " AS d WHERE " + owner;
  c.Execute("UPDATE " + Q(header) + " SET \"ImportoDaPagare\"=CASE WHEN (" + any +
            ")=0 THEN (CASE WHEN COALESCE(\"Saldato\",0)<>0 THEN 0 ELSE COALESCE(\"Importo\",0) "
            "END) ELSE COALESCE(\"Importo\",0)-COALESCE((" +
            paid + "),0) END");
}

void InstalmentTable::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& c,
                                                      double storedVersion, bool created) {
  const double introduced =
      side_.tracksUnpaid ? kCustomerInstalmentFlags : kSupplierInstalmentFlags;
  if (created || storedVersion >= introduced) return;
  const std::string rows = table.info().own->table;
  c.Execute("UPDATE " + Q(rows) +
            " SET \"DataOperazione\"=\"DataScadenza\" WHERE COALESCE(\"Pagato\",0)<>0 AND "
            "\"DataOperazione\" IS NULL");
  const engine::TableInfo& header = c.Table(side_.header);
  const engine::ReferenceInfo* list = header.FindReference("Dettagli");
  if (!list) return;
  c.Execute("UPDATE " + Q(rows) +
            " SET \"Contabilizza\"=COALESCE((SELECT p.\"Contabilizza\" FROM " +
            Q(header.own->table) + " AS p WHERE p.\"OID\"=" + Q(rows) + "." + Q(list->ownerColumn) +
            "),0) WHERE \"Contabilizza\" IS NULL");
}

}  // namespace tillbook::data
