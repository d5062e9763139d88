// Evaluation of expressions: names by their binding, array elements, member access on script
// and host objects, operators.
#include <cmath>
#include <typeinfo>

#include "base/text.h"
#include "vbscript/conversions.h"
#include "vbscript/limits.h"
#include "vbscript/machine.h"
#include "vbscript/operators.h"
#include "vbscript/regexp.h"
#include "vbscript/script_class.h"

namespace tillbook::vbscript {

using namespace ast;

Variant MakeArray(const std::vector<int32_t>& upper) {
  auto a = std::make_shared<VarArray>();
  a->upper = upper;
  size_t n = upper.empty() ? 0 : 1;
  for (int32_t u : upper) {
    if (u < -1) Throw(kSubscriptOutOfRange);
    // Checked at each step: the product of many large bounds must not wrap around.
    size_t extent = static_cast<size_t>(u) + 1;
    if (extent != 0 && n > kMaxArrayElements / extent) Throw(kOutOfMemory);
    n *= extent;
  }
  a->items.resize(n);
  return Variant::Array(std::move(a));
}

VarArray& WritableArray(Variant& v) {
  if (!v.IsArray()) Throw(kTypeMismatch);
  if (v.AsArray().use_count() > 1) v = Variant::Array(std::make_shared<VarArray>(*v.AsArray()));
  return *v.AsArray();
}

size_t FlatIndex(const VarArray& a, std::span<const int32_t> idx) {
  if (idx.size() != a.upper.size()) Throw(kSubscriptOutOfRange);
  size_t flat = 0;
  for (size_t d = 0; d < idx.size(); ++d) {
    if (idx[d] < 0 || idx[d] > a.upper[d]) Throw(kSubscriptOutOfRange);
    flat = flat * (static_cast<size_t>(a.upper[d]) + 1) + static_cast<size_t>(idx[d]);
  }
  return flat;
}

namespace {

int32_t IndexValue(const Expr& e, Frame& f) {
  if (const Variant* p = Peek(e, f)) {
    if (p->type() == VarType::Integer || p->type() == VarType::Long)
      return static_cast<int32_t>(p->RawInteger());
    return ToLong(*p, *f.m->locale);
  }
  Num n;
  if (e.NumCandidate() && NumOperand(e, f, n) && !n.isDouble) return static_cast<int32_t>(n.i);
  Variant tmp;
  const Variant& v = e.Ref(f, tmp);
  if (v.type() == VarType::Integer || v.type() == VarType::Long)
    return static_cast<int32_t>(v.AsInteger());
  return ToLong(v, *f.m->locale);
}

size_t ElementPosition(const VarArray& a, const ExprList& args, Frame& f) {
  if (args.size() == 1 && a.upper.size() == 1) {
    int32_t i = IndexValue(*args[0], f);
    if (i < 0 || i > a.upper[0]) Throw(kSubscriptOutOfRange);
    return static_cast<size_t>(i);
  }
  int32_t idx[8];
  if (args.size() > 8 || args.size() != a.upper.size()) Throw(kSubscriptOutOfRange);
  for (size_t i = 0; i < args.size(); ++i) idx[i] = IndexValue(*args[i], f);
  return FlatIndex(a, std::span<const int32_t>(idx, args.size()));
}

ScriptObject* AsScriptObject(const Variant& v) {
  Object* o = v.AsObject().get();
  if (o && typeid(*o) == typeid(ScriptObject)) return static_cast<ScriptObject*>(o);
  return nullptr;
}

}  // namespace

Variant Machine::Index(const Variant& container, const ExprList& args, Frame& f,
                       const std::string& name) {
  if (container.IsArray()) {
    const VarArray& a = *container.AsArray();
    return a.items[ElementPosition(a, args, f)];
  }
  if (container.IsObject()) return GetMember(container, "", "", true, args, f, InvokeKind::Get);
  if (args.empty()) return container;
  Throw(kTypeMismatch, name);
}

Variant& Machine::Element(Variant& arrayVar, const ExprList& args, Frame& f, bool forWrite) {
  if (!arrayVar.IsArray()) Throw(kTypeMismatch);
  // Indexes first: evaluating them may run code that changes the array.
  size_t pos = ElementPosition(*arrayVar.AsArray(), args, f);
  VarArray& a = forWrite ? WritableArray(arrayVar) : *arrayVar.AsArray();
  if (pos >= a.items.size()) Throw(kSubscriptOutOfRange);
  return a.items[pos];
}

Machine::Global* LookupDynamic(const Name& n, Machine& m) {
  if (n.cache) return n.cache;
  if (n.cacheGen == m.generation) return nullptr;
  Machine::Global* g = m.FindGlobal(n.key);
  if (g)
    n.cache = g;
  else
    n.cacheGen = m.generation;
  return g;
}

Variant* DynamicCell(const Name& n, Frame& f, bool create) {
  Machine& m = *f.m;
  Machine::Global* g = LookupDynamic(n, m);
  if (g) {
    if (g->kind == Machine::Global::Variable) return g->cell;
    if (g->kind == Machine::Global::Constant) {
      if (create) Throw(kIllegalAssignment, n.name);
      return g->cell;
    }
    return nullptr;
  }
  if (n.optionExplicit) Throw(kVariableUndefined, n.name);
  if (n.inProcedure && n.slot >= 0) return &f.Local(n.slot);
  if (!create) return nullptr;
  return m.CreateVariable(n.name, n.key);
}

Variant* Machine::StorageOf(const Expr& e, Frame& f, bool create) {
  if (e.kind != ExprKind::Name || e.parenthesized) return nullptr;
  const Name& n = static_cast<const Name&>(e);
  if (n.hasParens) return nullptr;
  switch (n.binding) {
    case Binding::Local:
      return &f.Local(n.slot);
    case Binding::Global:
      return n.isConst ? nullptr : n.cell;
    case Binding::Field:
      return &f.me->fields[n.slot];
    case Binding::Dynamic: {
      Variant* cell = DynamicCell(n, f, create);
      if (cell && !create) {
        Machine::Global* g = LookupDynamic(n, *this);
        if (g && g->kind == Global::Constant) return nullptr;
      }
      return cell;
    }
    default:
      return nullptr;
  }
}

const Variant* Name::Variable(Frame& f) const {
  switch (binding) {
    case Binding::Local:
      return &f.Local(slot);
    case Binding::Global:
      return cell;
    case Binding::Field:
      return &f.me->fields[slot];
    case Binding::Constant:
      return &constant;
    default:
      return nullptr;
  }
}

const Variant& Name::Ref(Frame& f, Variant& tmp) const {
  if (const Variant* var = Variable(f)) {
    if (!hasParens) return *var;
    // An element read in place; callers copy it before running anything that may change it.
    if (var->IsArray() && !args.empty()) {
      const VarArray& a = *var->AsArray();
      return a.items[ElementPosition(a, args, f)];
    }
  }
  tmp = Eval(f);
  return tmp;
}

bool Name::ComputePure() const {
  if (binding != Binding::Local && binding != Binding::Global && binding != Binding::Field &&
      binding != Binding::Constant)
    return false;
  for (const auto& a : args)
    if (!a->Pure()) return false;
  return true;
}

Variant Name::Eval(Frame& f) const {
  Machine& m = *f.m;
  const Variant* var = nullptr;
  switch (binding) {
    case Binding::Local:
      var = &f.Local(slot);
      break;
    case Binding::Global:
      var = cell;
      break;
    case Binding::Field:
      var = &f.me->fields[slot];
      break;
    case Binding::Constant:
      var = &constant;
      break;
    case Binding::Procedure: {
      if (!planned) {
        planned = true;
        for (size_t i = 0; i < args.size() && i < 4 && i < proc->ParamCount(); ++i) {
          const Expr& a = *args[i];
          if (!proc->byVal[i] && !a.parenthesized && a.localSlot >= 0)
            plan[i] = static_cast<int16_t>(a.localSlot);
        }
      }
      return m.Call(*proc, nullptr, args, f, args.size() <= 4 ? plan : nullptr);
    }
    case Binding::Builtin:
      return m.CallBuiltin(*builtin, args, f);
    case Binding::Method:
      if (proc) return m.Call(*proc, f.me, args, f);
      return f.me->Get(key, hasParens, args, f, true);
    case Binding::Dynamic: {
      Machine::Global* g = LookupDynamic(*this, m);
      if (g && g->kind == Machine::Global::Procedure) return m.Call(*g->proc, nullptr, args, f);
      if (g && g->kind == Machine::Global::Class) Throw(kTypeMismatch, name);
      var = DynamicCell(*this, f, false);
      if (!var) {
        if (hasParens) Throw(kTypeMismatch, name);
        return {};
      }
      break;
    }
    case Binding::Unresolved:
      Throw(kTypeMismatch, name);
  }
  if (!hasParens) return *var;
  return m.Index(*var, args, f, name);
}

Variant Member::Eval(Frame& f) const {
  Variant tmp;
  if (!object) {
    if (f.with.empty()) Throw(kInvalidReference);
    Variant target = f.with.back();
    return f.m->GetMember(target, name, key, hasParens, args, f, InvokeKind::Get);
  }
  const Variant& o = object->Ref(f, tmp);
  if (key.empty() && o.IsArray()) return f.m->Index(o, args, f, name);
  return f.m->GetMember(o, name, key, hasParens, args, f, InvokeKind::Get);
}

Variant Machine::GetMember(const Variant& object, const std::string& name, const std::string& key,
                           bool hasParens, const ExprList& args, Frame& f, InvokeKind kind) {
  if (!object.IsObject()) {
    if (key.empty() && object.IsArray()) return Index(object, args, f, name);
    Throw(kObjectRequired, name);
  }
  if (object.IsNothing()) Throw(kObjectNotSet);
  std::shared_ptr<Object> keep = object.AsObject();  // the call may drop the last other reference
  if (ScriptObject* so = AsScriptObject(object))
    return so->Get(key, hasParens, args, f, so == f.me);
  // Host members get plain values; arguments naming variables come back changed if the host
  // wrote into them.
  Variant inline_[4];
  std::vector<Variant> heap;
  std::span<Variant> values;
  if (args.size() <= 4) {
    values = std::span<Variant>(inline_, args.size());
  } else {
    heap.resize(args.size());
    values = std::span<Variant>(heap);
  }
  for (size_t i = 0; i < args.size(); ++i) values[i] = args[i]->Eval(f);
  Variant result = InvokeHost(*keep, name, kind, values);
  for (size_t i = 0; i < args.size(); ++i) {
    const Expr& a = *args[i];
    if (Variant* cell = StorageOf(a, f, false)) {
      if (!(*cell == values[i])) *cell = std::move(values[i]);
    } else if (a.kind == ExprKind::Name && !a.parenthesized) {
      // An array element given to the host comes back changed too.
      const auto& n = static_cast<const Name&>(a);
      Variant* container = n.binding == Binding::Local    ? &f.Local(n.slot)
                           : n.binding == Binding::Global ? n.cell
                           : n.binding == Binding::Field  ? &f.me->fields[n.slot]
                                                          : nullptr;
      if (container && container->IsArray() && !n.args.empty()) {
        Variant& element = Element(*container, n.args, f, false);
        if (!(element == values[i])) Element(*container, n.args, f, true) = std::move(values[i]);
      }
    }
  }
  return result;
}

void Machine::SetMember(const Variant& object, const std::string& name, const std::string& key,
                        const ExprList& args, Variant value, bool isSet, Frame& f) {
  if (!object.IsObject()) {
    if (key.empty() && object.IsArray()) Throw(kIllegalAssignment);
    Throw(kObjectRequired, name);
  }
  if (object.IsNothing()) Throw(kObjectNotSet);
  std::shared_ptr<Object> keep = object.AsObject();
  if (ScriptObject* so = AsScriptObject(object)) {
    so->Set(key, args, std::move(value), isSet, f, so == f.me);
    return;
  }
  std::vector<Variant> values;
  values.reserve(args.size() + 1);
  for (const auto& a : args) values.push_back(a->Eval(f));
  values.push_back(std::move(value));
  InvokeHost(*keep, name, isSet ? InvokeKind::Set : InvokeKind::Let, values);
}

Variant Machine::InvokeHost(Object& object, std::string_view name, InvokeKind kind,
                            std::span<Variant> args) {
  try {
    return object.Invoke(name, kind, args);
  } catch (const RuntimeError&) {
    throw;
  } catch (const Interrupted&) {
    throw;
  } catch (const ScriptError& e) {
    throw RuntimeError{e.number(), e.description(), e.source()};
  } catch (const Error& e) {
    int number = e.number() != 0 ? e.number() : 5;
    // A missing member reads the same whoever reports it.
    if (number == kNoSuchMember) Throw(kNoSuchMember);
    std::string text =
        e.message().empty() ? std::string(DescriptionOrUnknown(number)) : e.message();
    throw RuntimeError{number, std::move(text), std::string(kRuntimeSource)};
  } catch (const std::bad_alloc&) {
    Throw(kOutOfMemory);
  }
}

Variant Unary::Eval(Frame& f) const {
  Variant tmp;
  const Variant& v = operand->Ref(f, tmp);
  switch (op) {
    case UnaryOp::Neg:
      return Negate(v, *f.m->locale);
    case UnaryOp::Not:
      return vbscript::Not(v, *f.m->locale);
    default:
      return v;
  }
}

namespace {

// The value of a local, a fixed value or an element of a local one-dimensional array, read in
// place; nullptr when the expression needs evaluating.
inline const Variant* Fetch(const Expr& e, Frame& f) {
  if (const Variant* p = Peek(e, f)) return p;
  if (e.kind != ExprKind::Name) return nullptr;
  const auto& n = static_cast<const Name&>(e);
  if (n.binding != Binding::Local || n.args.size() != 1) return nullptr;
  const Variant& var = f.Local(n.slot);
  if (!var.IsArray()) return nullptr;
  const VarArray& a = *var.AsArray();
  if (a.upper.size() != 1) return nullptr;
  const Variant* index = Peek(*n.args[0], f);
  if (!index || (index->type() != VarType::Integer && index->type() != VarType::Long))
    return nullptr;
  int64_t i = index->RawInteger();
  if (i < 0 || i > a.upper[0]) return nullptr;
  return &a.items[static_cast<size_t>(i)];
}

// `left` is nullptr when the left value was computed rather than written (inside a Chain).
Variant Compute(BinaryOp op, const Variant& a, const Variant& b, const Expr* left,
                const Expr& right, Frame& f) {
  VarType ta = a.type(), tb = b.type();
  if ((ta == VarType::Integer || ta == VarType::Long) &&
      (tb == VarType::Integer || tb == VarType::Long) && op <= BinaryOp::Mul) {
    int64_t x = a.RawInteger(), y = b.RawInteger();
    int64_t r = op == BinaryOp::Add ? x + y : op == BinaryOp::Sub ? x - y : x * y;
    bool wide = ta == VarType::Long || tb == VarType::Long || r < -32768 || r > 32767;
    if (r >= -2147483648LL && r <= 2147483647LL) {
      Variant out;
      out.SetIntegral(wide ? VarType::Long : VarType::Integer, r);
      return out;
    }
  }
  if ((ta == VarType::Double || tb == VarType::Double) && op <= BinaryOp::Div &&
      (ta == VarType::Double || ta == VarType::Integer || ta == VarType::Long) &&
      (tb == VarType::Double || tb == VarType::Integer || tb == VarType::Long)) {
    // Floating arithmetic of plain numbers, the other common case.
    double x = ta == VarType::Double ? a.RawDouble() : static_cast<double>(a.RawInteger());
    double y = tb == VarType::Double ? b.RawDouble() : static_cast<double>(b.RawInteger());
    double r;
    switch (op) {
      case BinaryOp::Add:
        r = x + y;
        break;
      case BinaryOp::Sub:
        r = x - y;
        break;
      case BinaryOp::Mul:
        r = x * y;
        break;
      default:
        r = y == 0 ? NAN : x / y;
        break;
    }
    if (std::isfinite(r)) {
      Variant v;
      v.SetFloating(VarType::Double, r);
      return v;
    }
  }
  LiteralSides sides{left && left->numberLiteral, right.numberLiteral, left && left->stringLiteral,
                     right.stringLiteral};
  return Apply(op, a, b, sides, *f.m->locale, f.m->maxTextBytes);
}

}  // namespace

Variant Binary::Eval(Frame& f) const {
  if (BothNum()) {
    Num n;
    bool truth;
    if (NumCandidate() && EvalNum(f, n)) return FromNum(n);
    if (CompareNums(f, truth)) return Variant::Boolean(truth);
  }
  const Variant* a = Fetch(*left, f);
  bool rightPure = right->Pure();
  if (a && rightPure) {
    if (const Variant* b = Fetch(*right, f)) return Compute(op, *a, *b, left.get(), *right, f);
  }
  if (!rightPure && op <= BinaryOp::Mod && left->NumCandidate()) {
    // A number on the left and a call on the right (total + F(x)): the left value is kept
    // as a plain number while the call runs.
    Num x;
    if (NumOperand(*left, f, x)) {
      Variant b = right->Eval(f);
      Num y, r;
      if (NumOfValue(b, y) && NumArithmetic(op, x, y, r)) return FromNum(r);
      return Compute(op, FromNum(x), b, left.get(), *right, f);
    }
  }
  Variant t1, t2;
  if (!a) a = &left->Ref(f, t1);
  // The left value must not change under the right operand's calls.
  if (a != &t1 && !right->Pure()) {
    VarType t = a->type();
    if (t == VarType::Integer || t == VarType::Long)
      t1.SetIntegral(t, a->RawInteger());
    else if (t == VarType::Double)
      t1.SetFloating(t, a->RawDouble());
    else
      t1 = *a;
    a = &t1;
  }
  const Variant* pb = Fetch(*right, f);
  return Compute(op, *a, pb ? *pb : right->Ref(f, t2), left.get(), *right, f);
}

bool Chain::ComputePure() const {
  if (!first->Pure()) return false;
  for (const Link& link : rest)
    if (!link.operand->Pure()) return false;
  return true;
}

Variant Chain::Eval(Frame& f) const {
  Variant value = first->Eval(f);
  const Expr* left = first.get();
  for (const Link& link : rest) {
    Variant tmp;
    const Variant& b = link.operand->Ref(f, tmp);
    value = Compute(link.op, value, b, left, *link.operand, f);
    left = nullptr;
  }
  return value;
}

Variant New::Eval(Frame& f) const {
  Machine::Global* g = f.m->FindGlobal(key);
  // RegExp is a class of the language itself, unless a script declares its own of that name.
  if (!g && key == "regexp") return Variant::Object(NewRegExp(f.m->handle));
  if (!g || g->kind != Machine::Global::Class) Throw(kClassNotDefined, name);
  return Variant::Object(f.m->NewObject(*g->cls));
}

Variant Me::Eval(Frame& f) const {
  if (!f.me) Throw(kInvalidMe);
  return Variant::Object(f.me->shared_from_this());
}

Variant Machine::CallBuiltin(const Builtin& b, const ExprList& args, Frame& f) {
  int n = static_cast<int>(args.size());
  if (n < b.minArgs || n > b.maxArgs) Throw(kWrongArgumentCount, b.name);
  if (n > 8) {
    std::vector<Variant> many;
    many.reserve(args.size());
    for (const auto& a : args) many.push_back(a->Eval(f));
    return b.fn(*this, std::span<Variant>(many));
  }
  // Only as many Variants as there are arguments: builtins are called in tight loops.
  alignas(Variant) unsigned char storage[8 * sizeof(Variant)];
  Variant* values = reinterpret_cast<Variant*>(storage);
  struct Destroy {
    Variant* values;
    int count = 0;
    ~Destroy() {
      for (int i = 0; i < count; ++i) values[i].~Variant();
    }
  } destroy{values};
  for (int i = 0; i < n; ++i) {
    const Variant* p = Peek(*args[i], f);
    new (values + i) Variant(p ? *p : args[i]->Eval(f));
    destroy.count = i + 1;
  }
  return b.fn(*this, std::span<Variant>(values, static_cast<size_t>(n)));
}

}  // namespace tillbook::vbscript
