#include "vbscript/machine.h"

#include <typeinfo>

#include "base/text.h"
#include "vbscript/conversions.h"
#include "vbscript/script_class.h"

namespace tillbook::vbscript {

using namespace ast;

// Chunks keep their used count only while they are not the current one; the current one is
// described by bottom_, top_ and limit_.
Slot* SlotStack::PushSlow(int n) {
  constexpr int kChunk = 1024;
  if (!chunks_.empty()) {
    chunks_[current_].used = static_cast<int>(top_ - bottom_);
    ++current_;
  }
  if (current_ == chunks_.size()) {
    int size = std::max(kChunk, n);
    chunks_.push_back({std::make_unique<Slot[]>(static_cast<size_t>(size)), size, 0});
  } else if (chunks_[current_].size < n) {
    chunks_[current_] = {std::make_unique<Slot[]>(static_cast<size_t>(n)), n, 0};
  }
  Chunk& c = chunks_[current_];
  bottom_ = c.slots.get();
  top_ = bottom_ + n;
  limit_ = bottom_ + c.size;
  for (int i = 0; i < n; ++i) bottom_[i].ref = &bottom_[i].value;
  return bottom_;
}

void SlotStack::PopSlow(Slot* base, int n) {
  // The frame was the first of the current chunk: go back to the previous chunk.
  top_ = base;
  if (top_ != bottom_ || current_ == 0) return;
  --current_;
  Chunk& c = chunks_[current_];
  bottom_ = c.slots.get();
  top_ = bottom_ + c.used;
  limit_ = bottom_ + c.size;
}

Machine::Machine() : handle(std::make_shared<Machine*>(this)) {}

Machine::~Machine() {
  *handle = nullptr;
  // Objects die before the code they run.
  for (auto& cell : cells_) cell = Variant();
  errObject.reset();
}

Machine::Global* Machine::FindGlobal(const std::string& key) {
  auto it = globals_.find(key);
  return it == globals_.end() ? nullptr : &it->second;
}

Variant* Machine::CreateVariable(const std::string& name, const std::string& key) {
  Global& g = globals_[key];
  if (g.cell && g.kind == Global::Variable) return g.cell;
  cells_.emplace_back();
  g = Global{Global::Variable, name, &cells_.back(), nullptr, nullptr};
  ++generation;
  return g.cell;
}

void Machine::Link(std::unique_ptr<Unit> unit) {
  auto redefined = [](int line) {
    throw ScriptError(kNameRedefined, std::string(Description(kNameRedefined)), line,
                      std::string(kCompileSource));
  };
  // Check first, so that a unit with a compile error leaves the globals untouched.
  {
    std::unordered_map<std::string, int> seen;
    // A procedure declared twice is no error: the last declaration wins.
    for (const auto& p : unit->procs) seen.emplace(p->key, 1);
    for (const auto& c : unit->classes)
      if (!seen.emplace(c->key, 2).second) redefined(0);
    for (const auto& g : unit->globals) {
      auto it = seen.find(g.key);
      if (it != seen.end()) redefined(g.line);
      Global* existing = FindGlobal(g.key);
      if (existing && existing->kind == Global::Constant) redefined(g.line);
    }
  }
  for (const auto& g : unit->globals) {
    if (g.isConst) {
      cells_.push_back(g.value);
      globals_[g.key] = Global{Global::Constant, g.name, &cells_.back(), nullptr, nullptr};
      ++generation;
    } else {
      Global* existing = FindGlobal(g.key);
      if (!existing || existing->kind != Global::Variable) CreateVariable(g.name, g.key);
    }
  }
  for (const auto& p : unit->procs) {
    globals_[p->key] = Global{Global::Procedure, p->name, nullptr, p.get(), nullptr};
    ++generation;
  }
  for (const auto& c : unit->classes) {
    globals_[c->key] = Global{Global::Class, c->name, nullptr, nullptr, c.get()};
    ++generation;
  }
  for (Name* n : unit->unresolved) {
    Global* g = FindGlobal(n->key);
    Variant constant;
    if (g && g->kind == Global::Variable) {
      n->binding = Binding::Global;
      n->cell = g->cell;
    } else if (g && g->kind == Global::Constant) {
      n->binding = Binding::Constant;
      n->constant = *g->cell;
      if (!n->hasParens) n->fixedValue = &n->constant;
    } else if (g && g->kind == Global::Procedure) {
      n->binding = Binding::Procedure;
      n->proc = g->proc;
    } else if (g) {
      n->binding = Binding::Dynamic;
    } else if (const Builtin* b = FindBuiltin(n->key)) {
      n->binding = Binding::Builtin;
      n->builtin = b;
    } else if (FindBuiltinConstant(n->key, constant)) {
      n->binding = Binding::Constant;
      n->constant = constant;
      if (!n->hasParens) n->fixedValue = &n->constant;
    } else {
      n->binding = Binding::Dynamic;
    }
    if (n->binding == Binding::Dynamic) n->optionExplicit = unit->optionExplicit && !n->declaring;
  }
  unit->unresolved.clear();
  units_.push_back(std::move(unit));
}

void Machine::RunTop(const Unit& unit) {
  Frame frame{this, nullptr, nullptr, nullptr, false, {}};
  RunBlock(unit.top, frame);
}

void Machine::ReleaseGlobals() {
  Entry entry(*this);
  // Script objects and arrays first: their Class_Terminate may still use host objects.
  for (int pass = 0; pass < 2; ++pass) {
    for (auto& cell : cells_) {
      bool scriptOwned = cell.IsArray() || (cell.IsObject() && !cell.IsNothing() &&
                                            typeid(*cell.AsObject()) == typeid(ScriptObject));
      if (pass == 0 && !scriptOwned) continue;
      Variant dropped = std::move(cell);
      cell = Variant();
      dropped = Variant();  // Class_Terminate failures are swallowed where they run
    }
  }
}

void Machine::RunTransient(std::unique_ptr<Unit> unit) {
  Link(std::move(unit));
  const Unit* linked = units_.back().get();
  struct Drop {
    Machine& m;
    const Unit* unit;
    ~Drop() {
      if (unit->procs.empty() && unit->classes.empty() && !m.units_.empty() &&
          m.units_.back().get() == unit)
        m.units_.pop_back();
    }
  } drop{*this, linked};
  // Text run by Eval or Execute counts as a call: text that executes itself ("Execute s" with
  // s = "Execute s") ends with error 28 like any runaway recursion.
  EnterCall();
  struct Leave {
    Machine& m;
    ~Leave() { m.LeaveCall(); }
  } leave{*this};
  RunTop(*linked);
}

void Machine::SetErr(const RuntimeError& e) {
  err.number = e.number;
  err.description = e.description;
  err.source = e.source.empty() ? std::string(kRuntimeSource) : e.source;
  err.line = e.line;
  if (!e.fromRaise) {
    // An error of the engine or a host replaces everything a script's Raise left behind.
    err.helpFile.clear();
    err.helpContext = 0;
  }
}

ScriptError Interrupted::ToScriptError() const {
  std::string text(stopped ? kStoppedDescription : Description(kTimeLimitExceeded));
  return ScriptError(kTimeLimitExceeded, std::move(text), line, std::string(kRuntimeSource));
}

void Machine::CheckTime() {
  ticks_ = kTicksPerCheck;
  ThrowDeferred();
  // Relaxed: the flag carries no data, and the next check comes soon anyway.
  if (stopFlag && stopFlag->load(std::memory_order_relaxed)) throw Interrupted{0, true};
  if (hasDeadline_ && std::chrono::steady_clock::now() > deadline_) throw Interrupted{};
}

void Machine::ThrowDeferred() {
  if (!deferred_) return;
  Interrupted e = *deferred_;
  deferred_.reset();
  throw e;
}

void Machine::StartRun() {
  if (runDepth > 0) return;
  deferred_.reset();
  char here;
  // Calls may use maxStackBytes from here, and never the last kStackReserve of the thread's
  // stack, which one procedure's nesting and the builtins and hosts it calls may still need.
  auto at = reinterpret_cast<uintptr_t>(&here);
  uintptr_t floor = at > maxStackBytes ? at - maxStackBytes : 0;
  if (uintptr_t low = StackLowOfThisThread()) floor = std::max(floor, low + kStackReserve);
  stackFloor_ = floor;
  depth_ = 0;
  ticks_ = kTicksPerCheck;
  hasDeadline_ = timeLimit.count() > 0;
  if (hasDeadline_) deadline_ = std::chrono::steady_clock::now() + timeLimit;
  // A stop asked for before the run began is seen at once.
  if (stopFlag && stopFlag->load(std::memory_order_relaxed)) ticks_ = 1;
}

void Machine::DeepCall() {
  --depth_;
  Throw(kOutOfStack);
}

namespace {

struct CallGuard {
  Machine& m;
  Slot* slots;
  int n;
  ~CallGuard() {
    m.stack.Pop(slots, n);
    m.LeaveCall();
  }
};

// Array elements passed by reference are copied in and written back after the call.
struct WriteBack {
  Variant* arrayVar;
  const ExprList* indexes;
  int slot;
};

}  // namespace

Variant Machine::Call(const Procedure& p, ScriptObject* me, const ExprList& args, Frame& caller,
                      const int16_t* plan) {
  if (args.size() != p.ParamCount()) Throw(kWrongArgumentCount, p.name);
  EnterCall();
  Slot* slots = stack.Push(p.slotCount);
  CallGuard guard{*this, slots, p.slotCount};
  WriteBack backs[4];
  int backCount = 0;
  std::vector<WriteBack> moreBacks;
  for (size_t i = 0; i < args.size(); ++i) {
    Slot& s = slots[i + 1];
    if (plan && plan[i] >= 0) {
      s.ref = caller.slots[plan[i]].ref;
      continue;
    }
    const Expr& a = *args[i];
    if (!p.byVal[i] && !a.parenthesized) {
      if (a.localSlot >= 0) {
        s.ref = caller.slots[a.localSlot].ref;
        continue;
      }
      if (Variant* cell = StorageOf(a, caller, true)) {
        s.ref = cell;
        continue;
      }
      if (a.kind == ExprKind::Name) {
        const auto& n = static_cast<const Name&>(a);
        if (n.hasParens && !n.args.empty() &&
            (n.binding == Binding::Local || n.binding == Binding::Global ||
             n.binding == Binding::Field)) {
          Variant* container = n.binding == Binding::Local    ? &caller.Local(n.slot)
                               : n.binding == Binding::Global ? n.cell
                                                              : &caller.me->fields[n.slot];
          if (container->IsArray()) {
            s.value = Element(*container, n.args, caller, false);
            WriteBack wb{container, &n.args, static_cast<int>(i + 1)};
            if (backCount < 4)
              backs[backCount++] = wb;
            else
              moreBacks.push_back(wb);
            continue;
          }
        }
      }
    }
    if (const Variant* v = Peek(a, caller))
      PutCopy(s.value, *v);
    else
      Put(s.value, a.Eval(caller));
  }
  Frame frame{this, slots, me, &p, false, {}};
  RunBlock(p.body, frame);
  for (int i = 0; i < backCount + static_cast<int>(moreBacks.size()); ++i) {
    const WriteBack& wb = i < backCount ? backs[i] : moreBacks[static_cast<size_t>(i - backCount)];
    if (wb.arrayVar->IsArray())
      Element(*wb.arrayVar, *wb.indexes, caller, true) = std::move(slots[wb.slot].value);
  }
  return std::move(slots[0].value);
}

Variant Machine::Call(const Procedure& p, ScriptObject* me, std::span<Variant> args) {
  if (args.size() != p.ParamCount()) Throw(kWrongArgumentCount, p.name);
  EnterCall();
  Slot* slots = stack.Push(p.slotCount);
  CallGuard guard{*this, slots, p.slotCount};
  for (size_t i = 0; i < args.size(); ++i) {
    if (p.byVal[i])
      slots[i + 1].value = args[i];
    else
      slots[i + 1].ref = &args[i];
  }
  Frame frame{this, slots, me, &p, false, {}};
  RunBlock(p.body, frame);
  return std::move(slots[0].value);
}

std::shared_ptr<Object> Machine::NewObject(const ClassDef& cls) {
  auto object = std::make_shared<ScriptObject>(cls, handle);
  if (cls.initialize) Call(*cls.initialize, object.get(), std::span<Variant>());
  return object;
}

}  // namespace tillbook::vbscript
