// Row amounts, header totals with charges and their VAT, the spread of load charges, the
// taking over of charges and the withholding.
#include "calc/documents.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/configuration.h"

namespace tillbook::calc {
namespace {

Money M(const char* text) {
  return *Money::Parse(text);
}

core::Configuration Step(double step, bool excess) {
  core::Configuration c;
  c.ValoreArrotondamento = step;
  c.ArrotondaInEccesso = excess;
  return c;
}

TEST(SaleRowTest, AmountsFromQuantityPriceAndDiscount) {
  struct Case {
    const char* name;
    std::optional<double> quantity;
    const char* price;
    double discount;
    core::Configuration config;
    const char* listino;
    const char* importo;
  } cases[] = {
      {"discount on three", 3, "1.99", 10, Step(0, true), "5.97", "5.37"},
      {"zero quantity", 0, "1.99", 10, Step(0, true), "0", "0"},
      {"negative quantity", -2, "1.99", 0, Step(0, true), "-3.98", "-3.98"},
      {"tie to even cent", 1, "1.005", 0, Step(0, true), "1", "1"},
      {"discount on the unrounded gross", 1, "1.014", 50, Step(0, true), "1.01", "0.51"},
      {"price step by excess", 3, "1.99", 10, Step(0.05, true), "6", "5.4"},
      {"price step to nearest", 3, "1.99", 10, Step(0.05, false), "5.95", "5.35"},
      {"full discount", 2, "3", 100, Step(0, true), "6", "0"},
      {"fractional quantity", 0.5, "3.33", 0, Step(0, true), "1.66", "1.66"},
  };
  for (const Case& c : cases) {
    SaleRow row{c.quantity, M(c.price), c.discount, M("99"), M("99")};
    Calculate_ImportoVendita(row, c.config);
    EXPECT_EQ(row.ImportoListino, M(c.listino)) << c.name;
    EXPECT_EQ(row.Importo, M(c.importo)) << c.name;
  }
}

TEST(SaleRowTest, EmptyQuantityLeavesTheAmounts) {
  SaleRow row{std::nullopt, M("1.99"), 10, M("7"), M("8")};
  Calculate_ImportoVendita(row, core::Configuration{});
  EXPECT_EQ(row.ImportoListino, M("7"));
  EXPECT_EQ(row.Importo, M("8"));
}

TEST(PurchaseRowTest, ExactAmountsAndNetUnitPrice) {
  struct Case {
    const char* name;
    std::optional<double> quantity;
    const char* listPrice;
    double discount;
    const char* listino;
    const char* importo;
    const char* unitPrice;
  } cases[] = {
      {"discount", 4, "2.5", 10, "10", "9", "2.25"},
      {"no price rounding", 3, "0.3333", 0, "0.9999", "0.9999", "0.3333"},
      {"net unit price of a third", 3, "1", 10, "3", "2.7", "0.9"},
      {"empty quantity: list price only", std::nullopt, "2.5", 10, "99", "99", "2.5"},
      {"zero quantity: list price", 0, "2.5", 10, "0", "0", "2.5"},
      {"negative quantity: list price", -2, "2.5", 0, "-5", "-5", "2.5"},
  };
  for (const Case& c : cases) {
    PurchaseRow row{c.quantity, M(c.listPrice), c.discount, M("99"), M("99"), M("99")};
    Calculate_ImportoAcquisto(row);
    EXPECT_EQ(row.ImportoListino, M(c.listino)) << c.name;
    EXPECT_EQ(row.Importo, M(c.importo)) << c.name;
    EXPECT_EQ(row.PrezzoUnitario, M(c.unitPrice)) << c.name;
  }
}

TEST(FinalPriceTest, DiscountOrUnitPriceFollowsTheFinalPrice) {
  struct Case {
    const char* name;
    FinalPriceRow row;
    const char* unitPrice;
    double discount;
  } cases[] = {
      {"no VAT code: nothing", {std::nullopt, M("12.2"), M("5"), 3}, "5", 3},
      {"undiscounted: unit price", {22.0, M("12.2"), M("5"), 0}, "10", 0},
      {"discounted: discount", {22.0, M("10.98"), M("10"), 5}, "10", 10},
      {"discount gone: unit price", {22.0, M("12.2"), M("10"), 5}, "10", 0},
      {"higher than list: unit price", {22.0, M("14.64"), M("10"), 5}, "12", 0},
      {"zero final keeps the unit price", {22.0, M("0"), M("10"), 0}, "10", 0},
      {"zero rate", {0.0, M("7.5"), M("5"), 0}, "7.5", 0},
  };
  for (Case& c : cases) {
    Refresh_PercentualeScontoDettScarico(c.row);
    EXPECT_EQ(c.row.PrezzoUnitario, M(c.unitPrice)) << c.name;
    EXPECT_NEAR(c.row.PercentualeSconto, c.discount, 1e-9) << c.name;
  }
  EXPECT_EQ(FinalUnitPrice(M("12.2"), 2), M("6.1"));
  EXPECT_EQ(FinalUnitPrice(M("-12.2"), -2), M("6.1"));
  EXPECT_EQ(FinalUnitPrice(M("-12.2"), 2), M("6.1"));
  EXPECT_EQ(FinalUnitPrice(M("12.2"), 0), std::nullopt);
}

const std::vector<RowAmounts> kRows = {{M("100"), M("22")}, {M("50"), M("11")}};

TEST(TotalsTest, RowsPlusChargesAndTheirVat) {
  DocumentCharges charges;
  charges.ImportoSpeseTrasporto = M("10");
  charges.ImportoSpeseBolli = M("2");
  EXPECT_EQ(charges.Total(), M("12"));
  EXPECT_EQ(CalcDocumentTotals(kRows, charges, false, 22.0),
            (DocumentTotals{M("162"), M("35.64")}));
  EXPECT_EQ(CalcDocumentTotals(kRows, charges, true, 22.0), (DocumentTotals{M("162"), M("33")}));
  // Without a default VAT code the charges count no VAT, the total still counts them.
  EXPECT_EQ(CalcDocumentTotals(kRows, charges, false, std::nullopt),
            (DocumentTotals{M("162"), M("33")}));
  EXPECT_EQ(CalcDocumentTotals({}, DocumentCharges{}, false, 22.0), DocumentTotals{});
}

TEST(TotalsTest, IncrementalChangesMatchARebuild) {
  DocumentCharges charges;
  DocumentTotals totals;
  AddRowAmounts(totals, kRows[0]);
  AddRowAmounts(totals, {M("7"), M("1.54")});
  // The second row changes: out with the old values, in with the new.
  RemoveRowAmounts(totals, {M("7"), M("1.54")});
  AddRowAmounts(totals, kRows[1]);
  // The charges total goes from 0 to 12.
  charges.ImportoSpeseTrasporto = M("10");
  charges.ImportoSpeseBolli = M("2");
  RemoveChargesTotal(totals, M("0"), false, 22.0);
  AddChargesTotal(totals, charges.Total(), false, 22.0);
  EXPECT_EQ(totals, CalcDocumentTotals(kRows, charges, false, 22.0));
}

TEST(TotalsTest, ExemptionRemovesAndRestoresTheChargesVat) {
  DocumentCharges charges;
  charges.ImportoSpeseTrasporto = M("10");
  charges.ImportoSpeseImballaggio = M("5");
  const std::vector<RowAmounts> exemptRows = {{M("100"), M("0")}, {M("50"), M("0")}};
  DocumentTotals totals = CalcDocumentTotals(kRows, charges, false, 22.0);
  // "IVAEsente" set: charges out as taxed, rows lose their VAT, charges in untaxed.
  ApplyDocumentCharges(totals, charges, false, true, 22.0);
  for (size_t i = 0; i < kRows.size(); ++i) {
    RemoveRowAmounts(totals, kRows[i]);
    AddRowAmounts(totals, exemptRows[i]);
  }
  ApplyDocumentCharges(totals, charges, true, false, 22.0);
  EXPECT_EQ(totals, (DocumentTotals{M("165"), M("0")}));
  // Cleared again: both come back.
  ApplyDocumentCharges(totals, charges, true, true, 22.0);
  for (size_t i = 0; i < kRows.size(); ++i) {
    RemoveRowAmounts(totals, exemptRows[i]);
    AddRowAmounts(totals, kRows[i]);
  }
  ApplyDocumentCharges(totals, charges, false, false, 22.0);
  EXPECT_EQ(totals, CalcDocumentTotals(kRows, charges, false, 22.0));
}

TEST(TotalsTest, EachChargeIsTaxedByItself) {
  // 0.05 at 21 % is 0.0105, 0.010 to the thousandth; the two together are 0.021.
  DocumentCharges charges;
  charges.ImportoSpeseTrasporto = M("0.05");
  charges.ImportoSpeseBolli = M("0.05");
  DocumentTotals totals = CalcDocumentTotals({}, charges, false, 21.0);
  EXPECT_EQ(totals.ImportoTotaleIVA, M("0.021"));
  ApplyDocumentCharges(totals, charges, false, true, 21.0);
  EXPECT_EQ(totals, (DocumentTotals{M("0"), M("0.001")}));
}

TEST(WithholdingTest, OnlyForASoleTraderWithARate) {
  struct Case {
    const char* name;
    const char* total;
    const char* category;
    const char* taxes;
    std::optional<Money> expected;
  } cases[] = {
      {"sole trader", "100", "1", "20", M("20")},
      {"company", "100", "0", "20", std::nullopt},
      {"private person", "100", "2", "20", std::nullopt},
      {"zero rate", "100", "1", "0", std::nullopt},
      {"negative rate", "100", "1", "-5", std::nullopt},
      {"rate not a number", "100", "1", "abc", std::nullopt},
      {"empty rate", "100", "1", "", std::nullopt},
      {"decimal comma", "100.1", "1", "4,5", M("4.5")},
      {"blanks around the rate", "100", "1", " 20 ", M("20")},
      {"tie to even cent", "10.05", "1", "10", M("1")},
      {"negative total", "-100", "1", "20", M("-20")},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CalcImportoRitenute(M(c.total), c.category, c.taxes), c.expected) << c.name;
}

TEST(ChargeSpreadTest, SharesProportionalToTheRows) {
  struct Case {
    const char* name;
    bool distribute;
    const char* total;
    const char* oneri;
    std::vector<Money> rows;
    std::vector<Money> expected;
  } cases[] = {
      {"goods 1000, charges 50", true, "1050", "50", {M("200"), M("800")}, {M("10"), M("40")}},
      {"not spread", false, "1050", "50", {M("200"), M("800")}, {M("0"), M("0")}},
      {"no goods", true, "50", "50", {M("0")}, {M("0")}},
      {"negative goods", true, "40", "50", {M("-10")}, {M("0")}},
      {"thirds do not add up",
       true,
       "4",
       "1",
       {M("1"), M("1"), M("1")},
       {M("0.3333"), M("0.3333"), M("0.3333")}},
      {"no rows", true, "100", "10", {}, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CalcOneriParziali(c.distribute, M(c.total), M(c.oneri), c.rows), c.expected)
        << c.name;
}

TEST(ImportChargesTest, AsksWithTheSourceChargesAndAddsThemOnYes) {
  DocumentCharges target;
  target.ImportoSpeseBancarie = M("5");
  int asked = 0;
  std::string question;
  auto answer = [&](bool yes) {
    return [&, yes](const std::string& q) {
      ++asked;
      question = q;
      return yes;
    };
  };

  EXPECT_FALSE(ImportDocumentCharges(DocumentCharges{}, target, answer(true)));
  EXPECT_EQ(asked, 0);

  DocumentCharges source;
  source.ImportoSpeseTrasporto = M("1234.5");
  source.ImportoSpeseBolli = M("2");
  source.ImportoSpeseAssicurative = M("-3");  // only charges above 0 are listed
  EXPECT_FALSE(ImportDocumentCharges(source, target, answer(false)));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(question,
            "Acquisire gli importi relativi alle spese ?\r\rTOTALE ONERI CORRENTE:\r5,00\r\r"
            "SPESE DA AGGIUNGERE:\rTrasporto: 1.234,50\rBolli: 2,00");
  EXPECT_EQ(target.Total(), M("5"));

  EXPECT_TRUE(ImportDocumentCharges(source, target, answer(true)));
  EXPECT_EQ(target.ImportoSpeseTrasporto, M("1234.5"));
  EXPECT_EQ(target.ImportoSpeseBolli, M("2"));
  EXPECT_EQ(target.ImportoSpeseAssicurative, M("-3"));
  EXPECT_EQ(target.ImportoSpeseBancarie, M("5"));
  EXPECT_EQ(target.Total(), M("1238.5"));
}

TEST(InstalmentTextTest, UnpaidInstalmentLabel) {
  EXPECT_EQ(FormatUnpaidInstalment(3, *DateTime::FromParts(2026, 1, 5)),
            " [INSOLUTO] RATA N.3, 05/01/2026 ");
  EXPECT_EQ(FormatUnpaidInstalment(12, *DateTime::FromParts(2025, 12, 31)),
            " [INSOLUTO] RATA N.12, 31/12/2025 ");
}

}  // namespace
}  // namespace tillbook::calc
