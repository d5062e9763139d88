// The instalment schedule on plain values (shares, remainders, due dates in days and months, end
// of month, kept rows) and the plain rules of payments (amount due of a sale, movement sign).
#include "calc/instalments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/payments.h"

namespace tillbook::calc {
namespace {

Money M(const char* text) {
  return *Money::Parse(text);
}
DateTime D(int y, int m, int d) {
  return *DateTime::FromParts(y, m, d);
}

struct ScheduleCase {
  const char* name;
  InstalmentTerms terms;
  std::vector<KeptInstalment> kept;
  std::vector<ScheduledInstalment> expected;
};

InstalmentTerms Terms(const char* total, int rate, DateTime first, int initial, int step,
                      bool endOfMonth) {
  InstalmentTerms t;
  t.total = M(total);
  t.numeroRate = rate;
  t.firstDate = first;
  t.giorniIntervalloIniziale = initial;
  t.giorniIntervalloRate = step;
  t.fineMese = endOfMonth;
  return t;
}

TEST(InstalmentSchedule, SharesRemaindersAndDueDates) {
  const DateTime jan31 = D(2024, 1, 31);
  const std::vector<ScheduleCase> cases = {
      {"one instalment at the document date",
       Terms("100", 1, D(2024, 3, 20), 0, 0, false),
       {},
       {{1, M("100"), D(2024, 3, 20)}}},
      {"zero instalments count as one",
       Terms("100", 0, D(2024, 3, 20), 10, 0, false),
       {},
       {{1, M("100"), D(2024, 3, 30)}}},
      {"three at 30/60/90 are whole months from the 31st",
       Terms("100", 3, jan31, 30, 30, false),
       {},
       {{1, M("33.33"), D(2024, 2, 29)},
        {2, M("33.33"), D(2024, 3, 31)},
        {3, M("33.34"), D(2024, 4, 30)}}},
      {"three at 30/60/90 at the end of the month",
       Terms("100", 3, D(2024, 3, 5), 30, 30, true),
       {},
       {{1, M("33.33"), D(2024, 4, 30)},
        {2, M("33.33"), D(2024, 5, 31)},
        {3, M("33.34"), D(2024, 6, 30)}}},
      {"four every 15 days after 10",
       Terms("10", 4, D(2024, 3, 1), 10, 15, false),
       {},
       {{1, M("2.5"), D(2024, 3, 11)},
        {2, M("2.5"), D(2024, 3, 26)},
        {3, M("2.5"), D(2024, 4, 10)},
        {4, M("2.5"), D(2024, 4, 25)}}},
      {"a zero interval between several instalments is 30 days",
       Terms("1", 3, D(2024, 3, 10), 0, 0, false),
       {},
       {{1, M("0.33"), D(2024, 3, 10)},
        {2, M("0.33"), D(2024, 4, 10)},
        {3, M("0.34"), D(2024, 5, 10)}}},
      {"a share rounded up leaves less to the last",
       Terms("0.05", 3, D(2024, 3, 1), 7, 7, false),
       {},
       {{1, M("0.02"), D(2024, 3, 8)},
        {2, M("0.02"), D(2024, 3, 15)},
        {3, M("0.01"), D(2024, 3, 22)}}},
      {"kept paid instalment: the share counts every instalment",
       Terms("100", 3, D(2024, 1, 31), 30, 30, false),
       {{1, M("40")}},
       {{2, M("20"), D(2024, 3, 31)}, {3, M("40"), D(2024, 4, 30)}}},
      {"kept rows covering the amount leave nothing to schedule",
       Terms("100", 3, D(2024, 1, 1), 0, 30, false),
       {{1, M("60")}, {2, M("40")}},
       {}},
      {"kept rows already making the count: one more takes what is open",
       Terms("100", 2, D(2024, 1, 1), 0, 30, false),
       {{1, M("10")}, {2, M("10")}},
       {{3, M("80"), D(2024, 3, 1)}}},
      {"an unpaid row keeps its number, its follow-up its amount",
       Terms("90", 3, D(2024, 1, 10), 0, 30, false),
       {{1, M("30"), true}, {2, M("30")}, {4, M("30")}},
       {{5, M("30"), D(2024, 3, 10)}}},
      {"a negative amount has nothing open", Terms("-50", 2, D(2024, 1, 1), 0, 30, false), {}, {}},
      {"numbers go on after the highest kept one",
       Terms("90", 3, D(2024, 1, 10), 0, 30, false),
       {{5, M("30")}},
       {{6, M("20"), D(2024, 2, 10)}, {7, M("40"), D(2024, 3, 10)}}},
      {"no due date but the last one ever left uncovered",
       Terms("100", 1, D(2024, 1, 10), 0, 0, false),
       {{1, M("60")}},
       {{2, M("40"), D(2024, 2, 10)}}},
  };
  for (const ScheduleCase& c : cases) {
    const auto got = ScheduleInstalments(c.terms, c.kept);
    ASSERT_EQ(got.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].numeroRata, c.expected[i].numeroRata) << c.name << " #" << i;
      EXPECT_EQ(got[i].importo, c.expected[i].importo) << c.name << " #" << i;
      EXPECT_EQ(got[i].dataScadenza.ToIsoDate(), c.expected[i].dataScadenza.ToIsoDate())
          << c.name << " #" << i;
    }
  }
}

TEST(InstalmentSchedule, AmountsAlwaysAddUpToThePayment) {
  for (int rate = 1; rate <= 12; ++rate)
    for (const char* total : {"0.01", "0.07", "1", "99.99", "100", "1234.5678", "10000.03"}) {
      const auto got = ScheduleInstalments(Terms(total, rate, D(2024, 5, 31), 0, 30, true), {});
      Money sum;
      for (const auto& s : got) {
        sum += s.importo;
        EXPECT_GE(s.importo.raw(), 0) << total << "/" << rate;
        EXPECT_EQ(s.dataScadenza, s.dataScadenza.EndOfMonth());
      }
      EXPECT_EQ(sum, M(total)) << total << "/" << rate;
      EXPECT_LE(got.size(), static_cast<size_t>(rate));
    }
}

TEST(InstalmentSchedule, IntervalsInDaysOrMonths) {
  EXPECT_EQ(AddPaymentInterval(D(2024, 1, 31), 30), D(2024, 2, 29));
  EXPECT_EQ(AddPaymentInterval(D(2024, 1, 31), 60), D(2024, 3, 31));
  EXPECT_EQ(AddPaymentInterval(D(2024, 1, 31), 45), D(2024, 3, 16));
  EXPECT_EQ(AddPaymentInterval(D(2024, 1, 31), 0), D(2024, 1, 31));
  EXPECT_EQ(AddPaymentInterval(D(2023, 12, 15), 90), D(2024, 3, 15));
}

TEST(InstalmentSchedule, WhichRowsARebuildKeeps) {
  struct Case {
    bool pagato, daVerificare, insoluto;
    const char* note;
    bool kept;
  } cases[] = {
      {false, false, false, "", false},
      {false, false, false, "telefonare prima", false},
      {true, false, false, "", true},
      {false, true, false, "", true},
      {false, false, true, "", true},
      {false, false, false, " [INSOLUTO] RATA N.1, 31/03/2024 ", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KeepsInstalment(c.pagato, c.daVerificare, c.insoluto, c.note), c.kept) << c.note;
}

TEST(InstalmentSchedule, PaymentTypeModalityMapsToTheInstalmentList) {
  const int expected[] = {0, 1, 0, 0, 5, 6};  // other, immediate, due, deferred, bank, RiBa
  for (int m = 0; m <= 5; ++m) EXPECT_EQ(InstalmentModality(m), expected[m]) << m;
  EXPECT_TRUE(SettlesAtOnce(1));
  EXPECT_FALSE(SettlesAtOnce(5));
}

TEST(PaymentRules, SaleDueAmountAndMovementSign) {
  struct Case {
    const char* total;
    const char* vat;
    bool exempt;
    const char* withholding;
    bool company;
    const char* due;
  } cases[] = {
      {"100", "22", false, "0", false, "122"},
      {"100", "22", true, "0", false, "100"},
      {"100", "22", false, "20", true, "102"},
      {"100", "22", false, "20", false, "122"},  // only a company withholds
      {"100", "22", true, "20", true, "80"},
      {"-50", "-11", false, "0", true, "-61"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SaleDueAmount(M(c.total), M(c.vat), c.exempt, M(c.withholding), c.company), M(c.due))
        << c.total << " " << c.exempt << " " << c.withholding << " " << c.company;

  EXPECT_EQ(SignedMovementAmount(kEntrata, M("5")), M("5"));
  EXPECT_EQ(SignedMovementAmount(kEntrataFuoriCassa, M("5")), M("5"));
  EXPECT_EQ(SignedMovementAmount(kUscita, M("5")), M("-5"));
  EXPECT_EQ(SignedMovementAmount(kUscitaFuoriCassa, M("5")), M("-5"));
  EXPECT_EQ(PaymentChangedQuestion(M("10"), M("12.5")),
            "L'importo del pagamento è variato, da 10,00 a 12,50\r\rVuoi aggiornare i dati del "
            "pagamento ?");
}

}  // namespace
}  // namespace tillbook::calc
