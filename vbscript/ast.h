// The syntax tree the parser builds and the interpreter walks. Names are bound to where they
// live (a local slot, a global cell, a field of the class instance, a procedure, a builtin)
// before the tree runs, so the walk does no lookups by name on its hot paths. Evaluation and
// execution are virtual members implemented in eval.cpp and exec.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/variant.h"

namespace tillbook::vbscript {

struct Frame;
struct Procedure;
struct ClassDef;
struct Builtin;
struct GlobalEntry;

namespace ast {

enum class ExprKind : uint8_t { Literal, Name, Member, WithMember, Unary, Binary, Chain, New, Me };

// A plain number computed without Variants: a Double, or an integer of Integer or Long rank.
// Left uninitialized on purpose: it lives on the hottest paths, and whoever produces one sets
// isDouble and then either d, or i and wide.
struct Num {
  bool isDouble;
  bool wide;
  int64_t i;
  double d;
};

struct Expr {
  explicit Expr(ExprKind k, int l) : kind(k), line(l) {}
  virtual ~Expr() = default;
  // The value; objects stay objects (callers that need a value resolve default members).
  virtual Variant Eval(Frame& f) const = 0;
  // The value without a copy when it already lives somewhere (a variable, a literal).
  virtual const Variant& Ref(Frame& f, Variant& tmp) const {
    tmp = Eval(f);
    return tmp;
  }

  // Numeric evaluation without Variants for subtrees of number literals, variables, array
  // elements and + - * / \ Mod: false, with nothing evaluated that has an effect, when a value
  // is not an Integer, Long, Double or Empty or the result needs the general rules (overflow
  // into another subtype, division by zero).
  virtual bool EvalNum(Frame& f, Num& n) const { return false; }
  // Whether EvalNum may succeed; decided on first use, once the names are bound.
  bool NumCandidate() const {
    if (candidate_ == 0) candidate_ = ComputeNumCandidate() ? 1 : 2;
    return candidate_ == 1;
  }
  virtual bool ComputeNumCandidate() const { return false; }
  // Evaluating it cannot run script code or change a variable; decided on first use.
  bool Pure() const {
    if (pure_ == 0) pure_ = ComputePure() ? 1 : 2;
    return pure_ == 1;
  }
  virtual bool ComputePure() const { return false; }

  ExprKind kind;
  // Levels of the tree under this node, itself included (set by the parser, which bounds it):
  // evaluation recurses once per level.
  uint16_t height = 1;
  int line;
  // Where the value lives without evaluation: a local variable slot (names without
  // arguments) or a fixed value (literals, constants). Lets hot paths skip the virtual call.
  int localSlot = -1;
  const Variant* fixedValue = nullptr;
  mutable uint8_t candidate_ = 0;
  mutable uint8_t pure_ = 0;
  bool parenthesized = false;  // written inside its own parentheses: passed by value
  bool numberLiteral = false;  // a numeric literal, for the comparison rules of mixed operands
  bool stringLiteral = false;
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

struct Literal final : Expr {
  explicit Literal(Variant v, int l) : Expr(ExprKind::Literal, l), value(std::move(v)) {
    fixedValue = &value;
  }
  Variant Eval(Frame&) const override { return value; }
  const Variant& Ref(Frame&, Variant&) const override { return value; }
  bool EvalNum(Frame&, Num& n) const override {
    n.isDouble = value.type() == VarType::Double;
    n.wide = value.type() == VarType::Long;
    if (n.isDouble)
      n.d = value.RawDouble();
    else
      n.i = value.RawInteger();
    return true;
  }
  bool ComputeNumCandidate() const override {
    return value.type() == VarType::Integer || value.type() == VarType::Long ||
           value.type() == VarType::Double;
  }
  bool ComputePure() const override { return true; }
  Variant value;
};

enum class Binding : uint8_t {
  Unresolved,
  Local,      // slot of the running procedure
  Global,     // a cell of the global table
  Field,      // a field of the running class instance
  Method,     // a procedure of the running instance's class
  Procedure,  // a global Function or Sub
  Builtin,
  Constant,
  Dynamic,  // looked up by name when run (names created later, implicit variables)
};

// An identifier, optionally with an argument list: a variable, an array element, a call.
struct Name final : Expr {
  Name(std::string n, std::string k, int l)
      : Expr(ExprKind::Name, l), name(std::move(n)), key(std::move(k)) {}

  Variant Eval(Frame& f) const override;
  const Variant& Ref(Frame& f, Variant& tmp) const override;
  bool EvalNum(Frame& f, Num& n) const override;
  bool ComputeNumCandidate() const override;
  bool ComputePure() const override;
  // The variable the name is bound to (a local, a global, a field, a constant); null for
  // anything else.
  const Variant* Variable(Frame& f) const;

  // What the walk reads first comes first, in the node's first cache line.
  Binding binding = Binding::Unresolved;
  bool hasParens = false;
  bool isConst = false;         // Global cell of a Const
  bool optionExplicit = false;  // Dynamic: undeclared names are error 500
  bool inProcedure = false;
  bool declaring = false;   // target of a ReDim: never error 500
  int slot = -1;            // Local, Field; Dynamic: the implicit local (-1 at global level)
  Variant* cell = nullptr;  // Global
  const Procedure* proc = nullptr;  // Procedure, Method
  ExprList args;
  const Builtin* builtin = nullptr;
  // Procedure calls: per argument, the caller's local slot passed by reference, or -1; made
  // at the first call (planned false until then) for up to four arguments.
  mutable bool planned = false;
  mutable int16_t plan[4] = {-1, -1, -1, -1};
  mutable GlobalEntry* cache = nullptr;  // Dynamic: the global found
  // Dynamic: the generation of the global table when the name was last not found
  mutable uint32_t cacheGen = 0;
  std::string name, key;
  Variant constant;
};

// object.name[(args)]
struct Member final : Expr {
  Member(ExprPtr o, std::string n, std::string k, int l)
      : Expr(ExprKind::Member, l), object(std::move(o)), name(std::move(n)), key(std::move(k)) {}
  Variant Eval(Frame& f) const override;
  ExprPtr object;  // nullptr: the object of the innermost With
  std::string name, key;
  ExprList args;
  bool hasParens = false;
};

enum class UnaryOp : uint8_t { Neg, Plus, Not };
struct Unary final : Expr {
  Unary(UnaryOp o, ExprPtr e, int l) : Expr(ExprKind::Unary, l), op(o), operand(std::move(e)) {}
  bool ComputeNumCandidate() const override {
    return op == UnaryOp::Neg && operand->NumCandidate();
  }
  bool ComputePure() const override { return operand->Pure(); }
  Variant Eval(Frame& f) const override;
  bool EvalNum(Frame& f, Num& n) const override;
  UnaryOp op;
  ExprPtr operand;
};

enum class BinaryOp : uint8_t {
  Add,
  Sub,
  Mul,
  Div,
  IntDiv,
  Mod,
  Pow,
  Concat,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  Is,
  And,
  Or,
  Xor,
  Eqv,
  Imp,
};
struct Binary final : Expr {
  Binary(BinaryOp o, ExprPtr a, ExprPtr b, int l)
      : Expr(ExprKind::Binary, l), op(o), left(std::move(a)), right(std::move(b)) {
    if (left->kind == ExprKind::Binary) spine = static_cast<const Binary&>(*left).spine + 1;
  }
  bool ComputeNumCandidate() const override {
    return BothNum() && (op == BinaryOp::Add || op == BinaryOp::Sub || op == BinaryOp::Mul ||
                         op == BinaryOp::Div || op == BinaryOp::Mod || op == BinaryOp::IntDiv);
  }
  bool BothNum() const { return left->NumCandidate() && right->NumCandidate(); }
  bool ComputePure() const override { return left->Pure() && right->Pure(); }
  Variant Eval(Frame& f) const override;
  bool EvalNum(Frame& f, Num& n) const override;
  // For comparisons of plain numbers: the outcome without Variants, or false.
  bool CompareNums(Frame& f, bool& result) const;
  BinaryOp op;
  // Binary nodes down the left side, this one included: a long run becomes a Chain.
  uint16_t spine = 1;
  ExprPtr left, right;
};

// Binary operators applied left to right: ((first op x1) op x2) ... Long runs of operators
// (generated text with thousands of terms) become one of these, so that neither evaluation nor
// destruction recurses once per operator.
struct Chain final : Expr {
  struct Link {
    BinaryOp op;
    ExprPtr operand;
  };
  Chain(ExprPtr f, int l) : Expr(ExprKind::Chain, l), first(std::move(f)) {}
  bool ComputePure() const override;
  Variant Eval(Frame& f) const override;
  ExprPtr first;
  std::vector<Link> rest;
};

struct New : Expr {
  New(std::string n, std::string k, int l)
      : Expr(ExprKind::New, l), name(std::move(n)), key(std::move(k)) {}
  Variant Eval(Frame& f) const override;
  std::string name, key;
};

struct Me : Expr {
  explicit Me(int l) : Expr(ExprKind::Me, l) {}
  Variant Eval(Frame& f) const override;
};

// Statements. Exec returns how control leaves the statement.
enum class Flow : uint8_t { Normal, ExitDo, ExitFor, ExitProc };

struct Stmt {
  explicit Stmt(int l) : line(l) {}
  virtual ~Stmt() = default;
  virtual Flow Exec(Frame& f) const = 0;
  int line;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

// Runs statements in order with the On Error machinery; stops at the first non-Normal flow.
Flow RunBlock(const Block& block, Frame& f);

struct Assign : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  ExprPtr target, value;
  bool isSet = false;
};

// A procedure or method called as a statement; the result is dropped.
struct CallStmt : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  ExprPtr target;
};

struct If : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  std::vector<std::pair<ExprPtr, Block>> branches;
  Block elseBlock;
};

struct CaseItem {
  enum Kind : uint8_t { Value, Range, Compare } kind = Value;
  BinaryOp op = BinaryOp::Eq;  // Compare: Case Is <op> value
  ExprPtr value, upper;
};
struct Select : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  ExprPtr test;
  struct Case {
    std::vector<CaseItem> items;  // empty: Case Else
    Block body;
  };
  std::vector<Case> cases;
};

struct For : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  std::unique_ptr<Name> var;
  ExprPtr from, to, step;
  Block body;
};

struct ForEach : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  std::unique_ptr<Name> var;
  ExprPtr collection;
  Block body;
};

struct Do : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  ExprPtr condition;  // nullptr: loop until Exit Do
  bool isUntil = false;
  bool testFirst = true;
  bool isWhileWend = false;  // While...Wend: Exit Do does not apply
  Block body;
};

struct Exit : Stmt {
  Exit(int l, Flow k) : Stmt(l), kind(k) {}
  Flow Exec(Frame& f) const override;  // Exit Function/Sub/Property also clear Err
  Flow kind;
};

// Dim / ReDim of arrays; plain Dims of scalars produce no statement.
struct Dim : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  struct Item {
    std::unique_ptr<Name> var;
    ExprList bounds;
    bool fixed = false;  // ReDim of an array declared with bounds: error 10
  };
  std::vector<Item> items;
  bool isReDim = false;
  bool preserve = false;
};

struct Erase : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  std::vector<std::unique_ptr<Name>> vars;
  std::vector<bool> fixed;  // declared with bounds: elements reset, the array stays
};

struct OnError : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  bool resumeNext = false;
};

struct With : Stmt {
  using Stmt::Stmt;
  Flow Exec(Frame& f) const override;
  ExprPtr object;
  Block body;
};

// A statement the parser knew to fail only when run (ReDim of a fixed array...).
struct Fail : Stmt {
  Fail(int l, int n, std::string nm) : Stmt(l), number(n), name(std::move(nm)) {}
  Flow Exec(Frame& f) const override;
  int number;
  std::string name;
};

}  // namespace ast
}  // namespace tillbook::vbscript
