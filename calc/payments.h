// The payment of a sale or a load kept in line with its document, as the sales and load editors
// ask when they confirm: the amount due (VAT included unless exempt, less the tax a company
// customer withholds), the customer or supplier, the document's type, date and number, and for a
// receipt-only sale the receipt payment type. Also the sign rule of cash-book movements. The
// operations write through engine rows, so the payment's own hooks (instalments, settlement,
// cash book) follow every value they change.
#pragma once

#include <string>
#include <string_view>

#include "base/money.h"

namespace tillbook::engine {
class Row;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::calc {

// Cash-book entry types ("Tipo" of `PrimaNota`).
inline constexpr int kEntrata = 1;
inline constexpr int kUscita = -1;
inline constexpr int kEntrataFuoriCassa = 2;
inline constexpr int kUscitaFuoriCassa = -2;

// "ImportoDareAvere" of a movement: the amount for entries, its negation for exits.
Money SignedMovementAmount(int tipo, Money importoMovimento);

// The amount a sale's payment is due: the total, plus its VAT unless the sale is VAT-exempt, less
// the withholding when there is one and the customer is a company (category 0).
Money SaleDueAmount(Money importoTotale, Money importoTotaleIva, bool ivaEsente,
                    Money importoRitenute, bool companyCustomer);

// The question asked before a payment already given an amount takes another one.
std::string PaymentChangedQuestion(Money from, Money to);

enum class PaymentSync {
  Aligned,      // the payment now matches the document
  Kept,         // the person chose to keep the payment as it was
  Settled,      // aligned and settled on the spot (receipt sales)
  EditPayment,  // aligned; the person wants to edit the payment before confirming
};

// Aligns the sale's payment ("Pagamento", created when missing) with the sale: asks first when
// the payment already has a different amount ≠ 0; writes "Importo", "Cliente", "TipoDocumento",
// "DataDocumento" and "Documento" (the sale's number); for a receipt-only document type, takes
// the payment type whose code (or description) is `receiptPaymentType` when that is not empty,
// and, when that payment type is settled at once, asks whether to confirm with a receipt: Yes
// settles the payment. Throws Error when a value is refused.
PaymentSync SyncSalePayment(engine::Row& sale, std::string_view receiptPaymentType,
                            engine::UiServices& ui);

// The same for a load and its supplier payment: the load's total with VAT (none when exempt),
// "Fornitore", "TipoDocumento", "DataDocumento" and "Documento".
PaymentSync SyncLoadPayment(engine::Row& load, engine::UiServices& ui);

// True for a payment type ("Modalità" 1, immediate) paid when the document is made.
bool SettlesAtOnce(int paymentTypeModality);

}  // namespace tillbook::calc
