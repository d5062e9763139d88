// The script texts the program offers for new layouts, labels, barcode filters, exports and
// migrations, exactly as stored (CR LF line ends, Italian comments with accents), parse and
// run the way their hosts call them.
#include <gtest/gtest.h>

#include <map>

#include "base/text.h"
#include "vbscript/interpreter.h"

namespace tillbook::vbscript {
namespace {

std::string Lines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* l : lines) out += std::string(l) + "\r\n";
  return out;
}

const std::string kReportMask = Lines({
    "' =======================================================================",
    "' Composizione del codice per la stampa della maschera relativa al modulo.",
    "' Questa funzione viene richiamata alla fine di ogni pagina, la fine di una",
    "' pagina viene identificata durante l'elaborazione delle righe ogni volta che",
    "' si raggiunge il margine finale dell'area di stampa (ultima riga).",
    "Function PrintReportMask(ds, prn, bTotal)",
    "",
    "  ' Sono supportati i seguenti metodi aggiuntivi:",
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili",
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili",
    "  ' prn.RowY([bAbsolute]) e prn.CurY riportano la posizione Y in relazione al contesto di Riga e Pagina Corrente",
    "  ' prn.RowDim, prn.RowDimText e prn.RowDimCur riportano la dimensione delle riga corrente, RowDimCur è modificabile",
    "  ' prn.Preview indica che la destinazione non è la stampante (anteprima)",
    "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)",
    "  ' N.B.: Le posizioni sono relative al modulo corrente",
    "",
    "",
    "  ' Impostare False per annullare la stampa",
    "  PrintReportMask = True",
    "",
    "End Function",
    "",
});

const std::string kReportRow = Lines({
    "' =======================================================================",
    "' Composizione del codice per la stampa di una riga.",
    "' L'avanzamento delle righe nell'area di stampa avviene automaticamente",
    "' in relazione alle impostazioni, è possibile modificare il comportamento",
    "' dell'avanzamento automatico agendo su alcune proprietà e metodi di seguito",
    "' descritti.",
    "Function PrintReportRow(dsRow, prn, nRow)",
    "",
    "  ' Sono supportati i seguenti metodi e proprietà aggiuntive:",
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili",
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili",
    "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)",
    "  ' La proprietà prn.DataReferenceName riporta il nome identificativo dei dati in elaborazione,",
    "  ' da considerare se la selezione della sorgente dati è < [ tutti i riferimenti ] >",
    "  ' prn.IgnoreNextNewRow = [True/False] e prn.NewRow per modificare la sequenza delle righe",
    "  ' Richiamare prn.NextReportModule per iniziare uno nuovo modulo/pagina",
    "  ' (per stampare la maschera usare <RunReportMask> prima del metodo <NextReportModule>)",
    "  ' Testare prn.LastRow / prn.ValidateRowDimNext per verificare l'ultima riga del modulo, prn.RowEnd per spostarsi.",
    "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)",
    "  '       Impostare prn.RowPrinting = False per usare le coordinate assolute (ripristinare sempre con prn.RowPrinting = True).",
    "",
    "",
    "  ' Impostare False per annullare la stampa",
    "  PrintReportRow = True",
    "",
    "End Function",
    "",
});

const std::string kDataInit = Lines({
    "' =======================================================================",
    "' Composizione del codice per l'inizializzazione dei dati da stampare",
    "Function PrintDataInit(dsRow, prn)",
    "",
    "  ' Sono supportati i seguenti metodi aggiuntivi:",
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili",
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili",
    "  ' Impostare eventuale dsRow.SortOrder con i campi di ordinamento (se più di uno usare la virgola)",
    "  ' Impostare eventuale dsRow.Filter con il filtro sui dati desiderati",
    "  ' La proprietà prn.DataReferenceName riporta il nome identificativo dei dati in elaborazione,",
    "",
    "",
    "  ' Impostare False per annullare la stampa",
    "  PrintDataInit = True",
    "",
    "End Function",
    "",
});

const std::string kNoteRow = Lines({
    "' =======================================================================",
    "' Composizione del codice per la stampa di una nota ",
    "Function PrintNoteRow(sNoteRow, ds, prn, nRow)",
    "",
    "  ' Sono supportati i seguenti metodi aggiuntivi:",
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili",
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili",
    "  ' Impostare prn.IgnoreNextNewRow = True per annullare l'avanzamento della prossima riga",
    "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)",
    "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)",
    "",
    "",
    "  ' Impostare False per annullare la stampa",
    "  prn.IgnoreNextNewRow = True  ' Per considerare le note nell'area delle righe eliminare questa instruzione",
    "  PrintNoteRow = True",
    "",
    "End Function",
    "",
});

// Joined by CR LF without a final line end.
const std::string kLabel =
    "' =======================================================================\r\n"
    "' Composizione del codice per la stampa dell'etichetta\r\n"
    "Function PrintLabel(ds, prn)\r\n"
    "\r\n"
    "  ' Sono supportati i seguenti metodi aggiuntivi:\r\n"
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare le variabili\r\n"
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili\r\n"
    "  ' prn.CopyCount riporta il numero di copia corrente\r\n"
    "\r\n"
    "\r\n"
    "  prn.SetFont 13, True, False, \"MS San Serif\"\r\n"
    "  'prn.TxtOut 0, 0, ds.FormattedColValue(\"[NomeCampo]\")\r\n"
    "\r\n"
    "  ' Impostare False per annullare la stampa\r\n"
    "  ' Impostare prn.IgnoreLabel per ignorare l'etichetta corrente\r\n"
    "  PrintLabel = True\r\n"
    "\r\n"
    "End Function";

const std::string kBarcode =
    "Function BarCodeFilter( sOriginalCode )\r\n"
    "  ' Composizione del codice per il filtro sui codici a barre\r\n"
    "  ' usando VBScript\r\n"
    "  BarCodeFilter = sOriginalCode\r\n"
    "End function";

const std::string kExport =
    "Function ExportRow()\r\n"
    "' <dsRow> Elemento dati da esportare (DataSource)\r\n"
    "' <dsRow.MemoVars(\"AccodamentoDati\")> Riporta True se esiste un file precedente\r\n"
    "' <objOut.WriteLine> Per accodare le righe di dati (FileSystemObject)\r\n"
    "' <cnADODest> Connessione (ADO) al DB di destinazione per eventuale accesso alle informazioni "
    "mancanti nell'origine\r\n"
    "'    N.B. Accedere mediante un recordset ADO nel seguente modo:\r\n"
    "'             Set rstData = CreateObject(\"ADODB.Recordset\")\r\n"
    "'             rstData.Open \"[query]\", cnADODest, 3, 3\r\n"
    "ExportRow = True      ' Impostare False per interrompere l'esportazione\r\n"
    "End Function";

// Records every member a script reaches, answers properties with stored values.
class Recorder : public Object {
 public:
  explicit Recorder(std::string type) : type_(std::move(type)) {}
  std::string TypeName() const override { return type_; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    std::string call = std::string(name);
    for (auto& a : args) call += " " + a.ToText();
    calls.push_back(call);
    std::string key = text::Fold(name);
    if (kind == InvokeKind::Let) {
      values[key] = args.back();
      return {};
    }
    return values.count(key) ? values[key] : Variant();
  }
  std::vector<std::string> calls;
  std::map<std::string, Variant> values;

 private:
  std::string type_;
};

TEST(Templates, ReportHooksRunAndReturnTrue) {
  Interpreter interpreter;
  interpreter.AddCode(kReportMask + kReportRow + kDataInit + kNoteRow);
  auto prn = std::make_shared<Recorder>("clsCustomReport");
  auto ds = std::make_shared<Recorder>("DataSource");
  auto obj = [](auto& p) { return Variant::Object(p); };
  std::vector<Variant> init{obj(ds), obj(prn)};
  EXPECT_TRUE(interpreter.Call("PrintDataInit", init).ToBool());
  std::vector<Variant> row{obj(ds), obj(prn), Variant::Integer(1)};
  EXPECT_TRUE(interpreter.Call("PrintReportRow", row).ToBool());
  std::vector<Variant> note{Variant::String("nota"), obj(ds), obj(prn), Variant::Integer(2)};
  EXPECT_TRUE(interpreter.Call("PrintNoteRow", note).ToBool());
  EXPECT_EQ(prn->calls, (std::vector<std::string>{"IgnoreNextNewRow True"}));
  std::vector<Variant> mask{obj(ds), obj(prn), Variant::Boolean(true)};
  EXPECT_TRUE(interpreter.Call("PrintReportMask", mask).ToBool());
}

TEST(Templates, LabelSetsItsFont) {
  Interpreter interpreter;
  interpreter.SetTimeLimit(std::chrono::milliseconds(30000));
  interpreter.AddCode(kLabel);
  auto prn = std::make_shared<Recorder>("clsLabelPrint");
  std::vector<Variant> args{Variant::Nothing(), Variant::Object(prn)};
  EXPECT_TRUE(interpreter.Call("PrintLabel", args).ToBool());
  EXPECT_EQ(prn->calls, (std::vector<std::string>{"SetFont 13 True False MS San Serif"}));
}

TEST(Templates, BarcodeFilterReturnsTheCode) {
  Interpreter interpreter;
  interpreter.AddCode(kBarcode);
  std::vector<Variant> args{Variant::String("8001234567890")};
  EXPECT_EQ(interpreter.Call("BarCodeFilter", args).ToText(), "8001234567890");
}

TEST(Templates, ExportRowWithNamedObjects) {
  Interpreter interpreter;
  auto dsRow = std::make_shared<Recorder>("DataSource");
  auto out = std::make_shared<Recorder>("TextStream");
  interpreter.AddObject("dsRow", dsRow);
  interpreter.AddObject("objOut", out);
  interpreter.AddObject("cnADODest", std::make_shared<Recorder>("Connection"));
  interpreter.AddCode(kExport);
  EXPECT_TRUE(interpreter.Call("ExportRow", {}).ToBool());
  // A hand-written export body using the same objects.
  interpreter.AddCode(
      "Function ExportRow()\r\n"
      "  If dsRow.MemoVars(\"AccodamentoDati\") Then objOut.WriteLine \"--\"\r\n"
      "  objOut.WriteLine Left(\"ABC\" & Space(10), 10) & Replace(FormatNumber(12.5, 2), \",\", \".\")\r\n"
      "  ExportRow = True\r\nEnd Function");
  EXPECT_TRUE(interpreter.Call("ExportRow", {}).ToBool());
  EXPECT_EQ(out->calls.back(), "WriteLine ABC       12.50");
}

TEST(Templates, MigrationWrappers) {
  Interpreter interpreter;
  interpreter.AddObject("rstOrigin", std::make_shared<Recorder>("Recordset"));
  interpreter.AddObject("dsDest", std::make_shared<Recorder>("DataSource"));
  interpreter.AddCode("Function RestartDate(dtRipartenza)\r\n  dtRipartenza = dtRipartenza - 7\r\nEnd Function");
  interpreter.AddCode("Function ImportRow(bIgnore)\r\n  bIgnore = True\r\n  ImportRow = True\r\nEnd Function");
  interpreter.AddCode("Function GetValue_Descrizione(vntValue,vntRetValue)\r\n"
                      "  vntRetValue = UCase(vntValue)\r\nEnd Function");
  std::vector<Variant> date{Variant::Date(*DateTime::FromParts(2024, 1, 8))};
  interpreter.Call("RestartDate", date);
  EXPECT_EQ(date[0].ToDateTime(), *DateTime::FromParts(2024, 1, 1));
  std::vector<Variant> ignore{Variant::Boolean(false)};
  EXPECT_TRUE(interpreter.Call("ImportRow", ignore).ToBool());
  EXPECT_TRUE(ignore[0].ToBool());
  std::vector<Variant> value{Variant::String("vite"), Variant()};
  interpreter.Call("GetValue_Descrizione", value);
  EXPECT_EQ(value[1].ToText(), "VITE");
}

TEST(Templates, InsertionMenuCallsParse) {
  Interpreter interpreter;
  interpreter.AddCode(
      "Sub Use(prn, ds, dsRow)\r\n"
      "  TxtOut nY, nX, \"testo\", nWrapLen, bMantainOriginalWrap\r\n"
      "  TxtOutR nY, nEndX, \"testo\"\r\n"
      "  TxtOutV nY, nX, \"testo\", bDownToUp, bBaseToLastChar\r\n"
      "  BoxOut nY, nX, nDimY, nDimX, bFill, bShadow\r\n"
      "  LineOut nY, nX, nToY, nToX\r\n"
      "  CircleOut nY, nX, nRadius, bFill\r\n"
      "  ImageOut sFile, nY, nX, nDimY, nDimX, bStretch\r\n"
      "  x = ds.ColValue(\"Campo\") & dsRow.RowCount(True)\r\n"
      "  If prn.DataReferenceName=\"Dettagli\" Then\r\n  End If\r\n"
      "End Sub");
  EXPECT_TRUE(interpreter.HasFunction("Use"));
}

}  // namespace
}  // namespace tillbook::vbscript
