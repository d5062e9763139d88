#include "engine/jet/parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/jet/jet_error.h"

namespace tillbook::jet {
namespace {

const char* OpName(Op op) {
  switch (op) {
    case Op::Not:
      return "Not";
    case Op::Negate:
      return "neg";
    case Op::Identity:
      return "pos";
    case Op::And:
      return "And";
    case Op::Or:
      return "Or";
    case Op::Xor:
      return "Xor";
    case Op::Eqv:
      return "Eqv";
    case Op::Imp:
      return "Imp";
    case Op::Eq:
      return "=";
    case Op::Ne:
      return "<>";
    case Op::Lt:
      return "<";
    case Op::Gt:
      return ">";
    case Op::Le:
      return "<=";
    case Op::Ge:
      return ">=";
    case Op::Add:
      return "+";
    case Op::Sub:
      return "-";
    case Op::Mul:
      return "*";
    case Op::Div:
      return "/";
    case Op::IntDiv:
      return "\\";
    case Op::Mod:
      return "Mod";
    case Op::Pow:
      return "^";
    case Op::Concat:
      return "&";
  }
  return "?";
}

// The tree as an s-expression.
std::string Show(const Expr& e) {
  auto args = [&](size_t from) {
    std::string s;
    for (size_t i = from; i < e.args.size(); ++i) s += " " + Show(*e.args[i]);
    return s;
  };
  switch (e.kind) {
    case ExprKind::Literal:
      switch (e.literal) {
        case LiteralKind::Number:
          return e.text;
        case LiteralKind::Text:
          return "'" + e.text + "'";
        case LiteralKind::Date:
          return "#" + e.date.ToIso() + "#";
        case LiteralKind::Boolean:
          return e.boolean ? "True" : "False";
        case LiteralKind::Null:
          return "Null";
      }
      break;
    case ExprKind::Path: {
      std::string s;
      for (size_t i = 0; i < e.parts.size(); ++i) s += (i ? "." : "") + e.parts[i];
      return s;
    }
    case ExprKind::Unary:
    case ExprKind::Binary:
      return std::string("(") + OpName(e.op) + args(0) + ")";
    case ExprKind::Like:
      return std::string(e.negated ? "(NotLike" : "(Like") + args(0) + ")";
    case ExprKind::In:
      return std::string(e.negated ? "(NotIn" : "(In") + args(0) + ")";
    case ExprKind::Between:
      return std::string(e.negated ? "(NotBetween" : "(Between") + args(0) + ")";
    case ExprKind::IsNull:
      return std::string(e.negated ? "(IsNotNull" : "(IsNull") + args(0) + ")";
    case ExprKind::Call:
      return "(" + e.name + "()" + args(0) + ")";
    case ExprKind::SubSelect:
      return "(SELECT " + e.name + args(0) + ")";
    case ExprKind::Star:
      return "*";
  }
  return "?";
}

TEST(ParserTest, PrecedenceAndShapes) {
  struct Case {
    const char* text;
    const char* tree;
  } cases[] = {
      {"Not Evaso AND Tipologia=0", "(And (Not Evaso) (= Tipologia 0))"},
      {"Not a And b Or c", "(Or (And (Not a) b) c)"},
      {"a Or b And c", "(Or a (And b c))"},
      {"a Xor b Or c", "(Xor a (Or b c))"},
      {"Not a = b", "(Not (= a b))"},
      {"a - b * 2", "(- a (* b 2))"},
      {"a - b - c", "(- (- a b) c)"},
      {"-2^2", "(neg (^ 2 2))"},
      {"2^-1", "(^ 2 (neg 1))"},
      {"a & b + c", "(& a (+ b c))"},
      {"a + b = c & d", "(= (+ a b) (& c d))"},
      {"a Mod b * c", "(Mod a (* b c))"},
      {"a \\ b Mod c", "(Mod (\\ a b) c)"},
      {"x Between 1 And 2 And y", "(And (Between x 1 2) y)"},
      {"x Not Between a+1 And b", "(NotBetween x (+ a 1) b)"},
      {"x Like 'a*' Or x Not Like '*b'", "(Or (Like x 'a*') (NotLike x '*b'))"},
      {"Not x Like 'a'", "(Not (Like x 'a'))"},
      {"x In (1, 2, 3)", "(In x 1 2 3)"},
      {"OID NOT IN ()", "(NotIn OID)"},
      {"x Is Null Or y Is Not Null", "(Or (IsNull x) (IsNotNull y))"},
      {"(a Or b) And c", "(And (Or a b) c)"},
      {"((((a))))", "a"},
      {"PagamentiCliente.Cliente.Città.CAP = '1'", "(= PagamentiCliente.Cliente.Città.CAP '1')"},
      {"[Nome con spazi] = [Data]", "(= Nome con spazi Data)"},
      {"IIF(Tipo=-1,ImportoMovimento,0)", "(IIF() (= Tipo (neg 1)) ImportoMovimento 0)"},
      {"Now() > Now", "(> (Now()) Now)"},
      {"Count(*) > 0", "(> (Count() *) 0)"},
      {"True <> False And x = Null", "(And (<> True False) (= x Null))"},
      {"Data >= #03/01/2024#AND Data <= #03/31/2024#",
       "(And (>= Data #2024-03-01 00:00:00#) (<= Data #2024-03-31 00:00:00#))"},
      {"(SELECT SUM(Q) FROM Righe WHERE L=Articoli.OID AND D >= #1/2/2024#)",
       "(SELECT Righe (SUM() Q) (And (= L Articoli.OID) (>= D #2024-01-02 00:00:00#)))"},
      {"a Imp b Eqv c", "(Imp a (Eqv b c))"},
      {"+a", "(pos a)"},
  };
  for (const auto& c : cases) {
    ExprPtr e = ParseFilter(c.text);
    ASSERT_TRUE(e) << c.text;
    EXPECT_EQ(Show(*e), c.tree) << c.text;
  }
}

TEST(ParserTest, NodesCoverTheirText) {
  const std::string text = "x = 1 And Città.CAP Like 'a*'";
  ExprPtr e = ParseFilter(text);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->offset, 0u);
  EXPECT_EQ(e->length, text.size());
  const Expr& like = *e->args[1];
  EXPECT_EQ(text.substr(like.offset, like.length), "Città.CAP Like 'a*'");
  EXPECT_EQ(like.args[0]->partOffsets[1], text.find("CAP"));
}

TEST(ParserTest, FieldLists) {
  auto items = ParseFieldList("*,PrezzoVendita,Descrizione,Deposito,");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_TRUE(items[0].star);
  EXPECT_EQ(Show(*items[3].expr), "Deposito");

  items = ParseFieldList(
      " *, Città.CAP AS CAP,IIF(Tipo=1,ImportoMovimento,0) As EntrataCassa,,(a+b) as [Totale "
      "Lordo]");
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1].alias, "CAP");
  EXPECT_EQ(Show(*items[1].expr), "Città.CAP");
  EXPECT_EQ(items[2].alias, "EntrataCassa");
  EXPECT_EQ(items[3].alias, "Totale Lordo");
  items = ParseFieldList("Articoli.*, Codice");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_TRUE(items[0].star);
  EXPECT_EQ(items[0].starTable, "Articoli");
  EXPECT_TRUE(ParseFieldList("").empty());
  EXPECT_TRUE(ParseFieldList(" , ,").empty());
}

TEST(ParserTest, SortLists) {
  auto items = ParseSortList("*,Vendite.OID_TipoDocumento, Vendite.Numero DESC,Data asc,");
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(Show(*items[0].expr), "Vendite.OID_TipoDocumento");
  EXPECT_FALSE(items[0].descending);
  EXPECT_TRUE(items[1].descending);
  EXPECT_FALSE(items[2].descending);
  EXPECT_TRUE(ParseSortList("").empty());
}

TEST(ParserTest, BlankFilterIsNoCondition) {
  EXPECT_EQ(ParseFilter(""), nullptr);
  EXPECT_EQ(ParseFilter("  \r\n"), nullptr);
  EXPECT_THROW(ParseExpression(" "), JetError);
}

TEST(ParserTest, Errors) {
  struct Case {
    const char* text;
    ErrorKind kind;
    size_t position;
  } cases[] = {
      {"(a = 1", ErrorKind::Unbalanced, 1},
      {"((a = 1)", ErrorKind::Unbalanced, 1},
      {"a = 1)", ErrorKind::Unbalanced, 6},
      {")", ErrorKind::Unbalanced, 1},
      {"a = ", ErrorKind::Incomplete, 5},
      {"Not", ErrorKind::Incomplete, 4},
      {"a In 1", ErrorKind::Syntax, 6},
      {"a In (1,", ErrorKind::Incomplete, 9},
      {"a Between 1", ErrorKind::Incomplete, 12},
      {"a Is Nothing", ErrorKind::Syntax, 6},
      {"a.", ErrorKind::Incomplete, 3},
      {"a.1", ErrorKind::Syntax, 2},  // ".1" is a number
      {"a b", ErrorKind::Syntax, 3},
      {"1,5", ErrorKind::Syntax, 2},
      {"And a", ErrorKind::Syntax, 1},
      {"f(a b)", ErrorKind::Syntax, 5},
      {"(SELECT x Righe)", ErrorKind::Syntax, 11},
      {"(SELECT x FROM)", ErrorKind::Syntax, 15},
  };
  for (const auto& c : cases) {
    try {
      ParseFilter(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const JetError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.text << ": " << e.message();
      EXPECT_EQ(e.position(), c.position) << c.text << ": " << e.message();
    }
  }
}

TEST(ParserTest, DepthIsLimited) {
  std::string deep(150, '(');
  deep += "a" + std::string(150, ')');
  EXPECT_NO_THROW(ParseFilter(deep));
  std::string tooDeep(5000, '(');
  tooDeep += "a" + std::string(5000, ')');
  try {
    ParseFilter(tooDeep);
    ADD_FAILURE();
  } catch (const JetError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::TooComplex);
  }
}

// And, Or and '&' are associative: a chain of any length becomes a balanced tree, a few levels
// deep. Other operators nest one level per term and are refused past a depth no database
// statement could hold.
TEST(ParserTest, LongChains) {
  EXPECT_EQ(Show(*ParseFilter("a Or b Or c Or d")), "(Or (Or a b) (Or c d))");
  EXPECT_EQ(Show(*ParseFilter("a And b And c")), "(And (And a b) c)");
  EXPECT_EQ(Show(*ParseFilter("a & b & c & d & e")), "(& (& (& a b) c) (& d e))");
  EXPECT_EQ(Show(*ParseFilter("a Or b And c Or d")), "(Or (Or a (And b c)) d)");
  for (const char* op : {" Or ", " And ", " & "}) {
    std::string chain = "a";
    for (int i = 0; i < 9999; ++i) chain += op + std::string("a");
    ExprPtr e = ParseFilter(chain);
    ASSERT_TRUE(e) << op;
    EXPECT_LE(e->height, 15) << op;
    EXPECT_EQ(e->length, chain.size()) << op;
  }
  std::string sum = "a";
  for (int i = 0; i < 90; ++i) sum += " + a";
  EXPECT_EQ(ParseFilter(sum)->height, 91);
  for (int i = 0; i < 5000; ++i) sum += " + a";
  try {
    ParseFilter(sum);
    ADD_FAILURE();
  } catch (const JetError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::TooComplex);
  }
}

}  // namespace
}  // namespace tillbook::jet
