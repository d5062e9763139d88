// Hooks and atomic actions: cascades with guards, refusals, questions and errors, each leaving
// every row it touched as it was when the action does not complete.
#include <gtest/gtest.h>

#include "base/error.h"
#include "engine/test/fixture.h"

namespace tillbook::engine::test {
namespace {

class HooksTest : public ArchiveTest {
 protected:
  void SetUp() override {
    ArchiveTest::SetUp();
    article_ = Add("TArticoli", {{"Codice", S("A1")}, {"PrezzoVendita", M("2.50")},
                                 {"Quantità", D(100)}});
    doc_ = Add("TDocumenti", {{"Numero", D(1)}});
  }
  // Article stock, document total and row amount as one line, for before/after comparisons.
  std::string State(const std::optional<Row>& row = std::nullopt) {
    std::string s = "stock=" + article_->Get("Quantità").ToText() +
                    " total=" + doc_->Get("ImportoTotale").ToText();
    if (row) s += " row=" + row->Get("QuantitàScarico").ToText() + "x" +
                  row->Get("PrezzoUnitario").ToText() + "=" + row->Get("Importo").ToText();
    return s;
  }
  // Same, read back from the file by a second connection: what another workstation would see.
  std::string StoredState() {
    Connection other;
    other.Open(path_);
    Database db(MakeTestDatabase(), "Tillbook");
    db.Attach(other);
    return "stock=" + other.GetRow("TArticoli", article_->Oid())->Get("Quantità").ToText() +
           " total=" + other.GetRow("TDocumenti", doc_->Oid())->Get("ImportoTotale").ToText();
  }
  std::optional<Row> Scan(double qty) {
    std::optional<Row> row;
    conn().RunAction([&] {
      row = doc_->AddListRowFrom("Dettagli", *article_);
      return row && row->Set("QuantitàScarico", D(qty));
    });
    return row;
  }
  std::optional<Row> article_, doc_;
};

TEST_F(HooksTest, CascadeKeepsStockAndTotalsInStep) {
  auto row = Scan(3);
  EXPECT_EQ(State(row), "stock=97 total=7.5 row=3x2.5=7.5");
  ASSERT_TRUE(row->Set("QuantitàScarico", D(4)));
  EXPECT_EQ(State(row), "stock=96 total=10 row=4x2.5=10");
  // The amount typed by hand gives the price back; the guard stops the loop.
  ASSERT_TRUE(row->Set("Importo", M("12")));
  EXPECT_EQ(State(row), "stock=96 total=12 row=4x3=12");
  EXPECT_FALSE(row->IsGuarded("Calculate_Importo"));
  EXPECT_EQ(StoredState(), "stock=96 total=12");
  ASSERT_TRUE(row->Delete());
  EXPECT_EQ(State(), "stock=100 total=0");
}

TEST_F(HooksTest, ErrorInTheMiddleOfACascadeLeavesEveryRowAsItWas) {
  auto row = Scan(2);
  const std::string before = State(row);
  // 13 fails after the article and the document were already changed by the cascade.
  EXPECT_THROW(row->Set("QuantitàScarico", D(13)), Error);
  EXPECT_EQ(State(row), before);
  EXPECT_EQ(StoredState(), "stock=98 total=5");
  EXPECT_FALSE(row->IsGuarded("Calculate_Importo"));
  // A failing scan leaves no row behind either.
  EXPECT_THROW(Scan(13), Error);
  EXPECT_EQ(doc_->ListCount("Dettagli"), 1);
  EXPECT_EQ(State(), "stock=98 total=5");
  // And the archive goes on working.
  ASSERT_TRUE(row->Set("QuantitàScarico", D(1)));
  EXPECT_EQ(StoredState(), "stock=99 total=2.5");
}

TEST_F(HooksTest, ErrorInsideAGroupedActionRollsBackEarlierCompletedSteps) {
  auto row = Scan(1);
  EXPECT_THROW(conn().RunAction([&] {
                 EXPECT_TRUE(row->Set("QuantitàScarico", D(5)));
                 EXPECT_TRUE(doc_->Set("Numero", D(99)));
                 conn().Flush();  // the earlier steps reached SQL before the failure
                 row->Set("QuantitàScarico", D(13));
                 return true;
               }),
               Error);
  EXPECT_EQ(State(row), "stock=99 total=2.5 row=1x2.5=2.5");
  EXPECT_EQ(doc_->Get("Numero").AsInteger(), 1);
  EXPECT_EQ(StoredState(), "stock=99 total=2.5");
}

// An inner action that fails after its writes reached the file is undone alone: the outer action
// goes on and commits what it did before and after.
TEST_F(HooksTest, FailedInnerActionAfterWritesLeavesTheOuterOneWhole) {
  auto row = Scan(1);
  ASSERT_TRUE(conn().RunAction([&] {
    EXPECT_TRUE(row->Set("QuantitàScarico", D(2)));
    conn().Flush();
    EXPECT_THROW(conn().RunAction([&] {
                   auto added = doc_->AddListRowFrom("Dettagli", *article_);
                   EXPECT_TRUE(added && added->Set("QuantitàScarico", D(4)));
                   conn().Flush();  // the new row and the stock change are in the file now
                   throw Error("interrotto");
                   return true;
                 }),
                 Error);
    EXPECT_EQ(doc_->ListCount("Dettagli"), 1);
    EXPECT_EQ(State(), "stock=98 total=5");
    EXPECT_TRUE(doc_->Set("Numero", D(5)));
    return true;
  }));
  EXPECT_EQ(State(row), "stock=98 total=5 row=2x2.5=5");
  EXPECT_EQ(StoredState(), "stock=98 total=5");
  EXPECT_EQ(doc_->ListCount("Dettagli"), 1);
  EXPECT_EQ(doc_->Get("Numero").AsInteger(), 5);
}

TEST_F(HooksTest, PlaceholderRowRefusesChangeAndDeletionButNotWhileCreated) {
  auto ids = conn().FindOids("TArticoli", "Codice", S(""));
  ASSERT_EQ(ids.size(), 1u);
  auto placeholder = conn().GetRow("TArticoli", ids[0]);
  EXPECT_FALSE(placeholder->Set("Codice", S("X")));
  EXPECT_FALSE(placeholder->Delete());
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{
                                "Non è possibile modificare questo elemento",
                                "Non è possibile eliminare questo elemento"}));
  EXPECT_EQ(placeholder->Get("Codice").AsString(), "");
  EXPECT_TRUE(conn().GetRow("TArticoli", ids[0]));
  EXPECT_TRUE(placeholder->Set("Descrizione", S("vuoto")));  // other fields stay editable
}

TEST_F(HooksTest, QuestionYesGoesOnAndNoCancels) {
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(article_->Set("Codice", S("A2")));
  EXPECT_EQ(article_->Get("Codice").AsString(), "A1");
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(article_->Set("Codice", S("A2")));
  EXPECT_EQ(article_->Get("Codice").AsString(), "A2");
  ASSERT_EQ(ui_.log().size(), 2u);
  EXPECT_EQ(ui_.log()[0].substr(0, 40), "ASK La variazione del Codice interno pot");
  EXPECT_EQ(ui_.log()[0].substr(ui_.log()[0].size() - 5), "-> No");
}

TEST_F(HooksTest, NoToADeletionKeepsTheDocumentWithItsRows) {
  auto row = Scan(4);
  ASSERT_TRUE(doc_->Set("Archiviato", Variant::Boolean(true)));
  ui_.QueueAnswer(Answer::No);
  EXPECT_FALSE(doc_->Delete());
  EXPECT_TRUE(doc_->IsValid());
  EXPECT_EQ(State(row), "stock=96 total=10 row=4x2.5=10");
  ui_.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(doc_->Delete());
  // The rows went with the document, and their hooks gave the stock back.
  EXPECT_EQ(article_->Get("Quantità").ToText(), "100");
  EXPECT_EQ(conn().Count("TDettagli"), 0);
}

TEST_F(HooksTest, RefusalInsideACascadeCancelsOnlyThatChange) {
  auto ids = conn().FindOids("TArticoli", "Codice", S(""));
  auto placeholder = conn().GetRow("TArticoli", ids[0]);
  bool inner = true;
  ASSERT_TRUE(conn().RunAction([&] {
    EXPECT_TRUE(article_->Set("Descrizione", S("prima")));
    inner = placeholder->Set("Codice", S("X"));  // refused: the grouped action goes on
    EXPECT_TRUE(article_->Set("Note", S("dopo")));
    return true;
  }));
  EXPECT_FALSE(inner);
  EXPECT_EQ(article_->Get("Descrizione").AsString(), "prima");
  EXPECT_EQ(article_->Get("Note").AsString(), "dopo");
  EXPECT_EQ(placeholder->Get("Codice").AsString(), "");
}

TEST_F(HooksTest, HandlesOnTheSameRowShareValuesAndGuards) {
  auto again = conn().GetRow("TArticoli", article_->Oid());
  ASSERT_TRUE(again->Set("Descrizione", S("condiviso")));
  EXPECT_EQ(article_->Get("Descrizione").AsString(), "condiviso");
  Row::Guard g(*article_, "Setting_Saldo");
  EXPECT_TRUE(g);
  EXPECT_FALSE(again->TryGuard("Setting_Saldo"));
  Row::Guard second(*again, "Setting_Saldo");
  EXPECT_FALSE(second);
}

}  // namespace
}  // namespace tillbook::engine::test
