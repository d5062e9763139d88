// The script interpreter as hosts use it: add named objects and creatable classes, add script
// text (compiled, its global statements run at once), then call its functions by name with
// arguments passed by reference. Every failure leaves as ScriptError {number, description,
// line}; a QuitRequest thrown by a host object passes through unchanged. One Interpreter is one
// script instance: globals persist between calls, and its end releases them (running the
// Class_Terminate of script objects still referenced).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/variant.h"
#include "vbscript/errors.h"

namespace tillbook::vbscript {

struct Locale;
class Machine;

class Interpreter {
 public:
  Interpreter();
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Regional settings for text conversions; Italian unless changed (scripts may change it
  // with SetLocale too). The locale is kept by reference: pass Locale::Italian(), English() or
  // one that outlives the interpreter.
  void SetLocale(const Locale& locale);
  const Locale& locale() const;
  // Wall-clock limit of each host entry (AddCode, Call, Eval); zero means none. A script that
  // runs longer stops with error kTimeLimitExceeded.
  void SetTimeLimit(std::chrono::milliseconds limit);
  // A flag another thread may set (a Stop button, a timer) to stop the running script: it
  // ends within a few loop iterations or calls with error kTimeLimitExceeded, description
  // "Esecuzione interrotta", which On Error Resume Next cannot catch. While the flag stays set,
  // every entry stops at its first loop or call; the host clears it before running again.
  void SetStopFlag(std::shared_ptr<const std::atomic<bool>> flag);
  // Largest text a script may build, in bytes (256 MiB unless changed); longer is error 7.
  void SetTextLimit(size_t bytes);
  // Deepest nesting of script procedure calls before error 28.
  void SetMaxDepth(int depth);
  // Date serial of "now" for Now, Date, Time and Timer. By default the TILLBOOK_NOW
  // environment variable (yyyy-mm-ddThh:mm:ss) when set, otherwise the local time.
  void SetClock(std::function<double()> now);
  // Dialogs for MsgBox (returns the button: 1 OK, 6 Yes, 7 No...) and InputBox.
  void SetMessageBox(
      std::function<int(const std::string& text, int buttons, const std::string& title)> show);
  void SetInputBox(std::function<std::string(const std::string& prompt, const std::string& title,
                                             const std::string& fallback)>
                       ask);

  // A global name scripts reach the object by (replaces an earlier one of that name).
  void AddObject(std::string_view name, std::shared_ptr<Object> object);
  // The only names CreateObject knows (case-insensitive); nothing else can be created.
  void RegisterCreatable(std::string_view progId, std::function<std::shared_ptr<Object>()> factory);

  // Makes the harmless standard classes creatable: "Scripting.Dictionary", "VBScript.RegExp"
  // (which CreateObject and New reach anyway).
  void RegisterStandardObjects();

  // Compiles the text and runs its global statements. Procedures of earlier texts stay.
  void AddCode(std::string_view source);
  bool HasFunction(std::string_view name) const;
  // Calls a Function or Sub; arguments are passed by reference, so the host reads back what
  // the script assigned to its parameters. Returns the function's value (Empty for a Sub).
  // An unknown name is error 35, a wrong number of arguments error 450.
  Variant Call(std::string_view name, std::span<Variant> args);
  Variant Call(std::string_view name, std::initializer_list<Variant> args);
  // Value of one expression over the globals.
  Variant Eval(std::string_view expression);

  // Text of a value as scripts convert it (CStr, with Null as "").
  std::string ToText(const Variant& v) const;
  // Number and description of Err after the last host entry.
  int ErrNumber() const;
  std::string ErrDescription() const;

 private:
  template <typename F>
  auto Guarded(F&& body) -> decltype(body());
  std::unique_ptr<Machine> m_;
};

}  // namespace tillbook::vbscript
