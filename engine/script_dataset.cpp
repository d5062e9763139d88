#include "engine/script_dataset.h"

#include <charconv>
#include <cstdio>

#include "base/error.h"
#include "engine/catalog.h"
#include "engine/connection.h"

namespace tillbook::engine {

namespace {

// Script error numbers the members raise.
constexpr int kWrongArguments = 450;
constexpr int kNoCurrentRecord = 3021;

std::string Arg(std::span<Variant> args, size_t i, std::string_view member) {
  if (args.size() <= i)
    throw Error("Numero di argomenti errato per " + std::string(member) + ".", "", kWrongArguments);
  return args[i].IsString() ? args[i].AsString() : args[i].ToText();
}

std::string Grouped(std::string digits) {
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i && (n - i) % 3 == 0) out += '.';
    out += digits[i];
  }
  return out;
}

}  // namespace

ScriptDataSet::ScriptDataSet(Connection& connection, SelectRequest request)
    : connection_(connection), ds_(std::make_unique<DataSet>(connection, std::move(request))) {}

ScriptDataSet::ScriptDataSet(Connection& connection, std::unique_ptr<DataSet> dataSet)
    : connection_(connection), ds_(std::move(dataSet)) {}

std::string ScriptDataSet::Format(const Variant& v, std::optional<FieldType> type) {
  if (v.IsNull() || v.IsEmpty()) return "";
  if (v.type() == VarType::Boolean || type == FieldType::YesNo) return v.ToBool() ? "Sì" : "No";
  if (v.type() == VarType::Currency || type == FieldType::Money) {
    const std::string fixed = v.ToMoney().ToFixed(2, ',');  // "-1234,50"
    const bool negative = fixed[0] == '-';
    const std::string body = negative ? fixed.substr(1) : fixed;
    const auto comma = body.find(',');
    return (negative ? "-" : "") + Grouped(body.substr(0, comma)) + body.substr(comma);
  }
  if (v.type() == VarType::Date) return v.ToDateTime().ToItalian(type != FieldType::Date);
  if (v.type() == VarType::Double || v.type() == VarType::Single) {
    std::string s = v.ToText();
    for (char& c : s)
      if (c == '.') c = ',';
    return s;
  }
  return v.ToText();
}

bool ScriptDataSet::HasMember(std::string_view name) const {
  static const char* const kMembers[] = {
      "ColValue", "FormattedColValue", "GetReference", "RowCount", "DataEmpty",
      "RowInvalid", "RowFirst", "RowLast", "RowNext", "RowPrevious", "SortOrder", "Filter",
      "MemoVars", "AddRow", "Save", "DeleteRow", "TableName"};
  for (const char* m : kMembers)
    if (text::EqualNoCase(name, m)) return true;
  return false;
}

Variant ScriptDataSet::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
  auto is = [&](const char* m) { return text::EqualNoCase(name, m); };
  const bool assign = kind == InvokeKind::Let || kind == InvokeKind::Set;
  if (is("ColValue") || name.empty()) {
    if (assign) {
      SetColValue(Arg(args, 0, "ColValue"), args.back());
      return {};
    }
    return ColValue(Arg(args, 0, "ColValue"));
  }
  if (is("FormattedColValue")) {
    const std::string col = Arg(args, 0, name);
    const int i = ds_->ColumnIndex(col);
    return Variant::String(Format(ColValue(col), i >= 0 ? ds_->columns()[i].type : std::nullopt));
  }
  if (is("GetReference")) return GetReference(Arg(args, 0, name));
  if (is("RowCount")) return Variant::Long(static_cast<int32_t>(ds_->RowCount()));
  if (is("DataEmpty")) return Variant::Boolean(ds_->IsEmpty());
  if (is("RowInvalid")) return Variant::Boolean(!added_ && (ds_->IsBOF() || ds_->IsEOF()));
  if (is("RowFirst")) return added_.reset(), ds_->First(), Variant();
  if (is("RowLast")) return added_.reset(), ds_->Last(), Variant();
  if (is("RowNext")) return added_.reset(), ds_->Next(), Variant();
  if (is("RowPrevious")) return added_.reset(), ds_->Previous(), Variant();
  if (is("TableName")) return Variant::String(ds_->request().table);
  if (is("SortOrder") || is("Filter")) {
    SelectRequest r = ds_->request();
    std::string& slot = is("Filter") ? r.filter : r.sort;
    if (!assign) return Variant::String(slot);
    slot = args.back().IsNull() ? std::string() : args.back().ToText();
    Reopen(std::move(r));
    return {};
  }
  if (is("MemoVars")) {
    const std::string key = text::Fold(Arg(args, 0, name));
    if (assign) {
      memo_[key] = args.back();
      return {};
    }
    auto it = memo_.find(key);
    return it == memo_.end() ? Variant() : it->second;
  }
  if (is("AddRow")) return AddRow();
  if (is("Save")) {
    auto row = Current();
    const bool done = row && row->Save();
    ds_->Requery();
    return Variant::Boolean(done);
  }
  if (is("DeleteRow")) {
    auto row = Current();
    const bool done = row && row->Delete();
    if (done) {
      added_.reset();
      ds_->Requery();
    }
    return Variant::Boolean(done);
  }
  return Object::Invoke(name, kind, args);
}

std::optional<Row> ScriptDataSet::Current() {
  if (added_) return added_->IsValid() ? added_ : std::nullopt;
  if (ds_->IsBOF() || ds_->IsEOF()) return std::nullopt;
  return ds_->CurrentRow();
}

Variant ScriptDataSet::ColValue(const std::string& column) {
  if (added_) {
    if (!added_->IsValid()) throw Error("Nessun record corrente.", "added row gone", kNoCurrentRecord);
    return added_->Get(column);
  }
  if (ds_->IsBOF() || ds_->IsEOF())
    throw Error("Nessun record corrente.", "ColValue at BOF/EOF", kNoCurrentRecord);
  if (ds_->ColumnIndex(column) >= 0) return ds_->ColValue(column);
  // A field the request does not show is read from the row itself.
  auto row = ds_->CurrentRow();
  if (!row) throw Error("Nessun record corrente.", "row gone", kNoCurrentRecord);
  return row->Get(column);
}

void ScriptDataSet::SetColValue(const std::string& column, const Variant& value) {
  auto row = Current();
  if (!row) throw Error("Nessun record corrente.", "ColValue= at BOF/EOF", kNoCurrentRecord);
  const TableInfo& t = row->table();
  const ReferenceInfo* ref = t.FindReference(column);
  if (ref && !ref->def->list) {
    // A reference is set by its key field's value (the row id where the key is the row id).
    int64_t oid = 0;
    const bool empty = value.IsNull() || value.IsEmpty() ||
                       (value.IsString() && value.AsString().empty());
    if (!empty && !ref->def->keyField.empty()) {
      auto ids = connection_.FindOids(ref->target->name, ref->def->keyField, value);
      if (ids.empty())
        throw Error("Nessun elemento di " + ref->target->name + " con " + ref->def->keyField +
                        " = " + value.ToText() + ".",
                    "reference key not found");
      oid = ids.front();
    } else if (!empty) {
      oid = value.ToInt64();
    }
    row->SetReferenceOid(ref->def->name, oid);
  } else {
    row->Set(column, value);
  }
  // What the hooks changed shows at the next read (pages are read again only then).
  if (!added_) ds_->Requery();
}

Variant ScriptDataSet::GetReference(const std::string& reference) {
  auto row = Current();
  if (!row) throw Error("Nessun record corrente.", "GetReference", kNoCurrentRecord);
  const ReferenceInfo* ref = row->table().FindReference(reference);
  if (!ref)
    throw Error("Riferimento sconosciuto «" + reference + "» nella tabella " + row->TableName() +
                    ".",
                "GetReference", kWrongArguments);
  std::unique_ptr<DataSet> ds;
  if (ref->kind == RefKind::OwnedList) {
    ds = std::make_unique<DataSet>(DataSet::Children(connection_, *row, ref->def->name));
  } else if (ref->kind == RefKind::List) {
    // Linked rows: the target rows whose identifiers the list holds.
    std::string ids;
    for (const Row& r : row->List(ref->def->name)) ids += (ids.empty() ? "" : ",") + std::to_string(r.Oid());
    SelectRequest q{ref->target->name, ids.empty() ? "OID IN (0)" : "OID IN (" + ids + ")", "", ""};
    ds = std::make_unique<DataSet>(connection_, q);
  } else {
    const int64_t oid = row->ReferenceOid(ref->def->name);
    if (oid == 0) return Variant::Nothing();
    ds = std::make_unique<DataSet>(
        connection_, SelectRequest{ref->target->name, "OID=" + std::to_string(oid), "", ""});
  }
  return Variant::Object(std::make_shared<ScriptDataSet>(connection_, std::move(ds)));
}

Variant ScriptDataSet::AddRow() {
  auto row = connection_.NewRow(ds_->request().table);
  if (!row) return Variant::Boolean(false);
  row->Oid();  // stored at once
  added_ = row;
  ds_->Requery();
  return Variant::Boolean(true);
}

void ScriptDataSet::Reopen(SelectRequest request) {
  added_.reset();
  ds_ = std::make_unique<DataSet>(connection_, std::move(request));
}

}  // namespace tillbook::engine
