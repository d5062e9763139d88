#include "data/payment_rules.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "calc/documents.h"
#include "calc/instalments.h"
#include "calc/payments.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/row.h"
#include "engine/ui_services.h"
#include "platform/clock.h"

namespace tillbook::data {

using engine::HookReply;
using engine::Row;

const PaymentSide& CustomerPaymentSide() {
  static const PaymentSide side{"PagamentiCliente", "DettagliPagamentiCliente",
                                "Cliente",          "Clienti",
                                "TotaleVenduto",    "Vendite",
                                calc::kEntrata,     true};
  return side;
}
const PaymentSide& SupplierPaymentSide() {
  static const PaymentSide side{"AcquistoFornitori", "DettagliAcquistoFornitori",
                                "Fornitore",         "Fornitori",
                                "TotaleAcquistato",  "Forniture",
                                calc::kUscita,       false};
  return side;
}

namespace {

// Held on a row while its new-row defaults are written: they are values, not changes.
constexpr std::string_view kDefaults = "Valori_Predefiniti";
constexpr std::string_view kSettingSaldo = "Setting_Saldo";
constexpr std::string_view kCalc = "Calc_DettPagamento";
constexpr std::string_view kRefresh = "Refresh_Contabilizza";
// Held on a payment while it deletes its own instalments, and on a follow-up instalment while
// the cancellation of its unpaid instalment removes it or edits its note.
constexpr std::string_view kDeleting = "Eliminazione_Pagamento";
constexpr std::string_view kCancelling = "Annullamento_Insoluto";

constexpr const char* kOnlyInside = "Il dettaglio può essere creato solo all'interno del Pagamento";
constexpr const char* kNotesLocked =
    "Non puoi modificare le Note dei dettagli relativi a Insoluti.";
constexpr const char* kDeleteByCancel =
    "Questo dettaglio/rata può essere eliminato solo mediante l'annullamento del relativo "
    "Insoluto.";
constexpr const char* kCancelLaterFirst =
    "Per annullare questo Insoluto devi prima annullare quello successivo relativo alla stessa "
    "rata.";
constexpr const char* kNoOwnBank =
    "Non risulta configurata una Banca Propria...\nPer attivare una Banca (o più) in modo da "
    "essere considerata Propria è necessario impostare l'apposita opzione nei dati di quella "
    "desiderata...";

bool IsNothing(const Variant& v) {
  return v.IsNull() || v.IsEmpty() || (v.IsString() && v.AsString().empty());
}
bool HasColumn(const Row& r, std::string_view f) {
  return r.table().FindColumn(f).valid();
}
Money MoneyOf(const Variant& v) {
  return IsNothing(v) ? Money() : v.ToMoney();
}
Money MoneyOf(const Row& r, std::string_view f) {
  return MoneyOf(r.Get(f));
}
bool FlagOf(const Row& r, std::string_view f) {
  if (!HasColumn(r, f)) return false;
  const Variant v = r.Get(f);
  return !IsNothing(v) && v.ToBool();
}
int IntOf(const Row& r, std::string_view f) {
  const Variant v = r.Get(f);
  return IsNothing(v) ? 0 : static_cast<int>(v.ToInt64());
}
std::optional<DateTime> DateOf(const Row& r, std::string_view f) {
  const Variant v = r.Get(f);
  if (IsNothing(v)) return std::nullopt;
  return v.ToDateTime();
}
std::string NoteOf(const Row& r) {
  return r.Get("Note").ToText();
}
bool Counts(const Row& r) {
  return r.IsValid() && !r.IsPending();
}

void Write(Row& row, std::string_view field, const Variant& value) {
  if (!row.Set(field, value))
    throw Error("Impossibile aggiornare «" + std::string(field) + "» in " + row.TableName() + ".",
                "derived value refused");
}
void Point(Row& row, std::string_view reference, int64_t oid) {
  if (!row.SetReferenceOid(reference, oid))
    throw Error(
        "Impossibile aggiornare «" + std::string(reference) + "» in " + row.TableName() + ".",
        "derived reference refused");
}

// At most `chars` characters of `s`, never splitting one.
std::string Cut(std::string s, size_t chars) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (count++ == chars) return s.substr(0, i);
  }
  return s;
}

// The placeholder payment type (no description) stands for none.
std::optional<Row> PaymentTypeOf(const Row& payment) {
  auto type = payment.Reference("TipoPagamento");
  if (!type || text::Trim(type->Get("Descrizione").ToText()).empty()) return std::nullopt;
  return type;
}

// ---- open amount and settlement -------------------------------------------------------------

// "ImportoDaPagare": the amount less the instalments paid (an unpaid one gave its amount back to
// its follow-up); without instalments, nothing once settled, else the whole amount. `leaving` is
// an instalment being deleted, `joining` one being stored for the first time.
Money DueOf(const Row& payment, int64_t leaving, const Row* joining) {
  std::vector<Row> rows = payment.List("Dettagli");
  std::erase_if(rows, [&](const Row& r) { return r.Oid() == leaving; });
  if (joining) rows.push_back(*joining);
  if (rows.empty()) return FlagOf(payment, "Saldato") ? Money() : MoneyOf(payment, "Importo");
  Money paid;
  for (const Row& r : rows)
    if (FlagOf(r, "Pagato") && !FlagOf(r, "Insoluto")) paid += MoneyOf(r, "Importo");
  return MoneyOf(payment, "Importo") - paid;
}

void RefreshDue(Row& payment, int64_t leaving = 0, const Row* joining = nullptr) {
  if (payment.IsGuarded(kCalc) || payment.IsGuarded(kDefaults) || !payment.IsValid()) return;
  const Money due = payment.IsGuarded(kSettingSaldo) && FlagOf(payment, "Saldato")
                        ? Money()
                        : DueOf(payment, leaving, joining);
  Write(payment, "ImportoDaPagare", Variant::Currency(due));
}

// ---- cash book ------------------------------------------------------------------------------

std::string ModalityText(int modality) {
  static const char* const kNames[] = {"Altro", "Contanti", "Assegno", "Carta di Credito",
                                       "POS",   "Bonifico", "RiBA"};
  return modality >= 0 && modality <= 6 ? kNames[modality] : kNames[0];
}

std::string PaymentDescription(const Row& payment, const PaymentSide& side) {
  std::string type;
  if (auto t = payment.Reference("TipoDocumento")) type = t->Get("Descrizione").ToText();
  std::string reason;
  engine::Connection& c = payment.connection();
  const auto owners =
      c.FindOids(side.document, "Pagamento", Variant::Double(static_cast<double>(payment.Oid())));
  if (!owners.empty())
    if (auto doc = c.GetRow(side.document, owners.front()))
      if (auto causal = doc->Reference("Causale")) reason = causal->Get("Descrizione").ToText();
  std::string text = type + " ";
  if (!reason.empty()) text += " (" + reason + ")";
  text += " " + payment.Get("Documento").ToText() + " DEL ";
  if (auto date = DateOf(payment, "DataDocumento")) text += date->ToItalian(false);
  return text;
}

std::string InstalmentDescription(const Row& instalment, const Row& payment,
                                  const PaymentSide& side) {
  const std::string tail = " - " + ModalityText(IntOf(instalment, "Modalità")) + ", N." +
                           std::to_string(IntOf(instalment, "NumeroRata"));
  const size_t room = tail.size() < 127 ? 127 - text::Length(tail) : 0;
  return Cut(PaymentDescription(payment, side), room) + tail;
}

struct Booking {
  bool wanted = false;
  Money amount;
  int entryType = calc::kEntrata;
  DateTime date;
  std::string description;
  int64_t subject = 0;
};

// The movement `owner` reaches through `reference` made, updated or removed to match `b`.
void Book(Row& owner, std::string_view reference, const Booking& b) {
  std::optional<Row> movement = owner.Reference(reference);
  if (!b.wanted) {
    if (!movement) return;
    Point(owner, reference, 0);
    if (!movement->Delete())
      throw Error("Impossibile eliminare il movimento di Prima Nota.", "movement delete refused");
    return;
  }
  if (!movement) {
    movement = owner.NewReferencedRow(reference);
    if (!movement)
      throw Error("Impossibile creare il movimento di Prima Nota.", "movement refused");
  }
  // A negative amount (a refund) is booked as the opposite movement of its size.
  const bool negative = b.amount.raw() < 0;
  Write(*movement, "Tipo", Variant::Long(negative ? -b.entryType : b.entryType));
  Write(*movement, "ImportoMovimento", Variant::Currency(negative ? -b.amount : b.amount));
  Write(*movement, "DataMovimento", Variant::Date(b.date.DatePart()));
  Write(*movement, "Descrizione", Variant::String(Cut(b.description, 127)));
  const int64_t subject =
      b.subject != 0 && movement->connection().GetRow("Soggetti", b.subject) ? b.subject : 0;
  Point(*movement, "Soggetto", subject);
}

DateTime ClockToday() {
  return platform::CurrentClock().Today();
}

DateTime PaymentDate(const Row& payment) {
  auto date = DateOf(payment, "DataDocumento");
  return date ? *date : ClockToday();
}

void BookInstalment(Row& instalment, const Row& payment, const PaymentSide& side) {
  if (!Counts(instalment) && !instalment.IsPending()) return;
  Row::Guard guard(instalment, kRefresh);
  if (!guard) return;
  Booking b;
  b.wanted = FlagOf(instalment, "Contabilizza");
  b.amount = MoneyOf(instalment, "Importo");
  b.entryType = side.movementType;
  auto due = DateOf(instalment, "DataScadenza");
  b.date = due ? *due : PaymentDate(payment);
  b.subject = payment.ReferenceOid(side.party);
  if (b.wanted) b.description = InstalmentDescription(instalment, payment, side);
  Book(instalment, "Movimento", b);
  if (!side.tracksUnpaid) return;
  // The unpaid amount goes back out of the cash book.
  b.wanted = b.wanted && FlagOf(instalment, "Insoluto");
  b.entryType = -side.movementType;
  if (b.wanted) b.description = "INSOLUTO - " + b.description;
  Book(instalment, "MovimentoInsoluto", b);
}

// The payment's own movement and its instalments'. A row waiting for its first save is booked
// only by that save (`saving`).
void RefreshBooking(Row& payment, const PaymentSide& side, bool saving = false) {
  if ((payment.IsPending() && !saving) || payment.IsGuarded(kDefaults) || !payment.IsValid())
    return;
  Row::Guard guard(payment, kRefresh);
  if (!guard) return;
  Booking b;
  b.wanted = FlagOf(payment, "Contabilizza");
  b.amount = MoneyOf(payment, "Importo");
  b.entryType = side.movementType;
  b.date = PaymentDate(payment);
  b.subject = payment.ReferenceOid(side.party);
  if (b.wanted) b.description = PaymentDescription(payment, side);
  Book(payment, "Movimento", b);
  for (Row& r : payment.List("Dettagli")) BookInstalment(r, payment, side);
}

// ---- running totals of customers and suppliers ----------------------------------------------

void MoveTotal(Row& payment, const PaymentSide& side, int64_t party, Money delta) {
  if (party == 0 || delta.IsZero()) return;
  auto subject = payment.connection().GetRow(side.partyTable, party);
  if (!subject) return;
  Write(*subject, side.total, Variant::Currency(MoneyOf(*subject, side.total) + delta));
}

void Rebuild(Row& payment, const PaymentSide& side) {
  if (payment.IsGuarded(kDefaults)) return;
  if (!calc::Calc_DettPagamento(payment)) return;
  RefreshDue(payment);
  RefreshBooking(payment, side);
}

}  // namespace

// ---- payments -------------------------------------------------------------------------------

void PaymentTable::itfSetData_OnNewRow(Row& row, HookReply&) {
  Row::Guard defaults(row, kDefaults);
  engine::Connection& c = row.connection();
  row.Set("DataInserimento", Variant::Date(ClockToday()));
  row.Set("Saldato", Flag(false));
  row.Set("NumeroRate", Int(0));
  row.Set("ImportoDaPagare", Variant::Currency(Money()));
  row.SetReferenceOid("BancaDiRiferimento", FirstOid(c, "Banche", "Nome", Text("")));
  row.SetReferenceOid("TipoDocumento",
                      FirstOid(c, "TipiDocumento", "Descrizione", Text("Fattura")));
}

void PaymentTable::itfSetData_OnBeforeUpdateField(Row& row, std::string_view field,
                                                  const Variant& newValue, HookReply& reply) {
  TableClass::itfSetData_OnBeforeUpdateField(row, field, newValue, reply);
  if (reply.cancelled() || row.IsGuarded(kDefaults)) return;
  if (field == "Importo") {
    if (FlagOf(row, "Saldato") &&
        !reply.Ask("Il pagamento risulta già saldato, continuare con la modifica ?"))
      return;
    if (Counts(row))
      MoveTotal(row, side_, row.ReferenceOid(side_.party),
                MoneyOf(newValue) - MoneyOf(row, "Importo"));
  } else if (field == "Saldato" && !IsNothing(newValue) && newValue.ToBool() &&
             !row.IsGuarded(kSettingSaldo)) {
    int open = 0;
    for (const Row& r : row.List("Dettagli"))
      if (!FlagOf(r, "Pagato")) ++open;
    if (open > 1 && !reply.Ask("Per saldare l'operazione è necessario forzare la chiusura dei "
                               "dettagli di pagamento...\nProseguire ?"))
      return;
  }
}

void PaymentTable::itfSetData_OnUpdateField(Row& row, std::string_view field, HookReply&) {
  if (row.IsGuarded(kDefaults)) return;
  if (field == "Saldato") {
    Row::Guard guard(row, kSettingSaldo);
    if (!guard) return;
    if (FlagOf(row, "Saldato"))
      for (Row& r : row.List("Dettagli")) {
        if (FlagOf(r, "Pagato")) continue;
        Write(r, "Pagato", Flag(true));
        if (!r.Save()) throw Error("Impossibile salvare una rata saldata.", "Setting_Saldo");
      }
    RefreshDue(row);
  } else if (field == "ImportoDaPagare") {
    if (!row.IsGuarded(kSettingSaldo))
      Write(row, "Saldato", Flag(MoneyOf(row, "ImportoDaPagare").IsZero()));
  } else if (field == "DataDocumento") {
    const Variant date = row.Get("DataDocumento");
    if (!(row.Get("DataDecorrenzaPagamento") == date))
      Write(row, "DataDecorrenzaPagamento", date);  // rebuilds the instalments itself
    else
      Rebuild(row, side_);
    RefreshBooking(row, side_);
  } else if (field == "Importo" || field == "NumeroRate" || field == "DataDecorrenzaPagamento") {
    Rebuild(row, side_);
    if (field == "Importo") {
      RefreshDue(row);
      RefreshBooking(row, side_);
    }
  } else if (field == "Contabilizza") {
    // Instalments are booked as their payment is.
    const Variant booked = Flag(FlagOf(row, "Contabilizza"));
    for (Row& r : row.List("Dettagli")) Write(r, "Contabilizza", booked);
    RefreshBooking(row, side_);
  } else if (field == "Documento") {
    RefreshBooking(row, side_);
  }
}

void PaymentTable::itfSetData_OnBeforeUpdateReference(Row& row, std::string_view reference,
                                                      const Row*, HookReply&) {
  if (reference == side_.party && Counts(row) && !row.IsGuarded(kDefaults))
    MoveTotal(row, side_, row.ReferenceOid(side_.party), -MoneyOf(row, "Importo"));
}

void PaymentTable::itfSetData_OnUpdateReference(Row& row, std::string_view reference,
                                                const Row* referenced, HookReply&) {
  if (row.IsGuarded(kDefaults)) return;
  if (reference == side_.party) {
    if (Counts(row)) MoveTotal(row, side_, row.ReferenceOid(side_.party), MoneyOf(row, "Importo"));
    if (referenced)
      if (int64_t usual = referenced->ReferenceOid("TipoPagamentoAbituale"))
        Point(row, "TipoPagamento", usual);
    RefreshBooking(row, side_);
  } else if (reference == "TipoPagamento") {
    const std::optional<Row> type = PaymentTypeOf(row);
    // Payments through a bank (transfers, RiBa) take the customer's (or supplier's) bank when it
    // has one; the placeholder bank (no name) stands for none and changes nothing.
    const int modality = type ? IntOf(*type, "Modalità") : 0;
    if (modality == 4 || modality == 5)
      if (auto party = row.Reference(side_.party))
        if (auto bank = party->Reference("BancaDiAppoggio");
            bank && !text::Trim(bank->Get("Nome").ToText()).empty())
          Point(row, "BancaDiRiferimento", bank->Oid());
    if (type && IntOf(*type, "NumeroRate") != IntOf(row, "NumeroRate"))
      Write(row, "NumeroRate", Int(IntOf(*type, "NumeroRate")));  // rebuilds the instalments
    else
      Rebuild(row, side_);
  } else if (reference == "TipoDocumento") {
    RefreshBooking(row, side_);
  }
}

void PaymentTable::itfSetData_OnUpdateRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnUpdateRow(row, reply);
  if (reply.cancelled()) return;
  // First save: the payment now counts in its customer's (or supplier's) total.
  if (row.IsPending())
    MoveTotal(row, side_, row.ReferenceOid(side_.party), MoneyOf(row, "Importo"));
  if (!FlagOf(row, "Saldato") && !MoneyOf(row, "Importo").IsZero() && !row.IsGuarded(kCalc) &&
      !row.IsGuarded(kSettingSaldo) && row.ListCount("Dettagli") > 0)
    if (auto type = PaymentTypeOf(row); type && calc::SettlesAtOnce(IntOf(*type, "Modalità")) &&
                                        reply.ui().AskYesNo("Il pagamento è stato saldato ?"))
      Write(row, "Saldato", Flag(true));
  RefreshBooking(row, side_, true);
}

void PaymentTable::itfSetData_OnDeleteRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnDeleteRow(row, reply);
  if (reply.cancelled()) return;
  if (Counts(row)) MoveTotal(row, side_, row.ReferenceOid(side_.party), -MoneyOf(row, "Importo"));
  // The instalments go with their payment, follow-ups of unpaid ones included.
  Row::Guard deleting(row, kDeleting);
  for (Row& r : row.List("Dettagli"))
    if (!r.Delete()) throw Error("Impossibile eliminare una rata del pagamento.", "payment delete");
}

void PaymentTable::itfSetData_OnSelectReference(Row& row, std::string_view reference,
                                                std::string& filter) {
  if (reference != "BancaPropriaRiBa") return;
  filter = "BancaPropria=True";
  if (row.connection().FindOids("Banche", "BancaPropria", Flag(true)).empty())
    row.connection().ui().MessageBox(kNoOwnBank, engine::Buttons::Ok, engine::Icon::Information);
}

// ---- instalments ----------------------------------------------------------------------------

namespace {

// The next progressive "Numero" of the instalments inserted in `year`, stored or waiting.
int NextNumber(engine::Connection& c, std::string_view table, int year, int64_t self) {
  int highest = 0;
  engine::DataSet rows(
      c, engine::SelectRequest{std::string(table),
                               "Year(DataInserimento) = " + std::to_string(year), "Numero", ""});
  rows.ForEachRow([&](const std::vector<Variant>& v) {
    if (!IsNothing(v.front())) highest = std::max(highest, static_cast<int>(v.front().ToInt64()));
    return true;
  });
  for (const Row& r : c.PendingRows())
    if (r.TableName() == table && r.Oid() != self)
      if (auto d = DateOf(r, "DataInserimento"); d && d->Year() == year)
        highest = std::max(highest, IntOf(r, "Numero"));
  return highest + 1;
}

int NextRata(const Row& payment, std::string_view table, int64_t self) {
  int highest = 0;
  for (const Row& r : payment.List("Dettagli")) highest = std::max(highest, IntOf(r, "NumeroRata"));
  for (const Row& r : payment.connection().PendingRows())
    if (r.TableName() == table && r.Oid() != self)
      if (auto p = r.Parent(payment.TableName()); p && p->Oid() == payment.Oid())
        highest = std::max(highest, IntOf(r, "NumeroRata"));
  return highest + 1;
}

std::string UnpaidLabel(const Row& instalment) {
  auto due = DateOf(instalment, "DataScadenza");
  return calc::FormatUnpaidInstalment(IntOf(instalment, "NumeroRata"), due ? *due : ClockToday());
}

// The instalment added for `instalment` when it was marked unpaid.
std::optional<Row> FollowUpOf(const Row& instalment, const Row& payment) {
  const std::string label = UnpaidLabel(instalment);
  for (Row& r : payment.List("Dettagli"))
    if (r.Oid() != instalment.Oid() && NoteOf(r).find(label) != std::string::npos) return r;
  return std::nullopt;
}

void MarkUnpaid(Row& instalment, Row& payment, engine::UiServices& ui) {
  if (FollowUpOf(instalment, payment)) return;
  std::optional<Row> added = payment.AddListRow("Dettagli");
  if (!added) throw Error("Impossibile aggiungere la rata dell'insoluto.", "MarkUnpaid");
  const DateTime due = ClockToday().EndOfMonth();
  Write(*added, "Modalità", instalment.Get("Modalità"));
  Write(*added, "Tipo", instalment.Get("Tipo"));
  Write(*added, "DataScadenza", Variant::Date(due));
  bool verify = false;
  if (auto type = PaymentTypeOf(payment)) verify = FlagOf(*type, "ImpostaDaVerificare");
  Write(*added, "DaVerificare", Flag(verify));
  Write(*added, "Note", Variant::String(Cut(UnpaidLabel(instalment) + NoteOf(instalment), 255)));
  Write(*added, "Importo", instalment.Get("Importo"));
  ui.MessageBox(
      "E' stato aggiunto un nuovo dettaglio/rata relativo all'Insoluto da Pagare, controllare la "
      "data di scadenza impostata (" +
          due.ToItalian(false) + ")",
      engine::Buttons::Ok, engine::Icon::Information);
}

void CancelUnpaid(Row& instalment, Row& payment) {
  const std::string label = UnpaidLabel(instalment);
  if (auto added = FollowUpOf(instalment, payment)) {
    Row::Guard cancelling(*added, kCancelling);
    if (!added->Delete())
      throw Error("Impossibile eliminare la rata dell'insoluto.", "CancelUnpaid");
  }
  for (Row& r : payment.List("Dettagli")) {
    std::string note = NoteOf(r);
    const size_t at = note.find(label);
    if (at == std::string::npos) continue;
    note.erase(at, label.size());
    Row::Guard cancelling(r, kCancelling);
    Write(r, "Note", Variant::String(note));
  }
}

}  // namespace

void InstalmentTable::itfSetData_OnNewRow(Row& row, HookReply& reply) {
  std::optional<Row> payment = row.Parent(side_.header);
  if (!payment) {
    reply.Refuse(kOnlyInside);
    return;
  }
  Row::Guard defaults(row, kDefaults);
  const DateTime today = ClockToday();
  row.Set("DataInserimento", Variant::Date(today));
  for (std::string_view f : {"Pagato", "DaVerificare", "Insoluto"})
    if (HasColumn(row, f)) row.Set(f, Flag(false));
  row.Set("Contabilizza", Flag(FlagOf(*payment, "Contabilizza")));
  row.Set("Note", Text(""));
  row.Set("NumeroRata", Int(NextRata(*payment, side_.instalments, row.Oid())));
  row.Set("Numero", Int(NextNumber(row.connection(), side_.instalments, today.Year(), row.Oid())));
}

void InstalmentTable::itfSetData_OnBeforeUpdateField(Row& row, std::string_view field,
                                                     const Variant& newValue, HookReply& reply) {
  TableClass::itfSetData_OnBeforeUpdateField(row, field, newValue, reply);
  if (reply.cancelled() || row.IsGuarded(kDefaults)) return;
  if (field == "Note") {
    if (NoteOf(row).find(kUnpaidMark) != std::string::npos && !row.IsGuarded(kCancelling))
      reply.Refuse(kNotesLocked);
  } else if (field == "Pagato") {
    if (FlagOf(row, "Pagato")) reply.Ask("Il pagamento risulta già effettuato, continuare ?");
  } else if (field == "Insoluto" && side_.tracksUnpaid && FlagOf(row, "Insoluto")) {
    std::optional<Row> payment = row.Parent(side_.header);
    std::optional<Row> added = payment ? FollowUpOf(row, *payment) : std::nullopt;
    if (added && FlagOf(*added, "Insoluto"))
      reply.Refuse(kCancelLaterFirst);
    else
      reply.Ask("L'insoluto risulta già impostato, continuare ?");
  }
}

void InstalmentTable::itfSetData_OnUpdateField(Row& row, std::string_view field, HookReply& reply) {
  if (row.IsGuarded(kDefaults)) return;
  std::optional<Row> payment = row.Parent(side_.header);
  if (!payment) return;
  if (field == "Pagato") {
    // Paid at its due date when that has passed, else today; unpaid again: no date.
    Variant when = Variant::Null();
    if (FlagOf(row, "Pagato")) {
      auto due = DateOf(row, "DataScadenza");
      when = Variant::Date(due && due->DatePart() <= ClockToday() ? due->DatePart() : ClockToday());
    }
    Write(row, "DataOperazione", when);
  } else if (field == "Insoluto" && side_.tracksUnpaid) {
    if (FlagOf(row, "Insoluto"))
      MarkUnpaid(row, *payment, reply.ui());
    else
      CancelUnpaid(row, *payment);
  }
  if (!row.IsPending() && (field == "Pagato" || field == "Importo" || field == "Insoluto"))
    RefreshDue(*payment);
  if (field == "Contabilizza" || field == "Importo" || field == "DataScadenza" ||
      field == "Modalità" || field == "NumeroRata" || field == "Insoluto")
    if (Counts(row)) BookInstalment(row, *payment, side_);
}

void InstalmentTable::itfSetData_OnUpdateRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnUpdateRow(row, reply);
  if (reply.cancelled()) return;
  std::optional<Row> payment = row.Parent(side_.header);
  if (!payment) return;
  if (row.IsPending()) RefreshDue(*payment, 0, &row);
  BookInstalment(row, *payment, side_);
}

void InstalmentTable::itfSetData_OnDeleteRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnDeleteRow(row, reply);
  if (reply.cancelled()) return;
  std::optional<Row> payment = row.Parent(side_.header);
  const bool withPayment = payment && payment->IsGuarded(kDeleting);
  if (NoteOf(row).find(kUnpaidMark) != std::string::npos && !row.IsGuarded(kCancelling) &&
      !withPayment) {
    reply.Refuse(kDeleteByCancel);
    return;
  }
  if (payment && !withPayment && Counts(row)) RefreshDue(*payment, row.Oid());
}

void InstalmentTable::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "DataScadenza,NumeroRata";
}

}  // namespace tillbook::data
