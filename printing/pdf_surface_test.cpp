// A report drawn into a PDF file, read back with the poppler tools: the text is text, the
// fonts are embedded, pictures of every kind land on the page, a break at the end adds no page.
#include "printing/pdf_surface.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "base/error.h"
#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/image.h"
#include "printing/report_test_support.h"

namespace tillbook::printing {
namespace {

// Standard output of a shell command.
std::string Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                             pclose);
  std::string out;
  char buf[512];
  while (pipe && std::fgets(buf, sizeof buf, pipe.get())) out += buf;
  return out;
}

// The page count pdfinfo reports, -1 when it reports none.
int Pages(const std::filesystem::path& pdf) {
  const std::string info = Output("pdfinfo '" + pdf.string() + "'");
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// The box pdftotext gives a word of the first page, in points: xMin, yMin, xMax, yMax.
std::vector<double> WordBox(const std::filesystem::path& pdf, const std::string& word) {
  const std::string boxes = Output("pdftotext -bbox -f 1 -l 1 '" + pdf.string() + "' -");
  const size_t end = boxes.find(">" + word + "</word>");
  if (end == std::string::npos) return {};
  const size_t start = boxes.rfind("<word", end);
  std::vector<double> box;
  for (const char* key : {"xMin=\"", "yMin=\"", "xMax=\"", "yMax=\""})
    box.push_back(std::stod(boxes.substr(boxes.find(key, start) + 6)));
  return box;
}

bool Have(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

class PdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Have("pdftotext") || !Have("pdffonts") || !Have("pdfinfo"))
      GTEST_SKIP() << "poppler-utils missing";
  }
  const std::filesystem::path folder_ = testing::FreshFolder("pdf_test");
};

TEST_F(PdfTest, ReportTextStaysTextInEmbeddedFonts) {
  const std::filesystem::path pdf = folder_ / "lista.pdf";
  testing::WriteBmp(folder_ / "sfondo.bmp", 8, 8, 0xEEEEEE);
  cairo_surface_t* png = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
  cairo_surface_write_to_png(png, (folder_ / "logo.png").c_str());
  cairo_surface_destroy(png);

  engine::ScriptedUi ui;
  clsCustomReport report(ui, folder_);
  report.SetParameter(std::make_shared<PdfTarget>(pdf), 140, 0, 10, 10, 1, 6, 30, 120, "sfondo.bmp",
                      0, "", false, "");
  report.SetRowPrinting(true);
  report.SetFont(11, true, false, "Times New Roman", false);
  report.TxtOut(0, 0, "Elenco clienti: città, qualità e perché");
  report.SetFont(10, false, false, "Arial", true);
  report.NewReportRow();
  report.TxtOut(0, 0, "Rossi Mario");
  report.TxtOutR(0, 150, "1.234,50");
  report.TxtOutV(0, 170, "verticale", true);
  report.BoxOut(0, 0, 5, 150, false, true);
  report.CircleOut(2, 160, 2, true);
  report.ImageOut("logo.png", 0, 100, 10, 10, true);
  report.Barcode128bOut(10, 0, 10, 0.3, "ABC");
  report.NextReportModule();
  report.NextReportModule();  // the second module ends the page
  report.SetFont(10, false, true, "Courier New", false);
  report.TxtOut(0, 0, "Totale generale");
  report.NextReportModule();
  report.NextReportModule();  // a break right before the end: no empty third page
  report.EndReports();
  EXPECT_TRUE(ui.messages().empty());

  EXPECT_EQ(Pages(pdf), 2);
  const std::string text = Output("pdftotext -layout '" + pdf.string() + "' -");
  for (const char* expected :
       {"Elenco clienti: città, qualità e perché", "Rossi Mario", "1.234,50", "Totale generale"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
  // Where the engine measured the text is where the PDF has it: "Rossi" starts at the row's
  // top-left corner (10, 46 mm), the amount ends at 160 mm.
  constexpr double kPt = 72 / 25.4;
  const std::vector<double> name = WordBox(pdf, "Rossi");
  ASSERT_EQ(name.size(), 4u);
  EXPECT_NEAR(name[0], 10 * kPt, 0.2);
  EXPECT_NEAR(name[1], 46 * kPt, 0.2);
  const std::vector<double> amount = WordBox(pdf, "1.234,50");
  ASSERT_EQ(amount.size(), 4u);
  EXPECT_NEAR(amount[2], 160 * kPt, 0.2);

  const std::string fonts = Output("pdffonts '" + pdf.string() + "'");
  // Each face is listed with its embedded and subset flags: "yes yes". The faces are whatever
  // the system gives for Times New Roman bold, Arial and Courier New italic (the metric-compatible
  // Liberation faces where installed, else DejaVu).
  for (const char* face : {"Serif-Bold", "Sans", "Mono"}) {
    const size_t at = fonts.find(face);
    ASSERT_NE(at, std::string::npos) << face << "\n" << fonts;
    const std::string line = fonts.substr(at, fonts.find('\n', at) - at);
    EXPECT_NE(line.find("yes yes"), std::string::npos) << line;
  }
}

TEST_F(PdfTest, PageBreaksAreTakenOnlyWhenSomethingFollows) {
  const std::filesystem::path pdf = folder_ / "pagine.pdf";
  {
    PdfSurface surface(pdf, PageSize{100, 50});
    surface.Text(5, 5, "prima");
    surface.NewPage();
    surface.NewPage();
    EXPECT_EQ(surface.PageCount(), 1);
    surface.Line(0, 0, 10, 10);
    EXPECT_EQ(surface.PageCount(), 2);
    surface.NewPage();
    surface.EndDocument();
  }
  EXPECT_EQ(Pages(pdf), 2);
  EXPECT_NE(Output("pdfinfo '" + pdf.string() + "'").find("283.465 x 141.732 pts"),
            std::string::npos);
}

TEST_F(PdfTest, AFileThatCannotBeWrittenIsReported) {
  EXPECT_THROW(PdfSurface(folder_ / "manca" / "x.pdf"), Error);
}

}  // namespace
}  // namespace tillbook::printing
