// Recursive-descent parser, first part: units and expressions. One function per grammar rule,
// each starting with the rule it parses.
#include "vbscript/parser.h"

#include <algorithm>

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
// expr := binary(0)
ExprPtr Parser::ParseExpr() {
  Nesting nesting(*this);
  return ParseBinary(0);
}

int Parser::BinaryLevel(BinaryOp& op) const {
  auto is = [&op](BinaryOp o, int level) {
    op = o;
    return level;
  };
  switch (Cur().type) {
    case Tok::Eq:
      return is(BinaryOp::Eq, kComparisonLevel);
    case Tok::Ne:
      return is(BinaryOp::Ne, kComparisonLevel);
    case Tok::Lt:
      return is(BinaryOp::Lt, kComparisonLevel);
    case Tok::Gt:
      return is(BinaryOp::Gt, kComparisonLevel);
    case Tok::Le:
      return is(BinaryOp::Le, kComparisonLevel);
    case Tok::Ge:
      return is(BinaryOp::Ge, kComparisonLevel);
    case Tok::Amp:
      return is(BinaryOp::Concat, kConcatLevel);
    case Tok::Plus:
      return is(BinaryOp::Add, 8);
    case Tok::Minus:
      return is(BinaryOp::Sub, 8);
    case Tok::Backslash:
      return is(BinaryOp::IntDiv, 10);
    case Tok::Star:
      return is(BinaryOp::Mul, 11);
    case Tok::Slash:
      return is(BinaryOp::Div, 11);
    case Tok::Ident:
      break;
    default:
      return -1;
  }
  switch (Cur().kw) {
    case Kw::Imp:
      return is(BinaryOp::Imp, 0);
    case Kw::Eqv:
      return is(BinaryOp::Eqv, 1);
    case Kw::Xor:
      return is(BinaryOp::Xor, 2);
    case Kw::Or:
      return is(BinaryOp::Or, 3);
    case Kw::And:
      return is(BinaryOp::And, 4);
    case Kw::Is:
      return is(BinaryOp::Is, kComparisonLevel);
    case Kw::Mod:
      return is(BinaryOp::Mod, 9);
    default:
      return -1;
  }
}

// binary(min) := power { op power }
ExprPtr Parser::ParseBinary(int minLevel) {
  ExprPtr first = ParsePower();
  BinaryOp op;
  int level = BinaryLevel(op);
  if (level < minLevel) return first;
  struct Pending {
    BinaryOp op;
    int level, line;
  };
  std::vector<ExprPtr> operands;
  std::vector<Pending> ops;
  operands.push_back(std::move(first));
  auto fold = [&] {
    ExprPtr b = std::move(operands.back());
    operands.pop_back();
    ExprPtr& a = operands.back();
    a = MakeBinary(ops.back().op, std::move(a), std::move(b), ops.back().line);
    ops.pop_back();
  };
  while (level >= minLevel) {
    int line = Advance().line;
    while (!ops.empty() && ops.back().level >= level) fold();
    ops.push_back({op, level, line});
    operands.push_back(ParsePower());
    level = BinaryLevel(op);
  }
  while (!ops.empty()) fold();
  return std::move(operands.back());
}

ExprPtr Parser::MakeBinary(BinaryOp op, ExprPtr a, ExprPtr b, int line) {
  if (a->kind == ExprKind::Chain && !a->parenthesized) {
    auto& chain = static_cast<Chain&>(*a);
    chain.rest.push_back({op, std::move(b)});
    Measure(chain);
    return a;
  }
  auto e = std::make_unique<Binary>(op, std::move(a), std::move(b), line);
  if (e->spine < kChainFrom) {
    Measure(*e);
    return e;
  }
  // Unwind the run of Binary nodes down the left side into one Chain.
  std::vector<std::unique_ptr<Binary>> run;
  ExprPtr bottom = std::move(e);
  while (bottom->kind == ExprKind::Binary) {
    auto* node = static_cast<Binary*>(bottom.release());
    bottom = std::move(node->left);
    run.emplace_back(node);
  }
  auto chain = std::make_unique<Chain>(std::move(bottom), line);
  int height = chain->first->height;
  for (auto it = run.rbegin(); it != run.rend(); ++it) {
    height = std::max<int>(height, (*it)->right->height);
    chain->rest.push_back({(*it)->op, std::move((*it)->right)});
  }
  if (height + 1 > kMaxExpressionHeight) Fail(kExpressionTooComplex);
  chain->height = static_cast<uint16_t>(height + 1);
  return chain;
}

void Parser::Measure(Expr& e) const {
  int h = 0;
  auto see = [&h](const ExprPtr& child) {
    if (child && child->height > h) h = child->height;
  };
  switch (e.kind) {
    case ExprKind::Binary: {
      const auto& b = static_cast<const Binary&>(e);
      see(b.left);
      see(b.right);
      break;
    }
    case ExprKind::Chain: {
      // A chain is measured as it grows: only its new last operand can raise the height.
      const auto& c = static_cast<const Chain&>(e);
      h = c.height - 1;
      see(c.first);
      if (!c.rest.empty()) see(c.rest.back().operand);
      break;
    }
    case ExprKind::Unary:
      see(static_cast<const Unary&>(e).operand);
      break;
    case ExprKind::Name:
      for (const auto& a : static_cast<const Name&>(e).args) see(a);
      break;
    case ExprKind::Member: {
      const auto& m = static_cast<const Member&>(e);
      see(m.object);
      for (const auto& a : m.args) see(a);
      break;
    }
    default:
      break;
  }
  if (h + 1 > kMaxExpressionHeight) Fail(kExpressionTooComplex);
  e.height = static_cast<uint16_t>(h + 1);
}

// not := Not binary(6)
ExprPtr Parser::ParseNot() {
  Nesting nesting(*this);
  int line = Advance().line;
  auto e = std::make_unique<Unary>(UnaryOp::Not, ParseBinary(kComparisonLevel), line);
  Measure(*e);
  return e;
}

// unary := (- | +) unary | primary
ExprPtr Parser::ParseUnary() {
  if (!Is(Tok::Minus) && !Is(Tok::Plus)) return ParsePrimary();
  Nesting nesting(*this);
  bool neg = Is(Tok::Minus);
  int line = Advance().line;
  auto operand = ParseUnary();
  if (!neg) return operand;
  return Negate(std::move(operand), line);
}

ExprPtr Parser::Negate(ExprPtr operand, int line) {
  // A minus in front of a number literal stays a literal, so -5 compares as a literal does.
  if (operand->kind == ExprKind::Literal && operand->numberLiteral && !operand->parenthesized) {
    auto* lit = static_cast<Literal*>(operand.get());
    const Variant& v = lit->value;
    if (v.type() == VarType::Integer) {
      lit->value = IntegerResult(-v.AsInteger());
    } else if (v.type() == VarType::Long) {
      // -32768 is the Long 32768 negated, not an Integer.
      int64_t negated = -v.AsInteger();
      lit->value = negated > 2147483647LL ? Variant::Double(static_cast<double>(negated))
                                          : Variant::Long(static_cast<int32_t>(negated));
    } else if (v.type() == VarType::Double)
      lit->value = Variant::Double(-v.AsDouble());
    return operand;
  }
  auto e = std::make_unique<Unary>(UnaryOp::Neg, std::move(operand), line);
  Measure(*e);
  return e;
}

// power := unary { ^ unary }
// A sign binds tighter than ^: -3^2 is 9.
ExprPtr Parser::ParsePower() {
  auto e = ParseUnary();
  while (Is(Tok::Caret)) {
    int line = Advance().line;
    e = MakeBinary(BinaryOp::Pow, std::move(e), ParseUnary(), line);
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
      // (f)(x) calls f, ((a))(0) indexes a, (New C).M reaches a member.
      if ((Is(Tok::Dot) && !Cur().spaceBefore) || Is(Tok::LParen))
        return ParsePostfix(std::move(e), false);
      return e;
    }
    case Tok::Dot: {
      Advance();
      const Token& name = ExpectMemberName();
      ExprPtr m = std::make_unique<Member>(nullptr, name.text, name.key, line);
      return ParsePostfix(std::move(m), false);
    }
    case Tok::Ident:
      break;
    default:
      Fail(kExpectedExpression);
  }
  switch (tok.kw) {
    case Kw::True:
      Advance();
      return std::make_unique<Literal>(Variant::Boolean(true), line);
    case Kw::False:
      Advance();
      return std::make_unique<Literal>(Variant::Boolean(false), line);
    case Kw::Empty:
      Advance();
      return std::make_unique<Literal>(Variant(), line);
    case Kw::Null:
      Advance();
      return std::make_unique<Literal>(Variant::Null(), line);
    case Kw::Nothing:
      Advance();
      return std::make_unique<Literal>(Variant::Nothing(), line);
    case Kw::Not:
      return ParseNot();
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
    default:
      break;
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
      // "a (0) = 5" still assigns an element.
      bool element = node->kind == ExprKind::Name && IndexBeforeAssignment();
      if (statement && Cur().spaceBefore && callable && !HasParens(*node) && !element) break;
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
      Measure(*node);
    } else if (Is(Tok::Dot) && !Cur().spaceBefore) {
      Advance();
      const Token& name = ExpectMemberName();
      node = std::make_unique<Member>(std::move(node), name.text, name.key, name.line);
      Measure(*node);
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
