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
constexpr int kCancelledByHook = 3426;

std::string Arg(std::span<Variant> args, size_t i, std::string_view member) {
  if (args.size() <= i)
    throw Error("Numero di argomenti errato per " + std::string(member) + ".", "", kWrongArguments);
  return args[i].IsString() ? args[i].AsString() : args[i].ToText();
}

// The rows a row reaches through a reference, as a data set.
std::unique_ptr<DataSet> ReferencedRows(Connection& connection, const Row& owner,
                                        const ReferenceInfo& ref) {
  if (ref.kind == RefKind::OwnedList)
    return std::make_unique<DataSet>(DataSet::Children(connection, owner, ref.def->name));
  std::string ids;
  if (ref.kind == RefKind::List) {
    for (const Row& r : owner.List(ref.def->name))
      ids += (ids.empty() ? "" : ",") + std::to_string(r.Oid());
  } else if (const int64_t oid = owner.ReferenceOid(ref.def->name)) {
    ids = std::to_string(oid);
  }
  return std::make_unique<DataSet>(
      connection,
      SelectRequest{ref.target->name, "OID IN (" + (ids.empty() ? "0" : ids) + ")", "", ""});
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

ScriptDataSet::ScriptDataSet(Connection& connection, const Row& owner,
                             const ReferenceInfo& reference)
    : origin_(Origin{owner, &reference}),
      connection_(connection),
      ds_(ReferencedRows(connection, owner, reference)) {}

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
  static const char* const kMembers[] = {"ColValue",     "FormattedColValue",
                                         "GetReference", "RowCount",
                                         "DataEmpty",    "RowInvalid",
                                         "RowFirst",     "RowLast",
                                         "RowNext",      "RowPrevious",
                                         "SortOrder",    "Filter",
                                         "MemoVars",     "AddRow",
                                         "Save",         "DeleteRow",
                                         "TableName"};
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
  if (is("RowFirst")) return SettleAdded(), ds_->First(), Variant();
  if (is("RowLast")) return SettleAdded(), ds_->Last(), Variant();
  if (is("RowNext")) return SettleAdded(), ds_->Next(), Variant();
  if (is("RowPrevious")) return SettleAdded(), ds_->Previous(), Variant();
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
  if (is("DeleteRow")) return Variant::Boolean(DeleteRow());
  return Object::Invoke(name, kind, args);
}

void ScriptDataSet::SettleAdded() {
  linking_ = false;
  if (added_ && added_->IsPending() && !added_->Save())
    throw Error("Il nuovo elemento di " + added_->TableName() + " non è stato memorizzato.",
                "pending row refused on leaving it");
  added_.reset();
}

std::optional<Row> ScriptDataSet::Current() {
  if (added_) return added_->IsValid() ? added_ : std::nullopt;
  if (ds_->IsBOF() || ds_->IsEOF()) return std::nullopt;
  return ds_->CurrentRow();
}

Variant ScriptDataSet::ColValue(const std::string& column) {
  if (linking_) return {};
  if (added_) {
    if (!added_->IsValid())
      throw Error("Nessun record corrente.", "added row gone", kNoCurrentRecord);
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
  if (linking_) return Link(column, value);
  auto row = Current();
  if (!row) throw Error("Nessun record corrente.", "ColValue= at BOF/EOF", kNoCurrentRecord);
  const TableInfo& t = row->table();
  const ReferenceInfo* ref = t.FindReference(column);
  if (ref && !ref->def->list) {
    // A reference is set by its key field's value (the row id where the key is the row id).
    int64_t oid = 0;
    const bool empty =
        value.IsNull() || value.IsEmpty() || (value.IsString() && value.AsString().empty());
    if (!empty && !ref->def->keyField.empty()) {
      std::vector<int64_t> ids;
      try {
        ids = connection_.FindOids(ref->target->name, ref->def->keyField, value);
      } catch (const Error&) {
        // A value that cannot be a code (too long for it) may still be the text shown.
      }
      // Rows without a code (the payment types an archive starts with) are named by what they
      // show, as for a reference without a key field.
      if (ids.empty() && value.IsString())
        if (auto shown = ShownMatches(*ref, value); shown.size() == 1) ids = shown;
      if (ids.empty())
        throw Error("Nessun elemento di " + ref->target->name + " con " + ref->def->keyField +
                        " = " + value.ToText() + ".",
                    "reference key not found");
      oid = ids.front();
    } else if (!empty) {
      oid = ReferencedByText(*ref, value);
    }
    Row::TakeRefusal();
    if (!row->SetReferenceOid(ref->def->name, oid)) Refused(column);
  } else {
    Row::TakeRefusal();
    if (!row->Set(column, value)) Refused(column);
  }
  // What the hooks changed shows at the next read (pages are read again only then).
  if (!added_) ds_->Requery();
}

std::vector<int64_t> ScriptDataSet::ShownMatches(const ReferenceInfo& ref, const Variant& value) {
  const std::string shown = ref.def->shownFields.substr(0, ref.def->shownFields.find(','));
  if (shown.empty() || !ref.target->FindColumn(shown).valid()) return {};
  return connection_.FindOids(ref.target->name, shown, value);
}

// A reference without a key field takes the row id; a text that is not a number names the row
// by the first field the reference shows (a document type by its description), as the person
// reads it in the list.
int64_t ScriptDataSet::ReferencedByText(const ReferenceInfo& ref, const Variant& value) {
  bool numeric = !value.IsString();
  if (!numeric) {
    const std::string& t = value.AsString();
    double parsed = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), parsed);
    numeric = ec == std::errc() && end == t.data() + t.size();
  }
  const std::string shown = ref.def->shownFields.substr(0, ref.def->shownFields.find(','));
  if (numeric || shown.empty()) return value.ToInt64();
  auto ids = ShownMatches(ref, value);
  if (ids.size() == 1) return ids.front();
  throw Error(ids.empty() ? "Nessun elemento di " + ref.target->name + " con " + shown + " = " +
                                value.ToText() + "."
                          : "Più elementi di " + ref.target->name + " hanno " + shown + " = " +
                                value.ToText() + ": indicare un valore che ne individui uno solo.",
              "reference by shown field");
}

void ScriptDataSet::Refused(const std::string& column) {
  // The row is as it was; the script learns why as an error it may catch, the person has seen
  // the refusal already. A No to a hook's question cancels the change the same way.
  std::string message = Row::TakeRefusal();
  if (message.empty()) message = "Modifica di «" + column + "» annullata.";
  if (!added_) ds_->Requery();
  throw Error(message, "change of " + column + " cancelled by a hook", kCancelledByHook);
}

Variant ScriptDataSet::GetReference(const std::string& reference) {
  auto row = Current();
  if (!row) throw Error("Nessun record corrente.", "GetReference", kNoCurrentRecord);
  const ReferenceInfo* ref = row->table().FindReference(reference);
  if (!ref)
    throw Error(
        "Riferimento sconosciuto «" + reference + "» nella tabella " + row->TableName() + ".",
        "GetReference", kWrongArguments);
  if (!ref->def->list && row->ReferenceOid(ref->def->name) == 0) return Variant::Nothing();
  return Variant::Object(std::make_shared<ScriptDataSet>(connection_, *row, *ref));
}

Variant ScriptDataSet::AddRow() {
  SettleAdded();
  std::optional<Row> row;
  if (!origin_) {
    row = connection_.NewRow(ds_->request().table);
  } else {
    Row& owner = origin_->owner;
    const ReferenceInfo& ref = *origin_->reference;
    switch (ref.kind) {
      case RefKind::OwnedList:
        row = owner.AddListRow(ref.def->name, /*held=*/true);
        break;
      case RefKind::OwnedSingle:
        row = owner.NewReferencedRow(ref.def->name);
        ReopenOrigin();
        break;
      case RefKind::List:
      case RefKind::Single:
        linking_ = true;
        return Variant::Boolean(true);
    }
  }
  if (!row) return Variant::Boolean(false);
  added_ = row;
  ds_->Requery();
  return Variant::Boolean(true);
}

void ScriptDataSet::Link(const std::string& column, const Variant& value) {
  const ReferenceInfo& ref = *origin_->reference;
  const std::string& table = ref.target->name;
  auto ids = connection_.FindOids(table, column, value);
  if (ids.empty())
    throw Error("Nessun elemento di " + table + " con " + column + " = " + value.ToText() + ".",
                "link key not found");
  if (ids.size() > 1)
    throw Error("Più elementi di " + table + " hanno " + column + " = " + value.ToText() +
                    ": indicare un valore che ne individui uno solo.",
                "link key not unique");
  auto item = connection_.GetRow(table, ids.front());
  Row& owner = origin_->owner;
  const bool done = ref.kind == RefKind::List ? owner.AddToList(ref.def->name, *item)
                                              : owner.SetReference(ref.def->name, item);
  if (!done) Refused(column);  // the link stays to be chosen
  linking_ = false;
  ReopenOrigin();
  added_ = item;
}

bool ScriptDataSet::DeleteRow() {
  if (linking_) {
    linking_ = false;
    return true;
  }
  auto row = Current();
  if (!row) return false;
  if (row->IsPending()) {
    row->Discard();
    added_.reset();
    ds_->Requery();
    return true;
  }
  bool done;
  const RefKind kind = origin_ ? origin_->reference->kind : RefKind::OwnedList;
  if (kind == RefKind::List)
    done = origin_->owner.RemoveFromList(origin_->reference->def->name, *row);
  else if (kind == RefKind::Single)
    done = origin_->owner.SetReferenceOid(origin_->reference->def->name, 0);
  else
    done = row->Delete();
  if (!done) return false;
  added_.reset();
  if (kind == RefKind::List || kind == RefKind::Single)
    ReopenOrigin();
  else
    ds_->Requery();
  return true;
}

void ScriptDataSet::Reopen(SelectRequest request) {
  SettleAdded();
  ds_ = std::make_unique<DataSet>(connection_, std::move(request));
}

void ScriptDataSet::ReopenOrigin() {
  const int64_t position = ds_->Position();
  ds_ = ReferencedRows(connection_, origin_->owner, *origin_->reference);
  ds_->Move(position);
}

}  // namespace tillbook::engine
