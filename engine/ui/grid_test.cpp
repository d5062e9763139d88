// The grid on real archives: values shown the Italian way, pages read only where the view looks,
// sorting and searching a column, totals and means, the remembered layout and its reset, the
// selection as row identifiers and a refresh that keeps the current row.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "base/date.h"
#include "base/money.h"
#include "core/ui/testing/modal.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/GridModel.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::engine::ui {
namespace {

using ::tillbook::ui::testing::Click;
using ::tillbook::ui::testing::ModalScript;

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-grid-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    conn_ = std::make_unique<Connection>(&ui_);
    conn_->Create((dir_ / "Tillbook.mdb").string());
    db_ = std::make_unique<Database>(std::make_unique<data::DB>(), "Tillbook");
    db_->Attach(*conn_);
    conn_->Operator = "Mario";
  }
  void TearDown() override {
    grid_.reset();
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }

  // Articles "A000001".. with a purchase price of i euro and 50 cents, by set-based SQL.
  void AddArticles(int n) {
    conn_->Execute("BEGIN");
    conn_->Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
                   std::to_string(n) +
                   ") INSERT INTO Articoli (Codice, Descrizione, PrezzoAcquisto, Quantità) "
                   "SELECT printf('A%06d', i), printf('Articolo numero %d', i), i*10000+5000, "
                   "i % 3 FROM n");
    conn_->Execute("COMMIT");
  }

  DataGrid& OpenGrid(SelectRequest request, int height = 300) {
    grid_ = std::make_unique<DataGrid>(ui_, settings_);
    grid_->resize(700, height);
    grid_->Open(*conn_, std::move(request));
    grid_->show();
    grid_->grab();  // paints: the view asks for the rows it shows
    return *grid_;
  }
  GridModel& model() { return *grid_->gridModel(); }
  int Column(std::string_view name) { return model().ColumnIndex(name); }
  QString Text(int row, std::string_view column) {
    return model().DisplayText(row, Column(column));
  }

  std::filesystem::path dir_;
  ScriptedUi ui_;
  platform::MemorySettings settings_;
  std::unique_ptr<Connection> conn_;
  std::unique_ptr<Database> db_;
  std::unique_ptr<DataGrid> grid_;
};

TEST(GridFormat, ValuesShownTheItalianWay) {
  auto money = [](const char* text) { return Variant::Currency(*Money::Parse(text)); };
  EXPECT_EQ(GridModel::FormatValue(money("1234.5"), FieldType::Money), "1.234,50");
  EXPECT_EQ(GridModel::FormatValue(money("-1234567.891"), FieldType::Money), "-1.234.567,89");
  EXPECT_EQ(GridModel::FormatValue(money("999.999"), FieldType::Money), "1.000,00");
  EXPECT_EQ(GridModel::FormatValue(money("0"), FieldType::Money), "0,00");
  EXPECT_EQ(GridModel::FormatValue(money("-12.3"), FieldType::Money), "-12,30");
  EXPECT_EQ(GridModel::FormatValue(Variant::Double(2.5), FieldType::Number), "2,5");
  EXPECT_EQ(GridModel::FormatValue(Variant::Long(2026), FieldType::Integer), "2026");
  const DateTime day = *DateTime::FromParts(2026, 3, 7, 8, 30);
  EXPECT_EQ(GridModel::FormatValue(Variant::Date(day), FieldType::Date), "07/03/2026");
  EXPECT_EQ(GridModel::FormatValue(Variant::String("2026-03-07 08:30:00"), FieldType::DateTime),
            "07/03/2026 08:30:00");
  EXPECT_EQ(GridModel::FormatValue(Variant::Boolean(true), FieldType::YesNo), "✓");
  EXPECT_EQ(GridModel::FormatValue(Variant::Boolean(false), FieldType::YesNo), "");
  EXPECT_EQ(GridModel::FormatValue(Variant::Null(), FieldType::Money), "");
  EXPECT_EQ(GridModel::FormatValue(Variant::String("riga uno\nriga due"), FieldType::Memo),
            "riga uno");
}

TEST_F(GridTest, ColumnsComeFromTheFieldListAndNumbersAlignRight) {
  AddArticles(3);
  OpenGrid({"Articoli", "", "", "Codice"});
  ASSERT_EQ(model().rowCount(), 3);
  EXPECT_EQ(Text(0, "Codice"), "A000001");
  EXPECT_EQ(Text(2, "PrezzoAcquisto"), "3,50");
  const QModelIndex price = model().index(0, Column("PrezzoAcquisto"));
  EXPECT_EQ(model().data(price, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
            Qt::AlignRight);
  const QModelIndex code = model().index(0, Column("Codice"));
  EXPECT_FALSE(model().data(code, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
  // A reference shows its key; the link column behind it is not shown.
  const int settore = Column("Settore");
  ASSERT_GE(settore, 0);
  EXPECT_FALSE(grid_->isColumnHidden(settore));
  const int link = Column("OID_Settore");
  if (link >= 0) {
    EXPECT_TRUE(grid_->isColumnHidden(link));
  }
}

TEST_F(GridTest, AReferenceShowsTheReferencedRowsKey) {
  auto vat = conn_->AddRow("CodiciIva", {{"Codice", Variant::String("X22")},
                                         {"Descrizione", Variant::String("Prova 22%")}});
  ASSERT_TRUE(vat);
  auto article = conn_->AddRow("Articoli", {{"Codice", Variant::String("B1")}});
  ASSERT_TRUE(article);
  ASSERT_TRUE(article->SetReference("IVA", vat));
  OpenGrid({"Articoli", "Codice='B1'", "", ""});
  ASSERT_EQ(model().rowCount(), 1);
  EXPECT_EQ(Text(0, "IVA"), "X22");
}

TEST_F(GridTest, OnlyThePagesInViewAreRead) {
  AddArticles(20000);
  OpenGrid({"Articoli", "", "", "Codice"});
  EXPECT_EQ(model().rowCount(), 20000);
  EXPECT_EQ(model().pageFetches(), 1);
  EXPECT_EQ(Text(0, "Codice"), "A000001");

  grid_->scrollToBottom();
  grid_->grab();
  EXPECT_LE(model().pageFetches(), 2);
  EXPECT_EQ(model().OidAt(19999) != 0, true);
  EXPECT_EQ(Text(19999, "Codice"), "A020000");
  EXPECT_LE(model().pageFetches(), 2);

  // Scrolling through a stretch reads its pages once each, and the cache stays small: going
  // back to the top reads the first page again.
  for (int row = 0; row < 20000; row += 2500) {
    grid_->scrollTo(model().index(row, 0));
    grid_->grab();
  }
  const int afterScroll = model().pageFetches();
  EXPECT_LE(afterScroll, 2 + 8 * 2);
  grid_->scrollToTop();
  grid_->grab();
  EXPECT_EQ(model().pageFetches(), afterScroll + 1);
}

TEST_F(GridTest, HeaderClicksSortAndToggleTheDirection) {
  AddArticles(30);
  OpenGrid({"Articoli", "", "", ""});
  QHeaderView* header = grid_->horizontalHeader();
  const int code = Column("Codice");
  auto click = [&] {
    const int x = header->sectionViewportPosition(code) + header->sectionSize(code) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
  };
  grid_->scrollTo(model().index(0, code));
  click();
  EXPECT_EQ(model().request().sort, "Codice ASC");
  EXPECT_EQ(Text(0, "Codice"), "A000001");
  click();
  EXPECT_EQ(model().request().sort, "Codice DESC");
  EXPECT_EQ(Text(0, "Codice"), "A000030");
  click();
  EXPECT_EQ(model().request().sort, "Codice ASC");
  EXPECT_EQ(Text(0, "Codice"), "A000001");

  // A list of several keys gives way to the clicked column.
  OpenGrid({"Articoli", "", "", "Descrizione DESC, Codice"});
  grid_->SortByColumn(Column("PrezzoAcquisto"));
  EXPECT_EQ(model().request().sort, "PrezzoAcquisto ASC");
  EXPECT_EQ(Text(0, "PrezzoAcquisto"), "1,50");
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(GridTest, SortingKeepsTheCurrentRow) {
  AddArticles(30);
  OpenGrid({"Articoli", "", "", "Codice"});
  grid_->setCurrentIndex(model().index(4, Column("Codice")));
  const int64_t oid = grid_->CurrentOid();
  grid_->SortByColumn(Column("Codice"));  // now descending
  EXPECT_EQ(grid_->CurrentOid(), oid);
  EXPECT_EQ(grid_->currentIndex().row(), 25);
}

TEST_F(GridTest, SortingKeepsACurrentRowFarFromTheStart) {
  AddArticles(6000);
  OpenGrid({"Articoli", "", "", "Codice"});
  grid_->setCurrentIndex(model().index(100, Column("Codice")));
  const int64_t oid = grid_->CurrentOid();
  grid_->SortByColumn(Column("Codice"));  // now descending: the row is near the end
  EXPECT_EQ(grid_->CurrentOid(), oid);
  EXPECT_EQ(grid_->currentIndex().row(), 5899);
  EXPECT_EQ(Text(5899, "Codice"), "A000101");
  // Found without reading the pages before it (the new order's model counts from none).
  EXPECT_LE(model().pageFetches(), 2);
}

TEST_F(GridTest, SearchNarrowsToTheRowsLikeTheText) {
  AddArticles(120);
  OpenGrid({"Articoli", "", "", "Codice"});
  const int description = Column("Descrizione");
  EXPECT_TRUE(grid_->SearchInColumn(description, "numero 11"));
  ASSERT_EQ(model().rowCount(), 11);  // 11 and 110..119
  EXPECT_EQ(Text(0, "Codice"), "A000011");
  EXPECT_EQ(model().request().sort, "Codice");

  // Nothing found: the message, and the rows stay as they were.
  EXPECT_FALSE(grid_->SearchInColumn(description, "vernice"));
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0], "Ricerca in Descrizione 'vernice' non trovato");
  EXPECT_EQ(model().rowCount(), 11);

  // The search text is literal: wildcards and quotes in it match themselves only.
  EXPECT_FALSE(grid_->SearchInColumn(description, "numero 1*"));
  EXPECT_FALSE(grid_->SearchInColumn(description, "l'articolo"));
  EXPECT_EQ(ui_.messages().back(), "Ricerca in Descrizione 'l'articolo' non trovato");

  // An empty text shows every row again; a new search replaces the previous one.
  EXPECT_TRUE(grid_->SearchInColumn(description, ""));
  EXPECT_EQ(model().rowCount(), 120);
  EXPECT_TRUE(grid_->SearchInColumn(Column("Codice"), "A00010"));
  EXPECT_EQ(model().rowCount(), 10);
}

TEST_F(GridTest, SearchAsksTheTextForTheCurrentColumn) {
  AddArticles(20);
  OpenGrid({"Articoli", "", "", "Codice"});
  grid_->setCurrentIndex(model().index(0, Column("Codice")));
  ui_.QueueInput(std::string("A00001"));
  grid_->AskSearch();
  EXPECT_EQ(model().rowCount(), 10);  // A000010..A000019
  ui_.QueueInput(std::nullopt);
  grid_->AskSearch();
  EXPECT_EQ(model().rowCount(), 10);
}

TEST_F(GridTest, TotalAndMeanOfTheViewsRows) {
  AddArticles(2000);
  OpenGrid({"Articoli", "Codice <= 'A000004'", "", "Codice"});
  const int price = Column("PrezzoAcquisto");
  // 1,50 + 2,50 + 3,50 + 4,50
  EXPECT_EQ(grid_->ColumnTotalText(price), "Totale < PrezzoAcquisto >\n\n12,00");
  EXPECT_EQ(grid_->ColumnMeanText(price), "Media < PrezzoAcquisto >\n\n3,00");
  // Quantities 1, 2, 0, 1: the mean of whole numbers keeps its decimals.
  EXPECT_EQ(grid_->ColumnMeanText(Column("Quantità")), "Media < Quantità >\n\n1");
  EXPECT_EQ(grid_->ColumnTotalText(Column("Quantità")), "Totale < Quantità >\n\n4");

  // Over every row of the view, not only those read: a search narrows it.
  OpenGrid({"Articoli", "", "", "Codice"});
  EXPECT_EQ(grid_->ColumnTotalText(price), "Totale < PrezzoAcquisto >\n\n2.002.000,00");
  grid_->SearchInColumn(Column("Codice"), "A00199");
  grid_->setCurrentIndex(model().index(0, price));
  grid_->ShowColumnMean();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0], "Media < PrezzoAcquisto >\n\n1.995,00");
}

TEST_F(GridTest, LayoutIsRememberedPerTableAndOperatorAndReset) {
  AddArticles(5);
  OpenGrid({"Articoli", "", "", ""});
  const std::vector<std::string> original = grid_->ColumnOrder();
  ASSERT_GE(original.size(), 3u);
  EXPECT_EQ(original[0], "Descrizione");
  grid_->SetColumnOrder({"Codice", "PrezzoAcquisto"});
  grid_->setColumnWidth(Column("Codice"), 155);
  grid_->SaveLayout();
  std::vector<std::string> moved = grid_->ColumnOrder();
  EXPECT_EQ(moved[0], "Codice");
  EXPECT_EQ(moved[1], "PrezzoAcquisto");
  EXPECT_EQ(moved[2], "Descrizione");

  // Opened again by the same operator: the same order and width.
  OpenGrid({"Articoli", "", "", ""});
  EXPECT_EQ(grid_->ColumnOrder(), moved);
  EXPECT_EQ(grid_->columnWidth(Column("Codice")), 155);

  // Another operator has the table's own order.
  conn_->Operator = "Luisa";
  OpenGrid({"Articoli", "", "", ""});
  EXPECT_EQ(grid_->ColumnOrder(), original);
  conn_->Operator = "Mario";

  // Reset: No keeps the layout; Yes restores the order and forgets what was stored.
  OpenGrid({"Articoli", "", "", ""});
  ui_.QueueAnswer(Answer::No);
  grid_->AskResetLayout();
  EXPECT_EQ(grid_->ColumnOrder(), moved);
  ui_.QueueAnswer(Answer::Yes);
  grid_->AskResetLayout();
  EXPECT_EQ(grid_->ColumnOrder(), original);
  EXPECT_NE(grid_->columnWidth(Column("Codice")), 155);
  EXPECT_EQ(ui_.log()[0],
            "ASK Vuoi ripristinare le impostazioni predefinite per la griglia corrente? -> No");
  OpenGrid({"Articoli", "", "", ""});
  EXPECT_EQ(grid_->ColumnOrder(), original);
}

// A grid never arranged by its operator shows the items in the order the data panel does: the
// customers' code first, although the table stores it after the fields of its own.
TEST_F(GridTest, AFreshGridFollowsTheDefinitionsOrder) {
  OpenGrid({"Clienti", "", "", ""});
  std::vector<std::string> order = grid_->ColumnOrder();
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order[0], "Codice");
  EXPECT_NE(model().ColumnName(0), "Codice");  // the model keeps the data set's order
  grid_->SetColumnOrder({"RagioneSociale"});
  ui_.QueueAnswer(Answer::Yes);
  grid_->AskResetLayout();
  EXPECT_EQ(grid_->ColumnOrder(), order);
}

TEST_F(GridTest, DraggingAColumnIsRememberedWhenTheGridCloses) {
  AddArticles(5);
  OpenGrid({"Articoli", "", "", ""});
  QHeaderView* header = grid_->horizontalHeader();
  header->moveSection(header->visualIndex(Column("Codice")), 0);
  grid_.reset();
  OpenGrid({"Articoli", "", "", ""});
  EXPECT_EQ(grid_->ColumnOrder()[0], "Codice");
}

TEST_F(GridTest, TheColumnOrderWindowMovesAColumn) {
  AddArticles(5);
  OpenGrid({"Articoli", "", "", ""});
  const std::vector<std::string> before = grid_->ColumnOrder();
  ModalScript script;
  script.Then("dlgColumnOrder", [](QWidget* window) {
    EXPECT_EQ(window->windowTitle(), "Sequenza di Visualizzazione Campi");
    window->findChild<QListWidget*>("lstColumns")->setCurrentRow(0);
    Click(window, "Giù");
    Click(window, "OK");
  });
  grid_->EditColumnOrder();
  EXPECT_TRUE(script.finished());
  std::vector<std::string> expected = before;
  std::swap(expected[0], expected[1]);
  EXPECT_EQ(grid_->ColumnOrder(), expected);
  OpenGrid({"Articoli", "", "", ""});
  EXPECT_EQ(grid_->ColumnOrder(), expected);
}

TEST_F(GridTest, SelectedRowsAreGivenAsRowIdentifiers) {
  AddArticles(10);
  OpenGrid({"Articoli", "", "", "Codice DESC"});
  grid_->setCurrentIndex(model().index(2, 0));
  EXPECT_EQ(grid_->SelectedOids(), std::vector<int64_t>{model().OidAt(2)});
  grid_->selectionModel()->clearSelection();
  grid_->selectRow(7);
  grid_->selectionModel()->select(model().index(1, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  const std::vector<int64_t> oids = grid_->SelectedOids();
  ASSERT_EQ(oids.size(), 2u);
  EXPECT_EQ(oids[0], model().OidAt(1));
  EXPECT_EQ(oids[1], model().OidAt(7));
  EXPECT_EQ(Text(1, "Codice"), "A000009");
}

TEST_F(GridTest, RefreshShowsChangesAndKeepsTheCurrentRow) {
  AddArticles(10);
  OpenGrid({"Articoli", "", "", "Codice"});
  grid_->setCurrentIndex(model().index(5, Column("Codice")));
  const int64_t oid = grid_->CurrentOid();
  std::vector<int64_t> signalled;
  QObject::connect(grid_.get(), &DataGrid::currentOidChanged,
                   [&](qint64 o) { signalled.push_back(o); });
  // A row added before it moves the current row down one place.
  ASSERT_TRUE(conn_->AddRow("Articoli", {{"Codice", Variant::String("A000000")}}));
  grid_->Refresh();
  EXPECT_EQ(model().rowCount(), 11);
  EXPECT_EQ(grid_->CurrentOid(), oid);
  EXPECT_EQ(grid_->currentIndex().row(), 6);
  EXPECT_EQ(signalled, std::vector<int64_t>{oid});

  // The current row deleted: the row now in its place becomes current.
  ASSERT_TRUE(conn_->GetRow("Articoli", oid)->Delete());
  grid_->Refresh();
  EXPECT_EQ(model().rowCount(), 10);
  EXPECT_EQ(grid_->currentIndex().row(), 6);
  EXPECT_EQ(Text(6, "Codice"), "A000007");
  EXPECT_TRUE(grid_->SelectOid(model().OidAt(9)));
  EXPECT_EQ(grid_->currentIndex().row(), 9);
  EXPECT_FALSE(grid_->SelectOid(oid));
}

}  // namespace
}  // namespace tillbook::engine::ui
