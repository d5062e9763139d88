// Rows copying a base row (a document's article rows) pick their base row by the field their
// owner's list shows them by: the code written on the row links it and brings the copies.
#include <gtest/gtest.h>

#include "base/error.h"
#include "engine/row.h"
#include "engine/test/fixture.h"

namespace tillbook::engine::test {
namespace {

class BaseLinkTest : public ArchiveTest {
 protected:
  void SetUp() override {
    ArchiveTest::SetUp();
    pen_ = Add("TArticoli", {{"Codice", S("PEN")},
                             {"Descrizione", S("Penna")},
                             {"PrezzoVendita", M("1.20")},
                             {"Quantità", D(10)}});
    ink_ = Add("TArticoli", {{"Codice", S("INK")},
                             {"Descrizione", S("Inchiostro")},
                             {"PrezzoVendita", M("3.00")},
                             {"Quantità", D(4)}});
    doc_ = Add("TDocumenti", {{"Numero", D(1)}});
  }
  Row NewDetail() {
    auto row = doc_->AddListRow("Dettagli");
    EXPECT_TRUE(row.has_value());
    return *row;
  }
  std::optional<Row> pen_, ink_, doc_;
};

TEST_F(BaseLinkTest, WritingTheCodeLinksTheArticleAndCopiesItsFields) {
  Row row = NewDetail();
  ASSERT_FALSE(row.BaseRow());
  ASSERT_TRUE(row.Set("Codice", S("pen")));  // found as a list finds it, without regard to case
  ASSERT_TRUE(row.BaseRow());
  EXPECT_EQ(row.BaseRow()->Oid(), pen_->Oid());
  EXPECT_EQ(row.Get("Codice").AsString(), "PEN");  // the article's own spelling
  EXPECT_EQ(row.Get("Descrizione").AsString(), "Penna");
  EXPECT_EQ(row.Get("PrezzoVendita").ToMoney(), *Money::Parse("1.20"));
  EXPECT_DOUBLE_EQ(row.Get("Quantità").ToDouble(), 10);

  // Stored as one action: the link and the copies are there after reopening.
  const int64_t id = row.Oid();
  Reopen();
  auto stored = conn().GetRow("TDettagli", id);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->Get("Descrizione").AsString(), "Penna");
  ASSERT_TRUE(stored->BaseRow());
  EXPECT_EQ(stored->BaseRow()->Get("Codice").AsString(), "PEN");
}

TEST_F(BaseLinkTest, AnotherCodeReplacesLinkAndCopies) {
  auto row = doc_->AddListRowFrom("Dettagli", *pen_);
  ASSERT_TRUE(row);
  ASSERT_TRUE(row->Set("Descrizione", S("Penna rossa")));  // a copy edited on the row
  ASSERT_TRUE(row->Set("Codice", S("INK")));
  EXPECT_EQ(row->BaseRow()->Oid(), ink_->Oid());
  EXPECT_EQ(row->Get("Descrizione").AsString(), "Inchiostro");
  EXPECT_EQ(row->Get("PrezzoVendita").ToMoney(), *Money::Parse("3.00"));
  // The articles themselves are not touched by the copy.
  EXPECT_EQ(pen_->Get("Descrizione").AsString(), "Penna");
  EXPECT_EQ(ink_->Get("Descrizione").AsString(), "Inchiostro");

  // The same code again keeps what the row holds now: nothing is copied over its edits.
  ASSERT_TRUE(row->Set("Descrizione", S("Inchiostro blu")));
  ASSERT_TRUE(row->Set("Codice", S("INK")));
  EXPECT_EQ(row->Get("Descrizione").AsString(), "Inchiostro blu");
}

TEST_F(BaseLinkTest, UnknownCodeIsRefusedAndLeavesTheRowAsItWas) {
  auto row = doc_->AddListRowFrom("Dettagli", *pen_);
  ASSERT_TRUE(row);
  ui_.Clear();
  EXPECT_FALSE(row->Set("Codice", S("NESSUNO")));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0], "Nessun elemento di TArticoli con Codice «NESSUNO».");
  EXPECT_EQ(Row::TakeRefusal(), ui_.messages()[0]);
  EXPECT_EQ(Row::TakeRefusal(), "");  // taken once
  EXPECT_EQ(row->Get("Codice").AsString(), "PEN");
  EXPECT_EQ(row->BaseRow()->Oid(), pen_->Oid());

  // A fresh row stays unlinked.
  Row fresh = NewDetail();
  EXPECT_FALSE(fresh.Set("Codice", S("NESSUNO")));
  EXPECT_FALSE(fresh.BaseRow());
  EXPECT_EQ(fresh.Get("Codice").AsString(), "");
}

TEST_F(BaseLinkTest, OtherCopiedFieldsAndTheBaseItselfAreWrittenPlainly) {
  auto row = doc_->AddListRowFrom("Dettagli", *pen_);
  ASSERT_TRUE(row);
  // A copy other than the code is the row's own value and picks nothing.
  ASSERT_TRUE(row->Set("Descrizione", S("INK")));
  EXPECT_EQ(row->BaseRow()->Oid(), pen_->Oid());
  // The article's own code is an ordinary field of the article.
  ASSERT_TRUE(conn().GetRow("TArticoli", ink_->Oid())->Set("Note", S("x")));
  ui_.QueueAnswer(Answer::Yes);
  ASSERT_TRUE(ink_->Set("Codice", S("INK2")));
  EXPECT_EQ(ink_->Get("Codice").AsString(), "INK2");
}

}  // namespace
}  // namespace tillbook::engine::test
