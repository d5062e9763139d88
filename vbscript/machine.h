// The running interpreter's state and the operations the tree walk needs: the global table,
// the stack of procedure slots, calls with by-reference arguments, member access on script and
// host objects, the Err state, the time limit, the stop flag and the recursion guard. Private
// to vbscript/.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/variant.h"
#include "vbscript/ast.h"
#include "vbscript/errors.h"
#include "vbscript/limits.h"
#include "vbscript/locale.h"
#include "vbscript/program.h"

namespace tillbook::vbscript {

class Machine;
class ScriptObject;

// A variable of a procedure: `ref` points at `value` or, for a by-reference argument, at the
// caller's variable.
struct Slot {
  Variant value;
  Variant* ref = nullptr;
};

// Slots of the active procedures, in chunks so that slots never move while in use.
class SlotStack {
 public:
  Slot* Push(int n) {
    if (limit_ - top_ < n) return PushSlow(n);
    Slot* base = top_;
    top_ += n;
    for (int i = 0; i < n; ++i) base[i].ref = &base[i].value;
    return base;
  }
  void Pop(Slot* base, int n) {
    for (int i = 0; i < n; ++i)
      if (base[i].value.type() != VarType::Empty) base[i].value.SetIntegral(VarType::Empty, 0);
    if (base + n == top_ && base > bottom_) {
      top_ = base;
      return;
    }
    PopSlow(base, n);
  }

 private:
  Slot* PushSlow(int n);
  void PopSlow(Slot* base, int n);
  struct Chunk {
    std::unique_ptr<Slot[]> slots;
    int size = 0, used = 0;
  };
  std::vector<Chunk> chunks_;
  size_t current_ = 0;
  // The free part of the current chunk: [top_, limit_); bottom_ is its start.
  Slot* bottom_ = nullptr;
  Slot* top_ = nullptr;
  Slot* limit_ = nullptr;
};

struct Frame {
  Machine* m;
  Slot* slots = nullptr;
  ScriptObject* me = nullptr;
  const Procedure* proc = nullptr;
  bool resumeNext = false;
  std::vector<Variant> with;
  Variant& Local(int i) const { return *slots[i].ref; }
};

// The value of a local variable or a fixed value without evaluating; nullptr otherwise.
inline const Variant* Peek(const ast::Expr& e, const Frame& f) {
  if (e.localSlot >= 0) return f.slots[e.localSlot].ref;
  return e.fixedValue;
}

// Stores a value: plain numbers in place, anything else by move.
inline void Put(Variant& dst, Variant&& src) {
  switch (src.type()) {
    case VarType::Integer:
    case VarType::Long:
      dst.SetIntegral(src.type(), src.RawInteger());
      break;
    case VarType::Double:
      dst.SetFloating(VarType::Double, src.RawDouble());
      break;
    default:
      dst = std::move(src);
  }
}
// Copies a value: plain numbers in place, anything else by assignment.
inline void PutCopy(Variant& dst, const Variant& src) {
  switch (src.type()) {
    case VarType::Integer:
    case VarType::Long:
      dst.SetIntegral(src.type(), src.RawInteger());
      break;
    case VarType::Double:
      dst.SetFloating(VarType::Double, src.RawDouble());
      break;
    default:
      dst = src;
  }
}

// The arithmetic a Function returns when its body is nothing else ("F = (a * 3 + b) Mod 97"),
// read-only over its parameters; nullptr for any other procedure.
const ast::Expr* NumericBody(const Procedure& p);

// EvalNum with the common leaves (locals, literals, elements of local arrays) read in place.
bool NumOperand(const ast::Expr& e, Frame& f, ast::Num& n);
// + - * / \ Mod of plain numbers with the general rules' result subtypes; false when those
// rules must decide (overflow into Double, division by zero, any other operator).
bool NumArithmetic(ast::BinaryOp op, const ast::Num& x, const ast::Num& y, ast::Num& n);
// A plain number (Integer, Long, Double, Empty) as a Num.
bool NumOfValue(const Variant& v, ast::Num& n);
inline Variant FromNum(const ast::Num& n) {
  Variant v;
  if (n.isDouble)
    v.SetFloating(VarType::Double, n.d);
  else
    v.SetIntegral(n.wide ? VarType::Long : VarType::Integer, n.i);
  return v;
}
inline void StoreNum(Variant& dst, const ast::Num& n) {
  if (n.isDouble)
    dst.SetFloating(VarType::Double, n.d);
  else
    dst.SetIntegral(n.wide ? VarType::Long : VarType::Integer, n.i);
}

using BuiltinFn = Variant (*)(Machine& m, std::span<Variant> args);
struct Builtin {
  const char* name;
  int minArgs, maxArgs;
  BuiltinFn fn;
};
// By case-folded name; nullptr when there is none.
const Builtin* FindBuiltin(const std::string& key);
bool FindBuiltinConstant(const std::string& key, Variant& out);

// A name of the global table: a variable (host objects included), a constant, a procedure or
// a class. Entries never move or go away while the machine lives.
struct GlobalEntry {
  enum Kind : uint8_t { Variable, Constant, Procedure, Class } kind = Variable;
  std::string name;
  Variant* cell = nullptr;
  const vbscript::Procedure* proc = nullptr;
  const ClassDef* cls = nullptr;
};

// Thrown when a script runs past its time limit or its host asks it to stop; On Error never
// catches it.
struct Interrupted {
  int line = 0;
  bool stopped = false;  // by the host's stop flag, not the time limit
  // What the host sees when the interruption leaves the interpreter.
  ScriptError ToScriptError() const;
};

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  using Global = GlobalEntry;
  Global* FindGlobal(const std::string& key);
  Variant* CreateVariable(const std::string& name, const std::string& key);

  // Registers the unit's declarations and binds its names; keeps the unit alive.
  void Link(std::unique_ptr<Unit> unit);
  const Unit& LastUnit() const { return *units_.back(); }
  // Drops every global value while the machine still runs code, so that the Class_Terminate
  // of objects still referenced at the end of a script runs, as when a script ends.
  void ReleaseGlobals();
  // Runs the global statements of a linked unit.
  void RunTop(const Unit& unit);
  // Links and runs text given to Eval or Execute; a text that declares no procedure or class
  // is dropped afterwards, so that scripts calling Execute in a loop do not grow the machine.
  void RunTransient(std::unique_ptr<Unit> unit);

  // Calls with arguments taken from the caller's expressions (by reference where they name a
  // variable) or from host values (by reference into the span).
  Variant Call(const Procedure& p, ScriptObject* me, const ast::ExprList& args, Frame& caller,
               const int16_t* plan = nullptr);
  Variant Call(const Procedure& p, ScriptObject* me, std::span<Variant> args);

  // Member access on an object value: get or call (kind Get/Call), or assignment of `value`.
  Variant GetMember(const Variant& object, const std::string& name, const std::string& key,
                    bool hasParens, const ast::ExprList& args, Frame& f, InvokeKind kind);
  void SetMember(const Variant& object, const std::string& name, const std::string& key,
                 const ast::ExprList& args, Variant value, bool isSet, Frame& f);
  // Host invocation with errors of the host turned into script errors.
  Variant InvokeHost(Object& object, std::string_view name, InvokeKind kind,
                     std::span<Variant> args);
  // Element of an array or default member of an object for x(args).
  Variant Index(const Variant& container, const ast::ExprList& args, Frame& f,
                const std::string& name);
  Variant& Element(Variant& arrayVar, const ast::ExprList& args, Frame& f, bool forWrite);

  std::shared_ptr<Object> NewObject(const ClassDef& cls);
  Variant CallBuiltin(const Builtin& b, const ast::ExprList& args, Frame& f);

  // Where a by-reference argument or an assignment target lives; nullptr when the
  // expression is not a plain variable.
  Variant* StorageOf(const ast::Expr& e, Frame& f, bool create);

  // Err
  struct ErrState {
    int number = 0;
    std::string description, source, helpFile;
    int helpContext = 0;
    int line = 0;
  };
  ErrState err;
  void SetErr(const RuntimeError& e);
  std::shared_ptr<Object> errObject;

  // Limits
  // Counts one step of work (a loop iteration, a call); every few steps the time limit and
  // the stop flag are checked.
  void Tick() {
    if (--ticks_ <= 0) CheckTime();
  }
  // Counts a large piece of work (a long text built) as the steps it is worth.
  void Spend(size_t bytes) {
    ticks_ -= static_cast<int>(std::min<size_t>(bytes >> 12, kTicksPerCheck));
    if (ticks_ <= 0) CheckTime();
  }
  void CheckTime();
  // An interruption that reached a place that cannot throw (the end of a script object,
  // running its Class_Terminate): thrown again at the next check, or when the host entry
  // returns, so that the stop is not lost.
  void Defer(const Interrupted& e) {
    deferred_ = e;
    ticks_ = 1;
  }
  void ThrowDeferred();
  void StartRun();  // arms the time limit and the stack guard for a host call
  void EnterCall() {
    char here;
    if (++depth_ > maxDepth || reinterpret_cast<uintptr_t>(&here) < stackFloor_) DeepCall();
    Tick();
  }
  // Error 7 unless a text of `bytes` bytes may be built.
  void CheckText(size_t bytes) const { CheckTextSize(bytes, maxTextBytes); }
  // Entered by every way in from a host (AddCode, Call, a host calling a script object):
  // the outermost one arms the time limit and the stack guard.
  struct Entry {
    explicit Entry(Machine& machine) : m(machine) {
      m.StartRun();
      ++m.runDepth;
    }
    ~Entry() { --m.runDepth; }
    Machine& m;
  };
  void LeaveCall() { --depth_; }
  std::chrono::milliseconds timeLimit{0};
  int maxDepth = 1500;
  size_t maxStackBytes = 3u << 20;

  const Locale* locale = &Locale::Italian();
  std::function<double()> now;  // date serial of now
  std::unordered_map<std::string, std::function<std::shared_ptr<Object>()>> creatables;
  // Dialogs of MsgBox and InputBox; without them MsgBox answers OK and InputBox the default.
  std::function<int(const std::string& text, int buttons, const std::string& title)> msgBox;
  std::function<std::string(const std::string& prompt, const std::string& title,
                            const std::string& fallback)>
      inputBox;
  uint32_t generation = 1;
  // Rnd's 24-bit generator state; the last number drawn is rndSeed / 2^24.
  uint32_t rndSeed = 0x50000;
  std::shared_ptr<Machine*> handle;  // cleared when the machine goes away
  int runDepth = 0;
  std::vector<std::unique_ptr<Unit>> units_;
  SlotStack stack;
  // Set by the host, possibly from another thread, to stop the script at its next check.
  std::shared_ptr<const std::atomic<bool>> stopFlag;
  size_t maxTextBytes = kMaxTextBytes;

 private:
  static constexpr int kTicksPerCheck = 1024;
  [[noreturn]] void DeepCall();
  std::unordered_map<std::string, Global> globals_;
  std::deque<Variant> cells_;
  int ticks_ = kTicksPerCheck;
  int depth_ = 0;
  std::chrono::steady_clock::time_point deadline_;
  bool hasDeadline_ = false;
  // Calls below this address of the native stack are refused (error 28).
  uintptr_t stackFloor_ = 0;
  std::optional<Interrupted> deferred_;
};

// Resolves a name bound when run; nullptr when no global of that name exists.
Machine::Global* LookupDynamic(const ast::Name& n, Machine& m);

// The variable a Dynamic name stands for (created when `create` and allowed); nullptr for
// procedures, classes and unknown names that are only read.
Variant* DynamicCell(const ast::Name& n, Frame& f, bool create);

// A fresh array with the given upper bounds, all elements Empty.
Variant MakeArray(const std::vector<int32_t>& upper);
// The array of a variable ready for writing: shared arrays are copied first.
VarArray& WritableArray(Variant& v);
// Row-major position of the given indexes; error 9 when outside.
size_t FlatIndex(const VarArray& a, std::span<const int32_t> idx);

}  // namespace tillbook::vbscript
