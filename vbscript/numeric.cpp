// Evaluation of numeric subtrees without Variants: the interpreter's fast path for the
// arithmetic loops of scripts. Results follow the same subtype rules as the general
// operators; anything those rules would widen, convert or reject falls back to them.
#include <cmath>

#include "vbscript/conversions.h"
#include "vbscript/machine.h"
#include "vbscript/script_class.h"

namespace tillbook::vbscript {

using namespace ast;

namespace {

// An integer result of rank Integer (wideIn false) or Long; false when it would become a
// Double.
[[gnu::always_inline]] inline bool FitInt(int64_t r, bool wideIn, Num& n) {
  n.isDouble = false;
  n.i = r;
  if (!wideIn && r >= -32768 && r <= 32767) {
    n.wide = false;
    return true;
  }
  n.wide = true;
  return r >= -2147483648LL && r <= 2147483647LL;
}

[[gnu::always_inline]] inline bool NumOf(const Variant& v, Num& n) {
  switch (v.type()) {
    case VarType::Integer:
      n.isDouble = false;
      n.wide = false;
      n.i = v.RawInteger();
      return true;
    case VarType::Long:
      n.isDouble = false;
      n.wide = true;
      n.i = v.RawInteger();
      return true;
    case VarType::Double:
      n.isDouble = true;
      n.d = v.RawDouble();
      return true;
    case VarType::Empty:
      n.isDouble = false;
      n.wide = false;
      n.i = 0;
      return true;
    default:
      return false;
  }
}

// Rounding of the operands of \ and Mod, as CLng does; false outside the Long range.
[[gnu::always_inline]] inline bool ToLongOperand(const Num& n, int64_t& out) {
  if (!n.isDouble) {
    out = n.i;
    return true;
  }
  double r = RoundHalfEven(n.d);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
  out = static_cast<int64_t>(r);
  return true;
}

[[gnu::always_inline]] inline bool Operand(const Expr& e, Frame& f, Num& n) {
  if (const Variant* p = Peek(e, f)) return NumOf(*p, n);
  // Nested arithmetic by a direct call: cheaper than the virtual one.
  if (e.kind == ExprKind::Binary) return static_cast<const Binary&>(e).Binary::EvalNum(f, n);
  if (e.kind == ExprKind::Name) {
    const auto& name = static_cast<const Name&>(e);
    if (name.binding == Binding::Local && name.args.size() == 1) {
      const Variant& var = f.Local(name.slot);
      const Variant* index = Peek(*name.args[0], f);
      if (var.IsArray() && index && var.AsArray()->upper.size() == 1 &&
          (index->type() == VarType::Integer || index->type() == VarType::Long)) {
        const VarArray& a = *var.AsArray();
        int64_t i = index->RawInteger();
        if (i < 0 || i > a.upper[0]) return false;
        return NumOf(a.items[static_cast<size_t>(i)], n);
      }
    }
  }
  return e.EvalNum(f, n);
}

}  // namespace

bool NumOperand(const Expr& e, Frame& f, Num& n) {
  return Operand(e, f, n);
}

const Expr* NumericBody(const Procedure& p) {
  if (p.numeric == 0) {
    // Marked "no" while deciding, so that a Function reaching itself is no candidate.
    p.numeric = 2;
    if (p.kind == Procedure::Kind::Function && !p.owner && p.body.size() == 1) {
      const auto* assign = dynamic_cast<const Assign*>(p.body[0].get());
      if (assign && !assign->isSet && assign->target->kind == ExprKind::Name) {
        const auto& target = static_cast<const Name&>(*assign->target);
        if (target.binding == Binding::Local && target.slot == 0 && !target.hasParens &&
            assign->value->NumCandidate())
          p.numeric = 1;
      }
    }
  }
  return p.numeric == 1 ? static_cast<const Assign&>(*p.body[0]).value.get() : nullptr;
}

bool Name::ComputeNumCandidate() const {
  if (binding == Binding::Procedure) {
    if (!NumericBody(*proc) || args.size() != proc->ParamCount()) return false;
    for (const auto& a : args)
      if (!a->NumCandidate()) return false;
    return true;
  }
  if (binding != Binding::Local && binding != Binding::Global && binding != Binding::Field &&
      binding != Binding::Constant)
    return false;
  for (const auto& a : args)
    if (!a->NumCandidate()) return false;
  return true;
}

namespace {

// A call of a Function whose body is plain arithmetic: the parameters are bound to the
// arguments' values (the caller's variables themselves, which the body only reads) and the
// body evaluated as a number; false, with nothing changed, when the general rules must decide.
bool CallNumeric(const Name& call, Frame& f, Num& n) {
  const Expr* body = NumericBody(*call.proc);
  if (!body) return false;
  Machine& m = *f.m;
  int count = call.proc->slotCount;
  m.EnterCall();
  Slot* slots = m.stack.Push(count);
  struct Release {
    Machine& m;
    Slot* slots;
    int count;
    ~Release() {
      m.stack.Pop(slots, count);
      m.LeaveCall();
    }
  } release{m, slots, count};
  for (size_t i = 0; i < call.args.size(); ++i) {
    const Expr& a = *call.args[i];
    if (a.localSlot >= 0) {
      slots[i + 1].ref = f.slots[a.localSlot].ref;
      continue;
    }
    Num x;
    if (!Operand(a, f, x)) return false;
    StoreNum(slots[i + 1].value, x);
  }
  Frame frame{&m, slots, nullptr, call.proc, false, {}};
  return Operand(*body, frame, n);
}

}  // namespace

bool Name::EvalNum(Frame& f, Num& n) const {
  if (binding == Binding::Procedure) return CallNumeric(*this, f, n);
  const Variant* var = Variable(f);
  if (!var) return false;
  if (!hasParens) return NumOf(*var, n);
  if (!var->IsArray()) return false;
  const VarArray& a = *var->AsArray();
  if (args.size() != a.upper.size()) return false;
  size_t flat = 0;
  for (size_t d = 0; d < args.size(); ++d) {
    Num index;
    int64_t i;
    if (!Operand(*args[d], f, index) || !ToLongOperand(index, i) || i < 0 || i > a.upper[d])
      return false;
    flat = flat * (static_cast<size_t>(a.upper[d]) + 1) + static_cast<size_t>(i);
  }
  return NumOf(a.items[flat], n);
}

bool Unary::EvalNum(Frame& f, Num& n) const {
  Num x;
  if (!Operand(*operand, f, x)) return false;
  if (x.isDouble) {
    n.isDouble = true;
    n.d = -x.d;
    return true;
  }
  return FitInt(-x.i, x.wide, n);
}

namespace {

[[gnu::always_inline]] inline bool Compute(BinaryOp op, const Num& x, const Num& y, Num& n) {
  if (op == BinaryOp::Mod || op == BinaryOp::IntDiv) {
    int64_t a, b;
    if (!ToLongOperand(x, a) || !ToLongOperand(y, b) || b == 0) return false;
    // Operands are within the Long range: 32-bit division is much cheaper than 64-bit.
    int64_t r;
    if (op == BinaryOp::Mod)
      r = b == -1 ? 0 : static_cast<int32_t>(a) % static_cast<int32_t>(b);
    else
      r = b == -1 ? -a : static_cast<int32_t>(a) / static_cast<int32_t>(b);
    return FitInt(r, x.isDouble || y.isDouble || x.wide || y.wide, n);
  }
  if (op > BinaryOp::Mod) return false;
  if (!x.isDouble && !y.isDouble && op != BinaryOp::Div) {
    int64_t r = op == BinaryOp::Add ? x.i + y.i : op == BinaryOp::Sub ? x.i - y.i : x.i * y.i;
    return FitInt(r, x.wide || y.wide, n);
  }
  double a = x.isDouble ? x.d : static_cast<double>(x.i);
  double b = y.isDouble ? y.d : static_cast<double>(y.i);
  double r;
  switch (op) {
    case BinaryOp::Add:
      r = a + b;
      break;
    case BinaryOp::Sub:
      r = a - b;
      break;
    case BinaryOp::Mul:
      r = a * b;
      break;
    default:
      if (b == 0) return false;
      r = a / b;
      break;
  }
  if (!std::isfinite(r)) return false;
  n.isDouble = true;
  n.d = r;
  return true;
}

}  // namespace

bool NumArithmetic(BinaryOp op, const Num& x, const Num& y, Num& n) {
  return Compute(op, x, y, n);
}

bool NumOfValue(const Variant& v, Num& n) {
  return NumOf(v, n);
}

bool Binary::EvalNum(Frame& f, Num& n) const {
  Num x, y;
  if (!Operand(*left, f, x) || !Operand(*right, f, y)) return false;
  return Compute(op, x, y, n);
}

bool Binary::CompareNums(Frame& f, bool& result) const {
  if (op < BinaryOp::Eq || op > BinaryOp::Ge || !BothNum()) return false;
  Num x, y;
  if (!Operand(*left, f, x) || !Operand(*right, f, y)) return false;
  int c;
  if (!x.isDouble && !y.isDouble) {
    c = x.i < y.i ? -1 : x.i > y.i ? 1 : 0;
  } else {
    double a = x.isDouble ? x.d : static_cast<double>(x.i);
    double b = y.isDouble ? y.d : static_cast<double>(y.i);
    c = a < b ? -1 : a > b ? 1 : 0;
  }
  switch (op) {
    case BinaryOp::Eq:
      result = c == 0;
      break;
    case BinaryOp::Ne:
      result = c != 0;
      break;
    case BinaryOp::Lt:
      result = c < 0;
      break;
    case BinaryOp::Gt:
      result = c > 0;
      break;
    case BinaryOp::Le:
      result = c <= 0;
      break;
    default:
      result = c >= 0;
      break;
  }
  return true;
}

}  // namespace tillbook::vbscript
