// The functions a query text may call. Anything else is refused by name, so no function of the
// database itself (load_extension, ...) can be reached from a filter.
#include <array>

#include "base/text.h"
#include "engine/jet/internal/compiler.h"

namespace tillbook::jet::internal {
namespace {

enum class Fn {
  IIf,
  Month,
  Year,
  Day,
  Hour,
  Minute,
  Second,
  Weekday,
  Now,
  Date,
  Abs,
  Int,
  Len,
  Left,
  Right,
  Mid,
  InStr,
  UCase,
  LCase,
  Trim,
  LTrim,
  RTrim,
  Nz,
  IsNull,
  Sum,
  Count,
  Avg,
  Min,
  Max,
};

struct FunctionInfo {
  std::string_view name;
  Fn fn;
  int minArgs;
  int maxArgs;
};

constexpr std::array<FunctionInfo, 29> kFunctions{{
    {"IIF", Fn::IIf, 3, 3},       {"Month", Fn::Month, 1, 1},     {"Year", Fn::Year, 1, 1},
    {"Day", Fn::Day, 1, 1},       {"Hour", Fn::Hour, 1, 1},       {"Minute", Fn::Minute, 1, 1},
    {"Second", Fn::Second, 1, 1}, {"Weekday", Fn::Weekday, 1, 1}, {"InStr", Fn::InStr, 2, 3},
    {"LTrim", Fn::LTrim, 1, 1},   {"RTrim", Fn::RTrim, 1, 1},     {"Now", Fn::Now, 0, 0},
    {"Date", Fn::Date, 0, 0},     {"Abs", Fn::Abs, 1, 1},         {"Int", Fn::Int, 1, 1},
    {"Len", Fn::Len, 1, 1},       {"Left", Fn::Left, 2, 2},       {"Right", Fn::Right, 2, 2},
    {"Mid", Fn::Mid, 2, 3},       {"UCase", Fn::UCase, 1, 1},     {"LCase", Fn::LCase, 1, 1},
    {"Trim", Fn::Trim, 1, 1},     {"Nz", Fn::Nz, 1, 2},           {"IsNull", Fn::IsNull, 1, 1},
    {"Sum", Fn::Sum, 1, 1},       {"Count", Fn::Count, 1, 1},     {"Avg", Fn::Avg, 1, 1},
    {"Min", Fn::Min, 1, 1},       {"Max", Fn::Max, 1, 1},
}};

bool IsAggregate(Fn fn) {
  return fn == Fn::Sum || fn == Fn::Count || fn == Fn::Avg || fn == Fn::Min || fn == Fn::Max;
}

}  // namespace

Value Compiler::Call(const Expr& e, Scope& scope) {
  const FunctionInfo* info = nullptr;
  for (const FunctionInfo& f : kFunctions) {
    if (text::EqualNoCase(f.name, e.name)) info = &f;
  }
  if (!info) {
    Fail(ErrorKind::UnknownFunction, "Funzione sconosciuta «" + e.name + "»" + At(e.offset),
         e.offset, e.name.size());
  }
  const int count = static_cast<int>(e.args.size());
  if (count < info->minArgs || count > info->maxArgs) {
    std::string wanted = info->minArgs == info->maxArgs ? std::to_string(info->minArgs)
                                                        : std::to_string(info->minArgs) + " o " +
                                                              std::to_string(info->maxArgs);
    Fail(ErrorKind::ArgumentCount,
         std::string(info->name) + " richiede " + wanted +
             (info->maxArgs == 1 ? " argomento" : " argomenti") + ", trovati " +
             std::to_string(count) + At(e.offset),
         e.offset, e.length);
  }
  if (IsAggregate(info->fn)) {
    if (!scope.aggregates) {
      Fail(ErrorKind::NotAllowed,
           "La funzione «" + std::string(info->name) +
               "» è ammessa solo in una sotto-selezione (SELECT ... FROM ...)" + At(e.offset),
           e.offset, e.name.size());
    }
    Value out;
    if (info->fn == Fn::Count && e.args[0]->kind == ExprKind::Star) {
      out.sql = "COUNT(*)";
      out.type = LogicalType::Integer;
      return out;
    }
    scope.aggregates = false;  // no aggregate inside an aggregate
    Value v = Compile(*e.args[0], scope);
    scope.aggregates = true;
    switch (info->fn) {
      case Fn::Count:
        out.sql = "COUNT(" + v.sql + ")";
        out.type = LogicalType::Integer;
        break;
      case Fn::Sum:
        if (v.type == LogicalType::Boolean) v = AsNumber(v, e);
        if (v.type != LogicalType::Money) v = AsNumber(v, e);
        out.sql = "SUM(" + v.sql + ")";
        out.type = v.type;
        break;
      case Fn::Avg:
        v = AsNumber(v, e);
        out.sql = "AVG(" + v.sql + ")";
        out.type = LogicalType::Number;
        break;
      default:
        out.sql = std::string(info->fn == Fn::Min ? "MIN(" : "MAX(") + v.sql + ")";
        out.type = v.type;
        break;
    }
    return out;
  }

  auto arg = [&](int i) { return Compile(*e.args[i], scope); };
  auto needDate = [&](Value v, int i) {
    if (v.type != LogicalType::Date && v.type != LogicalType::Null) {
      Fail(ErrorKind::Type,
           std::string(info->name) + " richiede una data, non " + TypeName(v.type) +
               At(e.args[i]->offset),
           e.args[i]->offset, e.args[i]->length);
    }
    return v;
  };
  auto needInteger = [&](Value v, int i) {
    v = AsNumber(v, *e.args[i]);
    return v;
  };
  Value out;
  switch (info->fn) {
    case Fn::IIf: {
      std::string c = Condition(*e.args[0], scope, false);
      Value a = arg(1);
      Value b = arg(2);
      if (a.type != b.type && a.type != LogicalType::Null && b.type != LogicalType::Null) {
        if ((a.type == LogicalType::Money || b.type == LogicalType::Money) &&
            (a.literal == LiteralKind::Number || b.literal == LiteralKind::Number)) {
          Unify(a, b, e);  // IIF(x, Importo, 0): the 0 becomes an amount
        } else if (a.type != LogicalType::Text && b.type != LogicalType::Text &&
                   a.type != LogicalType::Date && b.type != LogicalType::Date) {
          a = AsNumber(a, *e.args[1]);
          b = AsNumber(b, *e.args[2]);
        } else {
          a = AsText(a);
          b = AsText(b);
        }
      }
      out.sql = "(CASE WHEN " + c + " THEN " + a.sql + " ELSE " + b.sql + " END)";
      out.type = a.type == LogicalType::Null ? b.type : a.type;
      if (a.type == LogicalType::Integer && b.type == LogicalType::Number) {
        out.type = LogicalType::Number;
      }
      return out;
    }
    case Fn::Month:
    case Fn::Year:
    case Fn::Day:
    case Fn::Hour:
    case Fn::Minute:
    case Fn::Second:
    case Fn::Weekday: {
      Value d = needDate(arg(0), 0);
      DatePart part = DatePart::Day;
      switch (info->fn) {
        case Fn::Month:
          part = DatePart::Month;
          break;
        case Fn::Year:
          part = DatePart::Year;
          break;
        case Fn::Hour:
          part = DatePart::Hour;
          break;
        case Fn::Minute:
          part = DatePart::Minute;
          break;
        case Fn::Second:
          part = DatePart::Second;
          break;
        case Fn::Weekday:
          part = DatePart::Weekday;
          break;
        default:
          break;
      }
      out.sql = dialect_.DatePartOf(part, d.sql);
      out.type = LogicalType::Integer;
      return out;
    }
    case Fn::Now:
      return NowValue(false);
    case Fn::Date:
      return NowValue(true);
    case Fn::Abs: {
      Value v = arg(0);
      if (v.type != LogicalType::Money) v = AsNumber(v, *e.args[0]);
      out.sql = "abs(" + v.sql + ")";
      out.type = v.type;
      return out;
    }
    case Fn::Int: {
      Value v = AsNumber(arg(0), *e.args[0]);
      out.sql = v.type == LogicalType::Integer ? v.sql : dialect_.Floor(v.sql);
      out.type = LogicalType::Integer;
      return out;
    }
    case Fn::Len:
      out.sql = dialect_.Length(AsText(arg(0)).sql);
      out.type = LogicalType::Integer;
      return out;
    case Fn::Left:
    case Fn::Right: {
      std::string s = AsText(arg(0)).sql;
      std::string n = needInteger(arg(1), 1).sql;
      out.sql = info->fn == Fn::Left
                    ? "substr(" + s + ", 1, " + n + ")"
                    : "(CASE WHEN " + n + " <= 0 THEN '' ELSE substr(" + s + ", -(" + n + ")) END)";
      out.type = LogicalType::Text;
      return out;
    }
    case Fn::Mid: {
      std::string s = AsText(arg(0)).sql;
      std::string p = needInteger(arg(1), 1).sql;
      out.sql = "substr(" + s + ", " + p;
      if (count == 3) out.sql += ", " + needInteger(arg(2), 2).sql;
      out.sql += ")";
      out.type = LogicalType::Text;
      return out;
    }
    case Fn::InStr: {
      // InStr([start,] text, wanted): 1-based position without regard to case, 0 when absent.
      const int first = count == 3 ? 1 : 0;
      std::string s = AsText(arg(first)).sql;
      std::string w = dialect_.Lower(AsText(arg(first + 1)).sql);
      if (count == 3) {
        std::string start = needInteger(arg(0), 0).sql;
        std::string found =
            dialect_.Position(dialect_.Lower("substr(" + s + ", " + start + ")"), w);
        out.sql = "(CASE WHEN " + found + " = 0 THEN 0 ELSE " + found + " + " + start + " - 1 END)";
      } else {
        out.sql = dialect_.Position(dialect_.Lower(s), w);
      }
      out.type = LogicalType::Integer;
      return out;
    }
    case Fn::UCase:
    case Fn::LCase:
    case Fn::Trim:
    case Fn::LTrim:
    case Fn::RTrim: {
      std::string s = AsText(arg(0)).sql;
      out.sql = info->fn == Fn::UCase   ? dialect_.Upper(s)
                : info->fn == Fn::LCase ? dialect_.Lower(s)
                : info->fn == Fn::LTrim ? dialect_.TrimBlanks(s, -1)
                : info->fn == Fn::RTrim ? dialect_.TrimBlanks(s, 1)
                                        : dialect_.TrimBlanks(s, 0);
      out.type = LogicalType::Text;
      return out;
    }
    case Fn::Nz: {
      Value v = arg(0);
      Value d;
      if (count == 2) {
        d = arg(1);
        if (v.type != d.type && v.type != LogicalType::Null && d.type != LogicalType::Null) {
          Unify(v, d, e);
        }
      } else {
        d.sql = v.type == LogicalType::Text ? "''" : "0";
        d.type = v.type;
      }
      out.sql = "COALESCE(" + v.sql + ", " + d.sql + ")";
      out.type = v.type == LogicalType::Null ? d.type : v.type;
      return out;
    }
    case Fn::IsNull: {
      Value v = arg(0);
      out.sql = "(" + (v.linkSql.empty() ? v.sql : v.linkSql) + " IS NULL)";
      out.type = LogicalType::Boolean;
      return out;
    }
    default:
      break;
  }
  Fail(ErrorKind::UnknownFunction, "Funzione sconosciuta «" + e.name + "»" + At(e.offset), e.offset,
       e.name.size());
}

}  // namespace tillbook::jet::internal
