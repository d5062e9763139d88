// Default script texts, layout files (export, import, round trips, the two number and yes/no
// spellings, telling reports from labels) and layouts stored in the archive.
#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "printing/default_scripts.h"
#include "printing/layout_files.h"
#include "printing/testing/print_fixture.h"

namespace tillbook::printing {
namespace {

// `text` with every "\n" turned into CR LF: the expected texts below are written with plain line
// breaks for reading.
std::string CrLf(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

constexpr std::string_view kMaskTemplate =
    R"(' =======================================================================
' Composizione del codice per la stampa della maschera relativa al modulo.
' Questa funzione viene richiamata alla fine di ogni pagina, la fine di una
' pagina viene identificata durante l'elaborazione delle righe ogni volta che
' si raggiunge il margine finale dell'area di stampa (ultima riga).
Function PrintReportMask(ds, prn, bTotal)

  ' Sono supportati i seguenti metodi aggiuntivi:
  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili
  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili
  ' prn.RowY([bAbsolute]) e prn.CurY riportano la posizione Y in relazione al contesto di Riga e Pagina Corrente
  ' prn.RowDim, prn.RowDimText e prn.RowDimCur riportano la dimensione delle riga corrente, RowDimCur è modificabile
  ' prn.Preview indica che la destinazione non è la stampante (anteprima)
  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)
  ' N.B.: Le posizioni sono relative al modulo corrente


  ' Impostare False per annullare la stampa
  PrintReportMask = True

End Function

)";

constexpr std::string_view kRowTemplate =
    R"(' =======================================================================
' Composizione del codice per la stampa di una riga.
' L'avanzamento delle righe nell'area di stampa avviene automaticamente
' in relazione alle impostazioni, è possibile modificare il comportamento
' dell'avanzamento automatico agendo su alcune proprietà e metodi di seguito
' descritti.
Function PrintReportRow(dsRow, prn, nRow)

  ' Sono supportati i seguenti metodi e proprietà aggiuntive:
  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili
  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili
  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)
  ' La proprietà prn.DataReferenceName riporta il nome identificativo dei dati in elaborazione,
  ' da considerare se la selezione della sorgente dati è < [ tutti i riferimenti ] >
  ' prn.IgnoreNextNewRow = [True/False] e prn.NewRow per modificare la sequenza delle righe
  ' Richiamare prn.NextReportModule per iniziare uno nuovo modulo/pagina
  ' (per stampare la maschera usare <RunReportMask> prima del metodo <NextReportModule>)
  ' Testare prn.LastRow / prn.ValidateRowDimNext per verificare l'ultima riga del modulo, prn.RowEnd per spostarsi.
  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)
  '       Impostare prn.RowPrinting = False per usare le coordinate assolute (ripristinare sempre con prn.RowPrinting = True).


  ' Impostare False per annullare la stampa
  PrintReportRow = True

End Function

)";

constexpr std::string_view kDataInitTemplate =
    R"(' =======================================================================
' Composizione del codice per l'inizializzazione dei dati da stampare
Function PrintDataInit(dsRow, prn)

  ' Sono supportati i seguenti metodi aggiuntivi:
  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili
  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili
  ' Impostare eventuale dsRow.SortOrder con i campi di ordinamento (se più di uno usare la virgola)
  ' Impostare eventuale dsRow.Filter con il filtro sui dati desiderati
  ' La proprietà prn.DataReferenceName riporta il nome identificativo dei dati in elaborazione,


  ' Impostare False per annullare la stampa
  PrintDataInit = True

End Function

)";

// The second line ends with a blank.
constexpr std::string_view kNoteTemplate =
    "' =======================================================================\n"
    "' Composizione del codice per la stampa di una nota \n"
    "Function PrintNoteRow(sNoteRow, ds, prn, nRow)\n"
    "\n"
    "  ' Sono supportati i seguenti metodi aggiuntivi:\n"
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare "
    "le variabili\n"
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili\n"
    "  ' Impostare prn.IgnoreNextNewRow = True per annullare l'avanzamento della prossima riga\n"
    "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)\n"
    "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi "
    "parametri)\n"
    "\n"
    "\n"
    "  ' Impostare False per annullare la stampa\n"
    "  prn.IgnoreNextNewRow = True  ' Per considerare le note nell'area delle righe eliminare "
    "questa instruzione\n"
    "  PrintNoteRow = True\n"
    "\n"
    "End Function\n"
    "\n";

constexpr std::string_view kLabelScript =
    R"(' =======================================================================
' Composizione del codice per la stampa dell'etichetta
Function PrintLabel(ds, prn)

  ' Sono supportati i seguenti metodi aggiuntivi:
  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili
  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili
  ' prn.CopyCount riporta il numero di copia corrente


  prn.SetFont 13, True, False, "MS San Serif"
  'prn.TxtOut 0, 0, ds.FormattedColValue("[NomeCampo]")

  ' Impostare False per annullare la stampa
  ' Impostare prn.IgnoreLabel per ignorare l'etichetta corrente
  PrintLabel = True

End Function)";

TEST(DefaultScriptsTest, TemplatesAreTheStoredTextsByteForByte) {
  EXPECT_EQ(PrintReportMaskTemplate(), CrLf(kMaskTemplate));
  EXPECT_EQ(PrintReportRowTemplate(), CrLf(kRowTemplate));
  EXPECT_EQ(PrintDataInitTemplate(), CrLf(kDataInitTemplate));
  EXPECT_EQ(PrintNoteRowTemplate(), CrLf(kNoteTemplate));
  EXPECT_EQ(DefaultLabelScript(), CrLf(kLabelScript));
}

TEST(DefaultScriptsTest, ReportScriptJoinsMaskRowAndDataInitThenNotes) {
  const std::string plain = CrLf(kMaskTemplate) + CrLf(kRowTemplate) + CrLf(kDataInitTemplate);
  EXPECT_EQ(DefaultReportScript(false), plain);
  EXPECT_EQ(DefaultReportScript(true), plain + CrLf(kNoteTemplate));
  // No bare line feed anywhere: every line ends with CR LF.
  const std::string all = DefaultReportScript(true);
  for (size_t i = all.find('\n'); i != std::string::npos; i = all.find('\n', i + 1))
    ASSERT_EQ(all[i - 1], '\r') << "at " << i;
}

ReportLayout SampleReport() {
  ReportLayout l;
  l.name = "Elenco ordini";
  l.group = "Vendite";
  l.backImageFile = "/immagini/carta intestata.png";
  l.backBottomMargin = 12.5;
  l.columns = 2;
  l.moduleHeight = 148.5;
  l.moduleWidth = 105;
  l.top = 5;
  l.left = 7.25;
  l.rowHeight = 4.5;
  l.rowsTop = 30;
  l.rowsBottom = 120;
  l.landscape = true;
  l.script = DefaultReportScript(true);
  return l;
}

TEST(LayoutFilesTest, ReportExportWritesTheHeaderInOrderThenTheScript) {
  ReportLayout l = SampleReport();
  l.script = "Function PrintReportRow(dsRow, prn, nRow)\r\nEnd Function\r\n";
  EXPECT_EQ(ExportReportLayout(l), CrLf("'#ReportName=Elenco ordini\n"
                                        "'#ReportGroup=Vendite\n"
                                        "'#BackImageFile=/immagini/carta intestata.png\n"
                                        "'#BottomImageBorder=12.5\n"
                                        "'#Columns=2\n"
                                        "'#ReportHeight=148.5\n"
                                        "'#ReportWidth=105\n"
                                        "'#ReportTop=5\n"
                                        "'#ReportLeft=7.25\n"
                                        "'#ReportRowsDim=4.5\n"
                                        "'#ReportRowsTop=30\n"
                                        "'#ReportRowsBottom=120\n"
                                        "'#HorizontalOrientation=True\n"
                                        "Function PrintReportRow(dsRow, prn, nRow)\n"
                                        "End Function\n"));
}

TEST(LayoutFilesTest, ReportRoundTripIsByteExact) {
  const ReportLayout original = SampleReport();
  const std::string file = ExportReportLayout(original);
  const LayoutFile read = ReadLayoutFile(file);
  ASSERT_EQ(read.kind, LayoutKind::Report);
  ReportLayout copy;
  ApplyLayoutFile(read, copy);
  EXPECT_EQ(copy.script, original.script);
  EXPECT_EQ(ExportReportLayout(copy), file);
  EXPECT_EQ(copy.name, original.name);
  EXPECT_EQ(copy.group, original.group);
  EXPECT_EQ(copy.backImageFile, original.backImageFile);
  EXPECT_DOUBLE_EQ(copy.left, 7.25);
  EXPECT_TRUE(copy.landscape);
}

TEST(LayoutFilesTest, LabelRoundTripIsByteExactAndTellsItsKind) {
  LabelLayout l;
  l.columns = 3;
  l.labelHeight = 36;
  l.labelWidth = 70;
  l.top = 4.5;
  l.left = 0;
  l.enableAlignment = true;
  l.copies = 2;
  l.script = DefaultLabelScript();
  const std::string file = ExportLabelLayout(l);
  EXPECT_EQ(file, CrLf("'#Columns=3\n'#LabelHeight=36\n'#LabelWidth=70\n'#LabelTop=4.5\n"
                       "'#LabelLeft=0\n'#HorizontalOrientation=False\n'#EnableLabelAlignment=True\n"
                       "'#CopyNumber=2\n") +
                      DefaultLabelScript());
  const LayoutFile read = ReadLayoutFile(file);
  ASSERT_EQ(read.kind, LayoutKind::Label);
  LabelLayout copy;
  ApplyLayoutFile(read, copy);
  EXPECT_EQ(ExportLabelLayout(copy), file);
  EXPECT_EQ(copy.copies, 2);
  EXPECT_TRUE(copy.enableAlignment);
}

TEST(LayoutFilesTest, ImportReadsItalianSpellingsAndKeepsAGivenName) {
  const std::string file =
      "'#ReportName=Dal file\r\n'#ReportTop=12,5\r\n'#HorizontalOrientation=Vero\r\n"
      "'#Columns=3\r\n'#Sconosciuta=1\r\nRiga 1\nRiga 2\rRiga 3";
  const LayoutFile read = ReadLayoutFile(file);
  ReportLayout named;
  named.name = "Mio";
  ApplyLayoutFile(read, named);
  EXPECT_EQ(named.name, "Mio");
  EXPECT_DOUBLE_EQ(named.top, 12.5);
  EXPECT_TRUE(named.landscape);
  EXPECT_EQ(named.columns, 3);
  // Unknown header keys are dropped; any line break becomes CR LF.
  EXPECT_EQ(named.script, "Riga 1\r\nRiga 2\r\nRiga 3");
  ReportLayout unnamed;
  ApplyLayoutFile(read, unnamed);
  EXPECT_EQ(unnamed.name, "Dal file");
  ApplyLayoutFile(ReadLayoutFile("'#ReportName=x\r\n'#HorizontalOrientation=Falso\r\n"), unnamed);
  EXPECT_FALSE(unnamed.landscape);
}

TEST(LayoutFilesTest, RefusesFilesOfNoKindAndUnreadableValues) {
  struct Case {
    const char* file;
    const char* message;
  } cases[] = {
      {"Function PrintLabel(ds, prn)\r\nEnd Function",
       "Il file non contiene le impostazioni di un prospetto di stampa né quelle di una stampa "
       "di etichette."},
      {"'#Columns=2\r\n'#HorizontalOrientation=True\r\n", "Il file non contiene"},
      {"'#ReportName=a\r\n'#LabelHeight=3\r\n", "Il file non contiene"},
      {"'#ReportName=a\r\n'#ReportTop=12.5mm\r\n",
       "Il valore di ReportTop non è un numero: 12.5mm"},
      {"'#LabelTop=1\r\n'#EnableLabelAlignment=forse\r\n",
       "Il valore di EnableLabelAlignment non è Vero o Falso: forse"},
  };
  for (const Case& c : cases) {
    try {
      const LayoutFile read = ReadLayoutFile(c.file);
      ReportLayout report;
      LabelLayout label;
      if (read.kind == LayoutKind::Report)
        ApplyLayoutFile(read, report);
      else
        ApplyLayoutFile(read, label);
      ADD_FAILURE() << "accepted: " << c.file;
    } catch (const Error& e) {
      EXPECT_EQ(e.message().rfind(c.message, 0), 0u) << e.message();
    }
  }
}

using StoredLayoutsTest = testing::PrintFixture;

TEST_F(StoredLayoutsTest, SaveOverwritesTheSameKeyAndKeepsOthers) {
  ReportLayout a = ListLayout("Elenco", "A");
  AddLayout(a);
  ReportLayout detail = ListLayout("Elenco", "B");
  detail.reference = "Righe";
  AddLayout(detail);
  a.script = "A2";
  a.top = 9.5;
  AddLayout(a);
  EXPECT_EQ(connection_->Count("TabProspettiStampa"), 2);
  auto stored = FindReportLayout(*connection_, "Ordini", "", "Elenco");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->script, "A2");
  EXPECT_DOUBLE_EQ(stored->top, 9.5);
  EXPECT_EQ(stored->printer, "Stampante");
  EXPECT_EQ(FindReportLayout(*connection_, "Ordini", "Righe", "Elenco")->script, "B");
  EXPECT_FALSE(FindReportLayout(*connection_, "Ordini", "", "Altro"));
}

TEST_F(StoredLayoutsTest, ArchiveToFileToArchiveKeepsEverythingButTablePrinterReference) {
  ReportLayout original = SampleReport();
  original.table = "Ordini";
  original.reference = "Righe";
  original.printer = "Laser";
  original.askPrinter = true;
  AddLayout(original);
  const std::string file =
      ExportReportLayout(*FindReportLayout(*connection_, "Ordini", "Righe", "Elenco ordini"));
  ReportLayout imported;
  imported.table = "Ordini";
  ApplyLayoutFile(ReadLayoutFile(file), imported);
  ASSERT_TRUE(SaveReportLayout(*connection_, imported));
  auto back = FindReportLayout(*connection_, "Ordini", "", "Elenco ordini");
  ASSERT_TRUE(back);
  EXPECT_EQ(ExportReportLayout(*back), file);
  EXPECT_EQ(back->printer, "");
  EXPECT_FALSE(back->askPrinter);
}

}  // namespace
}  // namespace tillbook::printing
