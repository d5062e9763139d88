#include "calc/fulfilment.h"

#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "base/variant.h"
#include "engine/row.h"

namespace tillbook::calc {

bool UpdateOrderFulfilment(std::vector<FulfilmentRow>& rows, const std::vector<DrawingRow>& drawing,
                           bool remove) {
  bool complete = true;
  for (FulfilmentRow& row : rows) {
    double q = 0;
    for (const DrawingRow& d : drawing)
      if (text::EqualNoCase(d.key, row.key)) q += d.quantity;
    if (q != 0) {
      double counter = remove ? row.counter - q : row.counter + q;
      if (counter > row.cap) counter = row.cap;
      if (counter < 0) counter = 0;
      row.counter = counter;
      row.changed = true;
    }
    if (row.cap > row.counter) complete = false;
  }
  return complete;
}

namespace {

double NumberOf(const engine::Row& row, std::string_view field) {
  const Variant v = row.Get(field);
  return v.IsNull() ? 0 : v.ToDouble();
}

// Article rows match by the article they were made from; a row without one matches nothing
// (`side` keeps the drawn and drawing sides apart). Free rows match by description.
std::string KeyOf(const engine::Row& row, bool freeRows, const char* side) {
  if (freeRows) {
    const Variant v = row.Get("Descrizione");
    return v.IsNull() ? std::string() : v.ToText();
  }
  const std::optional<engine::Row> article = row.BaseRow();
  return article ? std::to_string(article->Oid()) : std::string(side) + std::to_string(row.Oid());
}

}  // namespace

bool UpdateOrderFulfilment(engine::Row& drawn, const engine::Row& drawing,
                           const FulfilmentLink& link, bool freeRows, bool remove) {
  const char* list = freeRows ? "DettagliLiberi" : "Dettagli";
  std::vector<DrawingRow> source;
  for (const engine::Row& r : drawing.List(list))
    source.push_back({KeyOf(r, freeRows, "S"), NumberOf(r, link.sourceField)});
  std::vector<engine::Row> rows = drawn.List(list);
  std::vector<FulfilmentRow> counters;
  for (const engine::Row& r : rows)
    counters.push_back(
        {KeyOf(r, freeRows, "D"), NumberOf(r, link.counterField), NumberOf(r, link.capField)});
  const bool complete = UpdateOrderFulfilment(counters, source, remove);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!counters[i].changed) continue;
    if (!rows[i].Set(link.counterField, Variant::Double(counters[i].counter)) || !rows[i].Save())
      throw Error("Non è possibile aggiornare le quantità evase",
                  "fulfilment counter refused on " + rows[i].TableName());
  }
  return complete;
}

const std::vector<FulfilmentLink>& FulfilmentLinks() {
  static const std::vector<FulfilmentLink> links = {
      {"OrdiniFornitori", "Forniture", "QuantitàCarico", "QuantitàCaricata", "QuantitàOrdine"},
      {"OrdiniFornitori", "TrasportiFornitori", "QuantitàTrasporto", "QuantitàCaricata",
       "QuantitàOrdine"},
      {"OrdiniClienti", "Vendite", "QuantitàScarico", "QuantitàScaricata", "QuantitàOrdine"},
      {"OrdiniClienti", "TrasportiClienti", "QuantitàTrasporto", "QuantitàScaricata",
       "QuantitàOrdine"},
      {"TrasportiFornitori", "Forniture", "QuantitàCarico", "QuantitàCaricata",
       "QuantitàTrasporto"},
      {"TrasportiClienti", "Vendite", "QuantitàScarico", "QuantitàScaricata", "QuantitàTrasporto"},
  };
  return links;
}

}  // namespace tillbook::calc
