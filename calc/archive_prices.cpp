#include "calc/archive_prices.h"

#include "base/variant.h"
#include "core/configuration.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/row.h"

namespace tillbook::calc {
namespace {

// An empty (Null) field reads as 0 or "", as the calculations count it.
Money MoneyOf(const engine::Row& row, std::string_view field) {
  const Variant v = row.Get(field);
  return v.IsNull() ? Money() : v.ToMoney();
}
double NumberOf(const engine::Row& row, std::string_view field) {
  const Variant v = row.Get(field);
  return v.IsNull() ? 0 : v.ToDouble();
}

// The row of `rows` pointing at the list `listOid` through its "Listino".
std::optional<engine::Row> LineOfList(const std::vector<engine::Row>& rows, int64_t listOid) {
  for (const engine::Row& r : rows)
    if (r.ReferenceOid("Listino") == listOid) return r;
  return std::nullopt;
}

}  // namespace

ListPriceSources ReadListPriceSources(const engine::Row& row, std::string_view documentTable) {
  ListPriceSources s;
  const std::optional<engine::Row> document = row.Parent(documentTable);
  if (!document) return s;
  const std::optional<engine::Row> list = document->Reference("Listino");
  if (!list) return s;
  s.hasList = true;
  const int64_t listOid = list->Oid();
  s.isBaseList = !list->Get("Descrizione").IsNull() &&
                 list->Get("Descrizione").ToText() == kBaseListDescription;
  s.listDefaultMarkup = NumberOf(*list, "PercentualeRicaricoPredefinito");

  const std::optional<engine::Row> base = row.BaseRow();
  const engine::Row& article = base ? *base : row;
  if (auto personal = LineOfList(article.List("ListiniPersonalizzati"), listOid))
    s.personalPrice = MoneyOf(*personal, "PrezzoVendita");
  s.articleSalePrice = MoneyOf(article, "PrezzoVendita");
  s.costs = {MoneyOf(article, "PrezzoAcquisto"), MoneyOf(article, "PrezzoAcquistoMedio"),
             MoneyOf(article, "CostoOneriUnitario")};
  if (const std::optional<engine::Row> sector = article.Reference("Settore")) {
    s.hasSector = true;
    if (auto line = LineOfList(sector->List("ListiniPredefiniti"), listOid))
      s.sectorMarkup = NumberOf(*line, "PercentualeRicarico");
  }
  return s;
}

double GetListPrice(const engine::Row& row, std::string_view documentTable,
                    const core::Configuration& config) {
  return GetListPrice(ReadListPriceSources(row, documentTable), config);
}

std::optional<double> DefaultVatRate(engine::Connection& connection,
                                     const core::Configuration& config) {
  const std::vector<int64_t> ids =
      connection.FindOids("CodiciIva", "Codice", Variant::String(config.Default_CodiceIVA));
  if (ids.empty()) return std::nullopt;
  const std::optional<engine::Row> code = connection.GetRow("CodiciIva", ids.front());
  if (!code) return std::nullopt;
  return NumberOf(*code, "Percentuale");
}

engine::DataSet FindBaseList(engine::Connection& connection) {
  engine::DataSet lists(connection, engine::SelectRequest{"Listini", "", "Descrizione", ""});
  lists.Find("Descrizione", Variant::String(std::string(kBaseListDescription)));
  return lists;
}

}  // namespace tillbook::calc
