// Precedence-climbing parser. Long-ish because each grammar rule has its own small function and
// error messages; the rules are written above each of them.
#include "engine/jet/parser.h"

#include <algorithm>
#include <string>

#include "engine/jet/internal/quotes.h"
#include "engine/jet/jet_error.h"
#include "engine/jet/tokenizer.h"

namespace tillbook::jet {
namespace {

// Nesting deeper than this is refused before it can exhaust the stack.
constexpr int kMaxDepth = 200;
// Levels of the finished tree. A chain of one left-associative operator ("a + b + c ...") nests
// without parentheses; the database's own parser gives up on statements nested about a hundred
// levels deep, so a deeper tree could never run anyway. And, Or and '&' chains are built balanced
// and stay far below this.
constexpr int kMaxTreeDepth = 100;

constexpr int kBpNot = 50;
constexpr int kBpCompare = 60;
constexpr int kBpUnary = 95;

struct InfixOp {
  int bp = 0;  // 0: not an infix operator
  Op op = Op::Add;
};

InfixOp Infix(const Token& t) {
  if (t.type == TokenType::Keyword) {
    switch (t.keyword) {
      case Keyword::Imp:
        return {10, Op::Imp};
      case Keyword::Eqv:
        return {15, Op::Eqv};
      case Keyword::Xor:
        return {20, Op::Xor};
      case Keyword::Or:
        return {30, Op::Or};
      case Keyword::And:
        return {40, Op::And};
      case Keyword::Mod:
        return {85, Op::Mod};
      default:
        return {};
    }
  }
  if (t.type != TokenType::Op) return {};
  const std::string& s = t.text;
  if (s == "=") return {kBpCompare, Op::Eq};
  if (s == "<>") return {kBpCompare, Op::Ne};
  if (s == "<") return {kBpCompare, Op::Lt};
  if (s == ">") return {kBpCompare, Op::Gt};
  if (s == "<=") return {kBpCompare, Op::Le};
  if (s == ">=") return {kBpCompare, Op::Ge};
  if (s == "&") return {70, Op::Concat};
  if (s == "+") return {80, Op::Add};
  if (s == "-") return {80, Op::Sub};
  if (s == "\\") return {87, Op::IntDiv};
  if (s == "*") return {90, Op::Mul};
  if (s == "/") return {90, Op::Div};
  if (s == "^") return {100, Op::Pow};
  return {};
}

std::string Shown(const Token& t, std::string_view text) {
  return std::string(text.substr(t.offset, t.length));
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), tokens_(Tokenize(text)) {}

  bool AtEnd() const { return Peek().type == TokenType::End; }

  // filter := expr END
  ExprPtr Whole() {
    ExprPtr e = Expression(0);
    ExpectEnd();
    return e;
  }

  // fields := item { ',' item } ; item := '*' | name '.' '*' | expr [AS name] | (empty)
  std::vector<FieldItem> Fields() {
    std::vector<FieldItem> items;
    while (!AtEnd()) {
      if (Peek().IsOp(",")) {
        Advance();
        continue;
      }
      FieldItem item;
      item.offset = Peek().offset;
      if (Peek().IsOp("*")) {
        Advance();
        item.star = true;
      } else if (Peek().type == TokenType::Identifier && Peek(1).IsOp(".") && Peek(2).IsOp("*")) {
        item.star = true;
        item.starTable = Peek().text;
        item.starTableOffset = Peek().offset;
        Advance();
        Advance();
        Advance();
      } else {
        item.expr = Expression(0);
        if (Peek().Is(Keyword::As)) {
          Advance();
          const Token& name = Peek();
          if (name.type != TokenType::Identifier) {
            Fail(ErrorKind::Syntax, "Nome dell'alias mancante dopo «AS»" + At(name), name);
          }
          item.alias = name.text;
          item.aliasOffset = name.offset;
          Advance();
        }
      }
      item.length = Previous().offset + Previous().length - item.offset;
      items.push_back(std::move(item));
      ItemEnd();
    }
    return items;
  }

  // sort := item { ',' item } ; item := '*' | expr [ASC | DESC] | (empty)
  std::vector<SortItem> Sorts() {
    std::vector<SortItem> items;
    while (!AtEnd()) {
      if (Peek().IsOp(",")) {
        Advance();
        continue;
      }
      if (Peek().IsOp("*")) {
        Advance();
        ItemEnd();
        continue;
      }
      SortItem item;
      item.expr = Expression(0);
      if (Peek().Is(Keyword::Asc)) {
        Advance();
      } else if (Peek().Is(Keyword::Desc)) {
        Advance();
        item.descending = true;
      } else if (Peek().type == TokenType::Identifier) {
        Fail(ErrorKind::BadSort,
             "Ordinamento non valido «" + Peek().text + "»: usare ASC o DESC" + At(Peek()), Peek());
      }
      items.push_back(std::move(item));
      ItemEnd();
    }
    return items;
  }

 private:
  const Token& Peek(size_t ahead = 0) const {
    size_t i = pos_ + ahead;
    return i < tokens_.size() ? tokens_[i] : tokens_.back();
  }
  const Token& Previous() const { return tokens_[pos_ == 0 ? 0 : pos_ - 1]; }
  const Token& Advance() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

  std::string At(const Token& t) const { return At(t.offset); }

  [[noreturn]] void Fail(ErrorKind kind, const std::string& message, const Token& t) const {
    throw JetError(kind, message, text_, t.offset, t.length);
  }

  // An operand was expected at `t`.
  [[noreturn]] void Unexpected(const Token& t) const {
    if (t.type == TokenType::End) {
      std::string after = pos_ == 0 ? std::string() : Shown(Previous(), text_);
      Fail(ErrorKind::Incomplete,
           after.empty() ? "Espressione mancante."
                         : "Espressione incompleta dopo «" + after + "» (fine del testo).",
           t);
    }
    if (t.IsOp(")")) {
      Fail(ErrorKind::Unbalanced,
           "Parentesi «)» in eccesso alla posizione " +
               std::to_string(CharPosition(text_, t.offset)) + ".",
           t);
    }
    Fail(ErrorKind::Syntax, "Testo non atteso «" + Shown(t, text_) + "»" + At(t), t);
  }

  void ExpectEnd() {
    if (!AtEnd()) Trailing();
  }

  // After a list item only ',' or the end may follow.
  void ItemEnd() {
    if (AtEnd() || Peek().IsOp(",")) return;
    Trailing();
  }

  [[noreturn]] void Trailing() {
    const Token& t = Peek();
    if (t.IsOp(")")) Unexpected(t);
    Fail(ErrorKind::Syntax,
         "Testo non atteso «" + Shown(t, text_) + "» dopo la fine dell'espressione" + At(t), t);
  }

  void ExpectClose(const Token& open) {
    if (Peek().IsOp(")")) {
      Advance();
      return;
    }
    if (AtEnd()) {
      Fail(ErrorKind::Unbalanced,
           "Parentesi non chiusa: manca «)» per la parentesi alla posizione " +
               std::to_string(CharPosition(text_, open.offset)) + ".",
           open);
    }
    Fail(ErrorKind::Syntax,
         "Atteso «)» o «,» invece di «" + Shown(Peek(), text_) + "»" + At(Peek()), Peek());
  }

  static ExprPtr Node(ExprKind kind, size_t offset) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->offset = offset;
    return e;
  }

  void Close(Expr& e) const {
    e.length = Previous().offset + Previous().length - e.offset;
    SetHeight(e);
  }

  // The node's height from its children's; a tree too deep for the database is refused here, as
  // it grows, so no later phase ever walks one.
  void SetHeight(Expr& e) const {
    int deepest = 0;
    for (const ExprPtr& a : e.args) deepest = std::max(deepest, a->height);
    e.height = deepest + 1;
    if (e.height > kMaxTreeDepth) {
      throw JetError(ErrorKind::TooComplex,
                     "Espressione troppo complessa: troppe operazioni concatenate" + At(e.offset),
                     text_, e.offset, e.length);
    }
  }

  std::string At(size_t offset) const {
    return " (posizione " + std::to_string(CharPosition(text_, offset)) + ").";
  }

  static bool Associative(Op op) { return op == Op::And || op == Op::Or || op == Op::Concat; }

  // chain := operand op operand { op operand } for one associative operator, the first operator
  // already read. Built balanced, so that a chain of thousands of terms (a filter written by a
  // program: "x = 1 Or x = 2 Or ...") stays a few levels deep for every later phase.
  ExprPtr Chain(ExprPtr first, InfixOp infix) {
    std::vector<ExprPtr> operands;
    operands.push_back(std::move(first));
    while (true) {
      operands.push_back(Expression(infix.bp));
      InfixOp next = Infix(Peek());
      if (next.bp != infix.bp || next.op != infix.op) break;
      Advance();
    }
    return Balanced(operands, 0, operands.size(), infix.op);
  }

  // operands[lo, hi) joined by `op`; the left half takes the odd one, so three terms nest as
  // "(a op b) op c", as they are read.
  ExprPtr Balanced(std::vector<ExprPtr>& operands, size_t lo, size_t hi, Op op) const {
    if (hi - lo == 1) return std::move(operands[lo]);
    size_t mid = lo + (hi - lo + 1) / 2;
    auto node = Node(ExprKind::Binary, operands[lo]->offset);
    node->op = op;
    node->args.push_back(Balanced(operands, lo, mid, op));
    node->args.push_back(Balanced(operands, mid, hi, op));
    const Expr& last = *node->args[1];
    node->length = last.offset + last.length - node->offset;
    SetHeight(*node);
    return node;
  }

  // expr(min) := prefix { infix-op expr(bp) | postfix-test } while bp > min
  ExprPtr Expression(int minBp) {
    if (++depth_ > kMaxDepth) {
      Fail(ErrorKind::TooComplex,
           "Espressione troppo complessa (troppi livelli annidati)" + At(Peek()), Peek());
    }
    ExprPtr left = Prefix();
    while (true) {
      const Token& t = Peek();
      if (kBpCompare > minBp && IsComparisonTest(t)) {
        left = ComparisonTest(std::move(left));
        continue;
      }
      InfixOp infix = Infix(t);
      if (infix.bp == 0 || infix.bp <= minBp) break;
      Advance();
      if (Associative(infix.op)) {
        left = Chain(std::move(left), infix);
        continue;
      }
      ExprPtr right = Expression(infix.bp);
      auto node = Node(ExprKind::Binary, left->offset);
      node->op = infix.op;
      node->args.push_back(std::move(left));
      node->args.push_back(std::move(right));
      Close(*node);
      left = std::move(node);
    }
    --depth_;
    return left;
  }

  bool IsComparisonTest(const Token& t) const {
    if (t.Is(Keyword::Like) || t.Is(Keyword::In) || t.Is(Keyword::Between) || t.Is(Keyword::Is)) {
      return true;
    }
    if (t.Is(Keyword::Not)) {
      const Token& n = Peek(1);
      return n.Is(Keyword::Like) || n.Is(Keyword::In) || n.Is(Keyword::Between);
    }
    return false;
  }

  // test := [Not] Like expr | Is [Not] Null | [Not] In '(' [expr {',' expr}] ')'
  //       | [Not] Between expr And expr
  ExprPtr ComparisonTest(ExprPtr left) {
    bool negated = false;
    if (Peek().Is(Keyword::Not)) {
      Advance();
      negated = true;
    }
    const Token& t = Advance();
    ExprPtr node;
    if (t.Is(Keyword::Like)) {
      node = Node(ExprKind::Like, left->offset);
      node->args.push_back(std::move(left));
      node->args.push_back(Expression(kBpCompare));
    } else if (t.Is(Keyword::Is)) {
      node = Node(ExprKind::IsNull, left->offset);
      if (Peek().Is(Keyword::Not)) {
        Advance();
        negated = true;
      }
      if (!Peek().Is(Keyword::Null)) {
        if (AtEnd()) Unexpected(Peek());
        Fail(ErrorKind::Syntax, "Dopo «Is» è atteso «Null» o «Not Null»" + At(Peek()), Peek());
      }
      Advance();
      node->args.push_back(std::move(left));
    } else if (t.Is(Keyword::In)) {
      node = Node(ExprKind::In, left->offset);
      node->args.push_back(std::move(left));
      const Token& open = Peek();
      if (!open.IsOp("(")) {
        if (AtEnd()) Unexpected(open);
        Fail(ErrorKind::Syntax, "Dopo «In» è atteso un elenco tra parentesi" + At(open), open);
      }
      Advance();
      if (!Peek().IsOp(")")) {
        while (true) {
          node->args.push_back(Expression(0));
          if (!Peek().IsOp(",")) break;
          Advance();
        }
      }
      ExpectClose(open);
    } else {  // Between
      node = Node(ExprKind::Between, left->offset);
      node->args.push_back(std::move(left));
      node->args.push_back(Expression(kBpCompare));
      if (!Peek().Is(Keyword::And)) {
        if (AtEnd()) Unexpected(Peek());
        Fail(ErrorKind::Syntax, "«Between» richiede «And» tra i due limiti" + At(Peek()), Peek());
      }
      Advance();
      node->args.push_back(Expression(kBpCompare));
    }
    node->negated = negated;
    Close(*node);
    return node;
  }

  // prefix := Not expr(Not) | '-' expr(unary) | '+' expr(unary) | primary
  ExprPtr Prefix() {
    const Token& t = Peek();
    if (t.Is(Keyword::Not) || t.IsOp("-") || t.IsOp("+")) {
      Advance();
      auto node = Node(ExprKind::Unary, t.offset);
      node->op = t.Is(Keyword::Not) ? Op::Not : t.IsOp("-") ? Op::Negate : Op::Identity;
      node->args.push_back(Expression(node->op == Op::Not ? kBpNot : kBpUnary));
      Close(*node);
      return node;
    }
    return Primary();
  }

  // primary := number | text | date | True | False | Null | '(' expr ')' | '(' subselect ')'
  //          | name '(' [args] ')' | name { '.' name }
  ExprPtr Primary() {
    const Token& t = Peek();
    switch (t.type) {
      case TokenType::Number:
      case TokenType::Text:
      case TokenType::Date: {
        Advance();
        auto node = Node(ExprKind::Literal, t.offset);
        node->literal = t.type == TokenType::Number ? LiteralKind::Number
                        : t.type == TokenType::Text ? LiteralKind::Text
                                                    : LiteralKind::Date;
        node->text = t.text;
        node->date = t.date;
        Close(*node);
        return node;
      }
      case TokenType::Keyword:
        if (t.Is(Keyword::True) || t.Is(Keyword::False) || t.Is(Keyword::Null)) {
          Advance();
          auto node = Node(ExprKind::Literal, t.offset);
          node->literal = t.Is(Keyword::Null) ? LiteralKind::Null : LiteralKind::Boolean;
          node->boolean = t.Is(Keyword::True);
          Close(*node);
          return node;
        }
        Unexpected(t);
      case TokenType::Identifier:
        return Peek(1).IsOp("(") ? Call() : Path();
      case TokenType::Op:
        if (t.IsOp("(")) return Parenthesised();
        Unexpected(t);
      case TokenType::End:
        Unexpected(t);
    }
    Unexpected(t);
  }

  ExprPtr Parenthesised() {
    const Token& open = Advance();
    if (Peek().Is(Keyword::Select)) return SubSelect(open);
    ExprPtr inner = Expression(0);
    ExpectClose(open);
    return inner;
  }

  // subselect := SELECT expr FROM name [WHERE expr] ')'
  ExprPtr SubSelect(const Token& open) {
    Advance();  // SELECT
    auto node = Node(ExprKind::SubSelect, open.offset);
    node->args.push_back(Expression(0));
    if (!Peek().Is(Keyword::From)) {
      if (AtEnd()) Unexpected(Peek());
      Fail(ErrorKind::Syntax, "Atteso «FROM» nella sotto-selezione" + At(Peek()), Peek());
    }
    Advance();
    const Token& table = Peek();
    if (table.type != TokenType::Identifier) {
      if (AtEnd()) Unexpected(table);
      Fail(ErrorKind::Syntax, "Nome della tabella mancante dopo «FROM»" + At(table), table);
    }
    Advance();
    node->name = table.text;
    node->nameOffset = table.offset;
    if (Peek().Is(Keyword::Where)) {
      Advance();
      node->args.push_back(Expression(0));
    }
    ExpectClose(open);
    Close(*node);
    return node;
  }

  // call := name '(' [ '*' | expr { ',' expr } ] ')'
  ExprPtr Call() {
    const Token& name = Advance();
    auto node = Node(ExprKind::Call, name.offset);
    node->name = name.text;
    node->nameOffset = name.offset;
    const Token& open = Advance();
    if (Peek().IsOp("*") && Peek(1).IsOp(")")) {
      node->args.push_back(Node(ExprKind::Star, Peek().offset));
      Advance();
    } else if (!Peek().IsOp(")")) {
      while (true) {
        node->args.push_back(Expression(0));
        if (!Peek().IsOp(",")) break;
        Advance();
      }
    }
    ExpectClose(open);
    Close(*node);
    return node;
  }

  // path := name { '.' name }
  ExprPtr Path() {
    const Token& first = Advance();
    auto node = Node(ExprKind::Path, first.offset);
    node->parts.push_back(first.text);
    node->partOffsets.push_back(first.offset);
    while (Peek().IsOp(".")) {
      Advance();
      const Token& part = Peek();
      if (part.type != TokenType::Identifier) {
        if (AtEnd()) Unexpected(part);
        Fail(ErrorKind::Syntax, "Nome atteso dopo «.»" + At(part), part);
      }
      Advance();
      node->parts.push_back(part.text);
      node->partOffsets.push_back(part.offset);
    }
    Close(*node);
    return node;
  }

  std::string_view text_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

namespace {

// Runs `parse` on `text`; a refusal whose real cause is a quote slip is explained as such.
template <class Parse>
auto Explained(std::string_view text, Parse parse) -> decltype(parse(text)) {
  try {
    return parse(text);
  } catch (const JetError& e) {
    auto reads = [&](std::string_view corrected) {
      try {
        parse(corrected);
        return true;
      } catch (const JetError&) {
        return false;
      }
    };
    if (auto better = internal::ExplainQuotes(text, e, reads)) throw *better;
    throw;
  }
}

}  // namespace

ExprPtr ParseFilter(std::string_view text) {
  return Explained(text, [](std::string_view t) -> ExprPtr {
    Parser p(t);
    if (p.AtEnd()) return nullptr;
    return p.Whole();
  });
}

ExprPtr ParseExpression(std::string_view text) {
  return Explained(text, [](std::string_view t) { return Parser(t).Whole(); });
}

std::vector<FieldItem> ParseFieldList(std::string_view text) {
  return Explained(text, [](std::string_view t) { return Parser(t).Fields(); });
}

std::vector<SortItem> ParseSortList(std::string_view text) {
  return Explained(text, [](std::string_view t) { return Parser(t).Sorts(); });
}

}  // namespace tillbook::jet
