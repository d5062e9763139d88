#include "engine/test/test_tables.h"

#include <sstream>

#include "base/error.h"
#include "engine/connection.h"
#include "engine/definition.h"
#include "engine/row.h"

namespace tillbook::engine::test {

namespace {

constexpr bool kNull = false;

template <class Self>
class TestTable : public itfDefTable, public itfSetData {
 public:
  itfSetData* itfDefTable_DefineDefaultData() override { return this; }
  void itfSetData_OnUpdatedTableStruct(Table&, Connection&, double stored, bool created) override {
    std::ostringstream s;
    s << TableName() << " " << stored << " " << (created ? "created" : "updated");
    StructLog().push_back(s.str());
  }
};

class TSoggetti : public TestTable<TSoggetti> {
 public:
  std::string TableName() const override { return "TSoggetti"; }
  void itfDefTable_DefineIdentity(TableDef& d) override {
    d.Caption = "Soggetti";
    d.Version = 1.6;
  }
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("RagioneSociale", FieldType::Text, 64);
    d.AddField("Città", FieldType::Text, 32);
    d.AddField("TotaleVenduto", FieldType::Money, 0, "", "", 15);
    d.AddIndex("RagioneSociale", true, "Soggetto").AddIndexField("Città");
  }
};

class TClienti : public TestTable<TClienti> {
 public:
  std::string TableName() const override { return "TClienti"; }
  void itfDefTable_DefineIdentity(TableDef& d) override {
    d.BaseTable = "TSoggetti";
    d.Version = 4.2;
  }
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("Codice", FieldType::Text, 16);
    d.AddField("PercentualeSconto", FieldType::Number, 0, "", "0.0", 1, kNotSet, 0);
    d.AddIndex("Codice", true);
  }
  void itfSetData_OnNewRow(Row& row, HookReply&) override { row.Set("PercentualeSconto", Variant::Double(5)); }
};

class TFornitori : public TestTable<TFornitori> {
 public:
  std::string TableName() const override { return "TFornitori"; }
  void itfDefTable_DefineIdentity(TableDef& d) override { d.BaseTable = "TSoggetti"; }
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("Codice", FieldType::Text, 16);
    d.AddField("TempoConsegna", FieldType::SmallInteger);
  }
};

class TArticoli : public TestTable<TArticoli> {
 public:
  explicit TArticoli(bool colore) : colore_(colore) {}
  std::string TableName() const override { return "TArticoli"; }
  void itfDefTable_DefineIdentity(TableDef& d) override { d.Version = colore_ ? 2.0 : 1.0; }
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("Codice", FieldType::Text, 16);
    d.AddField("Descrizione", FieldType::Text, 64);
    d.AddField("PrezzoVendita", FieldType::Money);
    d.AddField("Quantità", FieldType::Number, 0, "", "0");
    d.AddField("DataInserimento", FieldType::Date, 0, "", "", 15, kNotSet, kNotSet, kNull);
    d.AddField("Note", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, kNull);
    if (colore_) d.AddField("Colore", FieldType::Text, 16, "", "nero");
    d.AddIndex("Codice", true);
    d.FieldOrder = "Codice,Descrizione";
  }
  void itfSetData_OnUpdatedTableStruct(Table& t, Connection& c, double stored, bool created) override {
    TestTable::itfSetData_OnUpdatedTableStruct(t, c, stored, created);
    if (created) t.AddRow({{"Codice", Variant::String("")}, {"Descrizione", Variant::String("")}});
  }
  void itfSetData_OnBeforeUpdateField(Row& row, std::string_view field, const Variant&,
                                      HookReply& reply) override {
    if (field != "Codice" || row.IsCreating()) return;
    if (row.IsEmpty("Codice")) {
      reply.Refuse("Non è possibile modificare questo elemento");
      return;
    }
    reply.Ask(
        "La variazione del Codice interno potrebbe causare problemi nell'identificazione di "
        "eventuali movimentazioni già effettuate per questo Articolo, continuare ?");
  }
  void itfSetData_OnDeleteRow(Row& row, HookReply& reply) override {
    if (row.IsEmpty("Codice")) reply.Refuse("Non è possibile eliminare questo elemento");
  }

 private:
  bool colore_;
};

class TPagamenti : public TestTable<TPagamenti> {
 public:
  std::string TableName() const override { return "TPagamenti"; }
  void itfDefTable_DefineIdentity(TableDef&) override {}
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("Importo", FieldType::Money);
    d.AddField("Saldato", FieldType::YesNo);
  }
};

// Detail rows: a copy of the article plus quantity, price and amount. Their hooks move the
// article stock and the document total by the difference of each change.
class TDettagli : public TestTable<TDettagli> {
 public:
  explicit TDettagli(int failAt) : failAt_(failAt) {}
  std::string TableName() const override { return "TDettagli"; }
  void itfDefTable_DefineIdentity(TableDef& d) override {
    d.BaseTable = "TArticoli";
    d.LinkToBase = false;
    d.Version = 2;
  }
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("QuantitàScarico", FieldType::Number);
    d.AddField("PrezzoUnitario", FieldType::Money);
    d.AddField("Importo", FieldType::Money, 0, "", "", 15);
    d.AddField("Riferimento", FieldType::Text, 127);
    d.AddIndex("Riferimento", false, "RigaRif");
  }
  void itfSetData_OnNewRow(Row& row, HookReply&) override {
    row.Set("PrezzoUnitario", row.Get("PrezzoVendita"));
  }
  void itfSetData_OnBeforeUpdateField(Row& row, std::string_view field, const Variant& v,
                                      HookReply&) override {
    if (field == "QuantitàScarico") MoveStock(row, row.Get(field).ToDouble());
    if (field == "Importo") MoveTotal(row, -row.Get(field).ToMoney());
  }
  void itfSetData_OnUpdateField(Row& row, std::string_view field, HookReply&) override {
    if (field == "QuantitàScarico") MoveStock(row, -row.Get(field).ToDouble());
    if (field == "Importo") MoveTotal(row, row.Get(field).ToMoney());
    Row::Guard guard(row, "Calculate_Importo");
    if (!guard) return;
    const double qty = row.Get("QuantitàScarico").ToDouble();
    if (field == "QuantitàScarico" || field == "PrezzoUnitario") {
      row.Set("Importo", Variant::Currency(row.Get("PrezzoUnitario").ToMoney() * qty));
    } else if (field == "Importo" && qty != 0) {
      // An amount typed by hand gives the unit price back: this writes the field whose hook
      // computes the amount, which the guard stops.
      row.Set("PrezzoUnitario", Variant::Currency(row.Get("Importo").ToMoney() / qty));
    }
    if (field == "QuantitàScarico" && qty == failAt_)
      throw Error("Errore simulato a metà del calcolo.");
  }
  void itfSetData_OnDeleteRow(Row& row, HookReply&) override {
    MoveStock(row, row.Get("QuantitàScarico").ToDouble());
    MoveTotal(row, -row.Get("Importo").ToMoney());
  }

 private:
  static void MoveStock(Row& row, double delta) {
    if (delta == 0) return;
    if (auto article = row.BaseRow())
      article->Set("Quantità", Variant::Double(article->Get("Quantità").ToDouble() + delta));
  }
  static void MoveTotal(Row& row, Money delta) {
    if (delta.IsZero()) return;
    if (auto doc = row.Parent("TDocumenti"))
      doc->Set("ImportoTotale", Variant::Currency(doc->Get("ImportoTotale").ToMoney() + delta));
  }
  int failAt_;
};

class TDocumenti : public TestTable<TDocumenti> {
 public:
  std::string TableName() const override { return "TDocumenti"; }
  void itfDefTable_DefineIdentity(TableDef& d) override { d.Caption = "Documenti"; }
  void itfDefTable_DefineStructure(TableDef& d) override {
    d.AddField("Data", FieldType::Date);
    d.AddField("Numero", FieldType::Integer);
    d.AddField("ImportoTotale", FieldType::Money, 0, "", "", 15);
    d.AddField("Archiviato", FieldType::YesNo);
    d.AddReference("Cliente", "TClienti", false, false, "Codice", "RagioneSociale");
    d.AddReference("Dettagli", "TDettagli", true, true, "Codice", "Descrizione,Importo");
    d.AddReference("Pagamento", "TPagamenti", false, true, "", "Importo,Saldato");
    d.AddReference("Associati", "TDocumenti", true, false, "", "Numero", kNotSet, kNotSet,
                   kNotSet, "", -1);
    d.AddIndex("Numero", true, "Inx_Documenti").AddIndexField("Archiviato");
  }
  void itfSetData_OnDeleteRow(Row& row, HookReply& reply) override {
    if (row.Get("Archiviato").ToBool()) reply.Ask("Confermi ?");
  }
  void itfSetData_OnSelectReference(Row&, std::string_view reference, std::string& filter) override {
    if (reference == "Cliente") filter = "PercentualeSconto<50";
  }
  void itfSetData_OnSelect(SelectRequest& request) override {
    if (request.sort.empty()) request.sort = "*,Numero DESC";
  }
};

class TestDatabase : public itfDefDatabase {
 public:
  explicit TestDatabase(TestOptions o) : o_(o) {}
  void itfDefDatabase_Define(DatabaseDef& db) override {
    db.Add(std::make_unique<TSoggetti>());
    db.Add(std::make_unique<TClienti>());
    db.Add(std::make_unique<TFornitori>());
    db.Add(std::make_unique<TArticoli>(o_.articoliColore));
    db.Add(std::make_unique<TPagamenti>());
    db.Add(std::make_unique<TDettagli>(o_.failAtQuantity));
    db.Add(std::make_unique<TDocumenti>());
  }

 private:
  TestOptions o_;
};

}  // namespace

std::vector<std::string>& StructLog() {
  static std::vector<std::string> log;
  return log;
}

std::unique_ptr<itfDefDatabase> MakeTestDatabase(const TestOptions& options) {
  return std::make_unique<TestDatabase>(options);
}

}  // namespace tillbook::engine::test
