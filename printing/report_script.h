// A layout's script as one copy of a print run uses it: compiled once, its hooks called by name
// with the engine and the data as arguments. A hook that fails shows the critical message naming
// the hook, the record or note row and the script line; the run then stops.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/variant.h"

namespace tillbook::engine {
class UiServices;
}
namespace tillbook::vbscript {
class Interpreter;
}

namespace tillbook::printing {

class clsCustomReport;

// The text compiled for a run: `text` (the engine's script when empty), with the note-row
// template appended when the run prints notes and the text has no `PrintNoteRow` of its own.
std::string PrintScriptText(std::string_view text, const clsCustomReport& report, bool hasNotes);

class ReportScript {
 public:
  // Compiles the text; nullptr after telling the person why it could not be. Failures are
  // shown under the title `layoutName`, so the person knows which layout to correct.
  static std::unique_ptr<ReportScript> Create(engine::UiServices& ui,
                                              std::shared_ptr<clsCustomReport> report,
                                              const std::string& text,
                                              const std::string& layoutName);
  ~ReportScript();

  // Each hook returns false when the run must stop: the hook returned False or failed (the
  // person was told of a failure). `dataName` names the data set in the data-init message.
  bool DataInit(const Variant& dsRow, std::string_view dataName);
  bool ReportRow(const Variant& dsRow, int nRow);
  bool NoteRow(const std::string& line, const Variant& ds, int nRow);
  bool ReportMask(const Variant& ds, bool total);

 private:
  ReportScript(engine::UiServices& ui, std::shared_ptr<clsCustomReport> report,
               std::string layoutName);
  bool Run(const char* hook, std::span<Variant> args, const std::string& failurePrefix);

  engine::UiServices& ui_;
  std::shared_ptr<clsCustomReport> report_;
  std::string layoutName_;
  Variant prn_;
  bool hasDataInit_ = false;
  std::unique_ptr<vbscript::Interpreter> interpreter_;
};

// The person's text of a failed script: prefix, the description and, when the error has a
// number, the script line ("Linea VB: ").
std::string ScriptFailureText(std::string_view prefix, std::string_view description, int number,
                              int line);

}  // namespace tillbook::printing
