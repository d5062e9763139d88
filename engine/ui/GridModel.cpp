#include "engine/ui/GridModel.h"

#include <QLocale>
#include <algorithm>
#include <climits>

#include "base/date.h"
#include "base/money.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/ui/presentation.h"

namespace tillbook::engine::ui {

struct GridModel::Page {
  int64_t index = 0;
  std::vector<int64_t> oids;
  std::vector<std::vector<Variant>> values;  // per row, per column
};

namespace {

// "-1234,50" with a dot every three digits of the whole part: "-1.234,50".
QString GroupThousands(const std::string& fixed) {
  const size_t comma = fixed.find(',');
  const size_t end = comma == std::string::npos ? fixed.size() : comma;
  const size_t start = !fixed.empty() && fixed[0] == '-' ? 1 : 0;
  std::string out = fixed.substr(0, start);
  for (size_t i = start; i < end; ++i) {
    if (i > start && (end - i) % 3 == 0) out += '.';
    out += fixed[i];
  }
  out += fixed.substr(end);
  return QString::fromStdString(out);
}

std::optional<DateTime> DateOf(const Variant& value) {
  if (value.IsString()) return DateTime::ParseIso(value.AsString());
  try {
    return value.ToDateTime();
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

GridModel::GridModel(Connection& connection, SelectRequest request, QObject* parent)
    : QAbstractTableModel(parent), connection_(&connection) {
  Adopt(std::make_unique<DataSet>(connection, std::move(request)));
}

GridModel::GridModel(Connection& connection, DataSet dataSet, QObject* parent)
    : QAbstractTableModel(parent), connection_(&connection) {
  Adopt(std::make_unique<DataSet>(std::move(dataSet)));
}

GridModel::~GridModel() = default;

void GridModel::Adopt(std::unique_ptr<DataSet> dataSet) {
  beginResetModel();
  dataSet_ = std::move(dataSet);
  pages_.clear();
  count_ = dataSet_->RowCount();
  captions_.clear();
  for (const QueryColumn& c : dataSet_->columns())
    captions_.push_back(QString::fromStdString(c.name));
  endResetModel();
}

void GridModel::SetRequest(SelectRequest request) {
  Adopt(std::make_unique<DataSet>(*connection_, std::move(request)));
}

const SelectRequest& GridModel::request() const {
  return dataSet_->request();
}

const std::string& GridModel::table() const {
  return dataSet_->request().table;
}

void GridModel::Refresh() {
  beginResetModel();
  dataSet_->Requery();
  pages_.clear();
  count_ = dataSet_->RowCount();
  endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<int64_t>(count_, INT_MAX));
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

const GridModel::Page& GridModel::PageOf(int row) const {
  const int64_t index = row / kPageRows;
  auto hit =
      std::find_if(pages_.begin(), pages_.end(), [&](const Page& p) { return p.index == index; });
  if (hit != pages_.end()) {
    pages_.splice(pages_.begin(), pages_, hit);
    return pages_.front();
  }
  Page page;
  page.index = index;
  const int64_t end = std::min<int64_t>(count_, (index + 1) * kPageRows);
  const int columns = columnCount();
  // The data set reads the same rows as one page of its own: one query per page.
  for (int64_t r = index * kPageRows; r < end; ++r) {
    dataSet_->Move(r);
    if (dataSet_->IsEOF()) break;
    page.oids.push_back(dataSet_->CurrentOid());
    std::vector<Variant> values;
    values.reserve(columns);
    for (int c = 0; c < columns; ++c) values.push_back(dataSet_->ColValue(c));
    page.values.push_back(std::move(values));
  }
  ++pageFetches_;
  if (pages_.size() >= kCachedPages) pages_.pop_back();
  pages_.push_front(std::move(page));
  return pages_.front();
}

Variant GridModel::Value(int row, int column) const {
  if (row < 0 || row >= count_ || column < 0 || column >= columnCount()) return Variant::Null();
  const Page& page = PageOf(row);
  const size_t i = static_cast<size_t>(row % kPageRows);
  return i < page.values.size() ? page.values[i][column] : Variant::Null();
}

int64_t GridModel::OidAt(int row) const {
  if (row < 0 || row >= count_) return 0;
  const Page& page = PageOf(row);
  const size_t i = static_cast<size_t>(row % kPageRows);
  return i < page.oids.size() ? page.oids[i] : 0;
}

int GridModel::RowOfOid(int64_t oid) const {
  for (const Page& page : pages_) {
    auto it = std::find(page.oids.begin(), page.oids.end(), oid);
    if (it != page.oids.end())
      return static_cast<int>(page.index * kPageRows + (it - page.oids.begin()));
  }
  // Identifiers only, in one statement: a row far down a big table is found without reading
  // its pages, and the pages kept for the view stay as they are.
  const std::optional<int64_t> position = dataSet_->PositionOf(oid);
  return position && *position < rowCount() ? static_cast<int>(*position) : -1;
}

const std::string& GridModel::ColumnName(int column) const {
  return dataSet_->columns().at(column).name;
}

QString GridModel::ColumnCaption(int column) const {
  return captions_.at(column);
}

std::optional<FieldType> GridModel::ColumnType(int column) const {
  return dataSet_->columns().at(column).type;
}

int GridModel::ColumnIndex(std::string_view name) const {
  return dataSet_->ColumnIndex(name);
}

bool GridModel::IsNumericColumn(int column) const {
  const auto type = ColumnType(column);
  if (!type) return false;
  switch (*type) {
    case FieldType::Integer:
    case FieldType::SmallInteger:
    case FieldType::Millimetres:
    case FieldType::Number:
    case FieldType::Money:
      return true;
    default:
      return false;
  }
}

bool GridModel::IsHiddenColumn(int column) const {
  const std::string& name = ColumnName(column);
  if (name.size() > 4 && text::EqualNoCase(std::string_view(name).substr(0, 4), "OID_"))
    return true;
  const TableInfo& t = connection_->Table(table());
  if (const ReferenceInfo* r = t.FindReference(name)) return IsHidden(*r->def, View::Grid);
  const ColumnRef ref = t.FindColumn(name);
  const FieldDef* f = ref.valid() ? t.Column(ref).field : nullptr;
  return f && IsHidden(*f, View::Grid);
}

QString GridModel::FormatValue(const Variant& value, std::optional<FieldType> type) {
  if (value.IsNull() || value.IsEmpty()) return {};
  if (!type) return QString::fromStdString(value.ToText());
  switch (*type) {
    case FieldType::Money:
      return GroupThousands(value.ToMoney().ToFixed(2, ','));
    case FieldType::Number:
    case FieldType::Millimetres: {
      static const QLocale italian(QLocale::Italian, QLocale::Italy);
      return italian.toString(value.ToDouble(), 'f', QLocale::FloatingPointShortest);
    }
    case FieldType::Integer:
    case FieldType::SmallInteger:
      return QString::number(value.ToInt64());
    case FieldType::YesNo:
      return value.ToBool() ? QStringLiteral("✓") : QString();
    case FieldType::Date:
    case FieldType::DateTime: {
      const auto date = DateOf(value);
      if (!date) return QString::fromStdString(value.ToText());
      return QString::fromStdString(date->ToItalian(*type == FieldType::DateTime));
    }
    case FieldType::Memo: {
      // One line per row: the rest of a long note is read in the data panel.
      const QString all = QString::fromStdString(value.ToText());
      return all.section(QLatin1Char('\n'), 0, 0);
    }
    default:
      return QString::fromStdString(value.ToText());
  }
}

QString GridModel::DisplayText(int row, int column) const {
  return FormatValue(Value(row, column), ColumnType(column));
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int column = index.column();
  const auto type = ColumnType(column);
  switch (role) {
    case Qt::DisplayRole:
      if (type == FieldType::YesNo) return {};
      return DisplayText(index.row(), column);
    case Qt::CheckStateRole:
      if (type != FieldType::YesNo) return {};
      return Value(index.row(), column).ToBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(IsNumericColumn(column) ? Qt::AlignRight | Qt::AlignVCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return captions_[section];
  if (role == Qt::ToolTipRole) {
    const TableInfo& t = connection_->Table(table());
    const ColumnRef ref = t.FindColumn(ColumnName(section));
    if (ref.valid() && t.Column(ref).field)
      return QString::fromStdString(t.Column(ref).field->description);
  }
  return {};
}

}  // namespace tillbook::engine::ui
