// The Qt surfaces on the offscreen platform: pages drawn through the surface interface become
// preview pages at the right place in millimetres, the preview window pages through them, copies
// one and hands back the printer chosen; the printer surface writes a PDF whose text reads back.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/ui_services.h"
#include "printing/ui/frmCustomReportPreview.h"
#include "printing/ui/painter_surface.h"

namespace tillbook::printing::ui {
namespace {

constexpr Rgb kRed = MakeRgb(255, 0, 0);
constexpr Rgb kBlue = MakeRgb(0, 0, 255);

// The pixel at a point given in millimetres on a page drawn at `dpi`.
QRgb At(const QImage& page, double xMm, double yMm, double dpi) {
  return page.pixel(static_cast<int>(xMm * dpi / 25.4), static_cast<int>(yMm * dpi / 25.4));
}

TEST(PreviewSurface, PagesDrawnThroughTheInterface) {
  PreviewPages pages(kA4, 50);
  EXPECT_EQ(pages.Page(true).width, 297.0);
  auto surface = pages.BeginDocument(false);
  EXPECT_TRUE(surface->IsPreview());
  EXPECT_EQ(surface->PageHeight(), 297.0);
  surface->FillRectangle({20, 30, 40, 10}, kRed);
  surface->NewPage();
  surface->SetFillColor(kBlue);
  surface->SetPenColor(kBlue);
  surface->Rectangle({100, 200, 50, 50}, true);
  surface->EndDocument();
  ASSERT_EQ(pages.pages().size(), 2u);
  const QImage& first = pages.pages()[0];
  EXPECT_EQ(first.width(), static_cast<int>(210 * 50 / 25.4 + 0.5));
  EXPECT_EQ(At(first, 40, 35, 50), qRgb(255, 0, 0));
  EXPECT_EQ(At(first, 15, 35, 50), qRgb(255, 255, 255));  // left of the area
  EXPECT_EQ(At(first, 125, 225, 50), qRgb(255, 255, 255));
  EXPECT_EQ(At(pages.pages()[1], 125, 225, 50), qRgb(0, 0, 255));

  // A new document forgets the earlier pages.
  pages.BeginDocument(true)->EndDocument();
  ASSERT_EQ(pages.pages().size(), 1u);
  EXPECT_GT(pages.pages()[0].width(), pages.pages()[0].height());
}

TEST(PreviewSurface, TextIsMeasuredInMillimetres) {
  PreviewPages pages(kA4, 300);
  auto surface = pages.BeginDocument(false);
  surface->SetFont({"Sans", 10, false, false, false});
  const double one = surface->TextWidth("W");
  const double two = surface->TextWidth("WW");
  EXPECT_GT(one, 1.0);
  EXPECT_LT(one, 10.0);
  EXPECT_NEAR(two, 2 * one, 0.2);
  // A 10-point line is about 10/72 inch high.
  EXPECT_NEAR(surface->TextHeight("W"), 10 * 25.4 / 72, 2.0);
  surface->SetFont({"Sans", 20, false, false, false});
  EXPECT_NEAR(surface->TextWidth("W"), 2 * one, 0.5);
  surface->Text(10, 10, "Prova");
  surface->EndDocument();
  // Something dark was drawn inside the text's box.
  const QImage& page = pages.pages()[0];
  bool inked = false;
  for (int y = static_cast<int>(10 * 300 / 25.4); y < static_cast<int>(18 * 300 / 25.4); ++y)
    for (int x = static_cast<int>(10 * 300 / 25.4); x < static_cast<int>(30 * 300 / 25.4); ++x)
      inked = inked || qGray(page.pixel(x, y)) < 128;
  EXPECT_TRUE(inked);
}

TEST(PreviewSurface, PagesPastTheSixteenthAreKeptInFiles) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("tillbook-preview-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "TmpPreview_vecchio.tmp") << "left by an earlier run";
  std::ofstream(folder / "Altro.bmp") << "not a preview page";
  {
    PreviewPages pages(kA4, 20);
    pages.SetSpillFolder(folder);
    auto surface = pages.BeginDocument(false);
    // The earlier run's file went with the new document.
    EXPECT_FALSE(std::filesystem::exists(folder / "TmpPreview_vecchio.tmp"));
    for (int i = 1; i <= 18; ++i) {
      if (i > 1) surface->NewPage();
      surface->FillRectangle({10, 10, 50, 50}, i == 18 ? kBlue : kRed);
    }
    surface->EndDocument();
    EXPECT_EQ(pages.pages().size(), 16u);
    EXPECT_EQ(pages.PageCount(), 18);
    EXPECT_FALSE(std::filesystem::exists(folder / "TmpPreview_16.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder / "TmpPreview_17.bmp"));
    ASSERT_TRUE(std::filesystem::exists(folder / "TmpPreview_18.bmp"));
    // Read back as drawn.
    const QImage last = pages.PageAt(17);
    EXPECT_EQ(last.size(), pages.pages()[0].size());
    EXPECT_EQ(At(last, 30, 30, 20), qRgb(0, 0, 255));
    EXPECT_EQ(At(pages.PageAt(16), 30, 30, 20), qRgb(255, 0, 0));
    EXPECT_TRUE(pages.PageAt(18).isNull());

    // The window pages through the files and deletes them when it goes.
    engine::ScriptedUi ui;
    {
      frmCustomReportPreview w(pages, ui, [] { return std::vector<QString>{}; });
      EXPECT_EQ(w.findChild<QLabel*>("lblPages")->text(), "di 18");
      w.findChild<QPushButton*>("cmdLast")->click();
      EXPECT_EQ(w.PageIndex(), 17);
      EXPECT_FALSE(w.findChild<QLabel*>("picPage")->pixmap().isNull());
    }
    EXPECT_EQ(pages.PageCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "TmpPreview_17.bmp"));
    EXPECT_FALSE(std::filesystem::exists(folder / "TmpPreview_18.bmp"));
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "Altro.bmp"));
  std::filesystem::remove_all(folder);
}

TEST(frmCustomReportPreview, PagesCopyAndPrint) {
  PreviewPages pages(kA4, 40);
  auto surface = pages.BeginDocument(false);
  for (int i = 0; i < 2; ++i) {
    surface->FillRectangle({10, 10, 50, 50}, i == 0 ? kRed : kBlue);
    surface->NewPage();
  }
  surface->FillRectangle({10, 10, 50, 50}, kRed);
  surface->EndDocument();
  engine::ScriptedUi ui;
  frmCustomReportPreview w(pages, ui, [] { return std::vector<QString>{"Ufficio", "Magazzino"}; });
  auto* total = w.findChild<QLabel*>("lblPages");
  auto* page = w.findChild<QSpinBox*>("txtPage");
  ASSERT_TRUE(total && page);
  EXPECT_EQ(total->text(), "di 3");
  EXPECT_EQ(page->value(), 1);
  w.findChild<QPushButton*>("cmdLast")->click();
  EXPECT_EQ(w.PageIndex(), 2);
  EXPECT_EQ(page->value(), 3);
  w.findChild<QPushButton*>("cmdPrevious")->click();
  EXPECT_EQ(w.PageIndex(), 1);
  w.findChild<QPushButton*>("cmdNext")->click();
  w.findChild<QPushButton*>("cmdNext")->click();  // stays on the last page
  EXPECT_EQ(w.PageIndex(), 2);
  page->setValue(2);
  EXPECT_EQ(w.PageIndex(), 1);

  auto* zoom = w.findChild<QComboBox*>("cmbZoom");
  ASSERT_EQ(zoom->count(), 5);
  auto* view = w.findChild<QLabel*>("picPage");
  zoom->setCurrentIndex(0);
  EXPECT_EQ(view->pixmap().width(), 2 * pages.pages()[1].width());
  zoom->setCurrentIndex(1);
  EXPECT_EQ(view->pixmap().height(), 3 * pages.pages()[1].height());

  w.CopyPage();
  EXPECT_EQ(QApplication::clipboard()->image().pixel(20, 20), qRgb(0, 0, 255));
  EXPECT_EQ(ui.messages().back(), "La pagina è stata copia negli appunti.");

  // The print command: the printer chosen is what the window hands back.
  ui.QueueSelection(1);
  QTimer::singleShot(0, &w, [&] { w.findChild<QPushButton*>("cmdPrint")->click(); });
  EXPECT_EQ(w.ShowPreview(), "Magazzino");
  EXPECT_EQ(ui.log().back(), "SELECT Selezione Stampante -> Magazzino");
  // Closed without choosing: no printer.
  ui.QueueSelection(std::nullopt);
  QTimer::singleShot(0, &w, [&] {
    w.Print();
    w.reject();
  });
  EXPECT_EQ(w.ShowPreview(), "");
}

std::string CommandOutput(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 512> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
  return out;
}

TEST(PrinterSurface, APdfThroughThePrinterReadsBack) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("tillbook-printer-" + std::to_string(::getpid()) + ".pdf");
  auto target = PrinterTarget::ToPdfFile(QString::fromStdString(file.string()));
  EXPECT_FALSE(target->IsPreview());
  EXPECT_GT(target->Page(false).height, 250);
  EXPECT_GT(target->Page(true).width, target->Page(true).height);
  auto surface = target->BeginDocument(false);
  EXPECT_FALSE(surface->IsPreview());
  surface->SetFont({"Sans", 12, true, false, false});
  surface->Text(20, 20, "Scontrino di prova città");
  surface->Line(20, 30, 120, 30);
  surface->NewPage();
  surface->Text(20, 20, "Seconda pagina");
  surface->EndDocument();
  ASSERT_TRUE(std::filesystem::exists(file));
  const std::string quoted = "'" + file.string() + "'";
  const std::string info = CommandOutput("pdfinfo " + quoted);
  const size_t pages = info.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info;
  EXPECT_EQ(std::stoi(info.substr(pages + 6)), 2) << info;
  EXPECT_NE(CommandOutput("pdftotext -f 1 -l 1 " + quoted + " -").find("Scontrino di prova città"),
            std::string::npos);
  EXPECT_NE(CommandOutput("pdftotext -f 2 -l 2 " + quoted + " -").find("Seconda pagina"),
            std::string::npos);
  if (!HasFailure()) std::filesystem::remove(file);
}

}  // namespace
}  // namespace tillbook::printing::ui
