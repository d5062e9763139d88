// Turns a data-set request written in the original query dialect (table, filter, field list,
// sort list) into one SQL statement for a backend. Names are resolved against the catalogue,
// dotted paths become joins, and every literal of the text becomes a bound parameter, so the
// SQL text depends only on the shape of the request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/variant.h"

namespace tillbook::jet {

class Catalog;
class Dialect;

// Value kinds as the translator types expressions.
enum class LogicalType { Null, Boolean, Integer, Number, Money, Date, Text };

// Logical type of a declared field type code.
LogicalType TypeOfCode(int typeCode);

struct Query {
  std::string table;
  std::string filter;  // blank: every row
  std::string fields;  // blank: "*"; a list naming no column (",") is refused
  std::string sort;    // blank: the row identifier
};

struct OutputColumn {
  std::string name;
  LogicalType type = LogicalType::Null;
  int typeCode = -1;  // the field's code; -1 for computed columns
  // A column of the opened row itself can be written back: UPDATE storageTable SET
  // storageColumn = ... WHERE "OID" = (column 0 of the row). Everything else is read-only.
  bool readOnly = true;
  std::string storageTable;
  std::string storageColumn;
};

// Parameter values are in the database's terms except for three subtypes the backend's binder
// converts: Boolean (stored 1/0), Date (stored text 'yyyy-mm-dd hh:mm:ss') and Currency
// (stored as its count of ten-thousandths).
struct Translation {
  // SELECT ... ORDER BY ...; column 0 is always the row identifier "OID", kept apart by the
  // caller. A field list naming OID shows it again as a column of its own.
  std::string sql;
  std::vector<Variant> params;  // params[i] binds placeholder i + 1 of sql
  std::string countSql;         // SELECT COUNT(*) of the same rows
  // The count's own parameters: countParams[i] binds placeholder i + 1 of countSql.
  std::vector<Variant> countParams;
  std::vector<OutputColumn> columns;
  // The pieces of sql, for callers that page through the rows or wrap the statement:
  // sql is "SELECT " + select + " FROM " + from + [" WHERE " + where] + " ORDER BY " + orderBy.
  // orderBy always ends with the row identifier, so the order is total.
  std::string select;
  std::string from;
  std::string where;  // empty: every row
  std::string orderBy;
  // The same rows in exactly the opposite order (every key's direction turned): the order is
  // total, so it reads the end of a big list as cheaply as sql reads its start.
  std::string reverseSql;
};

enum class Aggregate { Sum, Count, Avg, Min, Max };

// Stateless: one translator may serve several threads. The SQL text of a request depends only on
// its texts and the catalogue, never on `now` (Now and Date are parameters), so a caller may
// cache prepared statements by (table, filter, fields, sort) and bind the parameters of a fresh
// translation.
class Translator {
 public:
  // Both must outlive the translator.
  Translator(const Catalog& catalog, const Dialect& dialect);

  // Throws JetError at the first problem of any of the texts. `now` is what Now and Date mean.
  Translation Translate(const Query& query, DateTime now) const;

  // One row, one column: the aggregate of `expression` over the rows of `table` that pass
  // `filter`. A sum over no rows is 0 (not Null), as the totals tools count it. The column is
  // typed like the expression (a sum of amounts is Money).
  Translation TranslateAggregate(std::string_view table, Aggregate aggregate,
                                 std::string_view expression, std::string_view filter,
                                 DateTime now) const;

 private:
  const Catalog& catalog_;
  const Dialect& dialect_;
};

}  // namespace tillbook::jet
