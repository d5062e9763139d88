// Fulfilment of orders and transport documents: each row's counter of the quantity already
// drawn by the documents that take it over (a sale from a customer order, a load from a
// supplier order...), kept within 0 and the row's own quantity. A document is completely
// fulfilled when every row's counter reached its quantity.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tillbook::engine {
class Row;
}

namespace tillbook::calc {

// One row of the drawn document. `key` matches it with the drawing rows: the article (article
// rows) or the "Descrizione" (free rows, without regard to case).
struct FulfilmentRow {
  std::string key;
  double counter = 0;    // "QuantitàCaricata" / "QuantitàScaricata"
  double cap = 0;        // "QuantitàOrdine" / "QuantitàTrasporto"
  bool changed = false;  // set when the counter was written and the row must be saved
};

// One row of the drawing document with its source quantity.
struct DrawingRow {
  std::string key;
  double quantity = 0;
};

// Adds (or, `remove`, subtracts) to each row the drawing rows' quantity with its key, clamped
// to 0 ... cap; returns whether the document is completely fulfilled (no cap above its counter).
bool UpdateOrderFulfilment(std::vector<FulfilmentRow>& rows, const std::vector<DrawingRow>& drawing,
                           bool remove);

// Which documents draw on which, and the fields involved: each line serves both the article
// rows ("Dettagli", matched by article) and the free rows ("DettagliLiberi", by description).
struct FulfilmentLink {
  std::string_view drawn;        // the order or transport document
  std::string_view drawing;      // the document taking it over
  std::string_view sourceField;  // quantity on the drawing rows
  std::string_view counterField;
  std::string_view capField;
};
const std::vector<FulfilmentLink>& FulfilmentLinks();

// The same over the archive: the rows of `drawn` ("Dettagli", or "DettagliLiberi" with
// `freeRows`) take the quantities of `drawing`'s rows of the same kind, matched by article or
// by description, under the fields of `link`; each changed row is written and saved. One
// function serves the twelve pairs of documents and row kinds. Returns whether `drawn` is
// completely fulfilled (the caller writes it into "Evaso"); a refused save throws Error.
bool UpdateOrderFulfilment(engine::Row& drawn, const engine::Row& drawing,
                           const FulfilmentLink& link, bool freeRows, bool remove);

}  // namespace tillbook::calc
