#include "calc/documents.h"

#include "base/text.h"
#include "base/variant.h"
#include "calc/prices.h"
#include "calc/rounding.h"
#include "core/configuration.h"
#include "engine/definition.h"
#include "engine/script_dataset.h"

namespace tillbook::calc {
namespace {

// gross less `discount` percent of it, exact to the ten-thousandth.
Money Discounted(Money gross, double discount) {
  if (discount == 0) return gross;
  return Money::FromDouble(gross.ToDouble() - gross.ToDouble() * discount / 100);
}

Money DefaultVat(Money amount, std::optional<double> rate) {
  return Money::FromDouble(CalcDefaultVat(amount, rate));
}

std::string FormatAmount(Money v) {
  return engine::ScriptDataSet::Format(Variant::Currency(v), engine::FieldType::Money);
}

}  // namespace

void Calculate_ImportoVendita(SaleRow& row, const core::Configuration& config) {
  if (!row.quantity) return;
  const Money gross = row.PrezzoUnitario * *row.quantity;
  row.ImportoListino = RoundPrice(gross, config);
  row.Importo = RoundPrice(Discounted(gross, row.PercentualeSconto), config);
}

void Calculate_ImportoAcquisto(PurchaseRow& row) {
  Money price = row.PrezzoListino;
  if (row.quantity) {
    const double q = *row.quantity;
    const Money gross = row.PrezzoListino * q;
    row.ImportoListino = gross;
    row.Importo = Discounted(gross, row.PercentualeSconto);
    if (q > 0) price = row.Importo / q;
  }
  row.PrezzoUnitario = price;
}

void Refresh_PercentualeScontoDettScarico(FinalPriceRow& row) {
  if (!row.vatRate) return;
  const double divisor = *row.vatRate / 100 + 1;
  const Money net = row.PrezzoUnitarioFinale / divisor;
  if (row.PercentualeSconto > 0) {
    const double d = net.IsZero() || row.PrezzoUnitario.IsZero()
                         ? 0
                         : CalcDiscountPercent(net, row.PrezzoUnitario);
    if (d > 0) {
      row.PercentualeSconto = d;
      return;
    }
  }
  if (!row.PrezzoUnitarioFinale.IsZero()) row.PrezzoUnitario = row.PrezzoUnitarioFinale / divisor;
  row.PercentualeSconto = 0;
}

std::optional<Money> FinalUnitPrice(Money importoFinale, double quantity) {
  if (quantity == 0) return std::nullopt;
  const Money unit = importoFinale / quantity;
  return unit < Money() ? -unit : unit;
}

Money DocumentCharges::Total() const {
  return ImportoSpeseTrasporto + ImportoSpeseImballaggio + ImportoSpeseAssicurative +
         ImportoSpeseBolli + ImportoSpeseBancarie;
}

DocumentTotals CalcDocumentTotals(const std::vector<RowAmounts>& rows,
                                  const DocumentCharges& charges, bool ivaEsente,
                                  std::optional<double> defaultVatRate) {
  DocumentTotals totals;
  for (const RowAmounts& row : rows) AddRowAmounts(totals, row);
  AddChargesTotal(totals, charges.Total(), ivaEsente, defaultVatRate);
  return totals;
}

void RemoveRowAmounts(DocumentTotals& totals, const RowAmounts& row) {
  totals.ImportoTotale -= row.Importo;
  totals.ImportoTotaleIVA -= row.ImportoIVA;
}

void AddRowAmounts(DocumentTotals& totals, const RowAmounts& row) {
  totals.ImportoTotale += row.Importo;
  totals.ImportoTotaleIVA += row.ImportoIVA;
}

void RemoveChargesTotal(DocumentTotals& totals, Money oneri, bool ivaEsente,
                        std::optional<double> defaultVatRate) {
  totals.ImportoTotale -= oneri;
  if (!ivaEsente) totals.ImportoTotaleIVA -= DefaultVat(oneri, defaultVatRate);
}

void AddChargesTotal(DocumentTotals& totals, Money oneri, bool ivaEsente,
                     std::optional<double> defaultVatRate) {
  totals.ImportoTotale += oneri;
  if (!ivaEsente) totals.ImportoTotaleIVA += DefaultVat(oneri, defaultVatRate);
}

void ApplyDocumentCharges(DocumentTotals& totals, const DocumentCharges& charges, bool ivaEsente,
                          bool remove, std::optional<double> defaultVatRate) {
  // Each charge's VAT is rounded by itself, so this can differ by rounding from the VAT of the
  // charges as one amount; both are kept as the totals always computed them.
  for (Money charge : {charges.ImportoSpeseTrasporto, charges.ImportoSpeseImballaggio,
                       charges.ImportoSpeseBancarie, charges.ImportoSpeseAssicurative,
                       charges.ImportoSpeseBolli}) {
    if (remove)
      RemoveChargesTotal(totals, charge, ivaEsente, defaultVatRate);
    else
      AddChargesTotal(totals, charge, ivaEsente, defaultVatRate);
  }
}

std::optional<Money> CalcImportoRitenute(Money importoTotale, std::string_view sysCategory,
                                         std::string_view sysTaxes) {
  if (sysCategory != "1") return std::nullopt;
  const std::optional<Money> taxes = Money::Parse(text::Trim(sysTaxes));
  if (!taxes || !(*taxes > Money())) return std::nullopt;
  return RoundCurrency(Money::FromDouble(importoTotale.ToDouble() * taxes->ToDouble() / 100), false,
                       kFactorPrice);
}

std::vector<Money> CalcOneriParziali(bool distribuisciCostoOneri, Money importoTotale,
                                     Money importoTotaleOneri,
                                     const std::vector<Money>& rowAmounts) {
  std::vector<Money> shares(rowAmounts.size());
  const Money goods = importoTotale - importoTotaleOneri;
  if (!distribuisciCostoOneri || !(goods > Money())) return shares;
  // No row absorbs the rounding difference: the shares may not add up to the charges exactly.
  for (size_t i = 0; i < rowAmounts.size(); ++i) {
    const Money share = Money::FromDouble(rowAmounts[i].ToDouble() * importoTotaleOneri.ToDouble() /
                                          goods.ToDouble());
    shares[i] = RoundCurrency(share, false, kFactorUnitCost);
  }
  return shares;
}

std::string DocumentChargesText(const DocumentCharges& source) {
  struct Line {
    const char* label;
    Money value;
  };
  const Line lines[] = {
      {"Trasporto: ", source.ImportoSpeseTrasporto},
      {"Imballaggio: ", source.ImportoSpeseImballaggio},
      {"Assicurative: ", source.ImportoSpeseAssicurative},
      {"Bolli: ", source.ImportoSpeseBolli},
      {"Bancarie: ", source.ImportoSpeseBancarie},
  };
  std::string text;
  for (const Line& line : lines)
    if (line.value > Money()) text += "\r" + std::string(line.label) + FormatAmount(line.value);
  return text;
}

std::string ImportChargesQuestion(Money targetOneri, std::string_view chargesText) {
  return "Acquisire gli importi relativi alle spese ?\r\rTOTALE ONERI CORRENTE:\r" +
         FormatAmount(targetOneri) + "\r\rSPESE DA AGGIUNGERE:" + std::string(chargesText);
}

bool ImportDocumentCharges(const DocumentCharges& source, DocumentCharges& target,
                           const std::function<bool(const std::string&)>& ask) {
  const std::string text = DocumentChargesText(source);
  if (text.empty()) return false;
  if (!ask(ImportChargesQuestion(target.Total(), text))) return false;
  target.ImportoSpeseTrasporto += source.ImportoSpeseTrasporto;
  target.ImportoSpeseImballaggio += source.ImportoSpeseImballaggio;
  target.ImportoSpeseBancarie += source.ImportoSpeseBancarie;
  target.ImportoSpeseAssicurative += source.ImportoSpeseAssicurative;
  target.ImportoSpeseBolli += source.ImportoSpeseBolli;
  return true;
}

std::string FormatUnpaidInstalment(int numeroRata, DateTime dataScadenza) {
  return " [INSOLUTO] RATA N." +
         engine::ScriptDataSet::Format(Variant::Long(numeroRata), engine::FieldType::Integer) +
         ", " +
         engine::ScriptDataSet::Format(Variant::Date(dataScadenza), engine::FieldType::Date) + " ";
}

}  // namespace tillbook::calc
