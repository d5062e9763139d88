// The report print driver on a real archive, its output on a recording printer: hooks in their
// order with their row numbers, notes, module masks and totals, row limit and test mode, stops
// and script errors (nothing reaches the printer), layout lookup, copies, selections, preview
// then print, and the printed flag.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/connection.h"
#include "printing/modCustomReport.h"
#include "printing/testing/print_fixture.h"

namespace tillbook::printing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A list layout printing the customer per row, counting rows in a variable, with a mask that
// writes its kind and the count.
constexpr const char* kListScript =
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.TxtOut 0, 0, nRow & \" \" & dsRow.ColValue(\"Cliente\")\r\n"
    "  prn.Nums(\"n\") = prn.Nums(\"n\") + 1\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n"
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  prn.TxtOut 0, 0, \"Maschera \" & bTotal & \" \" & prn.Nums(\"n\")\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

// Detail rows by their description, and a mask that draws nothing.
constexpr const char* kRowsOnly =
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.TxtOut 0, 0, dsRow.ColValue(\"Descrizione\")\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n";
constexpr const char* kEmptyMask =
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

class DriverTest : public testing::PrintFixture {
 protected:
  // The texts drawn, without their positions.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const std::string& call : Calls("Text")) out.push_back(call.substr(call.rfind('\t') + 1));
    return out;
  }
  // "x y text" of each text drawn.
  std::vector<std::string> Placed() const {
    std::vector<std::string> out;
    for (std::string call : Calls("Text")) {
      for (char& c : call)
        if (c == '\t') c = ' ';
      out.push_back(call);
    }
    return out;
  }
  void ThreeOrders() {
    AddOrder(1, "Alfa", 2);
    AddOrder(2, "Beta", 0);
    AddOrder(3, "Gamma", 1);
  }
};

TEST_F(DriverTest, ListPrintsOneRowPerRecordThenTheTotalsMask) {
  ThreeOrders();
  AddLayout(ListLayout("Elenco", kListScript));
  EXPECT_TRUE(Print({}));
  // Rows start at the top margin plus the row area's top; the first row is not advanced past.
  EXPECT_THAT(Placed(), ElementsAre("5.00 25.00 1 Alfa", "5.00 30.00 2 Beta", "5.00 35.00 3 Gamma",
                                    "5.00 5.00 Maschera True 3"));
  EXPECT_THAT(ui_.messages(), ElementsAre());
}

TEST_F(DriverTest, AFullModulePrintsItsMaskAndTheRowsGoOnInTheNextModule) {
  for (int i = 1; i <= 10; ++i) AddOrder(i, "C" + std::to_string(i), 0);
  AddLayout(ListLayout("Elenco", kListScript));
  EXPECT_TRUE(Print({}));
  const auto placed = Placed();
  ASSERT_EQ(placed.size(), 12u);
  // Eight rows of 5 mm fill the 40 mm row area; then the mask, then module 2 a module lower.
  EXPECT_EQ(placed[7], "5.00 60.00 8 C8");
  EXPECT_EQ(placed[8], "5.00 5.00 Maschera False 8");
  EXPECT_EQ(placed[9], "5.00 125.00 9 C9");
  EXPECT_EQ(placed[11], "5.00 105.00 Maschera True 10");
}

TEST_F(DriverTest, RowLimitAndTestModeEndEarlyWithoutTotals) {
  for (int i = 1; i <= 10; ++i) AddOrder(i, "C" + std::to_string(i), 0);
  AddLayout(ListLayout("Elenco", kListScript));
  PrintRequest limited;
  limited.rowLimit = 2;
  EXPECT_TRUE(Print(limited));
  EXPECT_THAT(Texts(), ElementsAre("1 C1", "2 C2"));
  EXPECT_TRUE(Calls("Rectangle").empty());

  printer_ = std::make_shared<RecordingTarget>();
  PrintRequest test;
  test.rowLimit = -1;
  EXPECT_TRUE(Print(test));
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 9u);  // the first module's eight rows and its mask
  EXPECT_EQ(texts.back(), "Maschera False 8");
  // The output areas of the module are outlined: module and row area.
  EXPECT_EQ(Calls("Rectangle").size(), 2u);
}

TEST_F(DriverTest, DetailRowsThenNoteRowsContinueTheRowNumber) {
  AddOrder(7, "Alfa", 2, "Consegna al mattino\r\nFragile\nUltima");
  ReportLayout l = ListLayout("Ordine", R"(Function PrintReportRow(dsRow, prn, nRow)
  prn.TxtOut 0, 0, prn.DataReferenceName & " " & nRow & " " & dsRow.ColValue("Descrizione")
  PrintReportRow = True
End Function
Function PrintNoteRow(sNoteRow, ds, prn, nRow)
  prn.TxtOut 0, 0, "Nota " & nRow & " " & sNoteRow & " di " & ds.ColValue("Cliente")
  PrintNoteRow = True
End Function
Function PrintReportMask(ds, prn, bTotal)
  PrintReportMask = True
End Function
)");
  l.reference = "Righe";
  AddLayout(l);
  PrintRequest r;
  r.referenceName = "Righe";
  r.noteField = "Note";
  EXPECT_TRUE(Print(r));
  EXPECT_THAT(Texts(), ElementsAre("Righe 1 R1", "Righe 2 R2", "Nota 3 Consegna al mattino di Alfa",
                                   "Nota 4 Fragile di Alfa", "Nota 5 Ultima di Alfa"));
}

TEST_F(DriverTest, WithoutItsOwnNoteHookALayoutGetsTheTemplateAndKeepsNotesOutOfTheRows) {
  AddOrder(7, "Alfa", 2, "Una\r\nDue");
  ReportLayout l = ListLayout("Ordine", R"(Function PrintReportRow(dsRow, prn, nRow)
  prn.TxtOut 0, 0, dsRow.ColValue("Descrizione")
  PrintReportRow = True
End Function
Function PrintReportMask(ds, prn, bTotal)
  prn.TxtOut 0, 0, "Totale a " & prn.RowY(True)
  PrintReportMask = True
End Function
)");
  l.reference = "Righe";
  AddLayout(l);
  PrintRequest r;
  r.referenceName = "Righe";
  r.noteField = "Note";
  EXPECT_TRUE(Print(r));
  EXPECT_THAT(ui_.messages(), ElementsAre());
  // The template's notes draw nothing; the first takes one row, the second none.
  EXPECT_THAT(Texts(), ElementsAre("R1", "R2", "Totale a 30"));
}

TEST_F(DriverTest, AllReferencesPrintsEveryListThatHasRows) {
  const int64_t order = AddOrder(7, "Alfa", 1);
  connection_->RunAction([&] {
    auto row = connection_->GetRow("Ordini", order)->AddListRow("Allegati");
    return row->Set("Titolo", Variant::String("Disegno")) && row->Save();
  });
  ReportLayout l = ListLayout("Tutto", R"(Function PrintDataInit(dsRow, prn)
  prn.Strs("init") = prn.Strs("init") & prn.DataReferenceName & ";"
  PrintDataInit = True
End Function
Function PrintReportRow(dsRow, prn, nRow)
  If prn.DataReferenceName = "Righe" Then prn.TxtOut 0, 0, nRow & " riga"
  If prn.DataReferenceName = "Allegati" Then prn.TxtOut 0, 0, nRow & " " & dsRow.ColValue("Titolo")
  PrintReportRow = True
End Function
Function PrintReportMask(ds, prn, bTotal)
  prn.TxtOut 0, 0, prn.Strs("init")
  PrintReportMask = True
End Function
)");
  l.reference = std::string(kAllReferences);
  AddLayout(l);
  PrintRequest r;
  r.referenceName = std::string(kAllReferences);
  EXPECT_TRUE(Print(r));
  EXPECT_THAT(Texts(), ElementsAre("1 riga", "2 Disegno", "Righe;Allegati;"));
}

TEST_F(DriverTest, DataInitNarrowsAndSortsTheRows) {
  ThreeOrders();
  AddLayout(ListLayout("Elenco", std::string(R"(Function PrintDataInit(dsRow, prn)
  dsRow.Filter = "Numero <> 2"
  dsRow.SortOrder = "Numero DESC"
  PrintDataInit = True
End Function
)") + kListScript));
  EXPECT_TRUE(Print({}));
  EXPECT_THAT(Texts(), ElementsAre("1 Gamma", "2 Alfa", "Maschera True 2"));
}

TEST_F(DriverTest, AHookReturningFalseStopsSilentlyAndNothingIsPrinted) {
  ThreeOrders();
  AddLayout(ListLayout("Elenco", R"(Function PrintReportRow(dsRow, prn, nRow)
  prn.TxtOut 0, 0, "riga " & nRow
  PrintReportRow = nRow < 2
End Function
)"));
  EXPECT_FALSE(Print({}));
  EXPECT_THAT(ui_.messages(), ElementsAre());
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(DriverTest, StopInTheProgressWindowEndsTheRunWithNothingPrinted) {
  ThreeOrders();
  AddLayout(ListLayout("Elenco", kListScript));
  ui_.StopProgressAt(2);
  EXPECT_FALSE(Print({}));
  EXPECT_THAT(ui_.log(), ::testing::Contains("STOP"));
  EXPECT_TRUE(Drawn().empty());
}

// A script error names the layout (as the title), the hook (and the row), the description and
// the script line; whatever
// the run drew before it never reaches the printer.
TEST_F(DriverTest, ScriptErrorsNameHookRowAndLineAndPrintNothing) {
  struct Case {
    const char* name;
    std::string script;
    std::string message;
  };
  const std::string row =
      "Function PrintReportRow(dsRow, prn, nRow)\r\n"
      "  prn.TxtOut 0, 0, \"x\"\r\n"
      "  PrintReportRow = True\r\n"
      "End Function\r\n";
  const Case cases[] = {
      {"row",
       "Function PrintReportRow(dsRow, prn, nRow)\r\n  prn.TxtOut 0, 0, \"x\"\r\n"
       "  If nRow = 2 Then x = 1 / 0\r\n  PrintReportRow = True\r\nEnd Function\r\n",
       "Errore nel codice di stampa per il (2) record: \n\nDivisione per zero\n\nLinea VB: 3"},
      {"mask",
       row + "Function PrintReportMask(ds, prn, bTotal)\r\n  PrintReportMask = ds.Nulla\r\n"
             "End Function\r\n",
       "Errore nel codice di stampa della maschera: \n\n"},
      {"init", "Function PrintDataInit(dsRow, prn)\r\n  Err.Raise 5\r\nEnd Function\r\n" + row,
       "Errore nel codice di inizializzazione dati <Ordini>: \n\n"},
      {"engine",
       "Function PrintReportRow(dsRow, prn, nRow)\r\n  prn.TxtOut 0, 0, \"x\"\r\n"
       "  prn.RowDimCur = 6\r\n  PrintReportRow = True\r\nEnd Function\r\n",
       "Errore nel codice di stampa per il (1) record: \n\nLa nuova dimensione della riga "
       "corrente"},
      {"compile", "Function PrintReportRow(dsRow, prn, nRow)\r\n  If Then\r\nEnd Function\r\n",
       "Errore di inizializzazione del codice di stampa: \n\n"},
      {"missing", "Function Altro()\r\nEnd Function\r\n",
       "Errore nel codice di stampa per il (1) record: \n\n"},
  };
  ThreeOrders();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddLayout(ListLayout("Elenco", c.script));
    ui_.Clear();
    printer_ = std::make_shared<RecordingTarget>();
    EXPECT_FALSE(Print({}));
    ASSERT_EQ(ui_.messages().size(), 1u);
    EXPECT_EQ(ui_.messages()[0].rfind(c.message, 0), 0u) << ui_.messages()[0];
    EXPECT_THAT(ui_.messages()[0], HasSubstr("Linea VB: "));
    EXPECT_EQ(ui_.titles.back(), "Elenco");  // the layout to correct
    EXPECT_TRUE(Drawn().empty());
  }
}

TEST_F(DriverTest, LookupTellsWhenNoLayoutFitsAndLetsThePersonChooseAmongSeveral) {
  ThreeOrders();
  EXPECT_FALSE(Print({}));
  PrintRequest detail;
  detail.referenceName = "Righe";
  EXPECT_FALSE(Print(detail));
  PrintRequest any;
  any.referenceName = "*";
  EXPECT_FALSE(Print(any));
  EXPECT_THAT(ui_.messages(),
              ElementsAre("Report non trovato/i\n\nConfigurare almeno un Report per i dati "
                          "<Ordini clienti>...",
                          "Report non trovato/i\n\nConfigurare almeno un Report per i dati "
                          "<Ordini clienti.Righe dell'ordine>...",
                          "Report non trovato/i\n\nConfigurare almeno un Report per i dati "
                          "<Ordini clienti.*>..."));

  AddLayout(ListLayout("Zeta",
                       "Function PrintReportRow(dsRow, prn, nRow)\r\n"
                       "  prn.TxtOut 0, 0, \"Z\"\r\nEnd Function\r\n"));
  AddLayout(ListLayout("Alfa", kListScript));
  ui_.Clear();
  ui_.QueueSelection(0);  // names are listed in order: Alfa, Zeta
  EXPECT_TRUE(Print({}));
  EXPECT_EQ(ui_.log().front(), "SELECT Selezione Report -> Alfa");
  EXPECT_EQ(Texts().back(), "Maschera True 3");
  ui_.QueueSelection(std::nullopt);
  EXPECT_FALSE(Print({}));
  PrintRequest named;
  named.reportName = "Zeta";
  printer_ = std::make_shared<RecordingTarget>();
  ui_.Clear();
  EXPECT_FALSE(Print(named));  // Zeta's row hook returns nothing, which stops the run
  EXPECT_THAT(ui_.log(), ::testing::Not(::testing::Contains(HasSubstr("SELECT"))));
}

TEST_F(DriverTest, LayoutFilterFollowsReferencesOwnersNamesAndGroups) {
  EXPECT_EQ(ReportLayoutFilter(*connection_, "Ordini", "", "", ""), "NomeTabellaOrigine='Ordini'");
  EXPECT_EQ(ReportLayoutFilter(*connection_, "RigheOrdine", "", "", ""),
            "(NomeTabellaOrigine='RigheOrdine') OR NomeTabellaOrigine='Ordini'");
  EXPECT_EQ(ReportLayoutFilter(*connection_, "RigheOrdine", "*", "", ""),
            "(NomeTabellaOrigine='RigheOrdine' AND NomeReference<>'') OR "
            "NomeTabellaOrigine='Ordini' AND NomeReference<>''");
  EXPECT_EQ(ReportLayoutFilter(*connection_, "RigheOrdine", "Righe", "Ordine", "G'1"),
            "((NomeTabellaOrigine='RigheOrdine' AND NomeReference='Righe') AND "
            "NomeProspetto='Ordine') AND NomeGruppo='G''1'");
}

TEST_F(DriverTest, EmptyListsAndMissingCurrentRecordsAreRefused) {
  AddLayout(ListLayout("Elenco", kListScript));
  EXPECT_FALSE(Print({}));
  ReportLayout l = ListLayout("Dettaglio", kListScript);
  l.reference = "Righe";
  AddLayout(l);
  PrintRequest detail;
  detail.referenceName = "Righe";
  EXPECT_FALSE(Print(detail));
  EXPECT_THAT(ui_.messages(), ElementsAre("Nessun elemento da stampare",
                                          "Devi selezionare l'elemento da stampare"));
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(DriverTest, CopiesRepeatTheDocumentOnNewPages) {
  AddOrder(1, "Alfa", 0);
  AddLayout(ListLayout("Elenco", kListScript));
  PrintRequest r;
  r.copies = 3;
  EXPECT_TRUE(Print(r));
  // Variables live for one copy: every copy counts from zero.
  EXPECT_THAT(Texts(), ElementsAre("1 Alfa", "Maschera True 1", "1 Alfa", "Maschera True 1",
                                   "1 Alfa", "Maschera True 1"));
  EXPECT_EQ(std::count(printer_->lines().begin(), printer_->lines().end(), "NewPage"), 2);
}

TEST_F(DriverTest, SelectionPrintsTheSelectedRecordsAndSelectedDocumentsOneByOne) {
  ThreeOrders();
  AddLayout(ListLayout("Elenco", kListScript));
  PrintRequest list;
  list.selection = std::vector<int64_t>{2, 0};
  EXPECT_TRUE(Print(list));
  EXPECT_THAT(Texts(), ElementsAre("1 Gamma", "2 Alfa", "Maschera True 2"));

  ReportLayout l = ListLayout("Ordine", std::string(kRowsOnly) + kEmptyMask);
  l.reference = "Righe";
  AddLayout(l);
  printer_ = std::make_shared<RecordingTarget>();
  ui_.Clear();
  PrintRequest documents;
  documents.referenceName = "Righe";
  documents.selection = std::vector<int64_t>{0, 2};
  documents.copies = 3;
  EXPECT_TRUE(Print(documents));
  EXPECT_THAT(Texts(), ElementsAre("R1", "R2", "R1", "R2", "R1", "R2", "R1", "R1", "R1"));
  EXPECT_EQ(ui_.log().front(), "PROGRESS Elaborazione in corso...  (1/2)  -  Copia 1/3 3");
}

TEST_F(DriverTest, PrintedFlagIsAskedAndSetOnlyAfterACompletedPrinterRun) {
  const int64_t order = AddOrder(1, "Alfa", 2);
  ReportLayout l = ListLayout("Ordine",
                              "Function PrintReportRow(dsRow, prn, nRow)\r\n"
                              "  PrintReportRow = nRow < 2\r\n"
                              "End Function\r\n" +
                                  std::string(kEmptyMask));
  l.reference = "Righe";
  AddLayout(l);
  PrintRequest r;
  r.referenceName = "Righe";
  r.printedField = "Stampato";
  // The second row's hook stops the run: no question, no flag.
  EXPECT_FALSE(Print(r));
  EXPECT_FALSE(Printed(order));
  EXPECT_THAT(ui_.log(), ::testing::Not(::testing::Contains(HasSubstr("ASK"))));

  l.script = std::string(kRowsOnly) + kEmptyMask;
  AddLayout(l);
  ui_.QueueAnswer(engine::Answer::No);
  EXPECT_TRUE(Print(r));
  EXPECT_FALSE(Printed(order));
  EXPECT_TRUE(Print(r));
  EXPECT_TRUE(Printed(order));
  // Already printed: asked first (No by default), and not asked again afterwards.
  ui_.Clear();
  EXPECT_FALSE(Print(r));
  EXPECT_THAT(ui_.log(),
              ElementsAre("ASK LA STAMPA RISULTA GIA' COMPLETATA...\n\nCONTINUARE ? -> No"));
  ui_.Clear();
  ui_.QueueAnswer(engine::Answer::Yes);
  EXPECT_TRUE(Print(r));
  EXPECT_EQ(std::count_if(ui_.log().begin(), ui_.log().end(),
                          [](const std::string& l) { return l.rfind("ASK", 0) == 0; }),
            1);
}

TEST_F(DriverTest, PreviewThenPrintSendsWhatWasPreviewedWithoutMarks) {
  ThreeOrders();
  AddLayout(ListLayout("Elenco", kListScript));
  auto preview = std::make_shared<RecordingTarget>(kA4, true);
  services_.preview = preview;
  std::string chosen = "Stampante";
  services_.showPreview = [&] { return chosen; };
  PrintRequest r;
  r.preview = true;
  EXPECT_TRUE(Print(r));
  EXPECT_EQ(Calls("Rectangle").size(), 0u);
  EXPECT_THAT(Texts(), ElementsAre("1 Alfa", "2 Beta", "3 Gamma", "Maschera True 3"));
  // The preview was drawn with its output areas marked.
  EXPECT_GE(std::count_if(preview->lines().begin(), preview->lines().end(),
                          [](const std::string& l) { return l.rfind("Rectangle", 0) == 0; }),
            2);
  printer_ = std::make_shared<RecordingTarget>();
  chosen.clear();
  EXPECT_TRUE(Print(r));
  EXPECT_TRUE(Drawn().empty());
}

}  // namespace
}  // namespace tillbook::printing
