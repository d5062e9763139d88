// The table browser on a real archive: the tables by caption, a customer created, edited and
// deleted through the grid and the data panel, the engine's refusals and questions answered
// through the UI services, the deletion's Stop button, and the archive closed and attached again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QListWidget>
#include <filesystem>
#include <memory>
#include <string>

#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/DataPanel.h"
#include "engine/ui/GridModel.h"
#include "engine/ui_services.h"
#include "mainwindow/ui/table_browser.h"
#include "platform/settings.h"

namespace tillbook::ui {
namespace {

using engine::Answer;
using engine::Row;

constexpr const char* kConfirm = "Confermi l'eliminazione dei dati selezionati ?";

class TableBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-browser-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    conn_ = std::make_unique<engine::Connection>(&ui_);
    conn_->Create((dir_ / "Tillbook.mdb").string());
    db_ = std::make_unique<engine::Database>(std::make_unique<data::DB>(), "Tillbook");
    db_->Attach(*conn_);
    conn_->Operator = "Mario";
    browser_ = std::make_unique<TableBrowser>(ui_, settings_);
    browser_->resize(1000, 500);
    browser_->Attach(conn_.get());
    browser_->show();
  }
  void TearDown() override {
    browser_.reset();
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }

  engine::ui::GridModel& model() { return *browser_->grid()->gridModel(); }
  // The row the panel edits, as a handle sharing its values.
  Row Shown() { return *browser_->panel()->row(); }
  QString Cell(int64_t oid, const char* column) {
    const int row = model().RowOfOid(oid);
    return row < 0 ? QString() : model().DisplayText(row, model().ColumnIndex(column));
  }
  Row AddCustomer(const std::string& name) {
    auto row = conn_->AddRow("Clienti", {{"RagioneSociale", Variant::String(name)},
                                         {"Codice", Variant::String("C-" + name)}});
    EXPECT_TRUE(row);
    return *row;
  }

  std::filesystem::path dir_;
  engine::ScriptedUi ui_;
  platform::MemorySettings settings_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
  std::unique_ptr<TableBrowser> browser_;
};

TEST_F(TableBrowserTest, TablesAreListedByCaptionAndChoosingOneOpensIt) {
  QListWidget* list = browser_->tableList();
  ASSERT_GT(list->count(), 20);
  std::vector<QString> captions;
  for (int i = 0; i < list->count(); ++i) captions.push_back(list->item(i)->text());
  EXPECT_TRUE(
      std::is_sorted(captions.begin(), captions.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
      }));
  const auto found = list->findItems(QStringLiteral("Fornitori"), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  list->setCurrentItem(found[0]);
  EXPECT_EQ(browser_->currentTable(), "Fornitori");
  EXPECT_EQ(model().table(), "Fornitori");
  ASSERT_NE(browser_->panel(), nullptr);
  EXPECT_EQ(browser_->panel()->table(), "Fornitori");

  EXPECT_TRUE(browser_->OpenTable("clienti"));
  EXPECT_EQ(browser_->currentTable(), "Clienti");
  EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toString(), "Clienti");
  EXPECT_FALSE(browser_->OpenTable("NessunaTabella"));
  EXPECT_EQ(browser_->currentTable(), "Clienti");
}

TEST_F(TableBrowserTest, ACustomerIsCreatedEditedAndDeleted) {
  ASSERT_TRUE(browser_->OpenTable("Clienti"));
  const int64_t before = conn_->Count("Clienti");
  EXPECT_EQ(model().rowCount(), before);

  // New: the panel shows a row waiting for its save; the archive does not have it yet.
  browser_->New();
  Row customer = Shown();
  EXPECT_TRUE(customer.IsPending());
  ASSERT_TRUE(customer.Set("RagioneSociale", Variant::String("Bianchi Ottica")));
  ASSERT_TRUE(customer.Set("Codice", Variant::String("C900")));
  EXPECT_EQ(conn_->Count("Clienti"), before);
  ASSERT_TRUE(browser_->Save());
  EXPECT_EQ(conn_->Count("Clienti"), before + 1);
  EXPECT_EQ(model().rowCount(), before + 1);
  EXPECT_EQ(browser_->grid()->CurrentOid(), customer.Oid());
  EXPECT_EQ(Cell(customer.Oid(), "RagioneSociale"), "Bianchi Ottica");

  // Edit: the grid shows the saved change, on the same row.
  ASSERT_TRUE(Shown().Set("Telefono", Variant::String("0331 123456")));
  ASSERT_TRUE(browser_->Save());
  EXPECT_EQ(Cell(customer.Oid(), "Telefono"), "0331 123456");
  EXPECT_EQ(browser_->grid()->CurrentOid(), customer.Oid());

  // Delete: Cancel keeps it, OK deletes it.
  ui_.Clear();
  ui_.QueueAnswer(Answer::Cancel);
  browser_->Delete();
  EXPECT_EQ(ui_.messages(), std::vector<std::string>{kConfirm});
  EXPECT_TRUE(conn_->GetRow("Clienti", customer.Oid()));
  ui_.QueueAnswer(Answer::Ok);
  browser_->Delete();
  EXPECT_FALSE(conn_->GetRow("Clienti", customer.Oid()));
  EXPECT_EQ(model().rowCount(), before);
  EXPECT_EQ(model().RowOfOid(customer.Oid()), -1);
  EXPECT_NE(browser_->panel()->row().has_value() ? browser_->panel()->row()->Oid() : 0,
            customer.Oid());
}

TEST_F(TableBrowserTest, ANewRowLeftUnsavedIsForgotten) {
  const Row existing = AddCustomer("Verdi");
  ASSERT_TRUE(browser_->OpenTable("Clienti"));
  browser_->New();
  const Row pending = Shown();
  ASSERT_TRUE(pending.IsPending());
  // Delete on a row not saved yet asks nothing and stores nothing.
  ui_.Clear();
  browser_->Delete();
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_FALSE(pending.IsValid());
  EXPECT_TRUE(conn_->PendingRows().empty());
  EXPECT_TRUE(browser_->grid()->SelectOid(existing.Oid()));
  EXPECT_EQ(Shown().Oid(), existing.Oid());
}

TEST_F(TableBrowserTest, TheEnginesRefusalIsShownAndTheRowKept) {
  ASSERT_TRUE(browser_->OpenTable("Banche"));
  // The archive's placeholder bank (empty name) cannot be deleted.
  const std::vector<int64_t> placeholder = conn_->FindOids("Banche", "Nome", Variant::String(""));
  ASSERT_EQ(placeholder.size(), 1u);
  ASSERT_TRUE(browser_->grid()->SelectOid(placeholder[0]));
  ui_.Clear();
  ui_.QueueAnswer(Answer::Ok);
  browser_->Delete();
  EXPECT_EQ(ui_.messages(),
            (std::vector<std::string>{kConfirm, "Non è possibile eliminare questo elemento"}));
  EXPECT_TRUE(conn_->GetRow("Banche", placeholder[0]));
  EXPECT_GE(model().RowOfOid(placeholder[0]), 0);
}

TEST_F(TableBrowserTest, TheEnginesQuestionDecidesTheDeletion) {
  auto list = conn_->AddRow("Listini", {{"Descrizione", Variant::String("Rivenditori")}});
  ASSERT_TRUE(list);
  ASSERT_TRUE(browser_->OpenTable("Listini"));
  ASSERT_TRUE(browser_->grid()->SelectOid(list->Oid()));
  const std::string question =
      "Sei sicuro di eliminare definitivamente il listino e tutte le relative personalizzazioni ?";
  ui_.Clear();
  ui_.QueueAnswer(Answer::Ok);
  ui_.QueueAnswer(Answer::No);
  browser_->Delete();
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{kConfirm, question}));
  EXPECT_TRUE(conn_->GetRow("Listini", list->Oid()));
  ui_.QueueAnswer(Answer::Ok);
  ui_.QueueAnswer(Answer::Yes);
  browser_->Delete();
  EXPECT_FALSE(conn_->GetRow("Listini", list->Oid()));
}

TEST_F(TableBrowserTest, SelectedRowsAreDeletedUntilStopIsPressed) {
  const Row a = AddCustomer("Alfa"), b = AddCustomer("Beta"), c = AddCustomer("Gamma");
  ASSERT_TRUE(browser_->OpenTable("Clienti"));
  engine::ui::DataGrid& grid = *browser_->grid();
  grid.clearSelection();
  for (const Row& r : {a, b, c})
    grid.selectionModel()->select(model().index(model().RowOfOid(r.Oid()), 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  ASSERT_EQ(grid.SelectedOids().size(), 3u);
  ui_.Clear();
  ui_.QueueAnswer(Answer::Ok);
  ui_.StopProgressAt(2);
  browser_->Delete();
  int left = 0;
  for (const Row& r : {a, b, c}) left += conn_->GetRow("Clienti", r.Oid()).has_value();
  EXPECT_EQ(left, 1);
  EXPECT_EQ(ui_.messages(), (std::vector<std::string>{kConfirm, "Operazione interrotta"}));
  EXPECT_EQ(ui_.log()[1], "PROGRESS Eliminazione in corso... 3");
}

TEST_F(TableBrowserTest, AttachedAgainTheSameTableAndRowComeBack) {
  AddCustomer("Alfa");
  const Row b = AddCustomer("Beta");
  ASSERT_TRUE(browser_->OpenTable("Clienti"));
  ASSERT_TRUE(browser_->grid()->SelectOid(b.Oid()));
  browser_->Attach(nullptr);
  EXPECT_EQ(browser_->tableList()->count(), 0);
  EXPECT_EQ(browser_->grid()->gridModel(), nullptr);
  EXPECT_EQ(browser_->panel(), nullptr);
  browser_->Attach(conn_.get());
  EXPECT_EQ(browser_->currentTable(), "Clienti");
  EXPECT_EQ(browser_->grid()->CurrentOid(), b.Oid());
  EXPECT_EQ(Shown().Oid(), b.Oid());

  // Refresh shows a change made elsewhere.
  ASSERT_TRUE(conn_->GetRow("Clienti", b.Oid())->Set("Note", Variant::String("pagatore puntuale")));
  browser_->Refresh();
  EXPECT_EQ(Cell(b.Oid(), "Note"), "pagatore puntuale");
}

}  // namespace
}  // namespace tillbook::ui
