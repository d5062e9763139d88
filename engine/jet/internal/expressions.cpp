// Operators, literals, typing and sub-selects.
#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

#include "base/error.h"
#include "base/money.h"
#include "base/text.h"
#include "engine/jet/internal/compiler.h"

namespace tillbook::jet::internal {

std::string TypeName(LogicalType t) {
  switch (t) {
    case LogicalType::Null:
      return "Null";
    case LogicalType::Boolean:
      return "un valore Sì/No";
    case LogicalType::Integer:
      return "un numero intero";
    case LogicalType::Number:
      return "un numero";
    case LogicalType::Money:
      return "un importo";
    case LogicalType::Date:
      return "una data";
    case LogicalType::Text:
      return "un testo";
  }
  return "?";
}

namespace {

// Longest SQL text of one expression. Some forms repeat an operand (a floor, a Right), so a
// nesting of them grows the text geometrically; past this the text is refused, long before
// the memory runs out.
constexpr size_t kMaxSqlText = size_t{4} << 20;

bool IsNumeric(LogicalType t) {
  return t == LogicalType::Integer || t == LogicalType::Number || t == LogicalType::Money ||
         t == LogicalType::Boolean;
}

bool IsNumberLiteral(const Value& v) {
  return v.literal == LiteralKind::Number;
}

const char* ComparisonSql(Op op) {
  switch (op) {
    case Op::Eq:
      return " = ";
    case Op::Ne:
      return " <> ";
    case Op::Lt:
      return " < ";
    case Op::Gt:
      return " > ";
    case Op::Le:
      return " <= ";
    case Op::Ge:
      return " >= ";
    default:
      return nullptr;
  }
}

}  // namespace

void Compiler::Fail(ErrorKind kind, const std::string& message, size_t offset,
                    size_t length) const {
  throw JetError(kind, message, text_, offset, length);
}

std::string Compiler::At(size_t offset) const {
  return " (posizione " + std::to_string(CharPosition(text_, offset)) + ").";
}

int Compiler::AddParam(Variant v) {
  params_.push_back(std::move(v));
  return static_cast<int>(params_.size());
}

Value Compiler::NowValue(bool dateOnly) {
  Value v;
  v.param = AddParam(Variant::Date(dateOnly ? now_.DatePart() : now_));
  v.sql = dialect_.Placeholder(v.param);
  v.type = LogicalType::Date;
  return v;
}

Value Compiler::Literal(const Expr& e) {
  Value v;
  v.literal = e.literal;
  Variant value;
  switch (e.literal) {
    case LiteralKind::Number: {
      v.numberText = e.text;
      const char* begin = e.text.data();
      const char* end = begin + e.text.size();
      bool integral = e.text.find_first_of(".eE") == std::string::npos;
      int64_t i = 0;
      if (integral && std::from_chars(begin, end, i).ec == std::errc()) {
        v.type = LogicalType::Integer;
        value = i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max()
                    ? Variant::Long(static_cast<int32_t>(i))
                    : Variant::Double(static_cast<double>(i));
      } else {
        double d = 0;
        auto [ptr, ec] = std::from_chars(begin, end, d);
        if (ec != std::errc() || ptr != end) {
          Fail(ErrorKind::BadNumber, "Numero non valido «" + e.text + "»" + At(e.offset), e.offset,
               e.length);
        }
        v.type = LogicalType::Number;
        value = Variant::Double(d);
      }
      break;
    }
    case LiteralKind::Text:
      v.type = LogicalType::Text;
      value = Variant::String(e.text);
      break;
    case LiteralKind::Date:
      v.type = LogicalType::Date;
      value = Variant::Date(e.date);
      break;
    case LiteralKind::Boolean:
      v.type = LogicalType::Boolean;
      value = Variant::Boolean(e.boolean);
      break;
    case LiteralKind::Null:
      v.type = LogicalType::Null;
      value = Variant::Null();
      break;
  }
  v.param = AddParam(std::move(value));
  v.sql = dialect_.Placeholder(v.param);
  return v;
}

void Compiler::ToMoney(Value& v, const Expr& at) {
  // Exactly from the decimal text; a number written with an exponent goes through its double.
  std::optional<Money> money = Money::Parse(v.numberText);
  if (!money) {
    double d = 0;
    const std::string& t = v.numberText;
    auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), d);
    if (ec == std::errc() && ptr == t.data() + t.size()) {
      try {
        money = Money::FromDouble(d);
      } catch (const Error&) {
        money.reset();
      }
    }
  }
  if (!money) {
    Fail(ErrorKind::BadNumber, "Importo non valido «" + v.numberText + "»" + At(at.offset),
         at.offset, at.length);
  }
  params_[v.param - 1] = Variant::Currency(*money);
  v.type = LogicalType::Money;
}

Value Compiler::AsNumber(Value v, const Expr& at) {
  switch (v.type) {
    case LogicalType::Null:
    case LogicalType::Integer:
    case LogicalType::Number:
      return v;
    case LogicalType::Money: {
      Value out;
      out.sql = dialect_.MoneyToNumber(v.sql);
      out.type = LogicalType::Number;
      return out;
    }
    case LogicalType::Boolean: {
      if (v.literal == LiteralKind::Boolean) {
        // The original engine's True is -1 wherever it becomes a number.
        bool b = params_[v.param - 1].AsBoolean();
        params_[v.param - 1] = Variant::Long(b ? -1 : 0);
        v.type = LogicalType::Integer;
        return v;
      }
      Value out;
      out.sql = dialect_.BoolToNumber(v.sql);
      out.type = LogicalType::Integer;
      return out;
    }
    case LogicalType::Text:
    case LogicalType::Date:
      break;
  }
  Fail(ErrorKind::Type,
       "Impossibile usare " + TypeName(v.type) + " in un calcolo" + At(at.offset) +
           (v.type == LogicalType::Text ? " Per unire testi usare «&»." : ""),
       at.offset, at.length);
}

Value Compiler::AsText(Value v) const {
  Value out;
  out.type = LogicalType::Text;
  switch (v.type) {
    case LogicalType::Null:
    case LogicalType::Text:
      return v;
    case LogicalType::Money:
      out.sql = dialect_.ToText(dialect_.MoneyToNumber(v.sql));
      break;
    case LogicalType::Boolean:
      out.sql = dialect_.ToText(dialect_.BoolToNumber(v.sql));
      break;
    default:
      out.sql = dialect_.ToText(v.sql);
      break;
  }
  return out;
}

void Compiler::Unify(Value& a, Value& b, const Expr& at) {
  if (a.type == LogicalType::Null || b.type == LogicalType::Null || a.type == b.type) return;
  if (IsNumeric(a.type) && IsNumeric(b.type)) {
    // A literal next to an amount is scaled exactly, so the comparison stays on the stored
    // integers (exact, and an index can serve it).
    if (a.type == LogicalType::Money && IsNumberLiteral(b)) return ToMoney(b, at);
    if (b.type == LogicalType::Money && IsNumberLiteral(a)) return ToMoney(a, at);
    a = AsNumber(std::move(a), at);
    b = AsNumber(std::move(b), at);
    return;
  }
  Fail(ErrorKind::Type,
       "Impossibile confrontare " + TypeName(a.type) + " con " + TypeName(b.type) + At(at.offset),
       at.offset, at.length);
}

std::string Compiler::AsCondition(const Value& v, bool strict, const Expr& at) const {
  if (v.type == LogicalType::Boolean || v.type == LogicalType::Null) return v.sql;
  if (!strict && IsNumeric(v.type)) return "(" + v.sql + " <> 0)";
  Fail(ErrorKind::Type,
       "Condizione non valida" + At(at.offset) + " Serve un valore Sì/No, non " + TypeName(v.type) +
           ".",
       at.offset, at.length);
}

std::string Compiler::Condition(const Expr& e, Scope& scope, bool strict) {
  return InFrames([&] { return AsCondition(Compile(e, scope), strict, e); });
}

std::string Compiler::InFrames(const std::function<std::string()>& build) {
  frameStack_.emplace_back();
  frameOrder_.emplace_back();
  std::string sql;
  try {
    sql = build();
  } catch (...) {
    frameStack_.pop_back();
    frameOrder_.pop_back();
    throw;
  }
  std::vector<Frame*> order = std::move(frameOrder_.back());
  frameStack_.pop_back();
  frameOrder_.pop_back();
  if (sql.empty()) return sql;  // the caller gave up and compiles the text another way
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    std::string joins = (*it)->space.Text();
    sql = "EXISTS (SELECT 1 FROM " + (*it)->from + joins + " WHERE " + (*it)->link + " AND " + sql +
          ")";
  }
  return sql;
}

Value Compiler::Compile(const Expr& e, Scope& scope) {
  Value v = CompileNode(e, scope);
  if (v.sql.size() > kMaxSqlText) {
    Fail(ErrorKind::TooComplex, "Espressione troppo complessa" + At(e.offset), e.offset, e.length);
  }
  return v;
}

Value Compiler::CompileNode(const Expr& e, Scope& scope) {
  switch (e.kind) {
    case ExprKind::Literal:
      return Literal(e);
    case ExprKind::Path:
      return ResolvePath(e, scope);
    case ExprKind::Unary: {
      Value out;
      if (e.op == Op::Not) {
        out.sql = "(NOT " + Condition(*e.args[0], scope, true) + ")";
        out.type = LogicalType::Boolean;
        return out;
      }
      Value v = Compile(*e.args[0], scope);
      if (e.op == Op::Identity) return v.type == LogicalType::Money ? v : AsNumber(v, e);
      if (IsNumberLiteral(v)) {
        // Fold the sign into the literal: "-2.35" must scale to an exact amount.
        v.numberText = v.numberText[0] == '-' ? v.numberText.substr(1) : "-" + v.numberText;
        Variant& p = params_[v.param - 1];
        p = p.type() == VarType::Long ? Variant::Double(-static_cast<double>(p.AsInteger()))
                                      : Variant::Double(-p.AsDouble());
        if (v.type == LogicalType::Integer && p.AsDouble() >= std::numeric_limits<int32_t>::min() &&
            p.AsDouble() <= std::numeric_limits<int32_t>::max()) {
          p = Variant::Long(static_cast<int32_t>(p.AsDouble()));
        }
        return v;
      }
      if (v.type != LogicalType::Money) v = AsNumber(v, e);
      out.sql = "(-" + v.sql + ")";
      out.type = v.type;
      return out;
    }
    case ExprKind::Binary:
      return Binary(e, scope);
    case ExprKind::Like: {
      Value v = Compile(*e.args[0], scope);
      Value p = Compile(*e.args[1], scope);
      if (v.type == LogicalType::Integer) v = AsText(v);
      if (v.type != LogicalType::Text && v.type != LogicalType::Null) {
        Fail(ErrorKind::Type, "«Like» si applica a testi, non a " + TypeName(v.type) + At(e.offset),
             e.offset, e.length);
      }
      if (p.type != LogicalType::Text && p.type != LogicalType::Null) {
        Fail(ErrorKind::Type, "Il modello di «Like» deve essere un testo" + At(e.args[1]->offset),
             e.args[1]->offset, e.args[1]->length);
      }
      Value out;
      out.sql = std::string(e.negated ? "(NOT " : "(") + dialect_.Like(v.sql, p.sql) + ")";
      out.type = LogicalType::Boolean;
      return out;
    }
    case ExprKind::In:
    case ExprKind::Between: {
      Value v = Compile(*e.args[0], scope);
      std::vector<Value> items;
      bool allLiteral = true;
      for (size_t i = 1; i < e.args.size(); ++i) {
        items.push_back(Compile(*e.args[i], scope));
        if (!IsNumberLiteral(items.back()) && items.back().type != LogicalType::Money &&
            items.back().type != LogicalType::Null) {
          allLiteral = false;
        }
      }
      if (v.type == LogicalType::Money && !allLiteral) v = AsNumber(v, e);
      for (Value& item : items) Unify(v, item, e);
      Value out;
      out.type = LogicalType::Boolean;
      std::string left = v.type == LogicalType::Text ? dialect_.CompareText(v.sql) : v.sql;
      if (e.kind == ExprKind::Between) {
        out.sql = "(" + left + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + items[0].sql +
                  " AND " + items[1].sql + ")";
        return out;
      }
      if (items.empty()) {
        // An empty list: nothing is in it (the program builds "OID NOT IN (...)" from lists
        // that may be empty).
        out.sql = e.negated ? dialect_.True() : dialect_.False();
        return out;
      }
      out.sql = "(" + left + (e.negated ? " NOT IN (" : " IN (");
      for (size_t i = 0; i < items.size(); ++i) out.sql += (i ? ", " : "") + items[i].sql;
      out.sql += "))";
      return out;
    }
    case ExprKind::IsNull: {
      Value v = Compile(*e.args[0], scope);
      Value out;
      out.sql = "(" + (v.linkSql.empty() ? v.sql : v.linkSql) +
                (e.negated ? " IS NOT NULL)" : " IS NULL)");
      out.type = LogicalType::Boolean;
      return out;
    }
    case ExprKind::Call:
      return Call(e, scope);
    case ExprKind::SubSelect:
      return SubSelect(e, scope);
    case ExprKind::Star:
      break;
  }
  Fail(ErrorKind::Syntax, "«*» è ammesso solo in Count(*)" + At(e.offset), e.offset, e.length);
}

Value Compiler::Binary(const Expr& e, Scope& scope) {
  Value out;
  switch (e.op) {
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp: {
      if (e.op == Op::And) {
        out.sql = Conjunction(e, scope);
        out.type = LogicalType::Boolean;
        return out;
      }
      if (e.op == Op::Or) {
        std::vector<std::string> terms;
        for (const Expr* t : ChainOperands(e, Op::Or)) terms.push_back(Condition(*t, scope, true));
        out.sql = JoinGrouped(std::move(terms), " OR ");
        out.type = LogicalType::Boolean;
        return out;
      }
      std::string l = Condition(*e.args[0], scope, true);
      std::string r = Condition(*e.args[1], scope, true);
      out.type = LogicalType::Boolean;
      switch (e.op) {
        case Op::Xor:
          out.sql = "(" + l + " <> " + r + ")";
          break;
        case Op::Eqv:
          out.sql = "(" + l + " = " + r + ")";
          break;
        default:
          out.sql = "((NOT " + l + ") OR " + r + ")";
          break;
      }
      return out;
    }
    default:
      break;
  }
  if (e.op == Op::Eq) {
    out.sql = YearEquality(e, scope);
    out.type = LogicalType::Boolean;
    if (!out.sql.empty()) return out;
  }
  if (e.op == Op::Concat) return Concatenation(e, scope);
  Value l = Compile(*e.args[0], scope);
  Value r = Compile(*e.args[1], scope);
  if (ComparisonSql(e.op)) return Comparison(e.op, std::move(l), std::move(r), e);
  return Arithmetic(e.op, std::move(l), std::move(r), e);
}

Value Compiler::Comparison(Op op, Value l, Value r, const Expr& e) {
  Unify(l, r, e);
  Value out;
  out.type = LogicalType::Boolean;
  bool textual = l.type == LogicalType::Text || r.type == LogicalType::Text;
  out.sql = "(" + l.sql + ComparisonSql(op) + (textual ? dialect_.CompareText(r.sql) : r.sql) + ")";
  return out;
}

Value Compiler::Arithmetic(Op op, Value l, Value r, const Expr& e) {
  Value out;
  const bool lText = l.type == LogicalType::Text;
  const bool rText = r.type == LogicalType::Text;
  if (op == Op::Add && (lText || rText)) {
    if ((lText || l.type == LogicalType::Null) && (rText || r.type == LogicalType::Null)) {
      out.sql = "(" + l.sql + " || " + r.sql + ")";  // '+' on texts propagates Null
      out.type = LogicalType::Text;
      return out;
    }
    Fail(ErrorKind::Type,
         "Impossibile sommare " + TypeName(l.type) + " e " + TypeName(r.type) + At(e.offset) +
             " Per unire testi usare «&».",
         e.offset, e.length);
  }
  const bool lDate = l.type == LogicalType::Date;
  const bool rDate = r.type == LogicalType::Date;
  if (lDate || rDate) {
    if (op == Op::Sub && lDate && rDate) {
      out.sql = dialect_.DateDiffDays(l.sql, r.sql);
      out.type = LogicalType::Number;
      return out;
    }
    if ((op == Op::Add || op == Op::Sub) && lDate != rDate) {
      Value date = lDate ? l : r;
      Value days = AsNumber(lDate ? r : l, e);
      if (op == Op::Sub && rDate) {
        Fail(ErrorKind::Type, "Impossibile sottrarre una data da un numero" + At(e.offset),
             e.offset, e.length);
      }
      out.sql = dialect_.DateAddDays(date.sql, op == Op::Sub ? "-" + days.sql : days.sql);
      out.type = LogicalType::Date;
      return out;
    }
  }
  if ((op == Op::Add || op == Op::Sub) &&
      (l.type == LogicalType::Money || r.type == LogicalType::Money)) {
    // Sums and differences of amounts stay exact on the stored integers.
    if (l.type == LogicalType::Money && IsNumberLiteral(r)) ToMoney(r, e);
    if (r.type == LogicalType::Money && IsNumberLiteral(l)) ToMoney(l, e);
    if (l.type == LogicalType::Money && r.type == LogicalType::Money) {
      out.sql = "(" + l.sql + (op == Op::Add ? " + " : " - ") + r.sql + ")";
      out.type = LogicalType::Money;
      return out;
    }
  }
  if (op == Op::Mul && ((l.type == LogicalType::Money && r.type == LogicalType::Integer) ||
                        (r.type == LogicalType::Money && l.type == LogicalType::Integer))) {
    // An amount times a whole number stays an exact amount (Currency * Long is Currency).
    out.sql = "(" + l.sql + " * " + r.sql + ")";
    out.type = LogicalType::Money;
    return out;
  }
  l = AsNumber(std::move(l), *e.args[0]);
  r = AsNumber(std::move(r), *e.args[1]);
  const bool integers = l.type != LogicalType::Number && r.type != LogicalType::Number;
  out.type = integers ? LogicalType::Integer : LogicalType::Number;
  switch (op) {
    case Op::Add:
      out.sql = "(" + l.sql + " + " + r.sql + ")";
      break;
    case Op::Sub:
      out.sql = "(" + l.sql + " - " + r.sql + ")";
      break;
    case Op::Mul:
      out.sql = "(" + l.sql + " * " + r.sql + ")";
      break;
    case Op::Div:
      out.sql = dialect_.Divide(l.sql, r.sql);
      out.type = LogicalType::Number;
      break;
    case Op::IntDiv:
    case Op::Mod: {
      // Both operands are rounded to integers first, as the original engine does.
      std::string a = "CAST(ROUND(" + l.sql + ") AS INTEGER)";
      std::string b = "NULLIF(CAST(ROUND(" + r.sql + ") AS INTEGER), 0)";
      out.sql = "(" + a + (op == Op::Mod ? " % " : " / ") + b + ")";
      out.type = LogicalType::Integer;
      break;
    }
    case Op::Pow:
      out.sql = dialect_.Power(l.sql, r.sql);
      out.type = LogicalType::Number;
      break;
    default:
      Fail(ErrorKind::Syntax, "Operatore non valido" + At(e.offset), e.offset, e.length);
  }
  return out;
}

Value Compiler::SubSelect(const Expr& e, Scope& outer) {
  const TableInfo* table = catalog_.FindTable(e.name);
  if (!table) {
    Fail(ErrorKind::UnknownName, "Tabella sconosciuta «" + e.name + "»" + At(e.nameOffset),
         e.nameOffset, e.name.size());
  }
  spaces_.emplace_back();
  JoinSpace* space = &spaces_.back();
  Instance* root = NewInstance(table, space);
  scopes_.push_back({&outer, root, Context::SubSelect, true, false});
  Scope& inner = scopes_.back();
  // Nested frames of the outer condition must not catch list paths of the sub-select value.
  frameStack_.emplace_back();
  frameOrder_.emplace_back();
  Value v;
  try {
    v = Compile(*e.args[0], inner);
  } catch (...) {
    frameStack_.pop_back();
    frameOrder_.pop_back();
    throw;
  }
  frameStack_.pop_back();
  frameOrder_.pop_back();
  std::string where;
  if (e.args.size() > 1) {
    inner.aggregates = false;
    inner.listsAsExists = true;
    where = " WHERE " + Condition(*e.args[1], inner, false);
  }
  std::string joins = space->Text();
  Value out;
  out.type = v.type;
  out.sql = "(SELECT " + v.sql + " FROM " + dialect_.Quote(table->name) + " " + root->alias +
            joins + where + ")";
  return out;
}

}  // namespace tillbook::jet::internal
