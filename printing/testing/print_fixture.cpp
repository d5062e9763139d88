#include "printing/testing/print_fixture.h"

#include <unistd.h>

#include "data/TabProspettiStampa.h"
#include "data/TabStampaEtichette.h"
#include "engine/definition.h"
#include "engine/interfaces.h"
#include "engine/row.h"

namespace tillbook::printing::testing {

namespace {

using engine::FieldType;

class TestTable : public engine::itfDefTable, public engine::itfSetData {
 public:
  explicit TestTable(std::string name) : name_(std::move(name)) {}
  std::string TableName() const override { return name_; }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override { d.Caption = caption_; }
  engine::itfSetData* itfDefTable_DefineDefaultData() override { return this; }

 protected:
  std::string name_;
  std::string caption_;
};

class Ordini : public TestTable {
 public:
  Ordini() : TestTable("Ordini") { caption_ = "Ordini clienti"; }
  void itfDefTable_DefineStructure(engine::TableDef& d) override {
    d.AddField("Numero", FieldType::Integer);
    d.AddField("Cliente", FieldType::Text, 40);
    d.AddField("Note", FieldType::Memo);
    d.AddField("Stampato", FieldType::YesNo);
    d.AddReference("Righe", "RigheOrdine", true, true);
    d.AddReference("Allegati", "AllegatiOrdine", true, true);
  }
};

class RigheOrdine : public TestTable {
 public:
  RigheOrdine() : TestTable("RigheOrdine") { caption_ = "Righe dell'ordine"; }
  void itfDefTable_DefineStructure(engine::TableDef& d) override {
    d.AddField("Descrizione", FieldType::Text, 40);
    d.AddField("Importo", FieldType::Number);
  }
};

class AllegatiOrdine : public TestTable {
 public:
  AllegatiOrdine() : TestTable("AllegatiOrdine") { caption_ = "Allegati"; }
  void itfDefTable_DefineStructure(engine::TableDef& d) override {
    d.AddField("Titolo", FieldType::Text, 40);
  }
};

class PrintTestDB : public engine::itfDefDatabase {
 public:
  void itfDefDatabase_Define(engine::DatabaseDef& db) override {
    data::TableSwitches switches;
    db.Add(std::make_unique<data::TabProspettiStampa>(switches));
    db.Add(std::make_unique<data::TabStampaEtichette>(switches));
    db.Add(std::make_unique<RigheOrdine>());
    db.Add(std::make_unique<AllegatiOrdine>());
    db.Add(std::make_unique<Ordini>());
  }
};

}  // namespace

void PrintFixture::SetUp() {
  dir_ = std::filesystem::temp_directory_path() /
         ("tillbook-print-" + std::to_string(::getpid()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  connection_ = std::make_unique<engine::Connection>(&ui_);
  connection_->Create((dir_ / "Tillbook.mdb").string());
  database_ = std::make_unique<engine::Database>(std::make_unique<PrintTestDB>(), "Tillbook");
  database_->Attach(*connection_);
  printer_ = std::make_shared<RecordingTarget>();
  services_.ui = &ui_;
  services_.printers = [this](std::string_view) { return printer_; };
  services_.programFolder = dir_;
}

void PrintFixture::TearDown() {
  database_.reset();
  connection_.reset();
  std::filesystem::remove_all(dir_);
}

int64_t PrintFixture::AddOrder(int number, const std::string& customer, int rows,
                               const std::string& note, bool printed) {
  auto order = connection_->AddRow("Ordini", {{"Numero", Variant::Long(number)},
                                              {"Cliente", Variant::String(customer)},
                                              {"Note", Variant::String(note)},
                                              {"Stampato", Variant::Boolean(printed)}});
  for (int i = 1; i <= rows; ++i) {
    connection_->RunAction([&] {
      auto row = order->AddListRow("Righe");
      return row && row->Set("Descrizione", Variant::String("R" + std::to_string(i))) &&
             row->Set("Importo", Variant::Double(i)) && row->Save();
    });
  }
  connection_->Flush();
  return order->Oid();
}

ReportLayout PrintFixture::ListLayout(const std::string& name, const std::string& script) {
  ReportLayout l;
  l.table = "Ordini";
  l.name = name;
  l.printer = "Stampante";
  l.columns = 1;
  l.moduleHeight = 100;
  l.moduleWidth = 200;
  l.top = 5;
  l.left = 5;
  l.rowsTop = 20;
  l.rowsBottom = 60;
  l.rowHeight = 5;
  l.script = script;
  return l;
}

void PrintFixture::AddLayout(ReportLayout layout) {
  ASSERT_TRUE(SaveReportLayout(*connection_, layout));
}

ReportSource PrintFixture::Source(const std::string& table, const std::string& filter) {
  ReportSource source;
  source.connection = connection_.get();
  source.rows = std::make_shared<engine::ScriptDataSet>(
      *connection_, engine::SelectRequest{table, filter, "", table == "Ordini" ? "Numero" : ""});
  source.rows->dataSet().First();
  return source;
}

bool PrintFixture::Print(PrintRequest request, const std::string& table) {
  return PrintCustomReport(services_, Source(table), std::move(request));
}

std::vector<std::string> PrintFixture::Calls(const std::string& call) const {
  std::vector<std::string> out;
  for (const std::string& line : printer_->lines())
    if (line.rfind(call + "\t", 0) == 0) out.push_back(line.substr(call.size() + 1));
  return out;
}

std::vector<std::string> PrintFixture::Drawn() const {
  std::vector<std::string> out;
  for (const std::string& line : printer_->lines())
    if (line.rfind("BeginDocument", 0) != 0 && line.rfind("Font\t", 0) != 0) out.push_back(line);
  return out;
}

bool PrintFixture::Printed(int64_t order) {
  return connection_->GetRow("Ordini", order)->Get("Stampato").ToBool();
}

}  // namespace tillbook::printing::testing
