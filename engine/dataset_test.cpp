// Data sets over the engine: paging, order, navigation, writable current rows, child lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/error.h"
#include "engine/dataset.h"
#include "engine/test/fixture.h"

namespace tillbook::engine::test {
namespace {

class DataSetTest : public ArchiveTest {
 protected:
  void SetUp() override {
    ArchiveTest::SetUp();
    conn().RunAction([&] {
      for (int i = 0; i < 450; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "K%03d", i);
        conn().AddRow("TArticoli", {{"Codice", S(code)}, {"Quantità", D(i % 7)}});
      }
      return true;
    });
  }
};

TEST_F(DataSetTest, ReadsInPagesAndNavigatesBothWays) {
  DataSet ds(conn(), {"TArticoli", "", "*", "Codice DESC"});
  EXPECT_EQ(ds.RowCount(), 451);  // with the placeholder
  ds.First();
  EXPECT_EQ(ds.ColValue("Codice").AsString(), "K449");
  int64_t seen = 0;
  for (ds.First(); !ds.IsEOF(); ds.Next()) ++seen;
  EXPECT_EQ(seen, 451);
  ds.Last();
  EXPECT_EQ(ds.ColValue("Codice").AsString(), "");  // the placeholder sorts first ascending
  ds.Previous();
  EXPECT_EQ(ds.ColValue("Codice").AsString(), "K000");
  ds.Move(DataSet::kPageSize);  // first row of the second page
  EXPECT_EQ(ds.ColValue("Codice").AsString(), "K249");
  ds.Previous();
  EXPECT_EQ(ds.ColValue("Codice").AsString(), "K250");
  for (ds.Last(); !ds.IsBOF(); ds.Previous()) --seen;
  EXPECT_EQ(seen, 0);
  EXPECT_THROW(ds.ColValue("Codice"), Error);  // before the first row
}

TEST_F(DataSetTest, PagesNearTheEndReadBackwardsGiveTheSameOrder) {
  // Ties (quantities repeat, most descriptions are empty), nulls (most dates) and both
  // directions: the pages of the second half, read from the end, continue the first half
  // exactly.
  conn().Execute(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<700) INSERT INTO "
      "TArticoli (Codice, Quantità) SELECT printf('L%04d', i), i % 5 FROM n");
  for (int i = 0; i < 450; i += 40) {
    char code[8];
    std::snprintf(code, sizeof code, "K%03d", i);
    conn().Execute("UPDATE TArticoli SET Descrizione = 'd" + std::to_string(i % 3) +
                   "', DataInserimento = '2024-01-0" + std::to_string(1 + i % 4) +
                   " 00:00:00' WHERE Codice = '" + code + "'");
  }
  for (const char* sort : {"Quantità DESC, Descrizione", "Descrizione DESC, Quantità",
                           "DataInserimento DESC", "DataInserimento, Codice DESC", ""}) {
    DataSet ds(conn(), {"TArticoli", "", "Codice", sort});
    std::vector<std::string> whole;
    ds.ForEachRow([&](const std::vector<Variant>& v) {
      whole.push_back(v[0].ToText());
      return true;
    });
    std::vector<std::string> paged;
    for (ds.Last(); !ds.IsBOF(); ds.Previous()) paged.push_back(ds.ColValue(0).ToText());
    std::reverse(paged.begin(), paged.end());
    ASSERT_EQ(whole.size(), 1151u) << sort;
    EXPECT_EQ(paged, whole) << sort;
  }
}

TEST_F(DataSetTest, TextsSortWithoutRegardToCaseAndAccents) {
  for (const char* d : {"Beta", "àrea", "alfa", "ARIA", "abete", "Area"})
    Add("TArticoli", {{"Codice", S(d)}, {"Descrizione", S(d)}});
  DataSet ds(conn(), {"TArticoli", "", "", "Descrizione,Codice"});
  std::vector<std::string> order;
  for (ds.Move(451); !ds.IsEOF(); ds.Next()) order.push_back(ds.ColValue("Descrizione").AsString());
  EXPECT_EQ(order, (std::vector<std::string>{"abete", "alfa", "Area", "àrea", "ARIA", "Beta"}));
}

TEST_F(DataSetTest, CurrentRowIsWritableAndRequerySeesIt) {
  DataSet ds(conn(), {"TArticoli", "", "*", "Codice"});
  ASSERT_TRUE(ds.Find("Codice", S("k010")));
  EXPECT_EQ(ds.Position(), 11);
  auto row = ds.CurrentRow();
  ASSERT_TRUE(row);
  ASSERT_TRUE(row->Set("Descrizione", S("cambiata")));
  ds.Requery();
  EXPECT_EQ(ds.ColValue("Descrizione").AsString(), "cambiata");
  EXPECT_FALSE(ds.Find("Codice", S("nessuno")));
  EXPECT_TRUE(ds.IsEOF());
}

TEST_F(DataSetTest, PositionOfARowInTheOrderOfTheDataSet) {
  const int64_t first = conn().FindOids("TArticoli", "Codice", S("K000"))[0];
  const int64_t other = conn().FindOids("TArticoli", "Codice", S("K300"))[0];
  DataSet down(conn(), {"TArticoli", "", "*", "Codice DESC"});
  EXPECT_EQ(down.PositionOf(first), 449);  // the placeholder comes after it
  EXPECT_EQ(down.PositionOf(other), 149);
  down.Move(down.PositionOf(other).value());
  EXPECT_EQ(down.CurrentOid(), other);
  DataSet up(conn(), {"TArticoli", "", "*", "Codice"});
  EXPECT_EQ(up.PositionOf(first), 1);
  // Rows outside the filter, and identifiers of no row, have no position.
  const int64_t seventh = conn().FindOids("TArticoli", "Codice", S("K007"))[0];
  DataSet some(conn(), {"TArticoli", "Quantità = 0", "*", "Codice"});
  ASSERT_TRUE(some.PositionOf(first).has_value());
  EXPECT_EQ(some.PositionOf(seventh), *some.PositionOf(first) + 1);
  EXPECT_FALSE(some.PositionOf(other).has_value());  // 300 % 7 = 6
  EXPECT_FALSE(up.PositionOf(999999).has_value());
}

TEST_F(DataSetTest, ChildrenOfARowAndRefusedRequests) {
  auto art = conn().GetRow("TArticoli", conn().FindOids("TArticoli", "Codice", S("K001"))[0]);
  auto doc = Add("TDocumenti", {{"Numero", D(1)}});
  for (int i = 0; i < 3; ++i) doc.AddListRowFrom("Dettagli", *art);
  auto children = DataSet::Children(conn(), doc, "Dettagli");
  EXPECT_EQ(children.RowCount(), 3);
  children.First();
  EXPECT_EQ(children.ColValue("Codice").AsString(), "K001");
  // The table's own hooks: default order of its lists, filter of a choice.
  Add("TDocumenti", {{"Numero", D(2)}});
  DataSet docs(conn(), {"TDocumenti", "", "", ""});
  docs.First();
  EXPECT_EQ(docs.ColValue("Numero").AsInteger(), 2);
  EXPECT_EQ(doc.SelectionFilter("Cliente"), "PercentualeSconto<50");
  EXPECT_EQ(doc.SelectionFilter("Dettagli"), "");
  EXPECT_THROW(DataSet(conn(), {"Inesistente", "", "", ""}), Error);
  EXPECT_THROW(DataSet(conn(), {"TArticoli", "Inesistente = 1", "", ""}), Error);
  EXPECT_THROW(DataSet(conn(), {"TArticoli", "Codice = 'K001'; DROP TABLE TArticoli", "", ""}), Error);
  EXPECT_THROW(DataSet(conn(), {"TArticoli", "", "", "Codice SIDEWAYS"}), Error);
}

// The rows and their count are two statements, each with its own values: constants of the field
// list or the sort never reach the count.
TEST_F(DataSetTest, ConstantsInTheFieldListAndTheSortCountLikeAnyRequest) {
  DataSet constants(conn(), {"TArticoli", "", "Codice, Quantità * 2 AS Doppia, 7 AS Sette", ""});
  EXPECT_EQ(constants.RowCount(), 451);
  constants.Move(1);
  EXPECT_EQ(constants.ColValue("Sette").ToInt64(), 7);
  DataSet sorted(conn(), {"TArticoli", "", "Codice", "IIF(Quantità > 3, 1, 2), Codice"});
  EXPECT_EQ(sorted.RowCount(), 451);
  DataSet both(conn(), {"TArticoli", "Doppia > 10", "Codice, Quantità * 2 AS Doppia", ""});
  EXPECT_EQ(both.RowCount(), 64);  // Quantità is i % 7: 6 in 64 of the 450 rows
  // The row identifier as a column of its own.
  DataSet ids(conn(), {"TArticoli", "Codice = 'K000'", "OID, Codice", ""});
  ids.First();
  EXPECT_EQ(ids.ColumnIndex("OID"), 0);
  EXPECT_EQ(ids.ColValue(0).ToInt64(), ids.CurrentOid());
}

TEST_F(DataSetTest, SumsAndCountsOverChildRowsAndPeriods) {
  auto art = conn().GetRow("TArticoli", conn().FindOids("TArticoli", "Codice", S("K002"))[0]);
  ASSERT_TRUE(art->Set("PrezzoVendita", M("1.25")));
  auto doc = Add("TDocumenti", {{"Numero", D(1)}, {"Data", Variant::Date(*DateTime::FromParts(2024, 3, 9))}});
  auto empty = Add("TDocumenti", {{"Numero", D(2)}});
  for (double q : {1.0, 2.0, 5.0}) {
    auto row = doc.AddListRowFrom("Dettagli", *art);
    ASSERT_TRUE(row && row->Set("QuantitàScarico", D(q)));
  }
  // The rows' amounts add up to the total the hooks kept, exactly, as an amount.
  Variant sum = AggregateChildren(conn(), doc, "Dettagli", AggregateKind::Sum, "Importo");
  EXPECT_EQ(sum.type(), VarType::Currency);
  EXPECT_EQ(sum.AsMoney(), doc.Get("ImportoTotale").AsMoney());
  EXPECT_EQ(AggregateChildren(conn(), doc, "Dettagli", AggregateKind::Count, "*").ToInt64(), 3);
  EXPECT_EQ(AggregateChildren(conn(), doc, "Dettagli", AggregateKind::Count, "*",
                              "QuantitàScarico > 1").ToInt64(), 2);
  EXPECT_EQ(AggregateChildren(conn(), empty, "Dettagli", AggregateKind::Sum, "Importo").AsMoney(),
            Money());  // no rows: 0, not Null
  EXPECT_DOUBLE_EQ(AggregateChildren(conn(), doc, "Dettagli", AggregateKind::Max,
                                     "QuantitàScarico").ToDouble(), 5);
  // A period over the owner's date, as the recalculation tools write it.
  EXPECT_EQ(Aggregate(conn(), "TDettagli", AggregateKind::Sum, "QuantitàScarico",
                      "Month(TDocumenti.Data)=3 AND Year(TDocumenti.Data)=2024").ToDouble(), 8);
  EXPECT_EQ(Aggregate(conn(), "TDettagli", AggregateKind::Count, "",
                      "TDocumenti.Data >= #04/01/2024#").ToInt64(), 0);
  EXPECT_THROW(Aggregate(conn(), "TDettagli", AggregateKind::Sum, "Importo +", ""), Error);
}

}  // namespace
}  // namespace tillbook::engine::test
