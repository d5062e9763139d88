// The parser's state and its small helpers, shared by the files of the parser: expressions
// and units in parser.cpp, statements in parser_statements.cpp, procedures and classes in
// parser_procedures.cpp. Private to vbscript/.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text.h"
#include "vbscript/errors.h"
#include "vbscript/lexer.h"
#include "vbscript/limits.h"
#include "vbscript/program.h"

namespace tillbook::vbscript::parsing {

using namespace ast;

// Names of one procedure while its body is parsed.
struct ProcScope {
  Procedure* proc = nullptr;
  std::unordered_map<std::string, int> slots;
  std::unordered_map<std::string, Variant> consts;
  std::unordered_set<std::string> fixedArrays;
  std::vector<Name*> refs;
};

// The value scripts see for an argument left out of a call (f(a, , b)).
inline Variant MissingArgument() {
  return Variant::Error(-2147352572);
}

class Parser {
  // Nesting of the recursive rules (blocks, parentheses, argument lists, prefix operators) is
  // bounded, so that a hostile or broken text is a compile error and not a crash of the
  // parser; so is the native stack it may use, for text compiled deep inside a running script.
  struct Nesting {
    explicit Nesting(Parser& p) : parser(p) {
      if (++parser.depth_ > kMaxNesting) {
        --parser.depth_;
        parser.Fail(kExpressionTooComplex);
      }
      if (StackLeft() < kParserStackReserve) {
        --parser.depth_;
        parser.Fail(kOutOfStack);
      }
    }
    ~Nesting() { --parser.depth_; }
    Parser& parser;
  };

 public:
  explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)), unit_(new Unit) {}

  std::unique_ptr<Unit> ParseUnit();

  // expression NEWLINE END
  std::unique_ptr<Unit> ParseSingleExpression(std::string_view resultName);

 private:
  // ---- tokens ----
  const Token& Cur() const { return t_[pos_]; }
  const Token& PeekAt(size_t k) const { return t_[std::min(pos_ + k, t_.size() - 1)]; }
  bool Is(Tok type) const { return Cur().type == type; }
  bool IsKw(Kw kw) const { return Cur().type == Tok::Ident && Cur().kw == kw; }
  const Token& Advance() { return t_[pos_ < t_.size() - 1 ? pos_++ : pos_]; }
  bool Accept(Tok type) {
    if (!Is(type)) return false;
    Advance();
    return true;
  }
  bool AcceptKw(Kw kw) {
    if (!IsKw(kw)) return false;
    Advance();
    return true;
  }
  void Expect(Tok type, int error) {
    if (!Accept(type)) Fail(error);
  }
  void ExpectKw(Kw kw, int error) {
    if (!AcceptKw(kw)) Fail(error);
  }
  [[noreturn]] void Fail(int number) const {
    throw ScriptError(number, std::string(Description(number)), Cur().line,
                      std::string(kCompileSource));
  }
  bool IsIdentifier() const { return Is(Tok::Ident) && IsSoftKeyword(Cur().kw); }
  const Token& ExpectIdentifier() {
    if (!IsIdentifier()) Fail(kExpectedIdentifier);
    return Advance();
  }
  // Member names after '.' may be any word, keywords included (rs.Open, .Step, Err.Raise).
  const Token& ExpectMemberName() {
    if (!Is(Tok::Ident)) Fail(kExpectedIdentifier);
    return Advance();
  }
  void SkipSeparators() {
    while (Is(Tok::NewLine) || Is(Tok::Colon)) Advance();
  }
  bool AtStatementEnd() const {
    return Is(Tok::NewLine) || Is(Tok::Colon) || Is(Tok::End) || IsKw(Kw::Else);
  }
  void ExpectSeparator() {
    if (!Is(Tok::NewLine) && !Is(Tok::Colon) && !Is(Tok::End)) Fail(kExpectedEndOfStatement);
  }
  // The End that closes a procedure or class may follow a statement on the same line
  // ("Sub S() x = 1 End Sub").
  bool AtDeclarationEnd() const {
    if (!IsKw(Kw::End)) return false;
    Kw next = PeekAt(1).kw;
    return next == Kw::Sub || next == Kw::Function || next == Kw::Property || next == Kw::Class;
  }
  // "Property" starts a declaration only when Get, Let or Set follows; otherwise it names a
  // variable.
  bool AtPropertyDeclaration() const {
    Kw next = PeekAt(1).kw;
    return next == Kw::Get || next == Kw::Let || next == Kw::Set;
  }
  // At a '(' after a blank in a statement: whether the parenthesized text is followed by '=',
  // making it the index of an assignment target ("a (0) = 5").
  bool IndexBeforeAssignment() const;

  // ---- names ----
  Name* Register(Name* n) {
    if (scope_)
      scope_->refs.push_back(n);
    else if (inClass_)
      classRefs_.push_back(n);
    else
      unit_->unresolved.push_back(n);
    return n;
  }
  std::unique_ptr<Name> MakeName(const Token& tok) {
    auto n = std::make_unique<Name>(tok.text, tok.key, tok.line);
    Register(n.get());
    return n;
  }
  // Declares a variable of the current scope.
  void Declare(const Token& tok) {
    if (scope_) {
      if (!scope_->slots.count(tok.key)) scope_->slots[tok.key] = scope_->proc->slotCount++;
      return;
    }
    for (const auto& g : unit_->globals)
      if (g.key == tok.key) return;
    unit_->globals.push_back({tok.text, tok.key, false, {}, tok.line});
  }
  // Whether the name, where it is used, is an array declared with bounds: a local one, else
  // (unless a local hides it) a field of the class being parsed or a global of this text.
  bool IsFixedArray(const std::string& key) const {
    if (scope_) {
      if (scope_->fixedArrays.count(key)) return true;
      if (scope_->slots.count(key)) return false;
    }
    if (class_) {
      auto field = class_->fieldIndex.find(key);
      if (field != class_->fieldIndex.end()) return !class_->fields[field->second].dims.empty();
    }
    return globalFixed_.count(key) > 0;
  }

  // ---- expressions ----
  // expr := binary(0)
  ExprPtr ParseExpr();
  // binary(min) := power { op power }   for the operators of level min and tighter:
  //   0 Imp  1 Eqv  2 Xor  3 Or  4 And  (5 Not)  6 = <> < > <= >= Is  7 &  8 + -  9 Mod
  //   10 \  11 * /
  // Operators of one level associate to the left; pending operands wait on a stack of this
  // call, so a long run of operators nests no native calls.
  ExprPtr ParseBinary(int minLevel);
  // The level of the binary operator at the current token (and the operator), or -1.
  int BinaryLevel(BinaryOp& op) const;
  static constexpr int kComparisonLevel = 6;
  static constexpr int kConcatLevel = 7;
  ExprPtr MakeBinary(BinaryOp op, ExprPtr a, ExprPtr b, int line);
  // Sets the height of a finished node from its children's; refuses a tree too high to
  // evaluate (error 16).
  void Measure(Expr& e) const;
  // not := Not binary(6)
  ExprPtr ParseNot();
  // unary := (- | +) unary | primary
  ExprPtr ParseUnary();
  ExprPtr Negate(ExprPtr operand, int line);
  // power := unary { ^ unary }
  ExprPtr ParsePower();
  // primary := literal | ( expr ) | New name | Not unary | Me postfix | [.]name postfix
  ExprPtr ParsePrimary();

  static bool HasParens(const Expr& e) {
    if (e.kind == ExprKind::Name) return static_cast<const Name&>(e).hasParens;
    if (e.kind == ExprKind::Member) return static_cast<const Member&>(e).hasParens;
    return true;
  }
  static ExprList& ArgsOf(Expr& e) {
    if (e.kind == ExprKind::Name) return static_cast<Name&>(e).args;
    return static_cast<Member&>(e).args;
  }
  static void SetParens(Expr& e) {
    if (e.kind == ExprKind::Name) static_cast<Name&>(e).hasParens = true;
    if (e.kind == ExprKind::Member) static_cast<Member&>(e).hasParens = true;
  }

  // postfix := { ( args ) | . name }
  // In a statement, a '(' after a blank that would open the call's own arguments starts the
  // argument list instead ("Foo (a), b" passes (a) by value).
  ExprPtr ParsePostfix(ExprPtr node, bool statement);
  // args := ( [ [expr] { , [expr] } ] )
  ExprList ParseParenArgs();
  // callargs := [expr] { , [expr] }   (up to the end of the statement)
  ExprList ParseCallArgs();

  // ---- statements ----
  void ParseTopLevelStatement();

  bool AtBlockEnd() const;

  Block ParseBlock();

  void ParseStatement(Block& out);

  // simple := [Set | Let | Call] target [= expr | callargs]
  void ParseSimple(Block& out);

  void CheckAssignable(const Expr& target) const;

  // dim := name [( [bounds] )] { , name [( [bounds] )] }
  void ParseDim(Block& out);

  // redim := ReDim [Preserve] name ( bounds ) { , name ( bounds ) }
  void ParseReDim(Block& out);

  // const := Const name = literal { , name = literal }
  void ParseConst(Block&);

  // if := If expr Then NEWLINE block { ElseIf expr Then block } [Else block] End If
  //     | If expr Then stmts [Else stmts]
  void ParseIf(Block& out);
  void ParseInline(Block& block);

  // select := Select Case expr { Case items block } [Case Else block] End Select
  void ParseSelect(Block& out);

  // for := For name = expr To expr [Step expr] block Next [name {, name}]
  //      | For Each name In expr block Next [name]
  void ParseFor(Block& out);
  void ParseNext();

  // do := Do [(While | Until) expr] block Loop [(While | Until) expr]
  void ParseDo(Block& out);

  // while := While expr block Wend
  void ParseWhile(Block& out);

  // exit := Exit (Do | For | Function | Sub | Property)
  void ParseExit(Block& out);

  void ParseErase(Block& out);

  // onerror := On Error (Resume Next | GoTo 0)
  void ParseOnError(Block& out);

  // with := With expr block End With
  void ParseWith(Block& out);

  // procedure := (Function | Sub | Property (Get | Let | Set)) name [( params )] block
  //              End (Function | Sub | Property)
  void ParseProcedure(bool isPublic, bool isDefault, ClassDef* cls);

  void BindProcedure(ProcScope& scope);

  void AddToClass(ClassDef& cls, std::unique_ptr<Procedure> proc);

  // class := Class name { field | procedure } End Class
  void ParseClass();

  std::vector<Token> t_;
  size_t pos_ = 0;
  std::unique_ptr<Unit> unit_;
  ProcScope* scope_ = nullptr;
  bool inClass_ = false;
  const ClassDef* class_ = nullptr;  // the class being parsed
  std::vector<Name*> classRefs_;
  std::unordered_set<std::string> globalFixed_;
  int pendingNext_ = 0;
  bool seenStatement_ = false;  // Option Explicit must come first
  int loopDepth_[2] = {0, 0};   // For, Do
  int depth_ = 0;
};

}  // namespace tillbook::vbscript::parsing
