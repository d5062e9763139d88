#include "vbscript/script_class.h"

#include "base/text.h"
#include "vbscript/conversions.h"
#include "vbscript/errors.h"
#include "vbscript/machine.h"
#include "vbscript/program.h"

namespace tillbook::vbscript {

ScriptObject::ScriptObject(const ClassDef& cls, std::shared_ptr<Machine*> handle)
    : fields(cls.fields.size()), cls_(cls), handle_(std::move(handle)) {
  for (size_t i = 0; i < cls.fields.size(); ++i) {
    if (!cls.fields[i].dims.empty())
      fields[i] = MakeArray(cls.fields[i].dims);
    else if (cls.fields[i].dynamicArray)
      fields[i] = MakeArray({});
  }
}

ScriptObject::~ScriptObject() {
  Machine* m = *handle_;
  if (m && cls_.terminate) {
    // A failing Class_Terminate cannot stop whoever dropped the last reference.
    try {
      Machine::Entry entry(*m);
      m->Call(*cls_.terminate, this, std::span<Variant>());
    } catch (const Interrupted& e) {
      m->Defer(e);
    } catch (...) {
    }
  }
  for (Variant& field : fields) DropNested(field);
}

std::string ScriptObject::TypeName() const {
  return cls_.name;
}

bool ScriptObject::HasMember(std::string_view name) const {
  std::string key = text::Fold(name);
  auto f = cls_.fieldIndex.find(key);
  if (f != cls_.fieldIndex.end()) return cls_.fields[f->second].isPublic;
  auto m = cls_.members.find(key);
  return m != cls_.members.end();
}

Variant ScriptObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
  // Hosts may hold script objects and call them: they see failures as ScriptError.
  Machine* m = machine();
  if (!m) Throw(kObjectRequired);
  Machine::Entry entry(*m);
  try {
    return InvokeMember(name, kind, args);
  } catch (const RuntimeError& e) {
    throw ScriptError(e.number, e.description, e.line,
                      e.source.empty() ? std::string(kRuntimeSource) : e.source);
  } catch (const Interrupted& e) {
    // Inside a running script it must stay uncatchable on its way out; a host that called
    // in from outside gets an error it knows.
    if (m->runDepth > 1) throw;
    throw e.ToScriptError();
  }
}

Variant ScriptObject::InvokeMember(std::string_view name, InvokeKind kind,
                                   std::span<Variant> args) {
  Machine* m = machine();
  if (!m) Throw(kObjectRequired);
  std::string key = name.empty() ? cls_.defaultKey : text::Fold(name);
  if (key.empty()) Throw(kNoSuchMember);
  auto f = cls_.fieldIndex.find(key);
  if (f != cls_.fieldIndex.end() && cls_.fields[f->second].isPublic) {
    Variant& field = fields[f->second];
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) {
      if (args.empty()) Throw(kWrongArgumentCount);
      Variant value = args.back();
      if (kind == InvokeKind::Let) value = ValueOf(value);
      if (args.size() == 1) {
        field = std::move(value);
      } else {
        VarArray& a = WritableArray(field);
        std::vector<int32_t> idx;
        for (size_t i = 0; i + 1 < args.size(); ++i) idx.push_back(ToLong(args[i], *m->locale));
        a.items[FlatIndex(a, idx)] = std::move(value);
      }
      return {};
    }
    if (args.empty()) return field;
    if (!field.IsArray()) Throw(kTypeMismatch);
    std::vector<int32_t> idx;
    for (auto& a : args) idx.push_back(ToLong(a, *m->locale));
    return field.AsArray()->items[FlatIndex(*field.AsArray(), idx)];
  }
  auto it = cls_.members.find(key);
  if (it == cls_.members.end()) Throw(kNoSuchMember, name);
  const ClassDef::Member& member = it->second;
  const Procedure* p = nullptr;
  switch (kind) {
    case InvokeKind::Let:
      p = member.let;
      break;
    case InvokeKind::Set:
      p = member.set ? member.set : member.let;
      break;
    default:
      p = member.get ? member.get : member.method;
      break;
  }
  if (!p || !p->isPublic) Throw(kNoSuchMember, name);
  return m->Call(*p, this, args);
}

Variant ScriptObject::Get(const std::string& key, bool hasParens, const ast::ExprList& args,
                          Frame& f, bool inside) {
  Machine& m = *f.m;
  const std::string& k = key.empty() ? cls_.defaultKey : key;
  if (k.empty()) Throw(kNoSuchMember);
  auto fi = cls_.fieldIndex.find(k);
  if (fi != cls_.fieldIndex.end() && (inside || cls_.fields[fi->second].isPublic)) {
    Variant& field = fields[fi->second];
    if (args.empty()) return field;
    return m.Index(field, args, f, k);
  }
  auto it = cls_.members.find(k);
  if (it == cls_.members.end()) Throw(kNoSuchMember, k);
  const ClassDef::Member& member = it->second;
  if (member.method && (inside || member.method->isPublic))
    return m.Call(*member.method, this, args, f);
  if (member.get && (inside || member.get->isPublic)) return m.Call(*member.get, this, args, f);
  Throw(kNoSuchMember, k);
}

void ScriptObject::Set(const std::string& key, const ast::ExprList& args, Variant value, bool isSet,
                       Frame& f, bool inside) {
  Machine& m = *f.m;
  const std::string& k = key.empty() ? cls_.defaultKey : key;
  if (k.empty()) Throw(kNoSuchMember);
  auto fi = cls_.fieldIndex.find(k);
  if (fi != cls_.fieldIndex.end() && (inside || cls_.fields[fi->second].isPublic)) {
    Variant& field = fields[fi->second];
    if (args.empty()) {
      field = std::move(value);
    } else {
      m.Element(field, args, f, true) = std::move(value);
    }
    return;
  }
  auto it = cls_.members.find(k);
  if (it == cls_.members.end()) Throw(kNoSuchMember, k);
  const Procedure* p = isSet ? (it->second.set ? it->second.set : it->second.let) : it->second.let;
  if (!p || !(inside || p->isPublic)) Throw(kNoSuchMember, k);
  std::vector<Variant> values;
  values.reserve(args.size() + 1);
  for (const auto& a : args) values.push_back(a->Eval(f));
  values.push_back(std::move(value));
  m.Call(*p, this, std::span<Variant>(values));
}

}  // namespace tillbook::vbscript
