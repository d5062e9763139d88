// The data-set object as scripts reach it: members by name, assignments through the hooks,
// references by key, added rows, formatting as the data panel shows values.
#include <gtest/gtest.h>

#include "base/error.h"
#include "engine/script_dataset.h"
#include "engine/test/fixture.h"

namespace tillbook::engine::test {
namespace {

class ScriptDataSetTest : public ArchiveTest {
 protected:
  Variant Call(Object& o, const char* member, std::vector<Variant> args = {}) {
    return o.Invoke(member, InvokeKind::Get, args);
  }
  void Let(Object& o, const char* member, std::vector<Variant> args) {
    o.Invoke(member, InvokeKind::Let, args);
  }
};

TEST_F(ScriptDataSetTest, FormatsAsTheDataPanelShows) {
  using F = FieldType;
  struct Case {
    Variant value;
    std::optional<FieldType> type;
    const char* shown;
  } cases[] = {
      {M("1234.5"), F::Money, "1.234,50"},
      {M("-1234567.125"), F::Money, "-1.234.567,12"},  // half-even at the cent
      {M("0.5"), F::Money, "0,50"},
      {Variant::Date(*DateTime::FromParts(2024, 3, 5)), F::Date, "05/03/2024"},
      {Variant::Date(*DateTime::FromParts(2024, 3, 5, 14, 30)), F::DateTime, "05/03/2024 14:30:00"},
      {Variant::Boolean(true), F::YesNo, "Sì"},
      {Variant::Boolean(false), F::YesNo, "No"},
      {D(2.5), F::Number, "2,5"},
      {Variant::Null(), F::Text, ""},
      {S("testo"), F::Text, "testo"},
  };
  for (const auto& c : cases) EXPECT_EQ(ScriptDataSet::Format(c.value, c.type), c.shown);
}

TEST_F(ScriptDataSetTest, WalksReadsAndWritesThroughTheHooks) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}, {"PrezzoVendita", M("2.50")},
                               {"Quantità", D(10)}});
  auto cli = Add("TClienti", {{"Codice", S("C7")}, {"RagioneSociale", S("Rossi")}});
  auto doc = Add("TDocumenti", {{"Numero", D(1)}});
  ASSERT_TRUE(doc.AddListRowFrom("Dettagli", art));

  ScriptDataSet ds(conn(), {"TDocumenti", "", "", ""});
  EXPECT_EQ(Call(ds, "RowCount", {Variant::Boolean(true)}).ToInt64(), 1);
  EXPECT_FALSE(Call(ds, "DataEmpty").ToBool());
  Call(ds, "RowFirst");
  EXPECT_FALSE(Call(ds, "RowInvalid").ToBool());
  // A reference is set by its key field's value.
  Let(ds, "ColValue", {S("Cliente"), S("C7")});
  EXPECT_EQ(doc.ReferenceOid("Cliente"), cli.Oid());
  EXPECT_THROW(Let(ds, "ColValue", {S("Cliente"), S("NESSUNO")}), Error);

  auto rows = Call(ds, "GetReference", {S("Dettagli")});
  ASSERT_TRUE(rows.IsObject());
  Object& detail = *rows.AsObject();
  Call(detail, "RowFirst");
  // Typing a quantity runs the row's hooks: the stock and the document total follow.
  Let(detail, "ColValue", {S("QuantitàScarico"), D(3)});
  EXPECT_EQ(Call(detail, "FormattedColValue", {S("Importo")}).AsString(), "7,50");
  EXPECT_DOUBLE_EQ(art.Get("Quantità").AsDouble(), 7);
  Call(ds, "RowFirst");
  EXPECT_EQ(Call(ds, "ColValue", {S("ImportoTotale")}).AsMoney(), *Money::Parse("7.5"));

  auto customer = Call(ds, "GetReference", {S("Cliente")});
  EXPECT_EQ(Call(*customer.AsObject(), "ColValue", {S("RagioneSociale")}).AsString(), "Rossi");
  EXPECT_TRUE(Call(ds, "GetReference", {S("Pagamento")}).IsNothing());

  Call(ds, "RowNext");
  EXPECT_TRUE(Call(ds, "RowInvalid").ToBool());
  EXPECT_THROW(Call(ds, "ColValue", {S("Numero")}), Error);
  EXPECT_THROW(Call(ds, "Inventato"), Error);
}

TEST_F(ScriptDataSetTest, AddsRowsAndKeepsMemoVars) {
  ScriptDataSet pay(conn(), {"TPagamenti", "", "", ""});
  ASSERT_TRUE(Call(pay, "AddRow").ToBool());
  EXPECT_EQ(conn().Count("TPagamenti"), 0);  // stored when saved
  Let(pay, "ColValue", {S("Importo"), M("12.5")});
  EXPECT_TRUE(Call(pay, "Save").ToBool());
  EXPECT_EQ(conn().Count("TPagamenti"), 1);
  EXPECT_EQ(Call(pay, "FormattedColValue", {S("Importo")}).AsString(), "12,50");
  EXPECT_EQ(Call(pay, "RowCount").ToInt64(), 1);
  EXPECT_TRUE(Call(pay, "DeleteRow").ToBool());
  EXPECT_EQ(conn().Count("TPagamenti"), 0);

  ScriptDataSet ds(conn(), {"TArticoli", "", "", "Codice"});
  Let(ds, "MemoVars", {S("AccodamentoDati"), Variant::Boolean(true)});
  EXPECT_TRUE(Call(ds, "MemoVars", {S("accodamentodati")}).ToBool());
  EXPECT_TRUE(Call(ds, "MemoVars", {S("altro")}).IsEmpty());

  Let(ds, "SortOrder", {S("Codice DESC")});
  EXPECT_EQ(Call(ds, "SortOrder").AsString(), "Codice DESC");
  Call(ds, "RowLast");
  EXPECT_EQ(Call(ds, "ColValue", {S("Codice")}).AsString(), "");  // the placeholder
}

// A new row is stored when saved, so a row whose key is still empty does not collide with the
// empty placeholder row, and a refused save leaves nothing behind.
TEST_F(ScriptDataSetTest, NewRowIsStoredWhenSavedOrLeft) {
  ScriptDataSet art(conn(), {"TArticoli", "", "", "Codice"});
  ASSERT_EQ(conn().Count("TArticoli"), 1);  // the placeholder, with an empty code
  ASSERT_TRUE(Call(art, "AddRow").ToBool());
  const int64_t first = Call(art, "ColValue", {S("OID")}).ToInt64();
  EXPECT_GT(first, 1);  // its id at once
  EXPECT_EQ(conn().Count("TArticoli"), 1);
  EXPECT_EQ(conn().PendingRows().size(), 1u);
  Let(art, "ColValue", {S("Codice"), S("A1")});  // a new row's code is given, not changed
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_TRUE(Call(art, "Save").ToBool());
  EXPECT_EQ(conn().Count("TArticoli"), 2);
  EXPECT_TRUE(conn().PendingRows().empty());

  // A duplicate key is refused at the save; the row stays pending and can be mended.
  ASSERT_TRUE(Call(art, "AddRow").ToBool());
  Let(art, "ColValue", {S("Codice"), S("a1")});
  try {
    Call(art, "Save");
    ADD_FAILURE() << "a duplicate code was stored";
  } catch (const Error& e) {
    EXPECT_NE(e.message().find("esiste già un elemento con gli stessi valori di Codice"),
              std::string::npos) << e.message();
  }
  EXPECT_EQ(conn().Count("TArticoli"), 2);
  Let(art, "ColValue", {S("Codice"), S("A2")});
  Call(art, "RowFirst");  // leaving the row saves it
  EXPECT_EQ(conn().Count("TArticoli"), 3);

  // Adding again leaves the previous new row: a refusal there keeps both out of the archive.
  ASSERT_TRUE(Call(art, "AddRow").ToBool());
  EXPECT_THROW(Call(art, "AddRow"), Error);  // its empty code collides with the placeholder
  EXPECT_EQ(conn().Count("TArticoli"), 3);
  EXPECT_TRUE(Call(art, "DeleteRow").ToBool());  // Cancel: the pending row is forgotten
  EXPECT_TRUE(conn().PendingRows().empty());
  ASSERT_TRUE(Call(art, "AddRow").ToBool());
  EXPECT_GT(Call(art, "ColValue", {S("OID")}).ToInt64(), first + 2);  // ids are never given twice
  Let(art, "ColValue", {S("Codice"), S("A3")});
  Reopen();
  EXPECT_EQ(conn().Count("TArticoli"), 3);  // a pending row is not stored by closing the archive
}

// AddRow on the rows of a reference works inside the owner: an owned list gets a row of its
// owner; a list of links and a plain reference pick an existing row by the field written.
TEST_F(ScriptDataSetTest, RowsAddedToAReferenceBelongToItsOwner) {
  Row doc = Add("TDocumenti", {{"Numero", D(1)}});
  Add("TDocumenti", {{"Numero", D(2)}});
  Add("TDocumenti", {{"Numero", D(2)}, {"Archiviato", Variant::Boolean(true)}});
  Row third = Add("TDocumenti", {{"Numero", D(3)}});
  Row rossi = Add("TClienti", {{"RagioneSociale", S("Rossi")}, {"Codice", S("C1")}});
  Add("TClienti", {{"RagioneSociale", S("Bianchi")}, {"Codice", S("C2")}});
  ASSERT_TRUE(doc.SetReference("Cliente", rossi));
  ScriptDataSet docs(conn(), {"TDocumenti", "Numero=1", "", ""});

  auto rows = Call(docs, "GetReference", {S("Dettagli")});
  Object& detail = *rows.AsObject();
  ASSERT_TRUE(Call(detail, "AddRow").ToBool());
  Let(detail, "ColValue", {S("Riferimento"), S("riga 1")});
  EXPECT_TRUE(Call(detail, "Save").ToBool());
  EXPECT_EQ(Call(detail, "RowCount").ToInt64(), 1);
  ASSERT_EQ(doc.ListCount("Dettagli"), 1);
  EXPECT_EQ(doc.List("Dettagli")[0].Get("Riferimento").AsString(), "riga 1");

  auto linked = Call(docs, "GetReference", {S("Associati")});
  Object& assoc = *linked.AsObject();
  ASSERT_TRUE(Call(assoc, "AddRow").ToBool());
  EXPECT_THROW(Let(assoc, "ColValue", {S("Numero"), D(99)}), Error);  // no such document
  try {
    Let(assoc, "ColValue", {S("Numero"), D(2)});
    ADD_FAILURE() << "an ambiguous key was linked";
  } catch (const Error& e) {
    EXPECT_NE(e.message().find("Più elementi di TDocumenti"), std::string::npos) << e.message();
  }
  Let(assoc, "ColValue", {S("Numero"), D(3)});
  EXPECT_EQ(Call(assoc, "RowCount").ToInt64(), 1);
  EXPECT_EQ(Call(assoc, "ColValue", {S("Numero")}).ToInt64(), 3);
  ASSERT_EQ(doc.ListCount("Associati"), 1);
  Call(assoc, "RowFirst");
  EXPECT_TRUE(Call(assoc, "DeleteRow").ToBool());  // the link goes, the document stays
  EXPECT_EQ(doc.ListCount("Associati"), 0);
  EXPECT_TRUE(third.IsValid());

  auto customer = Call(docs, "GetReference", {S("Cliente")});
  Object& cust = *customer.AsObject();
  ASSERT_TRUE(Call(cust, "AddRow").ToBool());
  Let(cust, "ColValue", {S("Codice"), S("C2")});
  EXPECT_EQ(doc.Reference("Cliente")->Get("RagioneSociale").AsString(), "Bianchi");
  EXPECT_TRUE(Call(cust, "DeleteRow").ToBool());
  EXPECT_EQ(doc.ReferenceOid("Cliente"), 0);
  EXPECT_EQ(conn().Count("TClienti"), 2);
}

// A change a hook refuses, or one the person answers No to, reaches the script as an error it
// can catch (number 3426, the refusal's own text); the row keeps its value and the person has
// seen the refusal.
TEST_F(ScriptDataSetTest, RefusedChangesRaiseScriptErrors) {
  Add("TArticoli", {{"Codice", S("A1")}, {"Descrizione", S("Penna")}});
  ScriptDataSet art(conn(), {"TArticoli", "", "", "Codice"});
  auto expectError = [&](const char* code, const std::string& message) {
    try {
      Let(art, "ColValue", {S("Codice"), S(code)});
      ADD_FAILURE() << "no error for " << code;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 3426);
      EXPECT_EQ(e.message(), message);
    }
  };
  Call(art, "RowFirst");  // the placeholder, whose code cannot change
  ui_.Clear();
  expectError("X", "Non è possibile modificare questo elemento");
  EXPECT_EQ(ui_.messages(), std::vector<std::string>{"Non è possibile modificare questo elemento"});
  EXPECT_EQ(Call(art, "ColValue", {S("Codice")}).AsString(), "");

  Call(art, "RowNext");
  ui_.QueueAnswer(Answer::No);
  expectError("A2", "Modifica di «Codice» annullata.");
  EXPECT_EQ(Call(art, "ColValue", {S("Codice")}).AsString(), "A1");
  ui_.QueueAnswer(Answer::Yes);
  Let(art, "ColValue", {S("Codice"), S("A2")});
  EXPECT_EQ(Call(art, "ColValue", {S("Codice")}).AsString(), "A2");

  // A detail row picks its article by code; an unknown code is an error, a known one links.
  Row doc = Add("TDocumenti", {{"Numero", D(1)}});
  ScriptDataSet docs(conn(), {"TDocumenti", "", "", ""});
  Call(docs, "RowFirst");
  auto rows = Call(docs, "GetReference", {S("Dettagli")});
  Object& detail = *rows.AsObject();
  ASSERT_TRUE(Call(detail, "AddRow").ToBool());
  try {
    Let(detail, "ColValue", {S("Codice"), S("A1")});  // renamed above
    ADD_FAILURE() << "an unknown code was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), "Nessun elemento di TArticoli con Codice «A1».");
  }
  Let(detail, "ColValue", {S("Codice"), S("A2")});
  EXPECT_EQ(Call(detail, "ColValue", {S("Descrizione")}).AsString(), "Penna");
  EXPECT_TRUE(Call(detail, "Save").ToBool());
  ASSERT_EQ(doc.ListCount("Dettagli"), 1);
  EXPECT_EQ(doc.List("Dettagli")[0].BaseRow()->Get("Codice").AsString(), "A2");
}

}  // namespace
}  // namespace tillbook::engine::test
