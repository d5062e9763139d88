#include "printing/default_scripts.h"

#include <initializer_list>

namespace tillbook::printing {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kRule =
    "' =======================================================================";
constexpr const char* kVarsLine =
    "  ' prn.Vars([NomeVar]), prn.Nums([NomeVar]), prn.Strs([NomeVar]) per leggere / impostare "
    "le variabili";
constexpr const char* kVarsCountLine =
    "  ' prn.VarsCount e prn.ResetVars per contare e annullare le variabili";
constexpr const char* kModuleCountLine =
    "  ' La proprietà prn.ReportModuleCount riporta il numero di pagina (prima pagina = 0)";
constexpr const char* kReferenceNameLine =
    "  ' La proprietà prn.DataReferenceName riporta il nome identificativo dei dati in "
    "elaborazione,";
constexpr const char* kRowPositionsLine =
    "  ' N.B.: Le posizioni sono relative alla riga corrente nell'area riservata (vedi parametri)";
constexpr const char* kStopLine = "  ' Impostare False per annullare la stampa";

// Every line followed by CR LF.
std::string Terminated(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* line : lines) out.append(line).append(kCrLf);
  return out;
}

}  // namespace

std::string PrintReportMaskTemplate() {
  return Terminated({
      kRule,
      "' Composizione del codice per la stampa della maschera relativa al modulo.",
      "' Questa funzione viene richiamata alla fine di ogni pagina, la fine di una",
      "' pagina viene identificata durante l'elaborazione delle righe ogni volta che",
      "' si raggiunge il margine finale dell'area di stampa (ultima riga).",
      "Function PrintReportMask(ds, prn, bTotal)",
      "",
      "  ' Sono supportati i seguenti metodi aggiuntivi:",
      kVarsLine,
      kVarsCountLine,
      "  ' prn.RowY([bAbsolute]) e prn.CurY riportano la posizione Y in relazione al contesto di "
      "Riga e Pagina Corrente",
      "  ' prn.RowDim, prn.RowDimText e prn.RowDimCur riportano la dimensione delle riga "
      "corrente, RowDimCur è modificabile",
      "  ' prn.Preview indica che la destinazione non è la stampante (anteprima)",
      kModuleCountLine,
      "  ' N.B.: Le posizioni sono relative al modulo corrente",
      "",
      "",
      kStopLine,
      "  PrintReportMask = True",
      "",
      "End Function",
      "",
  });
}

std::string PrintReportRowTemplate() {
  return Terminated({
      kRule,
      "' Composizione del codice per la stampa di una riga.",
      "' L'avanzamento delle righe nell'area di stampa avviene automaticamente",
      "' in relazione alle impostazioni, è possibile modificare il comportamento",
      "' dell'avanzamento automatico agendo su alcune proprietà e metodi di seguito",
      "' descritti.",
      "Function PrintReportRow(dsRow, prn, nRow)",
      "",
      "  ' Sono supportati i seguenti metodi e proprietà aggiuntive:",
      kVarsLine,
      kVarsCountLine,
      kModuleCountLine,
      kReferenceNameLine,
      "  ' da considerare se la selezione della sorgente dati è < [ tutti i riferimenti ] >",
      "  ' prn.IgnoreNextNewRow = [True/False] e prn.NewRow per modificare la sequenza delle "
      "righe",
      "  ' Richiamare prn.NextReportModule per iniziare uno nuovo modulo/pagina",
      "  ' (per stampare la maschera usare <RunReportMask> prima del metodo <NextReportModule>)",
      "  ' Testare prn.LastRow / prn.ValidateRowDimNext per verificare l'ultima riga del modulo, "
      "prn.RowEnd per spostarsi.",
      kRowPositionsLine,
      "  '       Impostare prn.RowPrinting = False per usare le coordinate assolute (ripristinare "
      "sempre con prn.RowPrinting = True).",
      "",
      "",
      kStopLine,
      "  PrintReportRow = True",
      "",
      "End Function",
      "",
  });
}

std::string PrintDataInitTemplate() {
  return Terminated({
      kRule,
      "' Composizione del codice per l'inizializzazione dei dati da stampare",
      "Function PrintDataInit(dsRow, prn)",
      "",
      "  ' Sono supportati i seguenti metodi aggiuntivi:",
      kVarsLine,
      kVarsCountLine,
      "  ' Impostare eventuale dsRow.SortOrder con i campi di ordinamento (se più di uno usare la "
      "virgola)",
      "  ' Impostare eventuale dsRow.Filter con il filtro sui dati desiderati",
      kReferenceNameLine,
      "",
      "",
      kStopLine,
      "  PrintDataInit = True",
      "",
      "End Function",
      "",
  });
}

std::string PrintNoteRowTemplate() {
  return Terminated({
      kRule,
      "' Composizione del codice per la stampa di una nota ",
      "Function PrintNoteRow(sNoteRow, ds, prn, nRow)",
      "",
      "  ' Sono supportati i seguenti metodi aggiuntivi:",
      kVarsLine,
      kVarsCountLine,
      "  ' Impostare prn.IgnoreNextNewRow = True per annullare l'avanzamento della prossima riga",
      kModuleCountLine,
      kRowPositionsLine,
      "",
      "",
      kStopLine,
      "  prn.IgnoreNextNewRow = True  ' Per considerare le note nell'area delle righe eliminare "
      "questa instruzione",
      "  PrintNoteRow = True",
      "",
      "End Function",
      "",
  });
}

std::string DefaultReportScript(bool printsNotes) {
  std::string script =
      PrintReportMaskTemplate() + PrintReportRowTemplate() + PrintDataInitTemplate();
  if (printsNotes) script += PrintNoteRowTemplate();
  return script;
}

std::string DefaultLabelScript() {
  const std::string body = Terminated({
      kRule,
      "' Composizione del codice per la stampa dell'etichetta",
      "Function PrintLabel(ds, prn)",
      "",
      "  ' Sono supportati i seguenti metodi aggiuntivi:",
      kVarsLine,
      kVarsCountLine,
      "  ' prn.CopyCount riporta il numero di copia corrente",
      "",
      "",
      "  prn.SetFont 13, True, False, \"MS San Serif\"",
      "  'prn.TxtOut 0, 0, ds.FormattedColValue(\"[NomeCampo]\")",
      "",
      "  ' Impostare False per annullare la stampa",
      "  ' Impostare prn.IgnoreLabel per ignorare l'etichetta corrente",
      "  PrintLabel = True",
      "",
      "End Function",
  });
  return body.substr(0, body.size() - 2);  // joined, not terminated
}

}  // namespace tillbook::printing
