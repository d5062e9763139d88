#include "vbscript/interpreter.h"

#include <cstdlib>
#include <ctime>

#include "base/date.h"
#include "base/text.h"
#include "vbscript/builtins.h"
#include "vbscript/conversions.h"
#include "vbscript/dictionary.h"
#include "vbscript/machine.h"
#include "vbscript/parser.h"
#include "vbscript/regexp.h"

namespace tillbook::vbscript {
namespace {

double SystemNow() {
  if (const char* fixed = std::getenv("TILLBOOK_NOW")) {
    if (auto dt = DateTime::ParseIso(fixed)) return dt->ToSerial();
  }
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  auto dt = DateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec);
  return dt ? dt->ToSerial() : 0;
}

}  // namespace

Interpreter::Interpreter() : m_(std::make_unique<Machine>()) {
  m_->now = SystemNow;
  m_->errObject = builtins::MakeErrObject(*m_);
  AddObject("Err", m_->errObject);
}

Interpreter::~Interpreter() {
  m_->ReleaseGlobals();
}

void Interpreter::SetLocale(const Locale& locale) {
  m_->locale = &locale;
}
const Locale& Interpreter::locale() const {
  return *m_->locale;
}
void Interpreter::SetTimeLimit(std::chrono::milliseconds limit) {
  m_->timeLimit = limit;
}
void Interpreter::SetStopFlag(std::shared_ptr<const std::atomic<bool>> flag) {
  m_->stopFlag = std::move(flag);
}
void Interpreter::SetTextLimit(size_t bytes) {
  m_->maxTextBytes = bytes;
}
void Interpreter::SetMaxDepth(int depth) {
  m_->maxDepth = depth;
}
void Interpreter::SetClock(std::function<double()> now) {
  m_->now = std::move(now);
}
void Interpreter::SetMessageBox(
    std::function<int(const std::string&, int, const std::string&)> show) {
  m_->msgBox = std::move(show);
}
void Interpreter::SetInputBox(
    std::function<std::string(const std::string&, const std::string&, const std::string&)> ask) {
  m_->inputBox = std::move(ask);
}

void Interpreter::AddObject(std::string_view name, std::shared_ptr<Object> object) {
  std::string key = text::Fold(name);
  *m_->CreateVariable(std::string(name), key) = Variant::Object(std::move(object));
}

void Interpreter::RegisterCreatable(std::string_view progId,
                                    std::function<std::shared_ptr<Object>()> factory) {
  m_->creatables[text::Fold(progId)] = std::move(factory);
}

void Interpreter::RegisterStandardObjects() {
  RegisterCreatable("Scripting.Dictionary", NewDictionary);
  RegisterCreatable("VBScript.RegExp", [handle = m_->handle] { return NewRegExp(handle); });
}

template <typename F>
auto Interpreter::Guarded(F&& body) -> decltype(body()) {
  Machine::Entry entry(*m_);
  try {
    auto result = body();
    if (m_->runDepth == 1) m_->ThrowDeferred();
    return result;
  } catch (const RuntimeError& e) {
    throw ScriptError(e.number, e.description, e.line,
                      e.source.empty() ? std::string(kRuntimeSource) : e.source);
  } catch (const Interrupted& e) {
    throw e.ToScriptError();
  }
}

void Interpreter::AddCode(std::string_view source) {
  Guarded([&] {
    m_->Link(Parse(source));
    m_->RunTop(m_->LastUnit());
    return 0;
  });
}

bool Interpreter::HasFunction(std::string_view name) const {
  Machine::Global* g = m_->FindGlobal(text::Fold(name));
  return g && g->kind == Machine::Global::Procedure;
}

Variant Interpreter::Call(std::string_view name, std::span<Variant> args) {
  return Guarded([&] {
    Machine::Global* g = m_->FindGlobal(text::Fold(name));
    if (!g || g->kind != Machine::Global::Procedure) Throw(kSubNotDefined, name);
    return m_->Call(*g->proc, nullptr, args);
  });
}

Variant Interpreter::Call(std::string_view name, std::initializer_list<Variant> args) {
  std::vector<Variant> values(args);
  return Call(name, std::span<Variant>(values));
}

Variant Interpreter::Eval(std::string_view expression) {
  return Guarded([&] {
    Variant arg = Variant::String(std::string(expression));
    const Builtin* eval = FindBuiltin("eval");
    return eval->fn(*m_, std::span<Variant>(&arg, 1));
  });
}

std::string Interpreter::ToText(const Variant& v) const {
  return ToTextOrEmpty(v, *m_->locale);
}
int Interpreter::ErrNumber() const {
  return m_->err.number;
}
std::string Interpreter::ErrDescription() const {
  return m_->err.description;
}

}  // namespace tillbook::vbscript
