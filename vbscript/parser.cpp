// Recursive-descent parser, first part: units and expressions. One function per grammar rule,
// each starting with the rule it parses.
#include "vbscript/parser.h"

#include "vbscript/conversions.h"
#include "vbscript/locale.h"
#include "vbscript/parser_impl.h"

namespace tillbook::vbscript {
namespace parsing {

std::unique_ptr<Unit> Parser::ParseUnit() {
  while (true) {
    SkipSeparators();
    if (Is(Tok::End)) break;
    ParseTopLevelStatement();
    ExpectSeparator();
  }
  return std::move(unit_);
}

// expression NEWLINE END
std::unique_ptr<Unit> Parser::ParseSingleExpression(std::string_view resultName) {
  auto assign = std::make_unique<Assign>(Cur().line);
  auto target = std::make_unique<Name>(std::string(resultName), text::Fold(resultName), 1);
  unit_->unresolved.push_back(target.get());
  unit_->globals.push_back({std::string(resultName), target->key, false, {}, 1});
  assign->target = std::move(target);
  assign->value = ParseExpr();
  SkipSeparators();
  if (!Is(Tok::End)) Fail(kExpectedEndOfStatement);
  unit_->top.push_back(std::move(assign));
  return std::move(unit_);
}

// ---- expressions ----
// expr := imp
ExprPtr Parser::ParseExpr() {
  Nesting nesting(*this);
  return ParseImp();
}

ExprPtr Parser::MakeBinary(BinaryOp op, ExprPtr a, ExprPtr b, int line) {
  return std::make_unique<Binary>(op, std::move(a), std::move(b), line);
}

// imp := eqv { Imp eqv }
ExprPtr Parser::ParseImp() {
  auto e = ParseEqv();
  while (IsKw(Kw::Imp)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Imp, std::move(e), ParseEqv(), line);
  }
  return e;
}

// eqv := xor { Eqv xor }
ExprPtr Parser::ParseEqv() {
  auto e = ParseXor();
  while (IsKw(Kw::Eqv)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Eqv, std::move(e), ParseXor(), line);
  }
  return e;
}

// xor := or { Xor or }
ExprPtr Parser::ParseXor() {
  auto e = ParseOr();
  while (IsKw(Kw::Xor)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Xor, std::move(e), ParseOr(), line);
  }
  return e;
}

// or := and { Or and }
ExprPtr Parser::ParseOr() {
  auto e = ParseAnd();
  while (IsKw(Kw::Or)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Or, std::move(e), ParseAnd(), line);
  }
  return e;
}

// and := not { And not }
ExprPtr Parser::ParseAnd() {
  auto e = ParseNot();
  while (IsKw(Kw::And)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::And, std::move(e), ParseNot(), line);
  }
  return e;
}

// not := Not not | comparison
ExprPtr Parser::ParseNot() {
  Nesting nesting(*this);
  if (IsKw(Kw::Not)) {
    int line = Advance().line;
    return std::make_unique<Unary>(UnaryOp::Not, ParseNot(), line);
  }
  return ParseComparison();
}

// comparison := concat { (= | <> | < | > | <= | >= | Is) concat }
ExprPtr Parser::ParseComparison() {
  auto e = ParseConcat();
  while (true) {
    BinaryOp op;
    switch (Cur().type) {
      case Tok::Eq: op = BinaryOp::Eq; break;
      case Tok::Ne: op = BinaryOp::Ne; break;
      case Tok::Lt: op = BinaryOp::Lt; break;
      case Tok::Gt: op = BinaryOp::Gt; break;
      case Tok::Le: op = BinaryOp::Le; break;
      case Tok::Ge: op = BinaryOp::Ge; break;
      default:
        if (!IsKw(Kw::Is)) return e;
        op = BinaryOp::Is;
    }
    int line = Advance().line;
    e = MakeBinary(op, std::move(e), ParseConcat(), line);
  }
}

// concat := additive { & additive }
ExprPtr Parser::ParseConcat() {
  auto e = ParseAdditive();
  while (Is(Tok::Amp)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Concat, std::move(e), ParseAdditive(), line);
  }
  return e;
}

// additive := mod { (+ | -) mod }
ExprPtr Parser::ParseAdditive() {
  auto e = ParseMod();
  while (Is(Tok::Plus) || Is(Tok::Minus)) {
    BinaryOp op = Is(Tok::Plus) ? BinaryOp::Add : BinaryOp::Sub;
    int line = Advance().line;
    e = MakeBinary(op, std::move(e), ParseMod(), line);
  }
  return e;
}

// mod := intdiv { Mod intdiv }
ExprPtr Parser::ParseMod() {
  auto e = ParseIntDiv();
  while (IsKw(Kw::Mod)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Mod, std::move(e), ParseIntDiv(), line);
  }
  return e;
}

// intdiv := multiplicative { \ multiplicative }
ExprPtr Parser::ParseIntDiv() {
  auto e = ParseMultiplicative();
  while (Is(Tok::Backslash)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::IntDiv, std::move(e), ParseMultiplicative(), line);
  }
  return e;
}

// multiplicative := unary { (* | /) unary }
ExprPtr Parser::ParseMultiplicative() {
  auto e = ParseUnary();
  while (Is(Tok::Star) || Is(Tok::Slash)) {
    BinaryOp op = Is(Tok::Star) ? BinaryOp::Mul : BinaryOp::Div;
    int line = Advance().line;
    e = MakeBinary(op, std::move(e), ParseUnary(), line);
  }
  return e;
}

// unary := (- | +) unary | power
ExprPtr Parser::ParseUnary() {
  Nesting nesting(*this);
  if (Is(Tok::Minus) || Is(Tok::Plus)) {
    bool neg = Is(Tok::Minus);
    int line = Advance().line;
    auto operand = ParseUnary();
    if (!neg) return operand;
    return Negate(std::move(operand), line);
  }
  return ParsePower();
}

ExprPtr Parser::Negate(ExprPtr operand, int line) {
  // A minus in front of a number literal stays a literal, so -5 compares as a literal does.
  if (operand->kind == ExprKind::Literal && operand->numberLiteral && !operand->parenthesized) {
    auto* lit = static_cast<Literal*>(operand.get());
    const Variant& v = lit->value;
    if (v.type() == VarType::Integer || v.type() == VarType::Long) {
      lit->value = IntegerResult(-v.AsInteger());
    }
    else if (v.type() == VarType::Double)
      lit->value = Variant::Double(-v.AsDouble());
    return operand;
  }
  return std::make_unique<Unary>(UnaryOp::Neg, std::move(operand), line);
}

// power := primary { ^ [-] primary }
ExprPtr Parser::ParsePower() {
  auto e = ParsePrimary();
  while (Is(Tok::Caret)) {
    int line = Advance().line;
    ExprPtr right;
    if (Is(Tok::Minus)) {
      int l2 = Advance().line;
      right = Negate(ParsePrimary(), l2);
    } else {
      right = ParsePrimary();
    }
    e = MakeBinary(BinaryOp::Pow, std::move(e), std::move(right), line);
  }
  return e;
}

// primary := literal | ( expr ) | New name | Not unary | Me postfix | [.]name postfix
ExprPtr Parser::ParsePrimary() {
  const Token& tok = Cur();
  int line = tok.line;
  switch (tok.type) {
    case Tok::Integer: {
      Advance();
      auto lit = std::make_unique<Literal>(IntegerResult(tok.integer), line);
      lit->numberLiteral = true;
      return lit;
    }
    case Tok::Double: {
      Advance();
      auto lit = std::make_unique<Literal>(Variant::Double(tok.number), line);
      lit->numberLiteral = true;
      return lit;
    }
    case Tok::String: {
      Advance();
      auto lit = std::make_unique<Literal>(Variant::String(tok.text), line);
      lit->stringLiteral = true;
      return lit;
    }
    case Tok::Date: {
      double serial;
      // Date literals are month/day/year whatever the locale.
      if (!ParseDate(tok.text, Locale::English(), serial)) Fail(kSyntaxError);
      Advance();
      return std::make_unique<Literal>(Variant::DateSerial(serial), line);
    }
    case Tok::LParen: {
      Advance();
      auto e = ParseExpr();
      Expect(Tok::RParen, kExpectedRParen);
      e->parenthesized = true;
      if (Is(Tok::Dot) && !Cur().spaceBefore) return ParsePostfix(std::move(e), false);
      return e;
    }
    case Tok::Dot: {
      Advance();
      const Token& name = ExpectMemberName();
      ExprPtr m = std::make_unique<Member>(nullptr, name.text, name.key, line);
      return ParsePostfix(std::move(m), false);
    }
    case Tok::Ident: break;
    default: Fail(kExpectedExpression);
  }
  switch (tok.kw) {
    case Kw::True: Advance(); return std::make_unique<Literal>(Variant::Boolean(true), line);
    case Kw::False: Advance(); return std::make_unique<Literal>(Variant::Boolean(false), line);
    case Kw::Empty: Advance(); return std::make_unique<Literal>(Variant(), line);
    case Kw::Null: Advance(); return std::make_unique<Literal>(Variant::Null(), line);
    case Kw::Nothing: Advance(); return std::make_unique<Literal>(Variant::Nothing(), line);
    case Kw::Not: Advance(); return std::make_unique<Unary>(UnaryOp::Not, ParseNot(), line);
    case Kw::New: {
      Advance();
      const Token& name = ExpectIdentifier();
      return std::make_unique<New>(name.text, name.key, line);
    }
    case Kw::Me: {
      if (!inClass_) Fail(kInvalidMe);
      Advance();
      return ParsePostfix(std::make_unique<Me>(line), false);
    }
    default: break;
  }
  if (!IsSoftKeyword(tok.kw)) Fail(kExpectedExpression);
  Advance();
  return ParsePostfix(MakeName(tok), false);
}

// postfix := { ( args ) | . name }
// In a statement, a '(' after a blank that would open the call's own arguments starts the
// argument list instead ("Foo (a), b" passes (a) by value).
ExprPtr Parser::ParsePostfix(ExprPtr node, bool statement) {
  while (true) {
    if (Is(Tok::LParen)) {
      bool callable = node->kind == ExprKind::Name || node->kind == ExprKind::Member;
      if (statement && Cur().spaceBefore && callable && !HasParens(*node)) break;
      int line = Cur().line;
      ExprList args = ParseParenArgs();
      if (callable && !HasParens(*node)) {
        ArgsOf(*node) = std::move(args);
        SetParens(*node);
      } else {
        auto m = std::make_unique<Member>(std::move(node), "", "", line);
        m->args = std::move(args);
        m->hasParens = true;
        node = std::move(m);
      }
    } else if (Is(Tok::Dot) && !Cur().spaceBefore) {
      Advance();
      const Token& name = ExpectMemberName();
      node = std::make_unique<Member>(std::move(node), name.text, name.key, name.line);
    } else {
      return node;
    }
  }
  return node;
}

// args := ( [ [expr] { , [expr] } ] )
ExprList Parser::ParseParenArgs() {
  Expect(Tok::LParen, kExpectedLParen);
  ExprList args;
  if (Accept(Tok::RParen)) return args;
  while (true) {
    if (Is(Tok::Comma) || Is(Tok::RParen))
      args.push_back(std::make_unique<Literal>(MissingArgument(), Cur().line));
    else
      args.push_back(ParseExpr());
    if (Accept(Tok::Comma)) continue;
    Expect(Tok::RParen, kExpectedRParen);
    return args;
  }
}

// callargs := [expr] { , [expr] }   (up to the end of the statement)
ExprList Parser::ParseCallArgs() {
  ExprList args;
  while (true) {
    if (Is(Tok::Comma))
      args.push_back(std::make_unique<Literal>(MissingArgument(), Cur().line));
    else
      args.push_back(ParseExpr());
    if (!Accept(Tok::Comma)) return args;
  }
}

}  // namespace parsing

std::unique_ptr<Unit> Parse(std::string_view source) {
  return parsing::Parser(Tokenize(source)).ParseUnit();
}

std::unique_ptr<Unit> ParseExpression(std::string_view source, std::string_view resultName) {
  return parsing::Parser(Tokenize(source)).ParseSingleExpression(resultName);
}

}  // namespace tillbook::vbscript
