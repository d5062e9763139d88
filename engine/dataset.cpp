#include "engine/dataset.h"

#include <algorithm>

#include "base/error.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/jet_compiler.h"
#include "engine/row.h"

namespace tillbook::engine {

using internal::Quote;
using internal::Statement;
using internal::StatementUse;

namespace {

const QueryCompiler* g_compiler = nullptr;

}  // namespace

const QueryCompiler& DefaultQueryCompiler() {
  static JetQueryCompiler jet;
  return g_compiler ? *g_compiler : jet;
}

void SetDefaultQueryCompiler(const QueryCompiler* compiler) { g_compiler = compiler; }

DataSet::DataSet(Connection& connection, SelectRequest request, const QueryCompiler* compiler)
    : connection_(&connection), request_(std::move(request)) {
  const TableInfo& t = connection.Table(request_.table);
  t.hooks->itfSetData_OnSelect(request_);
  query_ = (compiler ? *compiler : DefaultQueryCompiler()).Compile(connection.catalog(), request_);
}

Variant Aggregate(Connection& connection, std::string_view table, AggregateKind kind,
                  std::string_view expression, std::string_view filter) {
  CompiledQuery q = CompileAggregate(connection.catalog(), table, kind, expression, filter);
  auto& s = connection.session();
  s.Flush();
  Statement& st = s.db().Cached(q.sql);
  StatementUse use(st);
  for (size_t i = 0; i < q.params.size(); ++i) st.Bind(static_cast<int>(i) + 1, q.params[i]);
  if (!st.Step()) return Variant::Null();
  return internal::ReadValue(st, 0, q.columns.empty() ? std::nullopt : q.columns[0].type);
}

Variant AggregateChildren(Connection& connection, const Row& parent, std::string_view reference,
                          AggregateKind kind, std::string_view expression,
                          std::string_view filter) {
  const ReferenceInfo* r = parent.table().FindReference(reference);
  if (!r || r->kind != RefKind::OwnedList)
    throw Error("«" + std::string(reference) + "» non è un elenco di righe di " +
                    parent.TableName() + ".",
                "AggregateChildren");
  std::string where = r->declaredIn->name + ".OID=" + std::to_string(parent.Oid());
  if (!text::Trim(filter).empty()) where = "(" + where + ") AND (" + std::string(filter) + ")";
  return Aggregate(connection, r->target->name, kind, expression, where);
}

DataSet DataSet::Children(Connection& connection, const Row& parent, std::string_view reference,
                          const QueryCompiler* compiler) {
  const ReferenceInfo* r = parent.table().FindReference(reference);
  if (!r || r->kind != RefKind::OwnedList)
    throw Error("«" + std::string(reference) + "» non è un elenco di righe di " +
                    parent.TableName() + ".",
                "Children");
  SelectRequest request;
  request.table = r->target->name;
  // The owner's identifier through the owner path: no join, and any translator reads it.
  request.filter = r->declaredIn->name + ".OID=" + std::to_string(parent.Oid());
  r->target->hooks->itfSetData_OnSelectParent(request, parent);
  return DataSet(connection, std::move(request), compiler);
}

int DataSet::ColumnIndex(std::string_view name) const {
  for (size_t i = 0; i < query_.columns.size(); ++i)
    if (text::EqualNoCase(query_.columns[i].name, name)) return static_cast<int>(i);
  return -1;
}

int64_t DataSet::RowCount() {
  if (connection_->session().changeCount() != readAt_) Requery();
  if (!count_) {
    auto& s = connection_->session();
    s.Flush();
    Statement& st = s.db().Cached(query_.countSql);
    StatementUse use(st);
    for (size_t i = 0; i < query_.countParams.size(); ++i)
      st.Bind(static_cast<int>(i) + 1, query_.countParams[i]);
    count_ = st.Step() ? st.Int(0) : 0;
  }
  return *count_;
}

bool DataSet::IsEOF() { return pos_ >= RowCount(); }

void DataSet::Next() {
  if (pos_ < RowCount()) ++pos_;
}

void DataSet::Previous() {
  if (pos_ >= 0) --pos_;
}

const DataSet::Page& DataSet::LoadPage(int64_t page) {
  // Rows changed since the pages were read (by hooks, another data set, another workstation).
  if (connection_->session().changeCount() != readAt_) Requery();
  auto it = pages_.find(page);
  if (it != pages_.end()) return it->second;
  // An offset is a walk over every row before it: a page in the second half of the rows is
  // read from the end, in the opposite order, and turned round.
  const int64_t first = page * kPageSize;
  // The first page never needs the count: a data set read from its start alone never counts.
  const int64_t count = page == 0 || query_.reverseSql.empty() ? 0 : RowCount();
  const bool fromEnd = first > count / 2 && first < count;
  const int64_t limit = fromEnd ? std::min<int64_t>(kPageSize, count - first) : kPageSize;
  auto& s = connection_->session();
  s.Flush();
  const int n = static_cast<int>(query_.params.size());
  Statement& st = s.db().Cached((fromEnd ? query_.reverseSql : query_.sql) + " LIMIT ?" +
                                std::to_string(n + 1) + " OFFSET ?" + std::to_string(n + 2));
  StatementUse use(st);
  for (int i = 0; i < n; ++i) st.Bind(i + 1, query_.params[i]);
  st.BindInt(n + 1, limit);
  st.BindInt(n + 2, fromEnd ? count - first - limit : first);
  Page rows;
  while (st.Step()) {
    std::vector<Variant> row;
    row.reserve(query_.columns.size() + 1);
    row.push_back(Variant::Double(static_cast<double>(st.Int(0))));
    for (size_t c = 0; c < query_.columns.size(); ++c)
      row.push_back(internal::ReadValue(st, static_cast<int>(c) + 1, query_.columns[c].type));
    rows.push_back(std::move(row));
  }
  if (fromEnd) std::reverse(rows.begin(), rows.end());
  // Keep a handful of pages: enough for scrolling back and forth, never the whole table.
  if (pages_.size() >= 8) pages_.erase(pages_.begin());
  return pages_.emplace(page, std::move(rows)).first->second;
}

const std::vector<Variant>* DataSet::RowAt(int64_t position) {
  if (position < 0) return nullptr;
  const Page& page = LoadPage(position / kPageSize);
  const size_t index = static_cast<size_t>(position % kPageSize);
  return index < page.size() ? &page[index] : nullptr;
}

int64_t DataSet::CurrentOid() {
  const auto* row = RowAt(pos_);
  if (!row) throw Error("Nessun elemento corrente.", "DataSet at BOF/EOF");
  return (*row)[0].ToInt64();
}

Variant DataSet::ColValue(int index) {
  const auto* row = RowAt(pos_);
  if (!row) throw Error("Nessun elemento corrente.", "DataSet at BOF/EOF");
  if (index < 0 || index >= static_cast<int>(query_.columns.size()))
    throw Error("Colonna inesistente.", "column index " + std::to_string(index));
  return (*row)[index + 1];
}

Variant DataSet::ColValue(std::string_view column) {
  const int index = ColumnIndex(column);
  if (index < 0 && text::EqualNoCase(column, "OID"))
    return Variant::Double(static_cast<double>(CurrentOid()));
  if (index < 0)
    throw Error("Colonna sconosciuta «" + std::string(column) + "».", "DataSet::ColValue");
  return ColValue(index);
}

std::optional<Row> DataSet::CurrentRow() {
  return connection_->GetRow(request_.table, CurrentOid());
}

bool DataSet::Find(std::string_view column, const Variant& value) {
  const int index = ColumnIndex(column);
  if (index < 0) throw Error("Colonna sconosciuta «" + std::string(column) + "».", "Find");
  const int64_t n = RowCount();
  for (int64_t p = 0; p < n; ++p) {
    const Variant& v = (*RowAt(p))[index + 1];
    const bool same = v.IsString() && value.IsString()
                          ? text::EqualNoCase(v.AsString(), value.AsString())
                          : !v.IsNull() && !value.IsNull() && v.ToText() == value.ToText();
    if (same) {
      pos_ = p;
      return true;
    }
  }
  pos_ = n;
  return false;
}

std::optional<int64_t> DataSet::PositionOf(int64_t oid) {
  auto& s = connection_->session();
  s.Flush();
  Statement& st = s.db().Cached(query_.sql);
  StatementUse use(st);
  for (size_t i = 0; i < query_.params.size(); ++i)
    st.Bind(static_cast<int>(i) + 1, query_.params[i]);
  for (int64_t position = 0; st.Step(); ++position)
    if (st.Int(0) == oid) return position;
  return std::nullopt;
}

void DataSet::ForEachRow(const std::function<bool(const std::vector<Variant>&)>& row) {
  auto& s = connection_->session();
  s.Flush();
  Statement& st = s.db().Cached(query_.sql);
  StatementUse use(st);
  for (size_t i = 0; i < query_.params.size(); ++i)
    st.Bind(static_cast<int>(i) + 1, query_.params[i]);
  std::vector<Variant> values(query_.columns.size());
  while (st.Step()) {
    for (size_t c = 0; c < query_.columns.size(); ++c)
      values[c] = internal::ReadValue(st, static_cast<int>(c) + 1, query_.columns[c].type);
    if (!row(values)) return;
  }
}

void DataSet::Requery() {
  pages_.clear();
  count_.reset();
  readAt_ = connection_->session().changeCount();
}

}  // namespace tillbook::engine
