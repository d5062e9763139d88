#include <fstream>
#include <ostream>
#include <sstream>

#include "base/error.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/script_host.h"
#include "cli/switches.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "vbscript/errors.h"
#include "vbscript/interpreter.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli run SCRIPT.vbs [--archive DIR] [--answers yes,no,...] "
    "[--default-answer yes|no] [--set KEY=VALUE ...] [ARGOMENTI...]\n";

// A script's MsgBox through the terminal's stand-in for the person: the button codes of the
// script language in, its answer codes out.
int ScriptMessageBox(engine::UiServices& ui, const std::string& text, int buttons,
                     const std::string& title) {
  using engine::Answer;
  using engine::Buttons;
  using engine::Icon;
  static const Buttons kButtons[] = {Buttons::Ok,          Buttons::OkCancel,
                                     Buttons::AbortRetryIgnore, Buttons::YesNoCancel,
                                     Buttons::YesNo,       Buttons::RetryCancel};
  const int b = buttons & 7;
  const Icon icon = (buttons & 0x70) == 16   ? Icon::Critical
                    : (buttons & 0x70) == 32 ? Icon::Question
                    : (buttons & 0x70) == 48 ? Icon::Exclamation
                    : (buttons & 0x70) == 64 ? Icon::Information
                                             : Icon::None;
  const Answer a = ui.MessageBox(text, b < 6 ? kButtons[b] : Buttons::Ok, icon,
                                 (buttons >> 8) & 3, title);
  switch (a) {
    case Answer::Ok: return 1;
    case Answer::Cancel: return 2;
    case Answer::Abort: return 3;
    case Answer::Retry: return 4;
    case Answer::Ignore: return 5;
    case Answer::Yes: return 6;
    case Answer::No: return 7;
  }
  return 1;
}

bool ParseAnswers(const std::string& list, std::vector<bool>& answers) {
  for (const std::string& item : text::Split(list, ',')) {
    const std::string a = text::Lower(text::Trim(item));
    if (a == "yes" || a == "si" || a == "sì" || a == "ok") answers.push_back(true);
    else if (a == "no" || a == "cancel") answers.push_back(false);
    else return false;
  }
  return true;
}

}  // namespace

int RunCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  if (auto problem = TakeSwitches(args, overrides); !problem.empty()) {
    err << problem << '\n';
    return 2;
  }
  std::string script, archive;
  std::vector<bool> answers;
  bool defaultYes = true;
  std::vector<std::string> scriptArgs;
  bool optionsOver = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (!optionsOver && a == "--") {
      optionsOver = true;
    } else if (!optionsOver && a == "--archive" && hasValue) {
      archive = args[++i];
    } else if (!optionsOver && a == "--answers" && hasValue) {
      if (!ParseAnswers(args[++i], answers)) {
        err << "Risposte non valide: " << args[i] << " (usare yes o no).\n";
        return 2;
      }
    } else if (!optionsOver && a == "--default-answer" && hasValue) {
      const std::string v = text::Lower(args[++i]);
      if (v != "yes" && v != "no") {
        err << kUsage;
        return 2;
      }
      defaultYes = v == "yes";
    } else if (!optionsOver && a.rfind("--", 0) == 0) {
      err << kUsage;
      return 2;
    } else if (script.empty()) {
      script = a;
    } else {
      scriptArgs.push_back(a);
    }
  }
  if (script.empty()) {
    err << kUsage;
    return 2;
  }
  std::ifstream in(script, std::ios::binary);
  if (!in) {
    err << "Impossibile leggere lo script " << script << ".\n";
    return 1;
  }
  std::ostringstream source;
  source << in.rdbuf();

  ConsoleUi ui(err, answers, defaultYes);
  engine::Connection connection(&ui);
  std::unique_ptr<engine::Database> database;
  vbscript::Interpreter vm;
  try {
    if (!archive.empty()) {
      connection.Open(ArchivePath(archive));
      data::TableSwitches switches = StoredSwitches(connection);
      overrides.ApplyTo(switches);
      database = std::make_unique<engine::Database>(std::make_unique<data::DB>(switches), "Tillbook");
      database->Attach(connection);
      vm.AddObject("Database", std::make_shared<DatabaseObject>(connection));
    }
  } catch (const Error& e) {
    err << e.message() << '\n';
    return 1;
  }
  vm.RegisterStandardObjects();
  vm.SetMessageBox([&](const std::string& text, int buttons, const std::string& title) {
    return ScriptMessageBox(ui, text, buttons, title);
  });
  vm.SetInputBox([](const std::string&, const std::string&, const std::string&) {
    return std::string();  // nobody at the terminal types: as if cancelled
  });
  vm.AddObject("WScript", std::make_shared<WScriptObject>(
                              out, scriptArgs, [&](const Variant& v) { return vm.ToText(v); }));
  try {
    vm.AddCode(source.str());
    out.flush();
    return 0;
  } catch (const vbscript::QuitRequest& q) {
    out.flush();
    return q.exitCode;
  } catch (const vbscript::ScriptError& e) {
    out.flush();
    err << e.description() << '\n' << "Linea VB: " << e.line() << '\n';
    return 3;
  } catch (const Error& e) {
    out.flush();
    err << e.message() << '\n';
    return 1;
  }
}

}  // namespace tillbook::cli
