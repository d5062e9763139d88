#include "printing/modCustomReport.h"

#include <algorithm>
#include <set>

#include "base/error.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/jet/jet_literal.h"
#include "engine/script_dataset.h"
#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/held_target.h"
#include "printing/layouts.h"
#include "printing/report_script.h"
#include "printing/surface.h"

namespace tillbook::printing {

namespace {

using engine::Buttons;
using engine::Icon;

constexpr int kPreviewPageLimit = 16;

std::string Literal(const std::string& s) {
  return jet::JetLiteral(Variant::String(s));
}

// The table owning `table`'s rows (a document's for its detail rows); empty for a table of its
// own.
std::string ParentTable(engine::Connection& connection, const std::string& table) {
  const engine::TableInfo* t = connection.catalog().Find(table);
  if (!t || t->owners.empty()) return {};
  return t->owners.front().owner->name;
}

// How a copy of a run ended: all its data printed, ended early as asked (row limit, test
// mode: what was printed stands), or stopped (a hook said False or failed, Stop was pressed).
enum class Flow { Printed, Ended, Stopped };

class ReportRun {
 public:
  ReportRun(const PrintServices& services, const ReportSource& source, PrintRequest& request)
      : services_(services),
        ui_(*services.ui),
        source_(source),
        connection_(*source.connection),
        rows_(source.rows->dataSet()),
        request_(request),
        table_(rows_.request().table) {}

  bool Execute();

 private:
  bool PrepareEngine();
  std::optional<ReportLayout> ChooseLayout();
  std::string NotFoundText() const;
  std::string Caption() const;
  bool ChecksPass();
  bool RunCopies();
  Flow RunCopy(const std::optional<int64_t>& record, const std::string& progressText);
  Flow PrintDataSet(ReportScript& script, const std::string& name,
                    const std::shared_ptr<engine::ScriptDataSet>& set, int& step);
  Flow PrintNotes(ReportScript& script, const std::vector<std::string>& notes, int& step);
  bool Mask(ReportScript& script, bool total);
  bool TestModuleDone() const {
    return request_.rowLimit == -1 && report_->ReportModuleCount() >= 1;
  }
  std::vector<std::pair<std::string, std::shared_ptr<engine::ScriptDataSet>>> DataSets();
  std::vector<std::string> NoteLines();
  bool CurrentFlag(const std::string& field);
  void ConfirmPrinted();
  void Finish();

  const PrintServices& services_;
  engine::UiServices& ui_;
  const ReportSource& source_;
  engine::Connection& connection_;
  engine::DataSet& rows_;
  PrintRequest& request_;
  std::string table_;
  std::string reference_;
  std::string layoutName_;  // the layout chosen; empty for an engine handed in
  std::shared_ptr<clsCustomReport> report_;
  std::shared_ptr<HeldTarget> held_;
  int nRow_ = 0;
  int documents_ = 0;  // copies begun in this run
};

std::string ReportRun::Caption() const {
  if (!source_.caption.empty()) return source_.caption;
  const std::string& caption = connection_.Table(table_).def->Caption;
  return caption.empty() ? table_ : caption;
}

std::string ReportRun::NotFoundText() const {
  std::string data = Caption();
  const std::string& reference = request_.referenceName;
  if (reference == "*" || reference == kAllReferences) {
    data += "." + reference;
  } else if (!reference.empty()) {
    const engine::ReferenceInfo* ref = connection_.Table(table_).FindReference(reference);
    const std::string caption = ref && ref->target ? ref->target->def->Caption : std::string();
    data += "." + (caption.empty() ? reference : caption);
  }
  return "Report non trovato/i\n\nConfigurare almeno un Report per i dati <" + data + ">...";
}

std::optional<ReportLayout> ReportRun::ChooseLayout() {
  engine::DataSet layouts(connection_,
                          {"TabProspettiStampa",
                           ReportLayoutFilter(connection_, table_, request_.referenceName,
                                              request_.reportName, request_.groupName),
                           "", "NomeProspetto"});
  const int64_t count = layouts.RowCount();
  if (count == 0) {
    ui_.MessageBox(NotFoundText(), Buttons::Ok, Icon::Information);
    return std::nullopt;
  }
  layouts.First();
  if (count > 1) {
    std::vector<std::string> names;
    for (layouts.First(); !layouts.IsEOF(); layouts.Next())
      names.push_back(layouts.ColValue("NomeProspetto").ToText());
    const std::optional<size_t> pick =
        ui_.SelectFromList("Selezione Report", "Scegliere il Report da stampare:", names);
    if (!pick || *pick >= names.size()) return std::nullopt;
    layouts.Move(static_cast<int64_t>(*pick));
  }
  return ReadReportLayout(*layouts.CurrentRow());
}

bool ReportRun::PrepareEngine() {
  if (request_.report) {
    report_ = request_.report;
    reference_ = request_.referenceName;
    return true;
  }
  std::optional<ReportLayout> layout = ChooseLayout();
  if (!layout) return false;
  std::string printer = layout->printer;
  if (!request_.preview && (layout->askPrinter || printer.empty()) && services_.choosePrinter) {
    std::optional<PrinterChoice> choice = services_.choosePrinter(request_.copies);
    if (!choice) return false;
    printer = choice->printer;
    request_.copies = choice->copies;
  }
  std::shared_ptr<ReportTarget> real;
  if (request_.preview) {
    if (!services_.preview) throw Error("L'anteprima di stampa non è disponibile.");
    real = services_.preview;
  } else {
    real = FindPrinter(services_, printer);
  }
  held_ = std::make_shared<HeldTarget>(real);
  report_ = std::make_shared<clsCustomReport>(ui_, services_.programFolder, services_.printers);
  const ReportLayout& l = *layout;
  report_->SetParameter(held_, l.moduleHeight, l.moduleWidth, l.top, l.left,
                        static_cast<int16_t>(l.columns), l.rowHeight, l.rowsTop, l.rowsBottom,
                        l.backImageFile, l.backBottomMargin, l.script, l.landscape, l.group);
  reference_ = l.reference;
  layoutName_ = l.name;
  return true;
}

bool ReportRun::CurrentFlag(const std::string& field) {
  if (rows_.IsBOF() || rows_.IsEOF()) return false;
  std::optional<engine::Row> row = rows_.CurrentRow();
  if (!row) return false;
  const Variant v = row->Get(field);
  return !v.IsNull() && !v.IsEmpty() && v.ToBool();
}

bool ReportRun::ChecksPass() {
  if (request_.selection && request_.selection->empty()) {
    ui_.MessageBox("Nessun elemento da stampare", Buttons::Ok, Icon::Information);
    return false;
  }
  if (!request_.selection) {
    if (!reference_.empty() && (rows_.IsBOF() || rows_.IsEOF())) {
      ui_.MessageBox("Devi selezionare l'elemento da stampare", Buttons::Ok, Icon::Information);
      return false;
    }
    if (reference_.empty() && rows_.IsEmpty()) {
      ui_.MessageBox("Nessun elemento da stampare", Buttons::Ok, Icon::Information);
      return false;
    }
  }
  if (!reference_.empty() && !request_.printedField.empty() && CurrentFlag(request_.printedField))
    return ui_.MessageBox("LA STAMPA RISULTA GIA' COMPLETATA...\n\nCONTINUARE ?", Buttons::YesNo,
                          Icon::Question, 1) == engine::Answer::Yes;
  return true;
}

std::vector<std::string> ReportRun::NoteLines() {
  if (text::Trim(request_.noteField).empty() || rows_.IsBOF() || rows_.IsEOF()) return {};
  std::optional<engine::Row> row = rows_.CurrentRow();
  const Variant v = row ? row->Get(request_.noteField) : Variant();
  const std::string note = v.IsNull() || v.IsEmpty() ? std::string() : v.ToText();
  if (note.empty()) return {};
  // Stored notes end their lines with CR LF, LF or CR: each is one line break.
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < note.size(); ++i) {
    if (note[i] == '\r' || note[i] == '\n') {
      if (note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += note[i];
    }
  }
  return lines;
}

std::vector<std::pair<std::string, std::shared_ptr<engine::ScriptDataSet>>> ReportRun::DataSets() {
  if (reference_.empty()) return {{table_, source_.rows}};
  std::optional<engine::Row> row = rows_.CurrentRow();
  if (!row) throw Error("Devi selezionare l'elemento da stampare");
  const engine::TableInfo& table = connection_.Table(table_);
  std::vector<std::pair<std::string, std::shared_ptr<engine::ScriptDataSet>>> sets;
  if (reference_ == kAllReferences) {
    for (const auto& ref : table.references) {
      if (!ref->def->list) continue;
      auto set = std::make_shared<engine::ScriptDataSet>(connection_, *row, *ref);
      if (!set->dataSet().IsEmpty()) sets.emplace_back(ref->def->name, set);
    }
    return sets;
  }
  const engine::ReferenceInfo* ref = table.FindReference(reference_);
  if (!ref) throw Error("La tabella " + table_ + " non ha il riferimento " + reference_ + ".");
  sets.emplace_back(ref->def->name,
                    std::make_shared<engine::ScriptDataSet>(connection_, *row, *ref));
  return sets;
}

bool ReportRun::Mask(ReportScript& script, bool total) {
  const int64_t position = rows_.Position();
  const bool go_on = script.ReportMask(Variant::Object(source_.rows), total);
  rows_.Move(position);
  return go_on;
}

Flow ReportRun::PrintDataSet(ReportScript& script, const std::string& name,
                             const std::shared_ptr<engine::ScriptDataSet>& set, int& step) {
  const bool ownRows = reference_.empty();
  report_->SetDataReferenceName(ownRows ? std::string() : name);
  const Variant dsRow = Variant::Object(set);
  if (!script.DataInit(dsRow, name)) return Flow::Stopped;
  engine::DataSet& data = set->dataSet();
  const std::vector<int64_t>* selected =
      ownRows && request_.selection ? &*request_.selection : nullptr;
  size_t next = 0;
  if (selected)
    data.Move((*selected)[next++]);
  else
    data.First();
  while (!data.IsEOF()) {
    if (!ui_.ProgressStep(++step)) return Flow::Stopped;
    if (!script.ReportRow(dsRow, ++nRow_)) return Flow::Stopped;
    if (!report_->ValidateRowDimNext()) {
      if (!Mask(script, false)) return Flow::Stopped;
      report_->NextReport();
    }
    if (request_.rowLimit >= 1 && nRow_ >= request_.rowLimit) return Flow::Ended;
    if (!selected) {
      data.Next();
    } else if (next < selected->size()) {
      data.Move((*selected)[next++]);
    } else {
      break;
    }
    if (TestModuleDone()) return Flow::Ended;
  }
  return Flow::Printed;
}

Flow ReportRun::PrintNotes(ReportScript& script, const std::vector<std::string>& notes, int& step) {
  const Variant ds = Variant::Object(source_.rows);
  for (const std::string& line : notes) {
    if (!ui_.ProgressStep(++step)) return Flow::Stopped;
    if (!script.NoteRow(line, ds, ++nRow_)) return Flow::Stopped;
    if (!report_->ValidateRowDimNext()) {
      if (!Mask(script, false)) return Flow::Stopped;
      report_->NextReport();
      if (request_.preview && report_->ReportCount() >= kPreviewPageLimit) {
        ui_.MessageBox("Il numero massimo di pagine per l'anteprima è " +
                           std::to_string(kPreviewPageLimit) +
                           "\n\nAnteprima di stampa interrotta...",
                       Buttons::Ok, Icon::Information);
        return Flow::Ended;
      }
    }
    if (TestModuleDone()) return Flow::Ended;
  }
  return Flow::Printed;
}

Flow ReportRun::RunCopy(const std::optional<int64_t>& record, const std::string& progressText) {
  // A printer keeps one document for the whole run: every copy after the first starts a page.
  if (documents_++ > 0 && !request_.preview && report_->surface()) report_->surface()->NewPage();
  report_->SetMarkOutputAreas(request_.preview || request_.rowLimit == -1);
  report_->InitializeVars();
  report_->SetIgnoreNextNewRow(true);
  if (record)
    rows_.Move(*record);
  else if (reference_.empty())
    rows_.First();
  const std::vector<std::string> notes = NoteLines();
  const auto sets = DataSets();
  int64_t total = static_cast<int64_t>(notes.size()) + 1;
  for (const auto& [name, set] : sets) total += set->dataSet().RowCount();
  ui_.ProgressStart(progressText, static_cast<int>(total));
  report_->ResetVars();
  std::unique_ptr<ReportScript> script = ReportScript::Create(
      ui_, report_, PrintScriptText({}, *report_, !text::Trim(request_.noteField).empty()),
      layoutName_);
  if (!script) return Flow::Stopped;
  nRow_ = 0;
  int step = 0;
  Flow flow = Flow::Printed;
  for (const auto& [name, set] : sets) {
    flow = PrintDataSet(*script, name, set, step);
    if (flow != Flow::Printed) break;
  }
  if (flow == Flow::Printed) flow = PrintNotes(*script, notes, step);
  // A row limit or a preview cut short ends without the totals.
  if (flow == Flow::Stopped || (flow == Flow::Ended && request_.rowLimit != -1)) return flow;
  // A test run that filled its module has shown what it had to; every other run closes with
  // the totals.
  const bool testModuleDone = request_.rowLimit == -1 && report_->ReportModuleCount() != 0;
  if (report_->ValidateRowDimNext() && !testModuleDone) {
    if (rows_.IsEOF() && !rows_.IsEmpty()) rows_.Last();
    if (!script->ReportMask(Variant::Object(source_.rows), true)) return Flow::Stopped;
    report_->NextReport();
  }
  return flow == Flow::Ended ? Flow::Ended : Flow::Printed;
}

bool ReportRun::RunCopies() {
  std::vector<std::optional<int64_t>> records;
  if (request_.selection && !reference_.empty())
    records.assign(request_.selection->begin(), request_.selection->end());
  else
    records.push_back(request_.selection ? std::optional<int64_t>(request_.selection->front())
                                         : std::nullopt);
  const size_t n = records.size();
  documents_ = 0;
  const int copies = std::max(1, request_.copies);
  for (size_t i = 0; i < n; ++i) {
    for (int c = 1; c <= copies; ++c) {
      std::string text =
          request_.preview ? "Elaborazione anteprima in corso..." : "Stampa in corso...";
      if (n >= 2) {
        text =
            "Elaborazione in corso...  (" + std::to_string(i + 1) + "/" + std::to_string(n) + ")";
        if (copies >= 2) text += "  -  Copia " + std::to_string(c) + "/" + std::to_string(copies);
      }
      if (RunCopy(records[i], text) == Flow::Stopped) return false;
    }
  }
  return true;
}

void ReportRun::Finish() {
  report_->EndReports();
  if (held_) held_->Release();
}

void ReportRun::ConfirmPrinted() {
  const std::string& field = request_.printedField;
  if (reference_.empty() || field.empty() || request_.rowLimit != 0 || CurrentFlag(field)) return;
  if (!ui_.AskYesNo("STAMPATO CORRETTAMENTE ?\n\nNOTA: confermare solo se si considera "
                    "completata la fase di stampa."))
    return;
  ui_.ProgressStart("Conferma stampa campletata...", 1);
  std::optional<engine::Row> row = rows_.CurrentRow();
  if (row)
    connection_.RunAction([&] { return row->Set(field, Variant::Boolean(true)) && row->Save(); });
  ui_.ProgressEnd();
}

bool ReportRun::Execute() {
  if (!PrepareEngine() || !ChecksPass()) return false;
  bool completed = RunCopies();
  ui_.ProgressEnd();
  if (completed && request_.preview) {
    Finish();
    const std::string printer = services_.showPreview ? services_.showPreview() : std::string();
    if (printer.empty()) return true;
    request_.preview = false;
    held_ = std::make_shared<HeldTarget>(FindPrinter(services_, printer));
    report_->ChangePrinter(held_);
    completed = RunCopies();
    ui_.ProgressEnd();
  }
  if (!completed) {
    if (held_) held_->Discard();
    report_->EndReports();
    return false;
  }
  Finish();
  ConfirmPrinted();
  return true;
}

}  // namespace

std::string ReportLayoutFilter(engine::Connection& connection, const std::string& table,
                               const std::string& referenceName, const std::string& reportName,
                               const std::string& groupName) {
  std::string filter;
  std::set<std::string> seen;  // a definition error must not loop the lookup forever
  for (std::string t = table; !t.empty() && seen.insert(t).second;) {
    filter += "NomeTabellaOrigine=" + Literal(t);
    if (referenceName == "*") {
      filter += " AND NomeReference<>''";
    } else if (!referenceName.empty()) {
      filter += " AND NomeReference=" + Literal(referenceName);
      break;
    }
    t = ParentTable(connection, t);
    if (!t.empty()) filter = "(" + filter + ") OR ";
  }
  if (!reportName.empty()) filter = "(" + filter + ") AND NomeProspetto=" + Literal(reportName);
  if (!groupName.empty()) filter = "(" + filter + ") AND NomeGruppo=" + Literal(groupName);
  return filter;
}

std::shared_ptr<ReportTarget> FindPrinter(const PrintServices& services, const std::string& name) {
  std::shared_ptr<ReportTarget> target;
  if (services.printers) target = services.printers(name);
  if (!target && services.printers && !name.empty()) target = services.printers("");
  if (!target)
    throw Error(
        "Nessuna stampante configurata.\n\nImpossibile stabilire le dimensioni predefinite del "
        "foglio...");
  return target;
}

bool CustomReportExists(const ReportSource& source, const std::string& groupName,
                        const std::string& reportName) {
  engine::Connection& connection = *source.connection;
  const std::string& table = source.rows->dataSet().request().table;
  engine::DataSet layouts(
      connection, {"TabProspettiStampa",
                   ReportLayoutFilter(connection, table, "", reportName, groupName), "", ""});
  return !layouts.IsEmpty();
}

bool PrintCustomReport(const PrintServices& services, const ReportSource& source,
                       PrintRequest request) {
  ReportRun run(services, source, request);
  try {
    return run.Execute();
  } catch (const Error& e) {
    services.ui->MessageBox("Si e' verificato un errore durante la stampa:\n\n" + e.message(),
                            Buttons::Ok, Icon::Critical);
    return false;
  }
}

}  // namespace tillbook::printing
