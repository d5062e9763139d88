#include "calc/payments.h"

#include <optional>
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "base/variant.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::calc {

namespace {

// "Ambito" of a document type issued only as a receipt.
constexpr int64_t kReceiptOnly = 3;

bool IsNothing(const Variant& v) {
  return v.IsNull() || v.IsEmpty() || (v.IsString() && v.AsString().empty());
}
Money MoneyOf(const engine::Row& r, std::string_view f) {
  if (!r.table().FindColumn(f).valid()) return Money();
  const Variant v = r.Get(f);
  return IsNothing(v) ? Money() : v.ToMoney();
}
bool FlagOf(const engine::Row& r, std::string_view f) {
  if (!r.table().FindColumn(f).valid()) return false;
  const Variant v = r.Get(f);
  return !IsNothing(v) && v.ToBool();
}

void Write(engine::Row& row, std::string_view field, const Variant& value) {
  if (!row.Set(field, value))
    throw Error("Il pagamento non accetta il valore di «" + std::string(field) + "».",
                "payment alignment refused");
}
void Point(engine::Row& row, std::string_view reference, int64_t oid) {
  if (oid != 0 && !row.SetReferenceOid(reference, oid))
    throw Error("Il pagamento non accetta il valore di «" + std::string(reference) + "».",
                "payment alignment refused");
}

// The payment row of a document, made through its owned reference when it has none.
engine::Row PaymentOf(engine::Row& document) {
  if (auto payment = document.Reference("Pagamento")) return *payment;
  auto made = document.NewReferencedRow("Pagamento");
  if (!made) throw Error("Impossibile creare il pagamento del documento.", "NewReferencedRow");
  return *made;
}

// Asks before overwriting an amount the payment already has; true to go on.
bool MayAlign(const engine::Row& payment, Money due, engine::UiServices& ui) {
  const Money current = MoneyOf(payment, "Importo");
  if (current.IsZero() || current == due) return true;
  return ui.AskYesNo(PaymentChangedQuestion(current, due));
}

void WriteCommon(engine::Row& payment, const engine::Row& document, std::string_view party,
                 const Variant& number) {
  Point(payment, party, document.ReferenceOid(party));
  Point(payment, "TipoDocumento", document.ReferenceOid("TipoDocumento"));
  if (!IsNothing(document.Get("Data"))) Write(payment, "DataDocumento", document.Get("Data"));
  Write(payment, "Documento", Variant::String(IsNothing(number) ? "" : number.ToText()));
}

int64_t PaymentTypeByKey(engine::Connection& c, std::string_view key) {
  const Variant text = Variant::String(std::string(key));
  auto ids = c.FindOids("TipiPagamento", "Codice", text);
  if (ids.empty()) ids = c.FindOids("TipiPagamento", "Descrizione", text);
  return ids.empty() ? 0 : ids.front();
}

}  // namespace

Money SignedMovementAmount(int tipo, Money importoMovimento) {
  return tipo < 0 ? -importoMovimento : importoMovimento;
}

Money SaleDueAmount(Money importoTotale, Money importoTotaleIva, bool ivaEsente,
                    Money importoRitenute, bool companyCustomer) {
  Money due = importoTotale;
  if (!ivaEsente) due += importoTotaleIva;
  if (importoRitenute.raw() > 0 && companyCustomer) due -= importoRitenute;
  return due;
}

std::string PaymentChangedQuestion(Money from, Money to) {
  return "L'importo del pagamento è variato, da " + from.ToFixed(2, ',') + " a " +
         to.ToFixed(2, ',') + "\r\rVuoi aggiornare i dati del pagamento ?";
}

bool SettlesAtOnce(int paymentTypeModality) {
  return paymentTypeModality == 1;
}

PaymentSync SyncSalePayment(engine::Row& sale, std::string_view receiptPaymentType,
                            engine::UiServices& ui) {
  bool company = false;
  if (auto customer = sale.Reference("Cliente"))
    if (auto category = customer->Reference("Categoria"))
      company = !IsNothing(category->Get("Categoria")) && category->Get("Categoria").ToInt64() == 0;
  const Money due =
      SaleDueAmount(MoneyOf(sale, "ImportoTotale"), MoneyOf(sale, "ImportoTotaleIVA"),
                    FlagOf(sale, "IVAEsente"), MoneyOf(sale, "ImportoRitenute"), company);
  const std::optional<engine::Row> type = sale.Reference("TipoDocumento");
  const bool receipt =
      type && !IsNothing(type->Get("Ambito")) && type->Get("Ambito").ToInt64() == kReceiptOnly;

  engine::Row payment = PaymentOf(sale);
  if (!MayAlign(payment, due, ui)) return PaymentSync::Kept;
  WriteCommon(payment, sale, "Cliente", sale.Get("Numero"));
  if (receipt && !text::Trim(receiptPaymentType).empty())
    Point(payment, "TipoPagamento", PaymentTypeByKey(sale.connection(), receiptPaymentType));
  Write(payment, "Importo", Variant::Currency(due));
  if (!receipt) return PaymentSync::Aligned;

  const std::optional<engine::Row> paymentType = payment.Reference("TipoPagamento");
  if (!paymentType || IsNothing(paymentType->Get("Modalità")) ||
      !SettlesAtOnce(static_cast<int>(paymentType->Get("Modalità").ToInt64())))
    return PaymentSync::Aligned;
  if (!ui.AskYesNo("Confermi la vendita con scontrino ?")) return PaymentSync::EditPayment;
  if (!FlagOf(payment, "Saldato")) Write(payment, "Saldato", Variant::Boolean(true));
  return PaymentSync::Settled;
}

PaymentSync SyncLoadPayment(engine::Row& load, engine::UiServices& ui) {
  const Money due = SaleDueAmount(MoneyOf(load, "ImportoTotale"), MoneyOf(load, "ImportoTotaleIVA"),
                                  FlagOf(load, "IVAEsente"), Money(), false);
  engine::Row payment = PaymentOf(load);
  if (!MayAlign(payment, due, ui)) return PaymentSync::Kept;
  WriteCommon(payment, load, "Fornitore", load.Get("Documento"));
  Write(payment, "Importo", Variant::Currency(due));
  return PaymentSync::Aligned;
}

}  // namespace tillbook::calc
