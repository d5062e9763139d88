// Recursive-descent parser, second part: statements. One function per grammar rule, each
// starting with the rule it parses.
#include "vbscript/parser_impl.h"

namespace tillbook::vbscript::parsing {

// ---- statements ----
void Parser::ParseTopLevelStatement() {
  const Token& tok = Cur();
  struct Seen {
    bool& seen;
    ~Seen() { seen = true; }
  } seen{seenStatement_};
  if (tok.type == Tok::Ident) {
    switch (tok.kw) {
      case Kw::Option:
        if (seenStatement_) Fail(1042);
        Advance();
        ExpectKw(Kw::Explicit, kSyntaxError);
        unit_->optionExplicit = true;
        return;
      case Kw::Property:
        if (!AtPropertyDeclaration()) break;
        ParseProcedure(true, false, nullptr);
        return;
      case Kw::Function:
      case Kw::Sub:
        ParseProcedure(true, false, nullptr);
        return;
      case Kw::Public:
      case Kw::Private: {
        bool isPublic = tok.kw == Kw::Public;
        Kw next = PeekAt(1).kw;
        if (next == Kw::Function || next == Kw::Sub || next == Kw::Property ||
            next == Kw::Default) {
          Advance();
          bool isDefault = AcceptKw(Kw::Default);
          ParseProcedure(isPublic, isDefault, nullptr);
          return;
        }
        Advance();
        if (IsKw(Kw::Const)) {
          ParseConst(unit_->top);
          return;
        }
        ParseDim(unit_->top);
        return;
      }
      case Kw::Class:
        ParseClass();
        return;
      default:
        break;
    }
  }
  ParseStatement(unit_->top);
}

bool Parser::AtBlockEnd() const {
  if (Is(Tok::End)) return true;
  if (!Is(Tok::Ident)) return false;
  switch (Cur().kw) {
    case Kw::End:
    case Kw::Else:
    case Kw::ElseIf:
    case Kw::Case:
    case Kw::Loop:
    case Kw::Next:
    case Kw::Wend:
      return true;
    default:
      return false;
  }
}

Block Parser::ParseBlock() {
  Nesting nesting(*this);
  Block block;
  while (true) {
    if (pendingNext_ > 0) return block;  // "Next j, i" closed this loop too
    SkipSeparators();
    if (AtBlockEnd()) return block;
    ParseStatement(block);
    if (!AtDeclarationEnd()) ExpectSeparator();
  }
}

void Parser::ParseStatement(Block& out) {
  const Token& tok = Cur();
  if (tok.type == Tok::Dot) return ParseSimple(out);
  if (tok.type != Tok::Ident) Fail(kExpectedStatement);
  switch (tok.kw) {
    case Kw::Dim:
      Advance();
      return ParseDim(out);
    case Kw::ReDim:
      return ParseReDim(out);
    case Kw::Const:
      return ParseConst(out);
    case Kw::If:
      return ParseIf(out);
    case Kw::Select:
      return ParseSelect(out);
    case Kw::For:
      return ParseFor(out);
    case Kw::Do:
      return ParseDo(out);
    case Kw::While:
      return ParseWhile(out);
    case Kw::Exit:
      return ParseExit(out);
    case Kw::Erase:
      return ParseErase(out);
    case Kw::On:
      return ParseOnError(out);
    case Kw::With:
      return ParseWith(out);
    case Kw::Stop:
      Advance();
      return;
    case Kw::Option:
      Fail(1042);
    case Kw::Property:
      if (!AtPropertyDeclaration()) return ParseSimple(out);
      [[fallthrough]];
    case Kw::Function:
    case Kw::Sub:
    case Kw::Class:
    case Kw::Public:
    case Kw::Private:
      if (scope_ == nullptr && !inClass_) {
        // A procedure or class declared inside a block of the global code is declared as if
        // it stood outside it.
        if (tok.kw == Kw::Function || tok.kw == Kw::Sub)
          return ParseProcedure(true, false, nullptr);
        if (tok.kw == Kw::Class) return ParseClass();
        Fail(kSyntaxError);
      }
      Fail(kExpectedStatement);
    case Kw::Loop:
      Fail(kLoopWithoutDo);
    case Kw::Next:
      Fail(kUnexpectedNext);
    default:
      return ParseSimple(out);
  }
}

// simple := [Set | Let | Call] target [= expr | callargs]
void Parser::ParseSimple(Block& out) {
  int line = Cur().line;
  bool isSet = AcceptKw(Kw::Set);
  if (!isSet) AcceptKw(Kw::Let);
  bool isCall = !isSet && AcceptKw(Kw::Call);
  ExprPtr target;
  if (Is(Tok::Dot)) {
    Advance();
    const Token& name = ExpectMemberName();
    target = std::make_unique<Member>(nullptr, name.text, name.key, line);
  } else if (IsKw(Kw::Me)) {
    if (!inClass_) Fail(kInvalidMe);
    Advance();
    target = std::make_unique<Me>(line);
  } else if (IsIdentifier()) {
    target = MakeName(Advance());
  } else if (isCall && Is(Tok::LParen)) {
    // Call (New C).M()
    target = ParsePrimary();
  } else {
    Fail(kExpectedStatement);
  }
  target = ParsePostfix(std::move(target), !isCall);
  if (target->kind == ExprKind::Me) Fail(kInvalidMe);
  if (!isCall && Accept(Tok::Eq)) {
    auto assign = std::make_unique<Assign>(line);
    assign->target = std::move(target);
    assign->value = ParseExpr();
    assign->isSet = isSet;
    CheckAssignable(*assign->target);
    out.push_back(std::move(assign));
    return;
  }
  if (isSet) Fail(kExpectedEquals);
  if (target->kind != ExprKind::Name && target->kind != ExprKind::Member) Fail(kExpectedStatement);
  if (!isCall) {
    if (!AtStatementEnd()) {
      if (HasParens(*target)) Fail(kExpectedEndOfStatement);
      ArgsOf(*target) = ParseCallArgs();
      Measure(*target);
    } else if (HasParens(*target)) {
      ExprList& args = ArgsOf(*target);
      if (args.size() > 1) Fail(kParenthesesOnSubCall);
      // Foo(x) as a statement: the parentheses belong to the argument, passed by value.
      if (args.size() == 1) args[0]->parenthesized = true;
    }
  }
  auto call = std::make_unique<CallStmt>(line);
  call->target = std::move(target);
  out.push_back(std::move(call));
}

bool Parser::IndexBeforeAssignment() const {
  int nesting = 0;
  for (size_t k = 0;; ++k) {
    const Token& t = PeekAt(k);
    if (t.type == Tok::LParen) {
      ++nesting;
    } else if (t.type == Tok::RParen) {
      if (--nesting == 0) return PeekAt(k + 1).type == Tok::Eq;
    } else if (t.type == Tok::NewLine || t.type == Tok::Colon || t.type == Tok::End) {
      return false;
    }
  }
}

void Parser::CheckAssignable(const Expr& target) const {
  if (target.kind != ExprKind::Name && target.kind != ExprKind::Member) Fail(kExpectedStatement);
}

// dim := name [( [bounds] )] { , name [( [bounds] )] }
void Parser::ParseDim(Block& out) {
  auto dim = std::make_unique<Dim>(Cur().line);
  do {
    const Token& name = ExpectIdentifier();
    Declare(name);
    if (Accept(Tok::LParen)) {
      Dim::Item item;
      item.var = MakeName(name);
      if (!Accept(Tok::RParen)) {
        do {
          item.bounds.push_back(ParseExpr());
        } while (Accept(Tok::Comma));
        Expect(Tok::RParen, kExpectedRParen);
        if (scope_)
          scope_->fixedArrays.insert(name.key);
        else
          globalFixed_.insert(name.key);
      }
      dim->items.push_back(std::move(item));
    }
  } while (Accept(Tok::Comma));
  if (!dim->items.empty()) out.push_back(std::move(dim));
}

// redim := ReDim [Preserve] name ( bounds ) { , name ( bounds ) }
void Parser::ParseReDim(Block& out) {
  int line = Advance().line;
  auto dim = std::make_unique<Dim>(line);
  dim->isReDim = true;
  dim->preserve = AcceptKw(Kw::Preserve);
  do {
    const Token& name = ExpectIdentifier();
    if (IsFixedArray(name.key)) {
      out.push_back(std::make_unique<ast::Fail>(line, kArrayLocked, ""));
    }
    // Inside a procedure an undeclared name is bound when run: a global array of that name
    // is resized, otherwise the procedure gets a local one.
    if (!scope_) Declare(name);
    Dim::Item item;
    item.var = MakeName(name);
    item.var->declaring = true;
    Expect(Tok::LParen, kExpectedLParen);
    do {
      item.bounds.push_back(ParseExpr());
    } while (Accept(Tok::Comma));
    Expect(Tok::RParen, kExpectedRParen);
    dim->items.push_back(std::move(item));
  } while (Accept(Tok::Comma));
  out.push_back(std::move(dim));
}

// const := Const name = literal { , name = literal }
void Parser::ParseConst(Block&) {
  ExpectKw(Kw::Const, kSyntaxError);
  do {
    const Token& name = ExpectIdentifier();
    Expect(Tok::Eq, kExpectedEquals);
    auto value = ParseExpr();
    if (value->kind != ExprKind::Literal) Fail(kExpectedLiteral);
    Variant v = static_cast<Literal&>(*value).value;
    if (scope_)
      scope_->consts[name.key] = v;
    else
      unit_->globals.push_back({name.text, name.key, true, v, name.line});
  } while (Accept(Tok::Comma));
}

// if := If expr Then NEWLINE block { ElseIf expr Then block } [Else block] End If
//     | If expr Then stmts [Else stmts]
void Parser::ParseIf(Block& out) {
  auto stmt = std::make_unique<If>(Advance().line);
  auto cond = ParseExpr();
  ExpectKw(Kw::Then, kExpectedThen);
  if (!Is(Tok::NewLine)) {
    Block thenBlock;
    ParseInline(thenBlock);
    stmt->branches.emplace_back(std::move(cond), std::move(thenBlock));
    if (AcceptKw(Kw::Else)) ParseInline(stmt->elseBlock);
    if (IsKw(Kw::End) && PeekAt(1).kw == Kw::If) {
      // "If a Then b: End If" written on one line.
      Advance();
      Advance();
    }
    out.push_back(std::move(stmt));
    return;
  }
  stmt->branches.emplace_back(std::move(cond), ParseBlock());
  while (true) {
    if (AcceptKw(Kw::ElseIf)) {
      auto c = ParseExpr();
      ExpectKw(Kw::Then, kExpectedThen);
      stmt->branches.emplace_back(std::move(c), ParseBlock());
    } else if (AcceptKw(Kw::Else)) {
      stmt->elseBlock = ParseBlock();
      if (!IsKw(Kw::End)) Fail(kExpectedEnd);
    } else {
      break;
    }
  }
  ExpectKw(Kw::End, kExpectedEnd);
  ExpectKw(Kw::If, kExpectedIf);
  out.push_back(std::move(stmt));
}

void Parser::ParseInline(Block& block) {
  // "If a Then b Else If c Then d Else If ..." nests one inline If in the other.
  Nesting nesting(*this);
  while (true) {
    if (Is(Tok::Colon)) {
      Advance();
      continue;
    }
    if (Is(Tok::NewLine) || Is(Tok::End) || IsKw(Kw::Else)) return;
    if ((IsKw(Kw::End) && PeekAt(1).kw == Kw::If) || AtDeclarationEnd()) return;
    ParseStatement(block);
    if (!Is(Tok::Colon) && !Is(Tok::NewLine) && !Is(Tok::End) && !IsKw(Kw::Else) &&
        !(IsKw(Kw::End) && PeekAt(1).kw == Kw::If) && !AtDeclarationEnd())
      Fail(kExpectedEndOfStatement);
  }
}

// select := Select Case expr { Case items block } [Case Else block] End Select
void Parser::ParseSelect(Block& out) {
  auto stmt = std::make_unique<Select>(Advance().line);
  ExpectKw(Kw::Case, kExpectedCase);
  stmt->test = ParseExpr();
  ExpectSeparator();
  SkipSeparators();
  while (AcceptKw(Kw::Case)) {
    Select::Case c;
    if (!AcceptKw(Kw::Else)) {
      do {
        CaseItem item;
        if (AcceptKw(Kw::Is)) {
          item.kind = CaseItem::Compare;
          switch (Advance().type) {
            case Tok::Eq:
              item.op = BinaryOp::Eq;
              break;
            case Tok::Ne:
              item.op = BinaryOp::Ne;
              break;
            case Tok::Lt:
              item.op = BinaryOp::Lt;
              break;
            case Tok::Gt:
              item.op = BinaryOp::Gt;
              break;
            case Tok::Le:
              item.op = BinaryOp::Le;
              break;
            case Tok::Ge:
              item.op = BinaryOp::Ge;
              break;
            default:
              Fail(kSyntaxError);
          }
          item.value = ParseBinary(kConcatLevel);
        } else {
          item.value = ParseExpr();
          if (AcceptKw(Kw::To)) {
            item.kind = CaseItem::Range;
            item.upper = ParseExpr();
          }
        }
        c.items.push_back(std::move(item));
      } while (Accept(Tok::Comma));
    }
    c.body = ParseBlock();
    stmt->cases.push_back(std::move(c));
  }
  ExpectKw(Kw::End, kExpectedEnd);
  ExpectKw(Kw::Select, kExpectedSelect);
  out.push_back(std::move(stmt));
}

// for := For name = expr To expr [Step expr] block Next [name {, name}]
//      | For Each name In expr block Next [name]
void Parser::ParseFor(Block& out) {
  int line = Advance().line;
  ++loopDepth_[0];
  if (AcceptKw(Kw::Each)) {
    auto stmt = std::make_unique<ForEach>(line);
    stmt->var = MakeName(ExpectIdentifier());
    ExpectKw(Kw::In, kExpectedIn);
    stmt->collection = ParseExpr();
    stmt->body = ParseBlock();
    ParseNext();
    out.push_back(std::move(stmt));
  } else {
    auto stmt = std::make_unique<For>(line);
    stmt->var = MakeName(ExpectIdentifier());
    Expect(Tok::Eq, kExpectedEquals);
    stmt->from = ParseExpr();
    ExpectKw(Kw::To, kExpectedTo);
    stmt->to = ParseExpr();
    if (AcceptKw(Kw::Step)) stmt->step = ParseExpr();
    stmt->body = ParseBlock();
    ParseNext();
    out.push_back(std::move(stmt));
  }
  --loopDepth_[0];
}

void Parser::ParseNext() {
  if (pendingNext_ > 0) {
    --pendingNext_;
    return;
  }
  ExpectKw(Kw::Next, kExpectedNext);
  if (IsIdentifier()) {
    Advance();
    while (Accept(Tok::Comma)) {
      ExpectIdentifier();
      ++pendingNext_;
    }
  }
}

// do := Do [(While | Until) expr] block Loop [(While | Until) expr]
void Parser::ParseDo(Block& out) {
  auto stmt = std::make_unique<Do>(Advance().line);
  ++loopDepth_[1];
  if (IsKw(Kw::While) || IsKw(Kw::Until)) {
    stmt->isUntil = Advance().kw == Kw::Until;
    stmt->condition = ParseExpr();
  }
  stmt->body = ParseBlock();
  ExpectKw(Kw::Loop, kExpectedLoop);
  if (!stmt->condition && (IsKw(Kw::While) || IsKw(Kw::Until))) {
    stmt->isUntil = Advance().kw == Kw::Until;
    stmt->condition = ParseExpr();
    stmt->testFirst = false;
  }
  --loopDepth_[1];
  out.push_back(std::move(stmt));
}

// while := While expr block Wend
void Parser::ParseWhile(Block& out) {
  auto stmt = std::make_unique<Do>(Advance().line);
  stmt->isWhileWend = true;
  stmt->condition = ParseExpr();
  stmt->body = ParseBlock();
  ExpectKw(Kw::Wend, kExpectedWend);
  out.push_back(std::move(stmt));
}

// exit := Exit (Do | For | Function | Sub | Property)
void Parser::ParseExit(Block& out) {
  int line = Advance().line;
  Flow flow;
  if (AcceptKw(Kw::Do)) {
    if (loopDepth_[1] == 0) Fail(kInvalidExit);
    flow = Flow::ExitDo;
  } else if (AcceptKw(Kw::For)) {
    if (loopDepth_[0] == 0) Fail(kInvalidExit);
    flow = Flow::ExitFor;
  } else if (IsKw(Kw::Function) || IsKw(Kw::Sub) || IsKw(Kw::Property)) {
    Kw kw = Advance().kw;
    if (!scope_) Fail(kInvalidExit);
    auto kind = scope_->proc->kind;
    bool ok = kw == Kw::Function ? kind == Procedure::Kind::Function
              : kw == Kw::Sub    ? kind == Procedure::Kind::Sub
                              : kind != Procedure::Kind::Function && kind != Procedure::Kind::Sub;
    if (!ok) Fail(kInvalidExit);
    flow = Flow::ExitProc;
  } else {
    Fail(kInvalidExit);
  }
  out.push_back(std::make_unique<Exit>(line, flow));
}

void Parser::ParseErase(Block& out) {
  auto stmt = std::make_unique<Erase>(Advance().line);
  do {
    const Token& name = ExpectIdentifier();
    stmt->fixed.push_back(IsFixedArray(name.key));
    stmt->vars.push_back(MakeName(name));
  } while (Accept(Tok::Comma));
  out.push_back(std::move(stmt));
}

// onerror := On Error (Resume Next | GoTo 0)
void Parser::ParseOnError(Block& out) {
  auto stmt = std::make_unique<OnError>(Advance().line);
  ExpectKw(Kw::Error, kSyntaxError);
  if (AcceptKw(Kw::Resume)) {
    ExpectKw(Kw::Next, kSyntaxError);
    stmt->resumeNext = true;
  } else if (AcceptKw(Kw::GoTo)) {
    if (!Is(Tok::Integer) || Cur().integer != 0) Fail(kSyntaxError);
    Advance();
  } else {
    Fail(kSyntaxError);
  }
  out.push_back(std::move(stmt));
}

// with := With expr block End With
void Parser::ParseWith(Block& out) {
  auto stmt = std::make_unique<With>(Advance().line);
  stmt->object = ParseExpr();
  stmt->body = ParseBlock();
  ExpectKw(Kw::End, kExpectedEnd);
  ExpectKw(Kw::With, kExpectedWith);
  out.push_back(std::move(stmt));
}

}  // namespace tillbook::vbscript::parsing
