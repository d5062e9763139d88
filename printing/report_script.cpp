#include "printing/report_script.h"

#include <span>

#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/default_scripts.h"
#include "vbscript/errors.h"
#include "vbscript/interpreter.h"

namespace tillbook::printing {

namespace {

constexpr std::string_view kNoteHook = "PrintNoteRow(";
constexpr std::string_view kDataInitHook = "PrintDataInit(";

}  // namespace

std::string PrintScriptText(std::string_view text, const clsCustomReport& report, bool hasNotes) {
  std::string script(text.empty() ? std::string_view(report.VBScript()) : text);
  if (hasNotes && script.find(kNoteHook) == std::string::npos) script += PrintNoteRowTemplate();
  return script;
}

std::string ScriptFailureText(std::string_view prefix, std::string_view description, int number,
                              int line) {
  std::string text = std::string(prefix) + "\n\n" + std::string(description) + "\n";
  if (number != 0) text += "\nLinea VB: " + std::to_string(line);
  return text;
}

ReportScript::ReportScript(engine::UiServices& ui, std::shared_ptr<clsCustomReport> report,
                           std::string layoutName)
    : ui_(ui),
      report_(report),
      layoutName_(std::move(layoutName)),
      prn_(Variant::Object(MakeReportScriptObject(std::move(report)))),
      interpreter_(std::make_unique<vbscript::Interpreter>()) {}

ReportScript::~ReportScript() = default;

std::unique_ptr<ReportScript> ReportScript::Create(engine::UiServices& ui,
                                                   std::shared_ptr<clsCustomReport> report,
                                                   const std::string& text,
                                                   const std::string& layoutName) {
  std::unique_ptr<ReportScript> script(new ReportScript(ui, std::move(report), layoutName));
  script->interpreter_->SetMessageBox(
      [&ui](const std::string& message, int, const std::string& title) {
        ui.MessageBox(message, engine::Buttons::Ok, engine::Icon::None, 0, title);
        return 1;
      });
  try {
    script->interpreter_->AddCode(text);
  } catch (const vbscript::ScriptError& e) {
    ui.MessageBox(ScriptFailureText("Errore di inizializzazione del codice di stampa: ",
                                    e.description(), e.number(), e.line()),
                  engine::Buttons::Ok, engine::Icon::Critical, 0, layoutName);
    return nullptr;
  }
  script->hasDataInit_ = text.find(kDataInitHook) != std::string::npos;
  return script;
}

bool ReportScript::Run(const char* hook, std::span<Variant> args,
                       const std::string& failurePrefix) {
  try {
    return interpreter_->Call(hook, args).ToBool();
  } catch (const vbscript::ScriptError& e) {
    ui_.MessageBox(ScriptFailureText(failurePrefix, e.description(), e.number(), e.line()),
                   engine::Buttons::Ok, engine::Icon::Critical, 0, layoutName_);
    return false;
  }
}

bool ReportScript::DataInit(const Variant& dsRow, std::string_view dataName) {
  if (!hasDataInit_) return true;
  report_->SetRowPrinting(false);
  Variant args[] = {dsRow, prn_};
  return Run("PrintDataInit", args,
             "Errore nel codice di inizializzazione dati <" + std::string(dataName) + ">: ");
}

bool ReportScript::ReportRow(const Variant& dsRow, int nRow) {
  report_->SetRowPrinting(true);
  report_->NewReportRow();
  Variant args[] = {dsRow, prn_, Variant::Long(nRow)};
  return Run("PrintReportRow", args,
             "Errore nel codice di stampa per il (" + std::to_string(nRow) + ") record: ");
}

bool ReportScript::NoteRow(const std::string& line, const Variant& ds, int nRow) {
  report_->SetRowPrinting(true);
  report_->NewReportRow();
  Variant args[] = {Variant::String(line), ds, prn_, Variant::Long(nRow)};
  return Run("PrintNoteRow", args,
             "Errore nel codice di stampa (" + std::to_string(nRow) + ") riga Note: ");
}

bool ReportScript::ReportMask(const Variant& ds, bool total) {
  report_->SetRowPrinting(false);
  Variant args[] = {ds, prn_, Variant::Boolean(total)};
  return Run("PrintReportMask", args, "Errore nel codice di stampa della maschera: ");
}

}  // namespace tillbook::printing
