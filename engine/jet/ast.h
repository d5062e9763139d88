// The syntax tree of a query text: one expression grammar shared by filters, sort lists, field
// lists and the bare expressions of the aggregate calls. Nodes keep their byte offset in the
// original text so that later phases can report problems where the person wrote them.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/date.h"

namespace tillbook::jet {

enum class ExprKind {
  Literal,
  Path,       // Name or Name.Name...; a lone Now/Date without parentheses is a Path too
  Unary,      // op, args[0]
  Binary,     // op, args[0], args[1]
  Like,       // args[0] Like args[1]
  In,         // args[0] In (args[1..])
  Between,    // args[0] Between args[1] And args[2]
  IsNull,     // args[0] Is Null
  Call,       // name(args...)
  SubSelect,  // (SELECT args[0] FROM name [WHERE args[1]])
  Star,       // the '*' of Count(*)
};

enum class LiteralKind { Number, Text, Date, Boolean, Null };

enum class Op {
  Not,
  Negate,
  Identity,  // unary '+'
  And,
  Or,
  Xor,
  Eqv,
  Imp,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  Add,
  Sub,
  Mul,
  Div,
  IntDiv,
  Mod,
  Pow,
  Concat,
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
  ExprKind kind = ExprKind::Literal;
  size_t offset = 0;  // bytes into the text
  size_t length = 0;
  // Levels of the subtree (a leaf is 1), kept as the parser builds it, so that a limit on the
  // depth never needs a walk down a tree that may be too deep to walk.
  int height = 1;

  // Literal
  LiteralKind literal = LiteralKind::Null;
  std::string text;  // number as written, or the text value
  DateTime date;
  bool boolean = false;

  // Path: the parts as written and where each starts
  std::vector<std::string> parts;
  std::vector<size_t> partOffsets;

  Op op = Op::Not;
  bool negated = false;  // Not Like, Not In, Not Between, Is Not Null
  std::string name;      // function name, or the table of a sub-select
  size_t nameOffset = 0;
  std::vector<ExprPtr> args;
};

// One item of a field list: '*' or an expression with an optional alias.
struct FieldItem {
  bool star = false;
  std::string starTable;  // "Articoli.*": the table named before the star
  size_t starTableOffset = 0;
  ExprPtr expr;
  std::string alias;  // empty: none
  size_t aliasOffset = 0;
  size_t offset = 0;
  size_t length = 0;
};

struct SortItem {
  ExprPtr expr;
  bool descending = false;
};

}  // namespace tillbook::jet
