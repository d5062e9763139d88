// The instalment schedule of a payment: which instalments survive a rebuild, how the open amount
// is shared among the new ones, and when each falls due. The pure computation works on plain
// values; `Calc_DettPagamento` applies it to a payment row of either side through the engine, so
// the instalments' own hooks run for every row it deletes or writes.
#pragma once

#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/money.h"

namespace tillbook::engine {
class Row;
}

namespace tillbook::calc {

// What the schedule is built from: the payment's amount and number of instalments, the date the
// schedule starts from, and the payment type's intervals and choices.
struct InstalmentTerms {
  Money total;
  int numeroRate = 0;  // 0 counts as 1
  DateTime firstDate;
  int giorniIntervalloIniziale = 0;
  int giorniIntervalloRate = 0;
  bool fineMese = false;
  int modalita = 0;  // of the instalments (their own list, see InstalmentModality)
  int tipo = 2;
  bool daVerificare = false;
};

// An instalment a rebuild keeps, as the schedule sees it. An unpaid one (`replaced`) only keeps
// its number: its follow-up carries its amount and its place in the plan.
struct KeptInstalment {
  int numeroRata = 0;
  Money importo;
  bool replaced = false;
};

struct ScheduledInstalment {
  int numeroRata = 0;
  Money importo;
  DateTime dataScadenza;
  bool operator==(const ScheduledInstalment&) const = default;
};

// True for an instalment a rebuild must keep: paid, to be verified, unpaid, or the follow-up of
// an unpaid one (its note carries "[INSOLUTO]").
bool KeepsInstalment(bool pagato, bool daVerificare, bool insoluto, std::string_view note);

// `days` after `date`: a multiple of 30 days is taken as that many calendar months.
DateTime AddPaymentInterval(DateTime date, int days);

// The due date of the instalment at `position` (1 = the first of the schedule): the initial
// interval after the first date, then the instalment interval for each further one (30 days when
// it is 0). Intervals made of whole months are counted in
// months from the first date, so a schedule started on the 31st keeps falling on the month's
// last days. With `fineMese` the date moves to the end of its month.
DateTime InstalmentDueDate(const InstalmentTerms& terms, int position);

// The new instalments after the kept ones: numbered on from the highest kept number, created while
// fewer than "NumeroRate" instalments exist and an amount is open. The even share is computed once
// from the amount the kept rows leave open divided by "NumeroRate" (kept rows included) and
// rounded to the cent; the instalment that completes the count takes whatever is still open, so
// the instalments add up to the payment. When the kept rows already make the count and an amount
// is still open, one more instalment takes it, so no part of the payment is left unplanned.
std::vector<ScheduledInstalment> ScheduleInstalments(const InstalmentTerms& terms,
                                                     const std::vector<KeptInstalment>& kept);

// The instalment "Modalità" (1 cash ... 6 RiBA, 0 other) matching a payment type's "Modalità"
// (1 immediate, 2 at due date, 3 deferred, 4 through a bank, 5 RiBa, 0 other).
int InstalmentModality(int paymentTypeModality);

// Rebuilds the instalments ("Dettagli") of a payment row of either side under the guard
// "Calc_DettPagamento": rows that must stay are kept, the others deleted, and the new schedule
// added. Does nothing and returns false when the guard is taken or the payment has no payment
// type (an empty placeholder type counts as none). Throws Error when a row cannot be written.
bool Calc_DettPagamento(engine::Row& payment);

}  // namespace tillbook::calc
