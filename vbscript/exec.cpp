// Execution of statements: assignments, calls, the control structures, declarations of
// arrays, On Error and With.
#include <algorithm>
#include <typeinfo>

#include "vbscript/conversions.h"
#include "vbscript/machine.h"
#include "vbscript/operators.h"
#include "vbscript/script_class.h"

namespace tillbook::vbscript {

using namespace ast;

namespace {

RuntimeError FromHostError(const Error& e) {
  int number = e.number() != 0 ? e.number() : 5;
  std::string text = e.message().empty() ? std::string(DescriptionOrUnknown(number)) : e.message();
  return RuntimeError{number, std::move(text), std::string(kRuntimeSource)};
}

// Handles a run-time error of statement `line`: stamps the line, and either records it in Err
// (On Error Resume Next) or passes it on.
void Handle(RuntimeError& e, int line, Frame& f) {
  if (e.line == 0) e.line = line;
  if (!f.resumeNext) throw;
  f.m->SetErr(e);
}

// Runs a block entered because its header failed under On Error Resume Next: execution goes
// on with the next statement in the text, the first of the body, which runs once.
Flow RunOnce(const Block& body, Frame& f, Flow exitKind) {
  Flow flow = RunBlock(body, f);
  return flow == exitKind ? Flow::Normal : flow;
}

bool Condition(const Expr& e, Frame& f) {
  bool truth;
  if (e.kind == ExprKind::Binary && static_cast<const Binary&>(e).CompareNums(f, truth))
    return truth;
  Variant tmp;
  const Variant& v = e.Ref(f, tmp);
  if (v.type() == VarType::Boolean) return v.AsBoolean();
  return IsTrue(v, *f.m->locale);
}

bool IsConversion(const std::string& key) {
  static constexpr std::string_view kNames[] = {"cbool", "cbyte", "ccur", "cdate", "cdbl",
                                                "cint",  "clng",  "csng", "cstr"};
  for (std::string_view name : kNames)
    if (key == name) return true;
  return false;
}

// A bound or step of a For: texts count as the numbers they hold, Null is refused.
Variant Counter(Variant v, const Locale& locale) {
  v = ValueOf(v);
  if (v.IsNull()) Throw(kInvalidUseOfNull);
  if (v.IsString()) return Variant::Double(ToDouble(v, locale));
  return v;
}

}  // namespace

Flow ast::RunBlock(const Block& block, Frame& f) {
  for (const auto& stmt : block) {
    try {
      Flow flow = stmt->Exec(f);
      if (flow != Flow::Normal) return flow;
    } catch (RuntimeError& e) {
      Handle(e, stmt->line, f);
    } catch (Interrupted& e) {
      if (e.line == 0) e.line = stmt->line;
      throw;
    } catch (const ScriptError& e) {
      // A script object reached through a host or a default value reports no line of its own.
      RuntimeError r{e.number(), e.description(), e.source(), e.line() ? e.line() : stmt->line};
      if (!f.resumeNext) throw r;
      f.m->SetErr(r);
    } catch (const Error& e) {
      RuntimeError r = FromHostError(e);
      r.line = stmt->line;
      if (!f.resumeNext) throw r;
      f.m->SetErr(r);
    } catch (const std::bad_alloc&) {
      RuntimeError r{kOutOfMemory, std::string(Description(kOutOfMemory)),
                     std::string(kRuntimeSource), stmt->line};
      if (!f.resumeNext) throw r;
      f.m->SetErr(r);
    }
  }
  return Flow::Normal;
}

namespace {

// Appends within the text limit; near the limit the text grows to the limit at most, not to
// twice its size.
void Append(std::string& text, std::string_view more, Machine& m) {
  size_t need = text.size() + more.size();
  m.CheckText(need);
  if (need > text.capacity() && need > m.maxTextBytes / 2)
    text.reserve(std::max(need, std::min(2 * text.size(), m.maxTextBytes)));
  text.append(more);
}

void Store(const Expr& target, Variant value, bool isSet, Frame& f) {
  Machine& m = *f.m;
  if (target.kind == ExprKind::Member) {
    const auto& mem = static_cast<const Member&>(target);
    if (!mem.object) {
      if (f.with.empty()) Throw(kInvalidReference);
      Variant object = f.with.back();
      m.SetMember(object, mem.name, mem.key, mem.args, std::move(value), isSet, f);
      return;
    }
    Variant tmp;
    const Variant& object = mem.object->Ref(f, tmp);
    if (mem.key.empty() && object.IsArray()) {
      Variant* cell = m.StorageOf(*mem.object, f, false);
      if (!cell) Throw(kIllegalAssignment);
      m.Element(*cell, mem.args, f, true) = std::move(value);
      return;
    }
    m.SetMember(object, mem.name, mem.key, mem.args, std::move(value), isSet, f);
    return;
  }
  const auto& n = static_cast<const Name&>(target);
  Variant* cell = nullptr;
  switch (n.binding) {
    case Binding::Local:
      cell = &f.Local(n.slot);
      break;
    case Binding::Global:
      if (n.isConst) Throw(kIllegalAssignment, n.name);
      cell = n.cell;
      break;
    case Binding::Field:
      cell = &f.me->fields[n.slot];
      break;
    case Binding::Dynamic: {
      Machine::Global* g = LookupDynamic(n, m);
      if (g && (g->kind == Machine::Global::Procedure || g->kind == Machine::Global::Class))
        Throw(kIllegalAssignment, n.name);
      cell = DynamicCell(n, f, true);
      if (!cell) Throw(kIllegalAssignment, n.name);
      break;
    }
    case Binding::Method:
      f.me->Set(n.key, n.args, std::move(value), isSet, f, true);
      return;
    default:
      Throw(kIllegalAssignment, n.name);
  }
  if (!n.hasParens) {
    Put(*cell, std::move(value));
    return;
  }
  if (cell->IsObject()) {
    m.SetMember(*cell, "", "", n.args, std::move(value), isSet, f);
    return;
  }
  Put(m.Element(*cell, n.args, f, true), std::move(value));
}

}  // namespace

Flow Assign::Exec(Frame& f) const {
  if (!isSet && target->kind == ExprKind::Name) {
    const auto& n = static_cast<const Name&>(*target);
    if (n.binding == Binding::Local && !n.hasParens) {
      Num r;
      if (value->NumCandidate() && NumOperand(*value, f, r)) {
        StoreNum(f.Local(n.slot), r);
        return Flow::Normal;
      }
      if (value->kind == ExprKind::Binary) {
        // s = s & x appends in place, so that building a text in a loop stays linear.
        const auto& b = static_cast<const Binary&>(*value);
        if (b.op == BinaryOp::Concat && b.left->localSlot == n.slot && b.right->Pure()) {
          if (std::string* text = f.Local(n.slot).MutableString()) {
            Variant tmp;
            const Variant& right = b.right->Ref(f, tmp);
            if (right.IsString())
              Append(*text, right.AsString(), *f.m);
            else
              Append(*text, ToTextOrEmpty(right, *f.m->locale), *f.m);
            return Flow::Normal;
          }
        }
      }
      Variant v = value->Eval(f);
      if (v.IsObject()) v = ValueOf(v);
      Put(f.Local(n.slot), std::move(v));
      return Flow::Normal;
    }
    if (n.binding == Binding::Local && n.args.size() == 1) {
      // An element of a local one-dimensional array set to a number: no temporaries.
      Variant& var = f.Local(n.slot);
      const Variant* index = Peek(*n.args[0], f);
      Num r;
      if (var.IsArray() && index && var.AsArray()->upper.size() == 1 &&
          (index->type() == VarType::Integer || index->type() == VarType::Long) &&
          value->NumCandidate() && value->EvalNum(f, r)) {
        int64_t i = index->RawInteger();
        VarArray& a = WritableArray(var);
        if (i < 0 || i > a.upper[0]) Throw(kSubscriptOutOfRange);
        StoreNum(a.items[static_cast<size_t>(i)], r);
        return Flow::Normal;
      }
    }
  }
  Variant v = value->Eval(f);
  if (isSet) {
    if (!v.IsObject()) Throw(kObjectRequired);
  } else if (v.IsObject()) {
    v = ValueOf(v);
  }
  Store(*target, std::move(v), isSet, f);
  return Flow::Normal;
}

Flow CallStmt::Exec(Frame& f) const {
  Machine& m = *f.m;
  if (target->kind == ExprKind::Member) {
    const auto& mem = static_cast<const Member&>(*target);
    Variant tmp;
    if (!mem.object) {
      if (f.with.empty()) Throw(kInvalidReference);
      Variant object = f.with.back();
      m.GetMember(object, mem.name, mem.key, mem.hasParens, mem.args, f, InvokeKind::Call);
      return Flow::Normal;
    }
    const Variant& object = mem.object->Ref(f, tmp);
    m.GetMember(object, mem.name, mem.key, mem.hasParens, mem.args, f, InvokeKind::Call);
    return Flow::Normal;
  }
  const auto& n = static_cast<const Name&>(*target);
  switch (n.binding) {
    case Binding::Builtin:
      // The conversions are operators of the language rather than functions, and cannot be
      // called as statements.
      if (n.key.size() >= 3 && n.key[0] == 'c' && IsConversion(n.key)) Throw(kUnsupportedType);
      n.Eval(f);
      return Flow::Normal;
    case Binding::Procedure:
    case Binding::Method:
      n.Eval(f);
      return Flow::Normal;
    case Binding::Dynamic: {
      Machine::Global* g = LookupDynamic(n, m);
      if (g && g->kind == Machine::Global::Procedure) {
        m.Call(*g->proc, nullptr, n.args, f);
        return Flow::Normal;
      }
      if (!g && n.optionExplicit) Throw(kVariableUndefined, n.name);
      break;
    }
    default:
      break;
  }
  // A variable called as a procedure: its object's default member, anything else is no Sub.
  const Variant* var = nullptr;
  switch (n.binding) {
    case Binding::Local:
      var = &f.Local(n.slot);
      break;
    case Binding::Global:
      var = n.cell;
      break;
    case Binding::Field:
      var = &f.me->fields[n.slot];
      break;
    case Binding::Constant:
      var = &n.constant;
      break;
    case Binding::Dynamic:
      var = DynamicCell(n, f, false);
      break;
    default:
      break;
  }
  if (!var) Throw(kTypeMismatch, n.name);
  const Variant& v = *var;
  if (v.IsObject()) {
    m.GetMember(v, "", "", n.hasParens, n.args, f, InvokeKind::Call);
    return Flow::Normal;
  }
  if (v.IsArray() && n.hasParens) {
    m.Index(v, n.args, f, n.name);
    return Flow::Normal;
  }
  Throw(kTypeMismatch, n.name);
}

Flow If::Exec(Frame& f) const {
  for (const auto& [cond, body] : branches) {
    bool take;
    try {
      take = Condition(*cond, f);
    } catch (RuntimeError& e) {
      // A failing condition under On Error Resume Next goes on inside the branch.
      Handle(e, line, f);
      take = true;
    }
    if (take) return RunBlock(body, f);
  }
  return RunBlock(elseBlock, f);
}

namespace {

bool CaseMatches(const CaseItem& item, const Variant& value, const Expr& test, Frame& f) {
  const Locale& locale = *f.m->locale;
  Variant tmp;
  const Variant& v = item.value->Ref(f, tmp);
  LiteralSides sides{test.numberLiteral, item.value->numberLiteral, test.stringLiteral,
                     item.value->stringLiteral};
  bool isNull;
  if (item.kind == CaseItem::Value) return Compare(value, v, sides, locale, isNull) == 0 && !isNull;
  if (item.kind == CaseItem::Compare) {
    Variant r = Comparison(item.op, value, v, sides, locale);
    return r.type() == VarType::Boolean && r.AsBoolean();
  }
  Variant tmp2;
  const Variant& hi = item.upper->Ref(f, tmp2);
  bool n1, n2;
  return Compare(value, v, sides, locale, n1) >= 0 && Compare(value, hi, sides, locale, n2) <= 0 &&
         !n1 && !n2;
}

}  // namespace

Flow Select::Exec(Frame& f) const {
  Variant value;
  try {
    value = ValueOf(test->Eval(f));
  } catch (RuntimeError& e) {
    // Under On Error Resume Next the next statement in the text is the first Case's body.
    Handle(e, line, f);
    return cases.empty() ? Flow::Normal : RunBlock(cases.front().body, f);
  }
  for (const auto& c : cases) {
    bool match = c.items.empty();
    for (const auto& item : c.items) {
      try {
        match = CaseMatches(item, value, *test, f);
      } catch (RuntimeError& e) {
        // A failing Case expression goes on inside its body, as a failing If condition does.
        Handle(e, line, f);
        match = true;
      }
      if (match) break;
    }
    if (match) return RunBlock(c.body, f);
  }
  return Flow::Normal;
}

Flow For::Exec(Frame& f) const {
  Machine& m = *f.m;
  const Locale& locale = *m.locale;
  Variant start, limit, increment;
  Variant* var;
  try {
    start = Counter(from->Eval(f), locale);
    limit = Counter(to->Eval(f), locale);
    increment = step ? Counter(step->Eval(f), locale) : Variant::Integer(1);
    var = m.StorageOf(*this->var, f, true);
    if (!var) Throw(kIllegalAssignment, this->var->name);
  } catch (RuntimeError& e) {
    Handle(e, line, f);
    return RunOnce(body, f, Flow::ExitFor);
  }
  auto isInt = [](const Variant& v) {
    return v.type() == VarType::Integer || v.type() == VarType::Long;
  };
  if (isInt(start) && isInt(limit) && isInt(increment)) {
    int64_t i = start.AsInteger(), last = limit.AsInteger(), s = increment.AsInteger();
    *var = start;
    while (s >= 0 ? i <= last : i >= last) {
      Flow flow = RunBlock(body, f);
      if (flow == Flow::ExitFor) return Flow::Normal;
      if (flow != Flow::Normal) return flow;
      m.Tick();
      if (!isInt(*var)) {
        // The body stored something else in the counter: continue with the general rules.
        *var = Arithmetic(BinaryOp::Add, *var, increment, locale, m.maxTextBytes);
        goto general;
      }
      i = var->RawInteger() + s;
      if (i >= -32768 && i <= 32767 && var->type() == VarType::Integer)
        var->SetIntegral(VarType::Integer, i);
      else if (i >= -2147483648LL && i <= 2147483647LL)
        var->SetIntegral(VarType::Long, i);
      else
        *var = Variant::Double(static_cast<double>(i));
    }
    return Flow::Normal;
  }
  *var = start;
general:
  double last = ToDouble(limit, locale), s = ToDouble(increment, locale);
  while (true) {
    double i = ToDouble(*var, locale);
    if (s >= 0 ? i > last : i < last) break;
    Flow flow = RunBlock(body, f);
    if (flow == Flow::ExitFor) return Flow::Normal;
    if (flow != Flow::Normal) return flow;
    m.Tick();
    *var = Arithmetic(BinaryOp::Add, ValueOf(*var), increment, locale, m.maxTextBytes);
  }
  return Flow::Normal;
}

namespace {

// Positions of an array's elements in the order For Each visits them: the first index
// varies fastest, while the elements are stored with the last index fastest.
std::vector<size_t> VisitOrder(const VarArray& a) {
  std::vector<size_t> order;
  order.reserve(a.items.size());
  size_t dims = a.upper.size();
  std::vector<int32_t> idx(dims, 0);
  for (size_t n = 0; n < a.items.size(); ++n) {
    order.push_back(FlatIndex(a, idx));
    for (size_t d = 0; d < dims; ++d) {
      if (++idx[d] <= a.upper[d]) break;
      idx[d] = 0;
    }
  }
  return order;
}

}  // namespace

Flow ForEach::Exec(Frame& f) const {
  Machine& m = *f.m;
  std::vector<Variant> items;
  std::shared_ptr<VarArray> array;
  std::vector<size_t> order;
  try {
    Variant group = collection->Eval(f);
    if (group.IsArray()) {
      array = group.AsArray();  // iterates the array as it was when the loop started
      if (array->upper.size() > 1) order = VisitOrder(*array);
    } else if (group.IsObject()) {
      if (group.IsNothing()) Throw(kObjectNotSet);
      if (!group.AsObject()->Enumerate(items)) Throw(kNotCollection);
    } else {
      Throw(kNotCollection);
    }
  } catch (RuntimeError& e) {
    Handle(e, line, f);
    return RunOnce(body, f, Flow::ExitFor);
  }
  size_t count = array ? array->items.size() : items.size();
  for (size_t i = 0; i < count; ++i) {
    Variant* var = m.StorageOf(*this->var, f, true);
    if (!var) Throw(kIllegalAssignment, this->var->name);
    *var = array ? array->items[order.empty() ? i : order[i]] : items[i];
    Flow flow = RunBlock(body, f);
    if (flow == Flow::ExitFor) return Flow::Normal;
    if (flow != Flow::Normal) return flow;
    m.Tick();
  }
  // A collection's enumerator hands out Empty once it is exhausted; an array leaves the last
  // element in the variable.
  if (!array && count > 0) {
    if (Variant* var = m.StorageOf(*this->var, f, true)) *var = Variant();
  }
  return Flow::Normal;
}

Flow Do::Exec(Frame& f) const {
  Machine& m = *f.m;
  while (true) {
    if (condition && testFirst) {
      bool enter;
      try {
        enter = Condition(*condition, f) != isUntil;
      } catch (RuntimeError& e) {
        // Resumes with the next statement in the text: the first of the body.
        Handle(e, line, f);
        enter = true;
      }
      if (!enter) return Flow::Normal;
    }
    Flow flow = RunBlock(body, f);
    if (flow == Flow::ExitDo && !isWhileWend) return Flow::Normal;
    if (flow != Flow::Normal) return flow;
    m.Tick();
    if (condition && !testFirst && Condition(*condition, f) == isUntil) return Flow::Normal;
  }
}

Flow Dim::Exec(Frame& f) const {
  Machine& m = *f.m;
  for (const auto& item : items) {
    Variant* var = m.StorageOf(*item.var, f, true);
    if (!var) Throw(kIllegalAssignment, item.var->name);
    std::vector<int32_t> upper;
    for (const auto& b : item.bounds) upper.push_back(ToLong(ValueOf(b->Eval(f)), *m.locale));
    if (!preserve || !var->IsArray() || var->AsArray()->upper.empty()) {
      *var = MakeArray(upper);
      continue;
    }
    const VarArray& old = *var->AsArray();
    if (old.upper.size() != upper.size()) Throw(kSubscriptOutOfRange);
    for (size_t d = 0; d + 1 < upper.size(); ++d)
      if (upper[d] != old.upper[d]) Throw(kSubscriptOutOfRange);
    Variant fresh = MakeArray(upper);
    VarArray& to = *fresh.AsArray();
    // Only the last dimension changes: copy row by row what still fits.
    size_t oldLast = static_cast<size_t>(old.upper.back()) + 1;
    size_t newLast = static_cast<size_t>(upper.back()) + 1;
    size_t rows = newLast == 0 ? 0 : to.items.size() / newLast;
    size_t keep = std::min(oldLast, newLast);
    for (size_t r = 0; r < rows; ++r)
      for (size_t c = 0; c < keep; ++c) to.items[r * newLast + c] = old.items[r * oldLast + c];
    *var = std::move(fresh);
  }
  return Flow::Normal;
}

Flow Erase::Exec(Frame& f) const {
  for (const auto& v : vars) {
    Variant* var = f.m->StorageOf(*v, f, false);
    if (!var || !var->IsArray()) Throw(kTypeMismatch, v->name);
    if (fixed[&v - &vars[0]]) {
      // declared with bounds: the elements are reset, the array stays
      VarArray& a = WritableArray(*var);
      for (auto& item : a.items) item = Variant();
    } else {
      *var = MakeArray({});
    }
  }
  return Flow::Normal;
}

Flow Exit::Exec(Frame& f) const {
  if (kind == Flow::ExitProc) f.m->err = Machine::ErrState();
  return kind;
}

Flow OnError::Exec(Frame& f) const {
  f.resumeNext = resumeNext;
  f.m->err = Machine::ErrState();
  return Flow::Normal;
}

Flow With::Exec(Frame& f) const {
  Variant v;
  try {
    v = object->Eval(f);
    if (!v.IsObject()) Throw(kObjectRequired);
  } catch (RuntimeError& e) {
    // The body still runs; its members of the missing object fail one by one.
    Handle(e, line, f);
    v = Variant();
  }
  f.with.push_back(std::move(v));
  struct Pop {
    Frame& f;
    ~Pop() { f.with.pop_back(); }
  } pop{f};
  return RunBlock(body, f);
}

Flow ast::Fail::Exec(Frame&) const {
  Throw(number, name);
}

}  // namespace tillbook::vbscript
