// The print commands of the table browser on a real archive with report layouts: the preview
// window opened on the grid's rows, "Stampa..." in the preview printing the same pages to a PDF
// printer, the grid's sort and selection followed, a detail layout printing the grid's current
// record, the print dialog of a layout that asks for the printer, the message when the table has
// no layout, and a long preview whose later pages live in files only while the window is open.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ui/testing/modal.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/GridModel.h"
#include "mainwindow/ui/table_browser.h"
#include "platform/settings.h"
#include "printing/testing/print_fixture.h"
#include "printing/ui/painter_surface.h"
#include "printing/ui/qt_print_services.h"

namespace tillbook::ui {
namespace {

using tillbook::ui::testing::Click;
using tillbook::ui::testing::ModalScript;

constexpr const char* kScript =
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.TxtOut 0, 0, \"Ordine \" & dsRow.ColValue(\"Numero\") & \" \" & "
    "dsRow.ColValue(\"Cliente\")\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n"
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  If bTotal Then prn.TxtOut 0, 0, \"Totale\"\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

std::string CommandOutput(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 512> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
  return out;
}

class BrowserPrintTest : public printing::testing::PrintFixture {
 protected:
  void SetUp() override {
    PrintFixture::SetUp();
    pdf_ = dir_ / "stampa.pdf";
  }
  void TearDown() override {
    browser_.reset();
    PrintFixture::TearDown();
  }

  // A layout of the orders with `rowsPerPage` rows of 5 mm on each page.
  void AddOrdersLayout(int rowsPerPage) {
    printing::ReportLayout l = ListLayout("Elenco", kScript);
    l.moduleHeight = 280;  // one module fills an A4 page
    l.rowsBottom = l.rowsTop + 5 * rowsPerPage;
    AddLayout(l);
  }
  // The browser on the orders; every printer it asks for writes the PDF file.
  void OpenBrowser() {
    browser_ = std::make_unique<TableBrowser>(ui_, settings_);
    browser_->resize(1000, 500);
    browser_->Attach(connection_.get());
    ASSERT_TRUE(browser_->OpenTable("Ordini"));
    browser_->show();
    printing::ui::QtPrintOptions options;
    options.parent = browser_.get();
    options.programFolder = dir_;
    options.printers = [this](std::string_view) {
      return printing::ui::PrinterTarget::ToPdfFile(QString::fromStdString(pdf_.string()));
    };
    options.printerNames = [] { return std::vector<QString>{"Ufficio", "PDF"}; };
    browser_->SetPrintServices(printing::ui::MakeQtPrintServices(ui_, options));
  }
  // The text of the PDF printed, or of one of its pages (1-based).
  std::string PdfText(int page = 0) {
    const std::string range =
        page > 0 ? "-f " + std::to_string(page) + " -l " + std::to_string(page) + " " : "";
    return CommandOutput("pdftotext " + range + "'" + pdf_.string() + "' -");
  }
  int PdfPages() {
    const std::string info = CommandOutput("pdfinfo '" + pdf_.string() + "'");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
  }
  std::vector<std::string> PreviewFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      if (entry.path().filename().string().rfind("TmpPreview_", 0) == 0)
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  platform::MemorySettings settings_;
  std::unique_ptr<TableBrowser> browser_;
  std::filesystem::path pdf_;
};

QString PagesShown(QWidget* preview) {
  return preview->findChild<QLabel*>("lblPages")->text();
}

TEST_F(BrowserPrintTest, PreviewShowsTheGridsRowsAndPrintThisPrintsThem) {
  AddOrder(1, "Alfa", 0);
  AddOrder(2, "Beta", 0);
  AddOrder(3, "Gamma", 0);
  AddOrdersLayout(2);
  OpenBrowser();
  ASSERT_TRUE(browser_->action("actBrowserPrint"));

  // Looked at and closed: nothing is printed. (One script at a time: a finished one still
  // closes every modal window it sees.)
  QString shown;
  {
    ModalScript closing;
    closing.Then("frmCustomReportPreview", [&](QWidget* w) {
      shown = PagesShown(w);
      Click(w, "Chiudi");
    });
    browser_->action("actBrowserPreview")->trigger();
    EXPECT_TRUE(closing.finished());
    EXPECT_TRUE(closing.unexpected().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(pdf_));

  // "Stampa..." in the preview: the printer is chosen and the same rows go to it.
  ui_.QueueSelection(1);
  ModalScript printing;
  printing.Then("frmCustomReportPreview", [&](QWidget* w) { Click(w, "Stampa..."); });
  browser_->action("actBrowserPreview")->trigger();
  EXPECT_TRUE(printing.finished());
  const auto& log = ui_.log();
  EXPECT_NE(std::find(log.begin(), log.end(), "SELECT Selezione Stampante -> PDF"), log.end());
  ASSERT_TRUE(std::filesystem::exists(pdf_));
  // Two rows a page: the first two orders, then the third with the total.
  const std::string first = PdfText(1);
  const std::string second = PdfText(2);
  EXPECT_NE(first.find("Ordine 1 Alfa"), std::string::npos) << first;
  EXPECT_NE(first.find("Ordine 2 Beta"), std::string::npos) << first;
  EXPECT_NE(second.find("Ordine 3 Gamma"), std::string::npos) << second;
  EXPECT_NE(second.find("Totale"), std::string::npos) << second;
  // The preview showed the pages that were printed.
  EXPECT_EQ(shown, QStringLiteral("di %1").arg(PdfPages()));
}

TEST_F(BrowserPrintTest, PrintFollowsTheGridsSortAndSelection) {
  AddOrder(1, "Alfa", 0);
  AddOrder(2, "Beta", 0);
  AddOrder(3, "Gamma", 0);
  AddOrdersLayout(8);
  OpenBrowser();
  engine::ui::DataGrid* grid = browser_->grid();
  grid->SortByColumn(grid->gridModel()->ColumnIndex("Cliente"));
  grid->SortByColumn(grid->gridModel()->ColumnIndex("Cliente"));  // descending
  ASSERT_NE(grid->gridModel()->request().sort.find("DESC"), std::string::npos)
      << grid->gridModel()->request().sort;

  browser_->action("actBrowserPrint")->trigger();
  const std::string all = PdfText();
  const size_t gamma = all.find("Ordine 3 Gamma");
  const size_t alfa = all.find("Ordine 1 Alfa");
  ASSERT_NE(gamma, std::string::npos) << all;
  ASSERT_NE(alfa, std::string::npos) << all;
  EXPECT_LT(gamma, alfa);

  // Two rows selected: those two only.
  std::filesystem::remove(pdf_);
  const auto* model = grid->gridModel();
  QItemSelectionModel* selection = grid->selectionModel();
  selection->clearSelection();
  for (int row : {0, 2})
    selection->select(model->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  ASSERT_EQ(grid->SelectedOids().size(), 2u);
  browser_->action("actBrowserPrint")->trigger();
  const std::string chosen = PdfText();
  EXPECT_NE(chosen.find("Ordine 3 Gamma"), std::string::npos) << chosen;
  EXPECT_NE(chosen.find("Ordine 1 Alfa"), std::string::npos) << chosen;
  EXPECT_EQ(chosen.find("Beta"), std::string::npos) << chosen;
}

TEST_F(BrowserPrintTest, ADetailLayoutPrintsTheGridsCurrentRecord) {
  AddOrder(1, "Alfa", 1);
  const int64_t beta = AddOrder(2, "Beta", 3);
  printing::ReportLayout l = ListLayout("Righe", R"(Function PrintReportRow(dsRow, prn, nRow)
  prn.TxtOut 0, 0, "Riga " & dsRow.ColValue("Descrizione")
  PrintReportRow = True
End Function
Function PrintReportMask(ds, prn, bTotal)
  If bTotal Then prn.TxtOut 0, 0, "Cliente " & ds.ColValue("Cliente")
  PrintReportMask = True
End Function
)");
  l.reference = "Righe";
  AddLayout(l);
  OpenBrowser();
  ASSERT_TRUE(browser_->grid()->SelectOid(beta));
  browser_->action("actBrowserPrint")->trigger();
  const std::string text = PdfText();
  EXPECT_NE(text.find("Cliente Beta"), std::string::npos) << text;
  EXPECT_NE(text.find("Riga R3"), std::string::npos) << text;
  EXPECT_EQ(text.find("Alfa"), std::string::npos) << text;
}

TEST_F(BrowserPrintTest, ALayoutAskingForThePrinterShowsThePrintDialog) {
  AddOrder(1, "Alfa", 0);
  printing::ReportLayout l = ListLayout("Elenco", kScript);
  l.askPrinter = true;
  AddLayout(l);
  OpenBrowser();
  QString title;
  {
    ModalScript cancelled;
    cancelled.Then("dlgPrinter", [&](QWidget* w) {
      title = w->windowTitle();
      qobject_cast<QDialog*>(w)->reject();
    });
    browser_->action("actBrowserPrint")->trigger();
    EXPECT_TRUE(cancelled.finished());
  }
  EXPECT_EQ(title, "Selezione stampante");
  EXPECT_FALSE(std::filesystem::exists(pdf_));
  {
    ModalScript accepted;
    accepted.Then("dlgPrinter", [](QWidget* w) { qobject_cast<QDialog*>(w)->accept(); });
    browser_->action("actBrowserPrint")->trigger();
    EXPECT_TRUE(accepted.finished());
    EXPECT_TRUE(accepted.unexpected().empty());
  }
  EXPECT_NE(PdfText().find("Ordine 1 Alfa"), std::string::npos);
}

TEST_F(BrowserPrintTest, WithoutALayoutTheDriversMessageShows) {
  AddOrder(1, "Alfa", 0);
  OpenBrowser();
  browser_->action("actBrowserPreview")->trigger();
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0],
            "Report non trovato/i\n\nConfigurare almeno un Report per i dati <Ordini clienti>...");
  EXPECT_FALSE(std::filesystem::exists(pdf_));
}

TEST_F(BrowserPrintTest, PagesBeyondTheSixteenthAreFilesWhileShown) {
  for (int i = 1; i <= 20; ++i) AddOrder(i, "Cliente " + std::to_string(i), 0);
  AddOrdersLayout(1);
  OpenBrowser();
  QString shown;
  std::vector<std::string> whileShown;
  bool lastPageDrawn = false;
  ModalScript script;
  script.Then("frmCustomReportPreview", [&](QWidget* w) {
    shown = PagesShown(w);
    whileShown = PreviewFiles();
    Click(w, ">|");
    const QPixmap page = w->findChild<QLabel*>("picPage")->pixmap();
    lastPageDrawn = !page.isNull() && page.width() > 10;
    Click(w, "Chiudi");
  });
  browser_->action("actBrowserPreview")->trigger();
  EXPECT_TRUE(script.finished());
  // A page an order (and the total after them): the pages past the 16th were files.
  ASSERT_TRUE(shown.startsWith("di "));
  const int count = shown.mid(3).toInt();
  EXPECT_GE(count, 20);
  std::vector<std::string> expected;
  for (int page = 17; page <= count; ++page)
    expected.push_back("TmpPreview_" + std::to_string(page) + ".bmp");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(whileShown, expected);
  EXPECT_TRUE(lastPageDrawn);
  EXPECT_TRUE(PreviewFiles().empty());
}

}  // namespace
}  // namespace tillbook::ui
