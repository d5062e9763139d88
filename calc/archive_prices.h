// The price operations that read the archive: the unit price a document's price list gives an
// article row, and the rate of the default VAT code. They gather the values from the rows (the
// document, its list, the article with its personalised prices and its sector) and hand them to
// the plain calculations of prices.h.
#pragma once

#include <optional>
#include <string_view>

#include "calc/prices.h"

namespace tillbook::engine {
class Connection;
class DataSet;
class Row;
}  // namespace tillbook::engine

namespace tillbook::calc {

// What the archive holds for the article row `row` of a document of `documentTable`
// ("Vendite", "OrdiniClienti", "TrasportiClienti"). The article is the row's base row, or the
// row itself when it has none.
ListPriceSources ReadListPriceSources(const engine::Row& row, std::string_view documentTable);
double GetListPrice(const engine::Row& row, std::string_view documentTable,
                    const core::Configuration& config);

// "Percentuale" of the `CodiciIva` row whose "Codice" is "Default_CodiceIVA"; nullopt when there
// is none (CalcDefaultVat then counts 0 and the caller shows kNoDefaultVatMessage).
std::optional<double> DefaultVatRate(engine::Connection& connection,
                                     const core::Configuration& config);

// `Listini` positioned on the list described "< BASE >"; at EOF when there is none (the caller
// then shows kBaseListMissingMessage).
engine::DataSet FindBaseList(engine::Connection& connection);
inline constexpr std::string_view kBaseListMissingMessage =
    "Il listino di base non è stato identificato!";

}  // namespace tillbook::calc
