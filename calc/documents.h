// Amounts of a commercial document: a row's amounts from its quantity, price and discount (the
// customer side rounds them as prices, the supplier side keeps them exact), the header totals
// with the five charges and their VAT, the spread of a load's charges over its rows, the taking
// over of another document's charges and the withholding of a sale. Plain values in and out:
// the hooks read the fields, call these, and write the results back under their guards.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/money.h"

namespace tillbook::core {
struct Configuration;
}

namespace tillbook::calc {

// The amounts of a customer-side row (sales, customer orders and transport documents).
struct SaleRow {
  std::optional<double> quantity;  // the row's quantity field; nullopt when empty
  Money PrezzoUnitario;
  double PercentualeSconto = 0;
  Money ImportoListino;
  Money Importo;
};
// "ImportoListino" = price rounding of quantity x price; "Importo" = price rounding of that
// gross less the discount, the discount applying to the unrounded gross. An empty quantity
// leaves both untouched.
void Calculate_ImportoVendita(SaleRow& row, const core::Configuration& config);

// The amounts of a supplier-side row (loads, supplier orders and transport documents).
struct PurchaseRow {
  std::optional<double> quantity;
  Money PrezzoListino;
  double PercentualeSconto = 0;
  Money ImportoListino;
  Money Importo;
  Money PrezzoUnitario;
};
// Exact amounts (no price rounding) and the net unit price "Importo" / quantity; without a
// positive quantity "PrezzoUnitario" is the list price.
void Calculate_ImportoAcquisto(PurchaseRow& row);

// A customer-side row after the person typed its final unit price (VAT included).
struct FinalPriceRow {
  std::optional<double> vatRate;  // nullopt when the row has no VAT code: nothing changes
  Money PrezzoUnitarioFinale;
  Money PrezzoUnitario;
  double PercentualeSconto = 0;
};
// On a discounted row the discount follows the final price and the unit price stays; otherwise
// (or when no positive discount results) the unit price follows and the discount is 0.
void Refresh_PercentualeScontoDettScarico(FinalPriceRow& row);

// "PrezzoUnitarioFinale" of a row: |"ImportoFinale" / quantity|; nullopt for quantity 0.
std::optional<Money> FinalUnitPrice(Money importoFinale, double quantity);

// The five charges of a document, VAT excluded.
struct DocumentCharges {
  Money ImportoSpeseTrasporto;
  Money ImportoSpeseImballaggio;
  Money ImportoSpeseAssicurative;
  Money ImportoSpeseBolli;
  Money ImportoSpeseBancarie;
  // "ImportoTotaleOneri".
  Money Total() const;
};

struct DocumentTotals {
  Money ImportoTotale;
  Money ImportoTotaleIVA;
  bool operator==(const DocumentTotals&) const = default;
};

struct RowAmounts {
  Money Importo;
  Money ImportoIVA;
};

// The header totals rebuilt from scratch: the rows' amounts and VAT, plus the charges as a whole
// and, unless the document is "IVAEsente", their VAT at the default rate (nullopt: no default
// VAT code, no VAT).
DocumentTotals CalcDocumentTotals(const std::vector<RowAmounts>& rows,
                                  const DocumentCharges& charges, bool ivaEsente,
                                  std::optional<double> defaultVatRate);

// A row's contribution taken out of (before a change) or put into (after it) the totals.
void RemoveRowAmounts(DocumentTotals& totals, const RowAmounts& row);
void AddRowAmounts(DocumentTotals& totals, const RowAmounts& row);
// "ImportoTotaleOneri" taken out or put in, with its VAT as one amount.
void RemoveChargesTotal(DocumentTotals& totals, Money oneri, bool ivaEsente,
                        std::optional<double> defaultVatRate);
void AddChargesTotal(DocumentTotals& totals, Money oneri, bool ivaEsente,
                     std::optional<double> defaultVatRate);

// Each charge taken out of (`remove`) or put into the totals, each with its own VAT, in the
// order transport, packing, bank, insurance, stamps. Used around a change of "IVAEsente".
void ApplyDocumentCharges(DocumentTotals& totals, const DocumentCharges& charges, bool ivaEsente,
                          bool remove, std::optional<double> defaultVatRate);

// The withholding of a sale: "ImportoTotale" x "SYS_Taxes" / 100 rounded to the cent when the
// business category "SYS_Category" is "1" and "SYS_Taxes" is a number above 0; nullopt (the
// field stays as it is) otherwise.
std::optional<Money> CalcImportoRitenute(Money importoTotale, std::string_view sysCategory,
                                         std::string_view sysTaxes);

// Each article row's share of a load's charges ("ImportoParzialeOneri"), in row order:
// proportional to the row amounts over the goods total ("ImportoTotale" - "ImportoTotaleOneri");
// all 0 when the charges are not spread or the goods total is not positive.
std::vector<Money> CalcOneriParziali(bool distribuisciCostoOneri, Money importoTotale,
                                     Money importoTotaleOneri,
                                     const std::vector<Money>& rowAmounts);

// The lines listing a source document's charges above 0 (each after a CR), "" when none.
std::string DocumentChargesText(const DocumentCharges& source);
// The question asked before taking `chargesText` over into a target whose charges total
// `targetOneri`.
std::string ImportChargesQuestion(Money targetOneri, std::string_view chargesText);
// Asks (through `ask`, Yes = true) to add the source's charges to the target's; false, asking
// nothing, when the source has none. On Yes each target charge gains the source's.
bool ImportDocumentCharges(const DocumentCharges& source, DocumentCharges& target,
                           const std::function<bool(const std::string&)>& ask);

// How an unpaid instalment is named in a customer's payment list:
// " [INSOLUTO] RATA N.<number>, <due date dd/mm/yyyy> ".
std::string FormatUnpaidInstalment(int numeroRata, DateTime dataScadenza);

}  // namespace tillbook::calc
