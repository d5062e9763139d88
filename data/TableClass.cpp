#include "data/TableClass.h"

#include "base/error.h"

namespace tillbook::data {

Variant Amount(std::string_view decimal) {
  auto m = Money::Parse(decimal);
  if (!m) throw Error("Importo non valido: " + std::string(decimal) + ".", "Amount");
  return Variant::Currency(*m);
}

Variant TableClass::RowId(engine::Connection& connection, std::string_view table,
                          std::string_view field, const Variant& value) {
  auto ids = connection.FindOids(table, field, value);
  if (ids.empty())
    throw Error("Riga predefinita mancante in " + std::string(table) + ": " + value.ToText() + ".",
                "RowId");
  return Variant::Double(static_cast<double>(ids.front()));
}

void TableClass::AddRows(engine::Table& table, std::initializer_list<engine::FieldValues> rows) {
  for (const auto& row : rows)
    if (!table.AddRow(row))
      throw Error("Impossibile scrivere le righe predefinite della tabella " + table.Name() + ".",
                  "default row refused");
}

}  // namespace tillbook::data
