#include "engine/jet/jet_literal.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "base/error.h"

namespace tillbook::jet {
namespace {

std::string Quoted(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string Number(double d) {
  if (!std::isfinite(d)) throw Error("Valore numerico non valido", "non-finite number in a filter");
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  return std::string(buffer, end);  // shortest text that reads back as the same double
}

}  // namespace

std::string JetLiteral(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
      return "Null";
    case VarType::Boolean:
      return value.AsBoolean() ? "True" : "False";
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
      return std::to_string(value.AsInteger());
    case VarType::Single:
    case VarType::Double:
      return Number(value.AsDouble());
    case VarType::Currency:
      return value.AsMoney().ToString();
    case VarType::Date:
      return value.ToDateTime().ToJetLiteral();
    case VarType::String:
      return Quoted(value.AsString());
    default:
      break;
  }
  throw Error("Valore non utilizzabile in un filtro",
              "variant type " + std::to_string(static_cast<int>(value.type())));
}

std::string JetFilter(std::string_view format, std::initializer_list<Variant> values) {
  std::string out;
  auto next = values.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '{' && i + 1 < format.size() && format[i + 1] == '}') {
      if (next == values.end()) {
        throw Error("Filtro non valido", "more {} than values in: " + std::string(format));
      }
      out += JetLiteral(*next++);
      ++i;
      continue;
    }
    out += format[i];
  }
  if (next != values.end()) {
    throw Error("Filtro non valido", "more values than {} in: " + std::string(format));
  }
  return out;
}

}  // namespace tillbook::jet
