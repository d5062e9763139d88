// The six kinds of commercial document and what their rows count: the header table, the
// quantity field of the rows, the counter of the quantity later documents drew from them, and the
// party. The table classes of the headers and rows are built on these.
#pragma once

#include <string_view>

namespace tillbook::data {

enum class DocumentKind {
  Sale,               // Vendite: stock leaves
  Load,               // Forniture: stock enters
  CustomerOrder,      // OrdiniClienti: quantities on order from customers
  SupplierOrder,      // OrdiniFornitori: quantities on order to suppliers
  CustomerTransport,  // TrasportiClienti: goods delivered, not yet invoiced
  SupplierTransport,  // TrasportiFornitori: goods received, not yet loaded
};

struct DocumentInfo {
  DocumentKind kind;
  std::string_view header;     // "Vendite", "Forniture", ...
  std::string_view quantity;   // "QuantitàScarico", "QuantitàCarico", ...
  std::string_view fulfilled;  // "QuantitàScaricata" / "QuantitàCaricata"; empty for sales, loads
  std::string_view party;      // "Cliente" / "Fornitore"
  bool customerSide;           // the sale-price side (rounded prices, final unit price)
};

const DocumentInfo& InfoOf(DocumentKind kind);

}  // namespace tillbook::data

namespace tillbook::data {
// Guard the fulfilment code holds on a header while it writes "Evaso", which a person may not
// change while documents are associated.
inline constexpr std::string_view kSettingEvaso = "Updating_Evaso";
}  // namespace tillbook::data
