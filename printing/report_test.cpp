// The report engine's geometry, text output and variable store, read back from recordings.
#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/image.h"
#include "printing/report_test_support.h"

namespace tillbook::printing {
namespace {

using testing::Only;

struct Layout {
  double moduleHeight = 0;
  double moduleWidth = 0;
  double top = 10;
  double left = 5;
  int16_t columns = 1;
  double rowHeight = 5;
  double rowsTop = 20;
  double rowsBottom = 80;
  std::string background{};
  double backgroundBottom = 0;
};

class ReportTest : public ::testing::Test {
 protected:
  void Configure(const Layout& l, std::shared_ptr<ReportTarget> target = nullptr) {
    if (!target) target = recording_;
    report_.SetParameter(target, l.moduleHeight, l.moduleWidth, l.top, l.left, l.columns,
                         l.rowHeight, l.rowsTop, l.rowsBottom, l.background, l.backgroundBottom,
                         "' script", false, "Gruppo");
  }
  std::vector<std::string> Recorded(std::initializer_list<std::string_view> calls) const {
    return Only(recording_->lines(), calls);
  }
  std::vector<std::string> Mono(std::initializer_list<std::string_view> calls) const {
    return Only(mono_->lines(), calls);
  }

  const std::filesystem::path folder_ = testing::FreshFolder("report_test");
  engine::ScriptedUi ui_;
  std::shared_ptr<RecordingTarget> recording_ = std::make_shared<RecordingTarget>();
  std::shared_ptr<testing::MonospaceTarget> mono_ = std::make_shared<testing::MonospaceTarget>();
  clsCustomReport report_{ui_, folder_};
};

using Lines = std::vector<std::string>;

TEST_F(ReportTest, ModulesGoAcrossThenDownThenOntoANewPage) {
  // 99 mm modules: the third row would end exactly on the 297 mm page, so it goes to the next.
  Configure({.moduleHeight = 99, .moduleWidth = 90, .columns = 2});
  for (int i = 0; i < 5; ++i) {
    report_.LineOut(0, 0, 0, 1);
    report_.NextReportModule();
  }
  EXPECT_EQ(Recorded({"Line", "NewPage"}), (Lines{
                                               "Line\t5.00\t10.00\t6.00\t10.00",
                                               "Line\t95.00\t10.00\t96.00\t10.00",
                                               "Line\t5.00\t109.00\t6.00\t109.00",
                                               "Line\t95.00\t109.00\t96.00\t109.00",
                                               "NewPage",
                                               "Line\t5.00\t10.00\t6.00\t10.00",
                                           }));
  EXPECT_EQ(report_.ReportModuleCount(), 5);
  EXPECT_EQ(report_.ReportCount(), 5);
}

TEST_F(ReportTest, ModulesThatFitShortOfThePageBottomStayOnIt) {
  Configure({.moduleHeight = 98.9});
  for (int i = 0; i < 3; ++i) report_.NextReportModule();
  // Rows at 0, 98.9 and 197.8 fit; the fourth would not.
  EXPECT_EQ(Recorded({"NewPage"}).size(), 1u);
  EXPECT_DOUBLE_EQ(report_.CurY(), 10);
  Configure({.moduleHeight = 99});
  report_.NextReportModule();
  EXPECT_EQ(Recorded({"NewPage"}).size(), 1u);
  report_.NextReportModule();
  EXPECT_EQ(Recorded({"NewPage"}).size(), 2u);
}

TEST_F(ReportTest, ZeroColumnsAndZeroSizesTakeThePage) {
  Configure({.columns = 0});
  // One column as wide as the page less both side margins, as high as the page less both top
  // margins: the next module is below, not beside.
  report_.NextReportModule();
  EXPECT_DOUBLE_EQ(report_.CurX(), 5);
  report_.LineOut(0, 0, 0, 200);
  EXPECT_EQ(Recorded({"Line", "NewPage"}), (Lines{"NewPage", "Line\t5.00\t10.00\t205.00\t10.00"}));

  Configure({.moduleHeight = 50, .moduleWidth = 0, .columns = 0});
  report_.NextReportModule();
  EXPECT_DOUBLE_EQ(report_.CurX(), 5);
  EXPECT_DOUBLE_EQ(report_.CurY(), 60);
}

TEST_F(ReportTest, RowsAdvanceByTheCurrentHeightAndBreakAtTheRowAreaBottom) {
  Configure({.rowHeight = 5, .rowsTop = 20, .rowsBottom = 40});
  report_.SetRowPrinting(true);
  EXPECT_DOUBLE_EQ(report_.CurY(), 30);
  std::vector<double> tops;
  report_.NewReportRow();
  tops.push_back(report_.CurY());
  report_.SetRowDimCur(3);
  report_.NewReportRow();  // advances by the 3 mm just set, then back to 5
  tops.push_back(report_.CurY());
  EXPECT_DOUBLE_EQ(report_.RowDimCur(), 5);
  report_.NewReportRow();
  tops.push_back(report_.CurY());
  report_.NewReportRow();
  tops.push_back(report_.CurY());
  EXPECT_EQ(tops, (std::vector<double>{35, 38, 43, 48}));
  EXPECT_DOUBLE_EQ(report_.RowY(), 0);
  EXPECT_DOUBLE_EQ(report_.RowY(true), 38);
  EXPECT_EQ(report_.ReportModuleCount(), 0);

  // 2 mm left: the row does not fit and the engine starts the next module.
  report_.NewReportRow();
  EXPECT_EQ(report_.ReportModuleCount(), 1);
  EXPECT_DOUBLE_EQ(report_.CurY(), 30);
  EXPECT_FALSE(report_.IgnoreNextNewRow());
  report_.NewReportRow();
  EXPECT_DOUBLE_EQ(report_.CurY(), 35);
}

TEST_F(ReportTest, RowAreaBottomZeroIsThePageHeight) {
  Configure({.rowsTop = 20, .rowsBottom = 0});
  EXPECT_DOUBLE_EQ(report_.AvailableRowDim(), 297 - 20);
}

TEST_F(ReportTest, IgnoreNextNewRowKeepsTheFirstRowOfAModule) {
  Configure({.rowHeight = 5, .rowsTop = 0, .rowsBottom = 10});
  report_.SetRowPrinting(true);
  report_.NextReportModule();
  // A fresh module needs room for one row, afterwards for two.
  EXPECT_TRUE(report_.IgnoreNextNewRow());
  EXPECT_FALSE(report_.LastRow());
  EXPECT_DOUBLE_EQ(report_.AvailableRowDimNext(), 10);
  report_.NewReportRow();
  EXPECT_FALSE(report_.IgnoreNextNewRow());
  EXPECT_DOUBLE_EQ(report_.RowY(true), 0);
  EXPECT_TRUE(report_.LastRow());
  EXPECT_DOUBLE_EQ(report_.AvailableRowDimNext(), 5);
  EXPECT_TRUE(report_.ValidateRowDimNext());
  report_.NewReportRow();
  EXPECT_DOUBLE_EQ(report_.AvailableRowDimNext(), 0);
  EXPECT_FALSE(report_.ValidateRowDimNext());
  EXPECT_TRUE(report_.ValidateRowDim());
}

TEST_F(ReportTest, RowEndMovesToTheLastRow) {
  Configure({.rowHeight = 5, .rowsTop = 0, .rowsBottom = 23});
  report_.RowEnd();
  EXPECT_TRUE(report_.LastRow());
  EXPECT_DOUBLE_EQ(report_.RowY(true), 15);  // 15 + 2 * 5 >= 23, 10 + 10 is not
  EXPECT_EQ(report_.ReportModuleCount(), 0);
}

TEST_F(ReportTest, RowDimCurMayEqualRowDimButNotExceedIt) {
  Configure({.rowHeight = 5});
  report_.SetRowDimCur(5);
  EXPECT_DOUBLE_EQ(report_.RowDimCur(), 5);
  report_.SetRowDimCur(3);
  struct Row {
    double value;
    std::string message;
  };
  for (const Row& r : {Row{6,
                           "La nuova dimensione della riga corrente (6) non può superare "
                           "quella predefinita (5)"},
                       Row{5.5,
                           "La nuova dimensione della riga corrente (5,5) non può superare "
                           "quella predefinita (5)"}}) {
    try {
      report_.SetRowDimCur(r.value);
      ADD_FAILURE() << "accepted " << r.value;
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), r.message);
    }
    EXPECT_DOUBLE_EQ(report_.RowDimCur(), 3);
  }
}

TEST_F(ReportTest, TextExtentGrowsWithTheLinesOfTheRow) {
  Configure({}, mono_);
  report_.SetRowPrinting(true);
  EXPECT_DOUBLE_EQ(report_.TxtOut(2, 0, "aaaa bbbb cccc", 9), 9);
  EXPECT_EQ(Mono({"Text"}), (Lines{"Text\t5.00\t32.00\taaaa", "Text\t5.00\t36.00\tbbbb cccc"}));
  EXPECT_DOUBLE_EQ(report_.RowDimText(), 10);  // 2 below the row top, then two 4 mm lines
  report_.TxtOut(0, 20, "x");
  EXPECT_DOUBLE_EQ(report_.RowDimText(), 10);
  report_.NewReportRow();
  EXPECT_DOUBLE_EQ(report_.RowDimText(), 0);
}

// The texts TxtOut printed, in order.
Lines Printed(const Lines& recorded) {
  Lines texts;
  for (const std::string& l : recorded) texts.push_back(l.substr(l.rfind('\t') + 1));
  return texts;
}

TEST_F(ReportTest, WrapSearchHalvesToTheEvenNeighbour) {
  Configure({}, mono_);
  struct Row {
    const char* name;
    std::string text;
    double width;
    bool multiLine;
    Lines lines;
  };
  const Row rows[] = {
      // 10 characters, width 4.5: k goes 10, 5 (step 5), 3 (step 2), 4, 5, 4 (step 1 -> 0).
      {"search ends between two widths", "abcdefghij", 4.5, false, {"abcd", "efgh", "ij"}},
      // k lands on 10, "Il cliente", and the line ends at the last blank inside it.
      {"cut at the last blank within k",
       "Il cliente ha pagato tutto",
       10,
       false,
       {"Il", "cliente", "ha pagato", "tutto"}},
      {"a word wider than the width is cut inside",
       "Precipitevolissimevolmente",
       8,
       false,
       {"Precipit", "evolissi", "mevolmen", "te"}},
      {"no width: one line, breaks become blanks",
       "uno\r\ndue\rtre\nquattro",
       0,
       false,
       {"uno due tre quattro"}},
      {"CR LF is one break", "uno\r\ndue", 0, true, {"uno", "due"}},
      {"empty lines are skipped", "uno\r\n\r\ntre", 0, true, {"uno", "tre"}},
      {"a line ended by a break is not wrapped", "abcdef\rgh ij", 3, true, {"abcdef", "gh", "ij"}},
      {"blanks after a cut are trimmed", "ab   cd", 3, false, {"ab", "cd"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const size_t before = Mono({"Text"}).size();
    report_.TxtOut(0, 0, r.text, r.width, r.multiLine);
    const Lines all = Printed(Mono({"Text"}));
    EXPECT_EQ(Lines(all.begin() + before, all.end()), r.lines);
  }
}

TEST_F(ReportTest, WrappingWithRealFontsKeepsEveryCharacter) {
  Configure({});
  const std::string word = "Precipitevolissimevolmente";
  const double widest = report_.TxtOut(0, 0, word, 12);
  const Lines lines = Printed(Recorded({"Text"}));
  ASSERT_GT(lines.size(), 2u);
  std::string joined;
  for (const std::string& l : lines) joined += l;
  EXPECT_EQ(joined, word);
  EXPECT_LT(widest, 14);
}

TEST_F(ReportTest, RightAlignedAndTurnedText) {
  Configure({}, mono_);
  EXPECT_DOUBLE_EQ(report_.TxtOutR(1, 50, "abc"), 3);
  EXPECT_DOUBLE_EQ(report_.TxtOutV(0, 10, "abcdef", true, true), 6);
  report_.TxtOutV(0, 10, "abcdef");
  EXPECT_EQ(Mono({"Text", "RotatedText"}), (Lines{
                                               "Text\t52.00\t11.00\tabc",
                                               "RotatedText\t15.00\t8.00\t1\tabcdef",
                                               "RotatedText\t15.00\t10.00\t0\tabcdef",
                                           }));
}

TEST_F(ReportTest, BoxesWithShadowAndOutlinedModules) {
  Configure({.moduleHeight = 100, .moduleWidth = 90});
  report_.SetColor(MakeRgb(0, 0, 255));
  report_.BoxOut(2, 3, 10, 20, false, true);
  report_.BoxOut(0, 0, 1.5, 20, true, true);  // too thin for a shadow
  report_.SetMarkOutputAreas(true);
  report_.NextReportModule();
  EXPECT_EQ(Recorded({"Line", "Rectangle", "PenColor", "FillColor"}),
            (Lines{
                "PenColor\t000000",
                "FillColor\t000000",  // the document's start
                "PenColor\t0000FF",
                "FillColor\t0000FF",
                "Line\t8.00\t12.00\t28.00\t12.00",
                "Line\t8.00\t22.00\t28.00\t22.00",
                "Line\t8.00\t12.00\t8.00\t22.00",
                "Line\t28.00\t12.00\t28.00\t22.00",
                "PenColor\tC0C0C0",
                "FillColor\tC0C0C0",
                "Rectangle\t8.90\t22.10\t20.00\t0.80\t1",
                "Rectangle\t28.10\t12.90\t0.80\t10.00\t1",
                "PenColor\t0000FF",
                "FillColor\t0000FF",
                "Rectangle\t5.00\t10.00\t20.00\t1.50\t1",
                "PenColor\tFF0000",
                "Rectangle\t5.50\t11.00\t84.00\t88.50\t0",
                "PenColor\t00FF00",
                "Rectangle\t5.50\t30.50\t84.00\t59.00\t0",
                "PenColor\t0000FF",
            }));
}

TEST_F(ReportTest, CirclesBarcodesAndFonts) {
  Configure({});
  report_.SetRowPrinting(true);
  report_.CircleOut(1, 2, 3, true);
  EXPECT_NEAR(report_.Barcode128bOut(0, 10, 8, 0.3, "ABC"), 20.4, 1e-6);
  report_.SetFont(12, true, false, "Courier New", false);
  report_.SetFont(9, false, true, "", true);
  const Lines bars = Recorded({"FillRectangle"});
  ASSERT_EQ(bars.size(), 37u);
  EXPECT_EQ(bars.front(), "FillRectangle\t15.00\t30.00\t0.60\t8.00\t000000");
  EXPECT_EQ(Recorded({"Circle", "Font"}),
            (Lines{"Circle\t7.00\t31.00\t3.00\t1", "Font\tCourier New\t12.00\t1\t0\t0",
                   "Font\tCourier New\t9.00\t0\t1\t1"}));
}

TEST_F(ReportTest, PicturesStayWithTheModuleWhateverTheRow) {
  testing::WriteBmp(folder_ / "logo.bmp", 96, 48, 0x336699);
  Configure({});
  report_.SetRowPrinting(true);
  report_.NewReportRow();
  report_.NewReportRow();
  report_.ImageOut("logo.bmp", 3, 4, 10, 20, true);
  report_.ImageOut("logo.bmp", 3, 4, 0, 20, true);
  report_.ImageOut((folder_ / "logo.bmp").string(), 3, 4, 10, 20, false);
  const std::string logo = (folder_ / "logo.bmp").string();
  EXPECT_EQ(Recorded({"Picture"}),
            (Lines{
                "Picture\t" + logo + "\t9.00\t13.00\t20.00\t10.00",
                "Picture\t" + logo + "\t9.00\t13.00\t25.40\t12.70",
                "Picture\t" + logo + "\t9.00\t13.00\t25.40\t12.70\t9.00\t13.00\t20.00\t10.00",
            }));
  EXPECT_TRUE(ui_.messages().empty());

  report_.ImageOut("manca.bmp", 0, 0);
  EXPECT_EQ(ui_.messages(), Lines{"Impossibile accedere al file dell'immagine:\r" +
                                  (folder_ / "manca.bmp").string()});
  EXPECT_EQ(Recorded({"Picture"}).size(), 3u);
}

TEST_F(ReportTest, EveryModuleGetsItsBackgroundOnce) {
  testing::WriteBmp(folder_ / "sfondo.bmp", 10, 10, 0xFFFFFF);
  Configure(
      {.moduleHeight = 100, .moduleWidth = 90, .background = "sfondo.bmp", .backgroundBottom = 5});
  EXPECT_TRUE(report_.ReportModuleIsEmpty());
  report_.TxtOut(0, 0, "a");
  report_.LineOut(0, 0, 1, 1);
  EXPECT_FALSE(report_.ReportModuleIsEmpty());
  report_.NextReportModule();
  report_.NextReportModule();  // nothing drawn in the second module: it still has its background
  const std::string back = (folder_ / "sfondo.bmp").string();
  EXPECT_EQ(Recorded({"Picture"}), (Lines{
                                       "Picture\t" + back + "\t5.00\t10.00\t90.00\t95.00",
                                       "Picture\t" + back + "\t5.00\t110.00\t90.00\t95.00",
                                   }));
  EXPECT_EQ(report_.BackImageFile(), "sfondo.bmp");
  ASSERT_TRUE(report_.BackImage());
  EXPECT_EQ(report_.BackImage()->width(), 10);
}

TEST_F(ReportTest, VariablesIgnoreLetterCase) {
  Configure({});
  EXPECT_TRUE(report_.Vars("nessuno").IsEmpty());
  EXPECT_EQ(report_.Nums("nessuno"), 0);
  EXPECT_EQ(report_.Strs("nessuno"), "");
  report_.SetVars("Totale", Variant::String("x"));
  report_.SetNums("TOTALE", 2.5);
  report_.SetStrs("Nome", "Rossi");
  EXPECT_EQ(report_.VarsCount(), 2);
  EXPECT_EQ(report_.Vars("totale"), Variant::Double(2.5));
  EXPECT_EQ(report_.Strs("totale"), "2,5");
  EXPECT_EQ(report_.Strs("NOME"), "Rossi");
  report_.InitializeVars();  // a new copy keeps the store; the driver empties it
  EXPECT_EQ(report_.VarsCount(), 2);
  report_.ResetVars();
  EXPECT_EQ(report_.VarsCount(), 0);
}

TEST_F(ReportTest, PrinterKeepsOneDocumentAcrossCopiesPreviewStartsOver) {
  Configure({});
  report_.TxtOut(0, 0, "copia 1");
  report_.InitializeVars();
  report_.TxtOut(0, 0, "copia 2");
  report_.EndReports();
  EXPECT_EQ(Recorded({"BeginDocument", "EndDocument"}),
            (Lines{"BeginDocument\t210.00\t297.00\tportrait", "EndDocument"}));
  EXPECT_FALSE(report_.Preview());
  EXPECT_EQ(report_.surface(), nullptr);

  // Zero sizes: the page less the margins, shared by the columns, on a printer; the whole page
  // on a preview.
  Configure({.columns = 2});
  report_.NextReportModule();
  EXPECT_DOUBLE_EQ(report_.CurX(), 5 + 100);

  recording_ = std::make_shared<RecordingTarget>(kA4, true);
  Configure({.columns = 2});
  EXPECT_TRUE(report_.Preview());
  report_.NextReportModule();
  EXPECT_DOUBLE_EQ(report_.CurX(), 5 + 210);
  report_.InitializeVars();
  EXPECT_EQ(Recorded({"BeginDocument"}).size(), 2u);
}

TEST(ReportPrinters, PrintersAreFoundByNameElseTheSystemPrinter) {
  auto office = std::make_shared<RecordingTarget>(PageSize{100, 150});
  auto system = std::make_shared<RecordingTarget>();
  auto preview = std::make_shared<RecordingTarget>(kA4, true);
  engine::ScriptedUi ui;
  clsCustomReport report(ui, ::testing::TempDir(), [&](std::string_view name) {
    return name == "Ufficio" ? office : name.empty() ? system : nullptr;
  });
  report.SetParameter("Magazzino", 0, 0, 10, 10, 1, 5, 0, 0, "", 0, "", false, "");
  EXPECT_DOUBLE_EQ(report.AvailableRowDim(), 297);
  EXPECT_EQ(system->lines().size(), 3u);  // the document, its pen and fill colours

  // A preview printed after all: the chosen printer gets a document of its own.
  report.SetParameter(preview, 0, 0, 10, 10, 1, 5, 0, 100, "", 0, "", false, "");
  report.TxtOut(0, 0, "anteprima");
  EXPECT_TRUE(report.Preview());
  report.ChangePrinter("Ufficio");
  EXPECT_FALSE(report.Preview());
  report.TxtOut(0, 0, "stampa");
  report.EndReports();
  EXPECT_EQ(Only(office->lines(), {"BeginDocument", "Text", "EndDocument"}),
            (Lines{"BeginDocument\t100.00\t150.00\tportrait", "Text\t10.00\t10.00\tstampa",
                   "EndDocument"}));
}

TEST_F(ReportTest, RefusedConfigurationsLeaveTheEngineAsItWas) {
  Configure({});
  const std::string noPrinter =
      "Nessuna stampante configurata.\r\rImpossibile stabilire le dimensioni predefinite del "
      "foglio...";
  struct Row {
    const char* name;
    std::function<void()> configure;
    std::string message;
  };
  const Row rows[] = {
      {"no printer to take the page height from",
       [&] { report_.SetParameter("Stampante", 0, 0, 0, 0, 1, 5, 0, 0, "", 0, "'", false, ""); },
       noPrinter},
      {"no printer at all",
       [&] {
         report_.SetParameter(std::shared_ptr<ReportTarget>(), 0, 0, 0, 0, 1, 5, 0, 50, "", 0, "'",
                              false, "");
       },
       noPrinter},
      {"background that cannot be read",
       [&] {
         report_.SetParameter(recording_, 0, 0, 0, 0, 1, 5, 0, 50, "manca.bmp", 0, "'", false, "");
       },
       "Impossibile accedere al file dell'immagine:\r" + (folder_ / "manca.bmp").string()},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    try {
      r.configure();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(), r.message);
    }
    EXPECT_EQ(report_.VBScript(), "' script");
    EXPECT_EQ(report_.ReportGroupName(), "Gruppo");
    EXPECT_DOUBLE_EQ(report_.AvailableRowDim(), 60);
    EXPECT_NE(report_.surface(), nullptr);
  }
}

TEST_F(ReportTest, OutsideObjectsAreRefused) {
  Configure({});
  EXPECT_THROW(report_.PrintObject("Shell.Explorer", "navigate x.htm", "ExecWB 6, 1"), Error);
}

}  // namespace
}  // namespace tillbook::printing
