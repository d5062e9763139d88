#include "engine/jet/sqlite_binding.h"

#include <sqlite3.h>

#include <string>

#include "base/error.h"

namespace tillbook::jet {

void BindJetParameters(sqlite3_stmt* statement, const std::vector<Variant>& params) {
  // A statement binds exactly its own parameters: a list of another size belongs to another
  // statement (a count given the data set's list), and would bind the wrong values.
  const int count = sqlite3_bind_parameter_count(statement);
  if (static_cast<size_t>(count) != params.size()) {
    std::string detail = "statement has " + std::to_string(count) + " parameters, " +
                         std::to_string(params.size()) + " given";
    throw Error("Valore non valido per la ricerca", detail);
  }
  for (size_t i = 0; i < params.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    const Variant& v = params[i];
    int rc = SQLITE_OK;
    switch (v.type()) {
      case VarType::Empty:
      case VarType::Null:
        rc = sqlite3_bind_null(statement, index);
        break;
      case VarType::Boolean:
        rc = sqlite3_bind_int(statement, index, v.AsBoolean() ? 1 : 0);
        break;
      case VarType::Byte:
      case VarType::Integer:
      case VarType::Long:
        rc = sqlite3_bind_int64(statement, index, v.AsInteger());
        break;
      case VarType::Single:
      case VarType::Double:
        rc = sqlite3_bind_double(statement, index, v.AsDouble());
        break;
      case VarType::Currency:
        rc = sqlite3_bind_int64(statement, index, v.AsMoney().raw());
        break;
      case VarType::Date: {
        std::string iso = v.ToDateTime().ToIso();
        rc = sqlite3_bind_text(statement, index, iso.data(), static_cast<int>(iso.size()),
                               SQLITE_TRANSIENT);
        break;
      }
      case VarType::String:
        rc = sqlite3_bind_text(statement, index, v.AsString().data(),
                               static_cast<int>(v.AsString().size()), SQLITE_TRANSIENT);
        break;
      default:
        throw Error("Valore non valido per la ricerca",
                    "parameter " + std::to_string(index) + " of unsupported type");
    }
    if (rc != SQLITE_OK) {
      throw Error("Valore non valido per la ricerca",
                  "sqlite3_bind " + std::to_string(index) + ": " + sqlite3_errstr(rc));
    }
  }
}

}  // namespace tillbook::jet
