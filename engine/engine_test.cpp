// Storage, inheritance, lists and structure evolution of the record engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/error.h"
#include "engine/internal/sqlite.h"
#include "engine/test/fixture.h"

namespace tillbook::engine::test {
namespace {

using ::testing::ElementsAre;

TEST_F(ArchiveTest, CreatesTablesVersionsAndDefaultRows) {
  for (const char* t : {"TSoggetti", "TClienti", "TArticoli", "TDettagli", "TDocumenti",
                        "Lst_TDocumenti_Associati"})
    EXPECT_TRUE(conn().TableExists(t)) << t;
  EXPECT_DOUBLE_EQ(Database::StoredVersion(conn(), "TClienti"), 4.2);
  EXPECT_EQ(StructLog().front(), "TSoggetti 0 created");
  // The placeholder article written by the structure hook.
  auto ids = conn().FindOids("TArticoli", "Codice", S(""));
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(conn().GetRow("TArticoli", ids[0])->Get("Descrizione").AsString(), "");
}

TEST_F(ArchiveTest, ValuesRoundTripByTypeAcrossReopen) {
  auto art = Add("TArticoli", {{"Codice", S("A1")},
                               {"PrezzoVendita", M("12.3456")},
                               {"Quantità", D(2.5)},
                               {"DataInserimento", Variant::Date(*DateTime::FromParts(2024, 2, 29))},
                               {"Note", S("città più")}});
  const int64_t id = art.Oid();
  Reopen();
  auto r = conn().GetRow("TArticoli", id);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Get("PrezzoVendita").type(), VarType::Currency);
  EXPECT_EQ(r->Get("PrezzoVendita").AsMoney(), *Money::Parse("12.3456"));
  EXPECT_DOUBLE_EQ(r->Get("Quantità").AsDouble(), 2.5);
  EXPECT_EQ(r->Get("DataInserimento").ToDateTime().ToIsoDate(), "2024-02-29");
  EXPECT_EQ(r->Get("Note").AsString(), "città più");
  EXPECT_TRUE(r->Get("Note") == r->Get("note"));  // names without regard to case
}

TEST_F(ArchiveTest, BadValuesAndNamesAreRefusedWithItalianMessages) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}});
  struct Case {
    const char* field;
    Variant value;
    const char* fragment;
  } cases[] = {
      {"Quantità", S("molti"), "Valore non valido per il campo «Quantità»"},
      {"Codice", S("12345678901234567"), "supera la lunghezza massima di 16"},
      {"Inesistente", S("x"), "Campo sconosciuto «Inesistente» nella tabella TArticoli"},
  };
  for (const auto& c : cases) {
    try {
      art.Set(c.field, c.value);
      ADD_FAILURE() << c.field;
    } catch (const Error& e) {
      EXPECT_NE(e.message().find(c.fragment), std::string::npos) << e.message();
    }
  }
  EXPECT_EQ(art.Get("Codice").AsString(), "A1");
}

TEST_F(ArchiveTest, UniqueIndexIsCaseInsensitiveAndRefusedClearly) {
  Add("TArticoli", {{"Codice", S("ABC")}});
  try {
    conn().AddRow("TArticoli", {{"Codice", S("abc")}});
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_NE(e.message().find("esiste già un elemento con gli stessi valori di Codice"),
              std::string::npos)
        << e.message();
  }
  EXPECT_EQ(conn().FindOids("TArticoli", "Codice", S("ABC")).size(), 1u);
  EXPECT_EQ(conn().Count("TArticoli"), 2);  // placeholder + ABC: the failed row left nothing
}

TEST_F(ArchiveTest, LinkToBaseSharesIdentityAndBaseFields) {
  auto cli = Add("TClienti", {{"Codice", S("C1")}, {"RagioneSociale", S("Rossi")}});
  EXPECT_DOUBLE_EQ(cli.Get("PercentualeSconto").AsDouble(), 5);  // OnNewRow default
  auto asBase = cli.As("TSoggetti");
  ASSERT_TRUE(asBase);
  EXPECT_EQ(asBase->Oid(), cli.Oid());
  // A base field changed through the derived row is the base row's field.
  ASSERT_TRUE(cli.Set("RagioneSociale", S("Rossi Srl")));
  EXPECT_EQ(asBase->Get("RagioneSociale").AsString(), "Rossi Srl");
  Reopen();
  EXPECT_EQ(conn().GetRow("TSoggetti", cli.Oid())->Get("RagioneSociale").AsString(), "Rossi Srl");
  // A supplier is a different subject; a customer row is not a supplier row.
  auto forn = Add("TFornitori", {{"Codice", S("F1")}, {"RagioneSociale", S("Bianchi")}});
  EXPECT_NE(forn.Oid(), cli.Oid());
  EXPECT_FALSE(conn().GetRow("TFornitori", cli.Oid()));
  EXPECT_EQ(conn().Count("TSoggetti"), 2);
  // Deleting the derived row deletes its base row.
  ASSERT_TRUE(conn().GetRow("TClienti", cli.Oid())->Delete());
  EXPECT_FALSE(conn().GetRow("TSoggetti", cli.Oid()));
  EXPECT_EQ(conn().Count("TSoggetti"), 1);
}

TEST_F(ArchiveTest, RowsWithCopiesKeepTheirOwnValuesAndLinkTheBase) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}, {"Descrizione", S("Penna")},
                               {"PrezzoVendita", M("2.50")}});
  auto doc = Add("TDocumenti", {{"Numero", D(1)}});
  auto row = doc.AddListRowFrom("Dettagli", art);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Get("Descrizione").AsString(), "Penna");
  EXPECT_EQ(row->Get("PrezzoUnitario").AsMoney(), *Money::Parse("2.5"));  // OnNewRow
  ASSERT_TRUE(row->Set("Descrizione", S("Penna rossa")));
  EXPECT_EQ(art.Get("Descrizione").AsString(), "Penna");  // the copy is the row's own
  EXPECT_EQ(row->BaseRow()->Oid(), art.Oid());
  EXPECT_EQ(row->Parent("TDocumenti")->Oid(), doc.Oid());
}

TEST_F(ArchiveTest, ListsOwnedAndLinkedAndOwnedSingle) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}});
  auto doc = Add("TDocumenti", {{"Numero", D(1)}});
  auto other = Add("TDocumenti", {{"Numero", D(2)}});
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(doc.AddListRowFrom("Dettagli", art));
  EXPECT_EQ(doc.ListCount("Dettagli"), 3);
  auto pay = doc.NewReferencedRow("Pagamento");
  ASSERT_TRUE(pay);
  ASSERT_TRUE(pay->Set("Importo", M("10")));
  EXPECT_EQ(doc.Reference("Pagamento")->Oid(), pay->Oid());
  ASSERT_TRUE(doc.AddToList("Associati", other));
  ASSERT_TRUE(doc.AddToList("Associati", other));  // linking twice keeps one link
  EXPECT_EQ(doc.ListCount("Associati"), 1);
  EXPECT_EQ(doc.List("Associati")[0].Get("Numero").AsInteger(), 2);
  ASSERT_TRUE(doc.RemoveFromList("Associati", other));
  EXPECT_EQ(doc.ListCount("Associati"), 0);
  ASSERT_TRUE(other.AddToList("Associati", doc));

  // Owned rows go with their owner; linked rows stay, their links to it do not.
  const int64_t payId = pay->Oid();
  ASSERT_TRUE(doc.Delete());
  EXPECT_EQ(conn().Count("TDettagli"), 0);
  EXPECT_FALSE(conn().GetRow("TPagamenti", payId));
  EXPECT_TRUE(other.IsValid());
  EXPECT_EQ(other.ListCount("Associati"), 0);
  EXPECT_FALSE(doc.IsValid());
}

// A long action lets go of the rows nobody holds as it goes; a No at its end still leaves every
// row, held or not, as it was, and row ids reserved for new rows are never handed out twice.
TEST_F(ArchiveTest, LongActionStaysWholeAfterLettingGoOfRows) {
  Row kept = Add("TArticoli", {{"Codice", S("K")}, {"Quantità", D(1)}});
  const int64_t dropped = Add("TArticoli", {{"Codice", S("D")}, {"Quantità", D(1)}}).Oid();
  const int64_t before = conn().Count("TArticoli");
  auto addMany = [&](int n) {
    return conn().RunAction([&] {
      EXPECT_TRUE(kept.Set("Quantità", D(2)));
      EXPECT_TRUE(conn().GetRow("TArticoli", dropped)->Set("Quantità", D(2)));
      for (int i = 0; i < n; ++i)
        if (!conn().AddRow("TArticoli", {{"Codice", Variant::String("N" + std::to_string(i))}}))
          return false;
      EXPECT_EQ(conn().Count("TArticoli"), before + n);
      return n < 10000;
    });
  };
  EXPECT_FALSE(addMany(10000));
  EXPECT_EQ(conn().Count("TArticoli"), before);
  EXPECT_EQ(kept.Get("Quantità").ToDouble(), 1);
  EXPECT_EQ(conn().GetRow("TArticoli", dropped)->Get("Quantità").ToDouble(), 1);
  EXPECT_TRUE(addMany(9000));
  Reopen();
  EXPECT_EQ(conn().Count("TArticoli"), before + 9000);
  EXPECT_EQ(conn().GetRow("TArticoli", dropped)->Get("Quantità").ToDouble(), 2);

  // A raw statement inside an action does not take the id of a row still waiting.
  ASSERT_TRUE(conn().RunAction([&] {
    auto pending = conn().NewRow("TPagamenti");
    conn().Execute("INSERT INTO \"TPagamenti\" (\"Importo\", \"Saldato\") VALUES (0, 0)");
    return pending->Save();
  }));
  EXPECT_EQ(conn().Count("TPagamenti"), 2);
}

TEST_F(ArchiveTest, SingleReferencesFollowAndRefuseMissingRows) {
  auto cli = Add("TClienti", {{"Codice", S("C1")}});
  auto doc = Add("TDocumenti", {{"Numero", D(1)}});
  ASSERT_TRUE(doc.SetReference("Cliente", cli));
  EXPECT_EQ(doc.Reference("Cliente")->Get("Codice").AsString(), "C1");
  EXPECT_EQ(doc.Get("OID_Cliente").ToInt64(), cli.Oid());
  EXPECT_THROW(doc.SetReferenceOid("Cliente", 999999), Error);
  ASSERT_TRUE(doc.SetReference("Cliente", std::nullopt));
  EXPECT_FALSE(doc.Reference("Cliente"));
}

TEST_F(ArchiveTest, DefinitionThatGainsAColumnUpgradesTheArchive) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}});
  StructLog().clear();
  Reopen({.articoliColore = true});
  // Only the table whose version changed is told, with its stored version.
  EXPECT_THAT(StructLog(), ElementsAre("TArticoli 1 updated"));
  auto r = conn().GetRow("TArticoli", art.Oid());
  EXPECT_EQ(r->Get("Colore").AsString(), "nero");  // existing rows take the default
  ASSERT_TRUE(r->Set("Colore", S("rosso")));
  StructLog().clear();
  Reopen({.articoliColore = true});
  EXPECT_TRUE(StructLog().empty());  // current versions: no hook, no upgrade
  EXPECT_EQ(conn().GetRow("TArticoli", art.Oid())->Get("Colore").AsString(), "rosso");
}

TEST_F(ArchiveTest, RenamesTablesAndReferencesWithTheirLinks) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}});
  auto doc = Add("TDocumenti", {{"Numero", D(7)}});
  ASSERT_TRUE(doc.AddListRowFrom("Dettagli", art));
  conn().RenameTable("TDocumenti", "Ricevute");
  conn().RenameReference("Ricevute", "Dettagli", "Righe");
  EXPECT_FALSE(conn().TableExists("TDocumenti"));
  EXPECT_TRUE(conn().TableExists("Lst_Ricevute_Associati"));
  // Rename back as a newer layout would, then the definitions find everything again.
  conn().RenameTable("Ricevute", "TDocumenti");
  conn().RenameReference("TDocumenti", "Righe", "Dettagli");
  Reopen();
  EXPECT_EQ(conn().GetRow("TDocumenti", doc.Oid())->ListCount("Dettagli"), 1);
}

TEST_F(ArchiveTest, SystemValuesKeepCaptions) {
  EXPECT_EQ(db_->GetSystemValue(conn(), "SYS_Name", S("")).AsString(), "");
  db_->SetSystemValue(conn(), "SYS_Name", "NOME", S("Bottega Rossi"));
  Reopen();
  EXPECT_EQ(db_->GetSystemValue(conn(), "sys_name", S("")).AsString(), "Bottega Rossi");
  EXPECT_EQ(db_->GetSystemCaption(conn(), "SYS_Name"), "NOME");
}

TEST_F(ArchiveTest, OpenRefusesMissingAndForeignFiles) {
  EXPECT_THROW(Connection().Open((dir_ / "nessuno.mdb").string()), Error);
  const std::string junk = (dir_ / "junk.mdb").string();
  FILE* f = fopen(junk.c_str(), "w");
  fputs("questo non è un archivio", f);
  fclose(f);
  try {
    Connection().Open(junk);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_FALSE(e.message().empty());
  }
  EXPECT_THROW(Connection().Create(path_), Error);  // never over an existing archive
}

TEST_F(ArchiveTest, SeesChangesCommittedByAnotherWorkstation) {
  auto art = Add("TArticoli", {{"Codice", S("A1")}, {"Quantità", D(1)}});
  Connection other;
  other.Open(path_);
  Database otherDb(MakeTestDatabase(), "Tillbook");
  otherDb.Attach(other);
  ASSERT_TRUE(other.GetRow("TArticoli", art.Oid())->Set("Quantità", D(9)));
  // The next action here starts from the stored value, not the cached one.
  ASSERT_TRUE(art.Set("Descrizione", S("x")));
  EXPECT_DOUBLE_EQ(art.Get("Quantità").AsDouble(), 9);
}

}  // namespace
}  // namespace tillbook::engine::test
