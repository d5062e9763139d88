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
  EXPECT_EQ(conn().Count("TPagamenti"), 1);  // stored at once
  Let(pay, "ColValue", {S("Importo"), M("12.5")});
  EXPECT_TRUE(Call(pay, "Save").ToBool());
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

}  // namespace
}  // namespace tillbook::engine::test
