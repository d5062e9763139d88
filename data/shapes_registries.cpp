#include "data/shapes_registries.h"

#include "base/error.h"

namespace tillbook::data::shapes {

using engine::FieldType;
using engine::kNotSet;

void AddSubjectCode(engine::TableDef& d, std::string description) {
  d.AddField("Codice", FieldType::Text, 16, "", "", kNotSet, kNotSet, kNotSet, true,
             std::move(description));
  d.AddIndex("Codice", true);
}

void AddPaymentReferences(engine::TableDef& d) {
  d.AddReference("TipoPagamentoAbituale", "TipiPagamento", false, false, "Codice", "Descrizione",
                 kNotSet, kNotSet, kNotSet, "Tipo di pagamento abituale", -2, true, "Pagamento");
  d.AddReference("BancaDiAppoggio", "Banche", false, false, "", "Nome,Agenzia", kNotSet, kNotSet,
                 kNotSet, "Banca di appoggio per i pagamenti (se prevista)", -2, true, "Pagamento");
}

void AddAttachedDocuments(engine::TableDef& d) {
  d.AddReference("Documenti", "Documenti", true, true, "", "Data,File,Note", kNotSet, kNotSet,
                 kNotSet, "", -2, true, "Documenti");
}

void AddTownReference(engine::TableDef& d, std::string name, std::string description,
                      std::string group) {
  d.AddReference(std::move(name), "Comuni", false, false, "", "Descrizione,CAP,Provincia,Nazione",
                 kNotSet, kNotSet, kNotSet, std::move(description), -2, true, std::move(group));
}

void AddDefaultVat(engine::TableDef& d) {
  d.AddReference("IVAPredefinita", "CodiciIva", false, false, "Codice",
                 "Descrizione,CodiceCassaPredefinito", kNotSet, kNotSet, kNotSet,
                 "IVA predefinita iniziale negli articoli associati");
}

void AddPriceListOfMarkup(engine::TableDef& d) {
  d.AddReference("Listino", "Listini", false, false, "",
                 "Descrizione,PercentualeRicaricoPredefinito", 15, kNotSet, 1);
  // The index's only item is the reference, so it is added as one to be stored on its link.
  d.AddIndex("", false).AddIndexReference("Listino");
}

void AddUniqueDescription(engine::TableDef& d, int size, std::string description) {
  d.AddField("Descrizione", FieldType::Text, size, "", "", kNotSet, kNotSet, kNotSet, true,
             std::move(description));
  d.AddIndex("Descrizione", true);
}

void AddMissingRows(engine::Table& table, const std::string& keyField,
                    const std::vector<engine::FieldValues>& rows) {
  engine::Connection& connection = table.connection();
  for (const auto& row : rows) {
    const Variant* key = nullptr;
    for (const auto& [field, value] : row)
      if (field == keyField) key = &value;
    if (key && !connection.FindOids(table.Name(), keyField, *key).empty()) continue;
    if (!table.AddRow(row))
      throw Error("Impossibile scrivere le righe predefinite della tabella " + table.Name() + ".",
                  "default row refused");
  }
}

}  // namespace tillbook::data::shapes
