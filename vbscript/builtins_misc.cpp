// The Err object, object creation (only what the host registered), Eval/Execute, GetRef,
// locale switching, dialogs and the engine version functions.
#include "base/text.h"
#include "vbscript/builtins.h"
#include "vbscript/conversions.h"
#include "vbscript/parser.h"
#include "vbscript/regexp.h"

namespace tillbook::vbscript::builtins {
namespace {

using Args = std::span<Variant>;

class ErrObject : public Object {
 public:
  explicit ErrObject(std::shared_ptr<Machine*> handle) : handle_(std::move(handle)) {}
  std::string TypeName() const override { return "ErrObject"; }
  bool HasMember(std::string_view name) const override {
    std::string k = text::Fold(name);
    return k == "number" || k == "description" || k == "source" || k == "raise" ||
           k == "clear" || k == "helpfile" || k == "helpcontext";
  }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    Machine* m = *handle_;
    if (!m) Throw(kObjectRequired);
    Machine::ErrState& e = m->err;
    std::string k = text::Fold(name);
    bool assign = kind == InvokeKind::Let || kind == InvokeKind::Set;
    if (k.empty() || k == "number") {
      if (assign) {
        e.number = ToLong(args.back(), *m->locale);
        if (e.description.empty()) e.description = std::string(Description(e.number));
        return {};
      }
      return Variant::Long(e.number);
    }
    if (k == "description") {
      if (assign) return e.description = ToText(args.back(), *m->locale), Variant();
      return Variant::String(e.description);
    }
    if (k == "source") {
      if (assign) return e.source = ToText(args.back(), *m->locale), Variant();
      return Variant::String(e.source);
    }
    if (k == "helpfile") {
      if (assign) return e.helpFile = ToText(args.back(), *m->locale), Variant();
      return Variant::String(e.helpFile);
    }
    if (k == "helpcontext") {
      if (assign) return e.helpContext = ToLong(args.back(), *m->locale), Variant();
      return Variant::Long(e.helpContext);
    }
    if (k == "clear") {
      e = Machine::ErrState();
      return {};
    }
    if (k == "raise") {
      if (args.empty()) Throw(kWrongArgumentCount);
      int number = FromHresult(ToLong(Val(args[0]), *m->locale));
      if (number == 0 || number > 65535) Throw(kInvalidCall);
      // What the call leaves out keeps the values Err already holds, as scripts that raise
      // again after setting Source or Description expect.
      RuntimeError r{number, e.description, e.source, 0, true};
      if (!IsMissing(args, 1)) r.source = ToText(Val(args[1]), *m->locale);
      if (!IsMissing(args, 2)) r.description = ToText(Val(args[2]), *m->locale);
      if (r.source.empty()) r.source = std::string(kRuntimeSource);
      if (r.description.empty()) r.description = std::string(DescriptionOrUnknown(number));
      if (!IsMissing(args, 3)) e.helpFile = ToText(Val(args[3]), *m->locale);
      if (!IsMissing(args, 4)) e.helpContext = ToLong(Val(args[4]), *m->locale);
      throw r;
    }
    Throw(kNoSuchMember, name);
  }

 private:
  std::shared_ptr<Machine*> handle_;
};

// What GetRef returns: calling its default member calls the procedure.
class ProcedureRef : public Object {
 public:
  ProcedureRef(const Procedure& p, std::shared_ptr<Machine*> handle)
      : proc_(p), handle_(std::move(handle)) {}
  std::string TypeName() const override { return "Object"; }
  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    Machine* m = *handle_;
    if (!m || !name.empty()) Throw(kNoSuchMember, name);
    Machine::Entry entry(*m);
    return m->Call(proc_, nullptr, args);
  }

 private:
  const Procedure& proc_;
  std::shared_ptr<Machine*> handle_;
};

Variant CreateObject(Machine& m, Args a) {
  std::string progId = Text(m, Val(a[0]));
  auto it = m.creatables.find(text::Fold(progId));
  if (it == m.creatables.end()) {
    // The language's own RegExp, harmless to create whatever the host allows.
    if (text::EqualNoCase(progId, "VBScript.RegExp")) return Variant::Object(NewRegExp(m.handle));
    Throw(kCannotCreateObject, progId);
  }
  auto object = it->second();
  if (!object) Throw(kCannotCreateObject, progId);
  return Variant::Object(std::move(object));
}

Variant GetObject(Machine&, Args) { Throw(kCannotCreateObject); }

Variant RunText(Machine& m, const std::string& code) {
  m.RunTransient(Parse(code));
  return {};
}

Variant Eval(Machine& m, Args a) {
  std::string code = Text(m, Val(a[0]));
  static constexpr const char* kResult = "\x01" "eval";
  m.RunTransient(ParseExpression(code, kResult));
  Machine::Global* g = m.FindGlobal(kResult);
  Variant result = g && g->cell ? std::move(*g->cell) : Variant();
  if (g && g->cell) *g->cell = Variant();
  return result;
}

Variant Execute(Machine& m, Args a) { return RunText(m, Text(m, Val(a[0]))); }

Variant GetRef(Machine& m, Args a) {
  std::string name = Text(m, Val(a[0]));
  Machine::Global* g = m.FindGlobal(text::Fold(name));
  if (!g || g->kind != Machine::Global::Procedure) Throw(kInvalidCall);
  return Variant::Object(std::make_shared<ProcedureRef>(*g->proc, m.handle));
}

Variant ScriptEngine(Machine&, Args) { return Variant::String("VBScript"); }
Variant EngineMajor(Machine&, Args) { return Variant::Long(5); }
Variant EngineMinor(Machine&, Args) { return Variant::Long(8); }
Variant EngineBuild(Machine&, Args) { return Variant::Long(16384); }

Variant GetLocale(Machine& m, Args) { return Variant::Long(m.locale->lcid); }
Variant SetLocale(Machine& m, Args a) {
  int old = m.locale->lcid;
  if (IsMissing(a, 0)) return Variant::Long(old);
  Variant v = Val(a[0]);
  const Locale* l = v.IsString() ? Locale::Find(v.AsString()) : Locale::Find(Long(m, v));
  if (v.IsString() && !l) {
    double d;
    if (ParseNumber(v.AsString(), *m.locale, d)) l = Locale::Find(static_cast<int>(d));
  }
  if (!l) Throw(kInvalidCall);
  m.locale = l;
  return Variant::Long(old);
}

Variant MsgBox(Machine& m, Args a) {
  std::string prompt = ToTextOrEmpty(Val(a[0]), *m.locale);
  int buttons = LongOr(m, a, 1, 0);
  std::string title = IsMissing(a, 2) ? std::string() : ToTextOrEmpty(Val(a[2]), *m.locale);
  if (!m.msgBox) return Variant::Integer(1);
  return Variant::Integer(static_cast<int16_t>(m.msgBox(prompt, buttons, title)));
}

Variant InputBox(Machine& m, Args a) {
  std::string prompt = ToTextOrEmpty(Val(a[0]), *m.locale);
  std::string title = IsMissing(a, 1) ? std::string() : ToTextOrEmpty(Val(a[1]), *m.locale);
  std::string fallback = IsMissing(a, 2) ? std::string() : ToTextOrEmpty(Val(a[2]), *m.locale);
  if (!m.inputBox) return Variant::String(fallback);
  return Variant::String(m.inputBox(prompt, title, fallback));
}

Variant LoadPicture(Machine&, Args) { Throw(kInvalidCall); }

constexpr Builtin kList[] = {
    {"CreateObject", 1, 2, CreateObject},
    {"GetObject", 0, 2, GetObject},
    {"Eval", 1, 1, Eval},
    {"Execute", 1, 1, Execute},
    {"ExecuteGlobal", 1, 1, Execute},
    {"GetRef", 1, 1, GetRef},
    {"ScriptEngine", 0, 0, ScriptEngine},
    {"ScriptEngineMajorVersion", 0, 0, EngineMajor},
    {"ScriptEngineMinorVersion", 0, 0, EngineMinor},
    {"ScriptEngineBuildVersion", 0, 0, EngineBuild},
    {"GetLocale", 0, 0, GetLocale},
    {"SetLocale", 0, 1, SetLocale},
    {"MsgBox", 1, 5, MsgBox},
    {"InputBox", 1, 7, InputBox},
    {"LoadPicture", 1, 1, LoadPicture},
};

}  // namespace

std::shared_ptr<Object> MakeErrObject(Machine& m) { return std::make_shared<ErrObject>(m.handle); }

std::span<const Builtin> Others() { return kList; }

}  // namespace tillbook::vbscript::builtins
