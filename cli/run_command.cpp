#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/report.h"
#include "cli/script_host.h"
#include "cli/switches.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "platform/files.h"
#include "vbscript/errors.h"
#include "vbscript/interpreter.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli run SCRIPT.vbs [--archive DIR] [--answers yes,no,...] "
    "[--default-answer yes|no] [--timeout SECONDI] [--set KEY=VALUE ...] [ARGOMENTI...]\n";

// A script's MsgBox through the terminal's stand-in for the person: the button codes of the
// script language in, its answer codes out.
int ScriptMessageBox(engine::UiServices& ui, const std::string& text, int buttons,
                     const std::string& title) {
  using engine::Answer;
  using engine::Buttons;
  using engine::Icon;
  static const Buttons kButtons[] = {
      Buttons::Ok,          Buttons::OkCancel, Buttons::AbortRetryIgnore,
      Buttons::YesNoCancel, Buttons::YesNo,    Buttons::RetryCancel};
  const int b = buttons & 7;
  const Icon icon = (buttons & 0x70) == 16   ? Icon::Critical
                    : (buttons & 0x70) == 32 ? Icon::Question
                    : (buttons & 0x70) == 48 ? Icon::Exclamation
                    : (buttons & 0x70) == 64 ? Icon::Information
                                             : Icon::None;
  const Answer a =
      ui.MessageBox(text, b < 6 ? kButtons[b] : Buttons::Ok, icon, (buttons >> 8) & 3, title);
  switch (a) {
    case Answer::Ok:
      return 1;
    case Answer::Cancel:
      return 2;
    case Answer::Abort:
      return 3;
    case Answer::Retry:
      return 4;
    case Answer::Ignore:
      return 5;
    case Answer::Yes:
      return 6;
    case Answer::No:
      return 7;
  }
  return 1;
}

// Line of the first bytes that are not UTF-8, counting line ends as the interpreter does (CR LF,
// LF or a lone CR); 0 when the whole text is UTF-8. No UTF-8 sequence contains a line end byte,
// so each line can be checked on its own.
int FirstLineNotUtf8(std::string_view text) {
  int line = 1;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (!text::IsValidUtf8(text.substr(start, end - start))) return line;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
    ++line;
  }
  return 0;
}

// The text of the script file without a UTF-8 byte order mark. Throws Error with the Italian
// reason when the path is missing, a folder or unreadable, or the text is not UTF-8 (it would
// reach messages and the archive as broken text).
std::string ReadScript(const std::string& path) {
  const std::string prefix = "Impossibile leggere lo script " + path;
  switch (platform::Examine(path)) {
    case platform::PathKind::Missing:
      throw Error(prefix + ": il file non esiste.");
    case platform::PathKind::Directory:
      throw Error(prefix + ": è una cartella, non un file.");
    default:
      break;  // a file, or a pipe or device the text comes from
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const std::error_code error(errno, std::generic_category());
    throw Error(prefix + ".", path + ": " + error.message());
  }
  std::ostringstream source;
  source << in.rdbuf();
  std::string text = std::move(source).str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (const int line = FirstLineNotUtf8(text))
    throw Error("Lo script " + path + " non è testo UTF-8 valido (linea " + std::to_string(line) +
                "): salvarlo con la codifica UTF-8.");
  return text;
}

// Seconds of --timeout: a positive number, with a decimal point or comma.
bool ParseSeconds(std::string text, std::chrono::milliseconds& out) {
  for (char& c : text)
    if (c == ',') c = '.';
  double seconds = 0;
  const char* end = text.data() + text.size();
  auto [at, ec] = std::from_chars(text.data(), end, seconds);
  if (ec != std::errc() || at != end || !(seconds > 0) || seconds > 1e7) return false;
  out = std::chrono::milliseconds(std::max<int64_t>(1, static_cast<int64_t>(seconds * 1000)));
  return true;
}

// Sets the flag once `after` has passed, unless it is destroyed first; its end waits for its
// thread.
class StopTimer {
 public:
  StopTimer(std::shared_ptr<std::atomic<bool>> flag, std::chrono::milliseconds after)
      : flag_(std::move(flag)), thread_([this, after] { Wait(after); }) {}
  ~StopTimer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  StopTimer(const StopTimer&) = delete;
  StopTimer& operator=(const StopTimer&) = delete;

 private:
  void Wait(std::chrono::milliseconds after) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!wake_.wait_for(lock, after, [this] { return done_; })) flag_->store(true);
  }
  std::shared_ptr<std::atomic<bool>> flag_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;  // last: it starts once the members it uses exist
};


// Rows the script added and left waiting are saved as closing a data panel saves the row being
// edited, with the same hooks and checks. One that cannot be saved is dropped, and the run
// fails so the automation knows.
int SaveLeftRows(engine::Connection& connection, std::ostream& err) {
  int status = 0;
  for (engine::Row& row : connection.PendingRows()) {
    try {
      if (row.Save()) continue;
      err << "Il nuovo elemento di " << row.TableName() << " non è stato memorizzato.\n";
    } catch (const Error& e) {
      ReportFailure(err, e);
    }
    row.Discard();
    status = 1;
  }
  return status;
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
  std::string timeoutText;
  std::chrono::milliseconds timeout{0};
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
    } else if (!optionsOver && a == "--timeout" && hasValue) {
      timeoutText = args[++i];
      if (!ParseSeconds(timeoutText, timeout)) {
        err << "Tempo massimo non valido: " << timeoutText
            << " (indicare i secondi, per esempio --timeout 30).\n";
        return 2;
      }
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
  std::string source;
  try {
    source = ReadScript(script);
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }

  ConsoleUi ui(err, answers, defaultYes);
  engine::Connection connection(&ui);
  std::unique_ptr<engine::Database> database;
  // The timer stops the script from its own thread. It outlives the interpreter, whose end may
  // still run script code (Class_Terminate).
  auto stop = std::make_shared<std::atomic<bool>>(false);
  std::optional<StopTimer> timer;
  if (timeout.count() > 0) timer.emplace(stop, timeout);
  vbscript::Interpreter vm;
  vm.SetStopFlag(stop);
  try {
    if (!archive.empty()) {
      connection.Open(ArchivePath(archive));
      data::TableSwitches switches = core::WorkingSwitches(connection);
      overrides.ApplyTo(switches);
      database =
          std::make_unique<engine::Database>(std::make_unique<data::DB>(switches), "Tillbook");
      database->Attach(connection);
      vm.AddObject("Database", std::make_shared<DatabaseObject>(connection));
    }
  } catch (const Error& e) {
    return ReportFailure(err, e);
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
    vm.AddCode(source);
    out.flush();
    return connection.IsOpen() ? SaveLeftRows(connection, err) : 0;
  } catch (const vbscript::QuitRequest& q) {
    out.flush();
    const int saved = connection.IsOpen() ? SaveLeftRows(connection, err) : 0;
    return saved ? saved : q.exitCode;
  } catch (const vbscript::ScriptError& e) {
    out.flush();
    err << e.description();
    if (e.number() == vbscript::kTimeLimitExceeded && stop->load())
      err << ": superato il tempo massimo di " << timeoutText << " s";
    err << '\n' << "Linea VB: " << e.line() << '\n';
    return 3;
  } catch (const Error& e) {
    out.flush();
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
