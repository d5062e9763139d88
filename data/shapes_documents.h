// Shapes shared by the commercial documents (sales, loads, orders, transport documents): the
// numbering and totals of a header, its five charges and their sum, the two owned lists of rows,
// and the quantity, price and amount fields of the rows. A table calls each shape at the place it
// holds among the table's own items, so every table keeps its own declaration order.
#pragma once

#include <optional>
#include <string_view>

namespace tillbook::engine {
class TableDef;
}

namespace tillbook::data {

// "Data", "AnnoRiferimento" and "Numero": the date and the progressive number within the year.
void AddDocumentNumbering(engine::TableDef& d);

// "ImportoTotale" and "ImportoTotaleIVA" in `group`. The total is read-only when the rows compute
// it; a load keeps it open because it is copied from the supplier's paper.
void AddDocumentTotals(engine::TableDef& d, std::string_view group,
                       std::string_view totalDescription, bool totalComputed);

// The five charges (transport, packing, bank, insurance, stamps) and their sum, group "Oneri".
void AddDocumentCharges(engine::TableDef& d);

// "File": the files or images attached to the document.
void AddDocumentFiles(engine::TableDef& d);

// "Archiviato": the document was completed and archived.
void AddDocumentArchived(engine::TableDef& d);

// The terms of an order, the same for customers and suppliers: "Causale", "TipoPagamento",
// "BancaDiAppoggio", "TipoPorto" and the list "DocumentiRichiesti".
void AddOrderTerms(engine::TableDef& d);

// "Operatore": the operator who entered the document (read-only).
void AddDocumentOperator(engine::TableDef& d);

// The header's owned lists "Dettagli" (article rows, keyed by the article code) and
// "DettagliLiberi" (free rows); the free rows are hidden unless the shop keeps goods outside the
// warehouse (`freeRowsShown`).
struct DocumentRowLists {
  std::string_view articleRows;
  std::string_view articleShown;
  std::string_view freeRows;
  std::string_view freeShown;
};
void AddDocumentRowLists(engine::TableDef& d, const DocumentRowLists& lists, bool freeRowsShown);

// Identity of a row table: it copies every field of its article table (LinkToBase false) and
// keeps a link to the article it was made from.
void DeclareArticleRows(engine::TableDef& d, double version, std::string_view caption = {});
void DeclareFreeRows(engine::TableDef& d, double version, std::string_view caption = {});

// The quantity, price and amount fields of a row. Customer-side rows carry a unit price and a
// final (VAT included) unit price; supplier-side rows a list price and the discounted unit price.
enum class RowSide { Customer, Supplier };
struct RowAmounts {
  RowSide side = RowSide::Customer;
  std::string_view quantity = {};  // "QuantitàScarico", "QuantitàCarico", ...
  std::string_view quantityDescription = {};
  // Quantity already fulfilled by later documents ("QuantitàScaricata" / "QuantitàCaricata");
  // empty when the rows have none.
  std::string_view fulfilled = {};
  std::string_view fulfilledDescription = {};
  std::string_view unitPriceDescription = {};   // "PrezzoUnitario"
  std::string_view listAmountDescription = {};  // "ImportoListino"
  std::string_view amountDescription = {};      // "Importo"
  int finalAmountReadOnly = 15;                 // a1 of "ImportoFinale"
  bool chargeShare = false;  // "ImportoParzialeOneri": the row's share of charges
  std::optional<std::string_view> referenceDescription = {};  // "Riferimento"; none on order rows
};
void AddRowAmounts(engine::TableDef& d, const RowAmounts& row);

// Help texts shared by several row tables.
inline constexpr std::string_view kSaleUnitPrice =
    "Prezzo di vendita unitario dell'articolo (IVA esclusa)";
inline constexpr std::string_view kDiscountedPurchaseUnitPrice =
    "Prezzo di acquisto unitario dell'articolo eventualmente scontato (IVA esclusa)";
inline constexpr std::string_view kListAmount =
    "Importo totale di Listino (necessario in caso di sconti o variazioni)";
inline constexpr std::string_view kNetListAmount =
    "Importo totale netto di Listino (necessario in caso di sconti o variazioni)";
inline constexpr std::string_view kRowAmount =
    "Importo totale della riga (Prezzo Unitario * Quantità)";
inline constexpr std::string_view kNetRowAmount =
    "Importo totale netto della riga (Prezzo Unitario * Quantità)";
inline constexpr std::string_view kFulfilledQuantity = "Quantità evasa relativa all'operazione";
inline constexpr std::string_view kTransportReference =
    "Riferimento aggiuntivo (D.d.T., note etc..)";
inline constexpr std::string_view kOrderReference =
    "Riferimento aggiuntivo (da Ordine, note etc..)";

}  // namespace tillbook::data
