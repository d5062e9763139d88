#include "calc/instalments.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "base/variant.h"
#include "calc/rounding.h"
#include "engine/catalog.h"
#include "engine/row.h"
#include "platform/clock.h"

namespace tillbook::calc {

namespace {

constexpr std::string_view kUnpaidMark = "[INSOLUTO]";

bool IsNothing(const Variant& v) {
  return v.IsNull() || v.IsEmpty() || (v.IsString() && v.AsString().empty());
}
bool FlagOf(const engine::Row& r, std::string_view f) {
  if (!r.table().FindColumn(f).valid()) return false;
  const Variant v = r.Get(f);
  return !IsNothing(v) && v.ToBool();
}
int IntOf(const engine::Row& r, std::string_view f) {
  const Variant v = r.Get(f);
  return IsNothing(v) ? 0 : static_cast<int>(v.ToInt64());
}
Money MoneyOf(const engine::Row& r, std::string_view f) {
  const Variant v = r.Get(f);
  return IsNothing(v) ? Money() : v.ToMoney();
}
std::optional<DateTime> DateOf(const engine::Row& r, std::string_view f) {
  const Variant v = r.Get(f);
  if (IsNothing(v)) return std::nullopt;
  return v.ToDateTime();
}

void Write(engine::Row& row, std::string_view field, const Variant& value) {
  if (!row.table().FindColumn(field).valid()) return;
  if (!row.Set(field, value))
    throw Error("Impossibile scrivere «" + std::string(field) + "» della rata.",
                "Calc_DettPagamento: instalment field refused");
}

}  // namespace

bool KeepsInstalment(bool pagato, bool daVerificare, bool insoluto, std::string_view note) {
  return pagato || daVerificare || insoluto || note.find(kUnpaidMark) != std::string_view::npos;
}

DateTime AddPaymentInterval(DateTime date, int days) {
  if (days != 0 && days % 30 == 0) return date.AddMonths(days / 30);
  return date.AddDays(days);
}

DateTime InstalmentDueDate(const InstalmentTerms& terms, int position) {
  const int count = std::max(terms.numeroRate, 1);
  int step = terms.giorniIntervalloRate;
  if (step == 0 && (count > 1 || position > 1)) step = 30;
  const int initial = terms.giorniIntervalloIniziale;
  const int further = std::max(position - 1, 0);
  DateTime due;
  if (initial % 30 == 0 && step % 30 == 0)
    due = terms.firstDate.AddMonths(initial / 30 + further * (step / 30));
  else if (step % 30 == 0 && step != 0)
    due = AddPaymentInterval(terms.firstDate, initial).AddMonths(further * (step / 30));
  else
    due =
        AddPaymentInterval(terms.firstDate, initial).AddDays(static_cast<int64_t>(further) * step);
  return terms.fineMese ? due.EndOfMonth() : due;
}

std::vector<ScheduledInstalment> ScheduleInstalments(const InstalmentTerms& terms,
                                                     const std::vector<KeptInstalment>& kept) {
  const int count = std::max(terms.numeroRate, 1);
  Money allocated;
  int number = 0;
  int existing = 0;
  for (const KeptInstalment& k : kept) {
    number = std::max(number, k.numeroRata);
    if (k.replaced) continue;
    allocated += k.importo;
    ++existing;
  }
  std::vector<ScheduledInstalment> out;
  std::optional<Money> share;
  while (existing < count && (terms.total - allocated).raw() > 0) {
    const Money open = terms.total - allocated;
    if (!share) share = RoundCurrency(open / static_cast<double>(count), false, kFactorPrice);
    ++existing;
    ++number;
    // The last instalment takes the remainder; no share may take more than is open.
    const Money amount = existing == count ? open : std::min(*share, open);
    out.push_back({number, amount, InstalmentDueDate(terms, existing)});
    allocated += amount;
  }
  if ((terms.total - allocated).raw() > 0)
    out.push_back({number + 1, terms.total - allocated, InstalmentDueDate(terms, existing + 1)});
  return out;
}

int InstalmentModality(int paymentTypeModality) {
  switch (paymentTypeModality) {
    case 1:
      return 1;  // immediate: cash
    case 4:
      return 5;  // through a bank: transfer
    case 5:
      return 6;  // RiBa
    default:
      return 0;
  }
}

bool Calc_DettPagamento(engine::Row& payment) {
  engine::Row::Guard guard(payment, "Calc_DettPagamento");
  if (!guard) return false;
  const std::optional<engine::Row> type = payment.Reference("TipoPagamento");
  if (!type || text::Trim(type->Get("Descrizione").ToText()).empty()) return false;

  std::vector<KeptInstalment> kept;
  for (engine::Row& r : payment.List("Dettagli")) {
    if (KeepsInstalment(FlagOf(r, "Pagato"), FlagOf(r, "DaVerificare"), FlagOf(r, "Insoluto"),
                        r.Get("Note").ToText())) {
      kept.push_back({IntOf(r, "NumeroRata"), MoneyOf(r, "Importo"), FlagOf(r, "Insoluto")});
    } else if (!r.Delete()) {
      throw Error("Impossibile eliminare una rata del pagamento.", "Calc_DettPagamento: delete");
    }
  }

  InstalmentTerms terms;
  terms.total = MoneyOf(payment, "Importo");
  terms.numeroRate = IntOf(payment, "NumeroRate");
  // The start date of the payment wins; the document date stands in for it, then today.
  if (auto start = DateOf(payment, "DataDecorrenzaPagamento"))
    terms.firstDate = start->DatePart();
  else if (auto doc = DateOf(payment, "DataDocumento"))
    terms.firstDate = doc->DatePart();
  else
    terms.firstDate = platform::CurrentClock().Today();
  terms.giorniIntervalloIniziale = IntOf(*type, "GiorniIntervalloIniziale");
  terms.giorniIntervalloRate = IntOf(*type, "GiorniIntervalloRate");
  terms.fineMese = FlagOf(*type, "FineMese");
  terms.modalita = InstalmentModality(IntOf(*type, "Modalità"));
  terms.tipo = std::max(terms.numeroRate, 1) > 1 ? 2 : 1;
  terms.daVerificare = FlagOf(*type, "ImpostaDaVerificare");

  for (const ScheduledInstalment& s : ScheduleInstalments(terms, kept)) {
    std::optional<engine::Row> row = payment.AddListRow("Dettagli");
    if (!row) throw Error("Impossibile aggiungere una rata al pagamento.", "Calc_DettPagamento");
    Write(*row, "NumeroRata", Variant::Long(s.numeroRata));
    Write(*row, "Modalità", Variant::Long(terms.modalita));
    Write(*row, "Tipo", Variant::Long(terms.tipo));
    Write(*row, "DaVerificare", Variant::Boolean(terms.daVerificare));
    Write(*row, "Pagato", Variant::Boolean(false));
    Write(*row, "DataScadenza", Variant::Date(s.dataScadenza));
    Write(*row, "Importo", Variant::Currency(s.importo));
  }
  return true;
}

}  // namespace tillbook::calc
