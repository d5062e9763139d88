#include "engine/row.h"

#include <utility>

#include "base/error.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/interfaces.h"
#include "engine/internal/action.h"
#include "engine/internal/session.h"
#include "engine/ui_services.h"

namespace tillbook::engine {

using internal::RowState;
using internal::RunLevel;
using internal::SegmentState;
using internal::Session;
using internal::Statement;
using internal::StatementUse;
using internal::Quote;

namespace {

[[noreturn]] void UnknownField(const TableInfo& t, std::string_view name) {
  throw Error("Campo sconosciuto «" + std::string(name) + "» nella tabella " + t.name + ".",
              "unknown field");
}

const ReferenceInfo& FindRef(const TableInfo& t, std::string_view name) {
  const ReferenceInfo* r = t.FindReference(name);
  if (!r)
    throw Error("Riferimento sconosciuto «" + std::string(name) + "» nella tabella " + t.name + ".",
                "unknown reference");
  return *r;
}

const ReferenceInfo& FindRefOfKind(const TableInfo& t, std::string_view name, bool list) {
  const ReferenceInfo& r = FindRef(t, name);
  if (r.def->list != list)
    throw Error("Il riferimento «" + r.def->name + "» della tabella " + t.name +
                    (list ? " non è un elenco." : " è un elenco."),
                "wrong reference kind");
  return r;
}

// Keeps the row in its "being created" state for the length of a creating action.
struct CreatingScope {
  explicit CreatingScope(RowState& r) : r_(r) { ++r_.creating; }
  ~CreatingScope() { --r_.creating; }
  RowState& r_;
};

// Held on a row while its copies of a base row are being replaced, so that writing the copy of
// the key field does not pick the base row again.
constexpr std::string_view kRelinking = "Relinking_Base";

// The message of the latest refusal, for callers that must report it in their own way (a
// script turns it into an error). One interface thread runs every action.
thread_local std::string lastRefusal;

// For a row copying a base row: the base field by which its owner's list shows and picks the
// rows (a document's article rows by the article code). Empty when there is none (free rows).
std::string BaseKeyField(const TableInfo& t) {
  if (!t.base || t.linkToBase) return {};
  for (const OwnerInfo& o : t.owners) {
    const std::string& key = o.reference->def->keyField;
    if (!key.empty() && t.base->FindColumn(key).valid()) return key;
  }
  return {};
}

std::vector<int64_t> QueryOids(Session& s, const std::string& sql, int64_t key) {
  s.Flush();
  Statement& st = s.db().Cached(sql);
  StatementUse use(st);
  st.BindInt(1, key);
  std::vector<int64_t> out;
  while (st.Step()) out.push_back(st.Int(0));
  return out;
}

}  // namespace

Row::Row(Session& session, std::shared_ptr<RowState> state)
    : session_(&session), state_(std::move(state)) {}

Connection& Row::connection() const { return *session_->connection(); }

const std::string& Row::TableName() const { return state_->table->name; }
const TableInfo& Row::table() const { return *state_->table; }

int64_t Row::Oid() const { return state_->oid(); }

bool Row::IsPending() const { return state_->pending(); }

bool Row::EnsureStored() { return !state_->pending() || Save(); }

void Row::Discard() { session_->DiscardPending(*state_); }

bool Row::IsValid() const {
  session_->EnsureFresh(*state_);
  return !state_->dead();
}

bool Row::IsCreating() const { return state_->creating > 0 || state_->pending(); }

Variant Row::Get(std::string_view field) const {
  ColumnRef c = table().FindColumn(field);
  if (!c.valid()) {
    if (field == "OID" || field == "oid") return Variant::Double(static_cast<double>(Oid()));
    UnknownField(table(), field);
  }
  session_->EnsureFresh(*state_);
  return state_->segs[c.segment]->values[c.column];
}

bool Row::IsEmpty(std::string_view field) const {
  Variant v = Get(field);
  if (v.IsNull() || v.IsEmpty()) return true;
  if (v.IsString()) return v.AsString().empty();
  if (v.type() == VarType::Date) return false;
  return v.IsNumeric() && v.ToDouble() == 0;
}

bool Row::Set(std::string_view field, const Variant& value) {
  const TableInfo& t = table();
  ColumnRef c = t.FindColumn(field);
  if (!c.valid()) UnknownField(t, field);
  const ColumnInfo& col = t.Column(c);
  if (col.kind == ColumnInfo::Kind::Reference) {
    // An empty value (Null, Empty or empty text, as a cleared cell gives) clears the link.
    const bool empty = value.IsNull() || value.IsEmpty() || (value.IsString() && value.AsString().empty());
    return SetReferenceOid(col.reference->name, empty ? 0 : value.ToInt64());
  }
  Variant v = CoerceToField(col, value);
  auto& seg = state_->segs[c.segment];
  const std::string& name = col.field ? col.field->name : col.name;
  if (t.base && !t.linkToBase && c.column < t.baseLinkColumn && !IsGuarded(kRelinking)) {
    const std::string key = BaseKeyField(t);
    if (!key.empty() && text::NoCaseEqual{}(key, name)) return Relink(key, v);
  }
  return RunLevel(*session_, [&] {
    session_->EnsureFresh(*state_);
    if (state_->dead()) return false;
    if (seg->values[c.column] == v) return true;
    HookReply before(session_->ui());
    t.hooks->itfSetData_OnBeforeUpdateField(*this, name, v, before);
    if (before.cancelled() || state_->dead()) return false;
    session_->Assign(seg, c.column, v);
    HookReply after(session_->ui());
    t.hooks->itfSetData_OnUpdateField(*this, name, after);
    return !after.cancelled();
  });
}

bool Row::Relink(const std::string& keyField, const Variant& value) {
  const TableInfo& t = table();
  const TableInfo& base = *t.base;
  return RunLevel(*session_, [&] {
    session_->EnsureFresh(*state_);
    if (state_->dead()) return false;
    const auto& seg = state_->segs.back();
    const Variant& link = seg->values[t.baseLinkColumn];
    if (Get(keyField) == value && !link.IsNull() && !link.IsEmpty()) return true;
    std::vector<int64_t> ids = connection().FindOids(base.name, keyField, value);
    // The same key may repeat under the other columns of the base's unique index (the same
    // code in two deposits): the row's own copies of those columns pick one.
    std::string others;
    for (const IndexDef& ix : base.def->indexes()) {
      if (!ix.unique || ix.items.empty() || !text::NoCaseEqual{}(ix.items.front().name, keyField))
        continue;
      for (size_t i = 1; i < ix.items.size() && ids.size() > 1; ++i) {
        const std::string& other = ix.items[i].name;
        others += (others.empty() ? "" : ", ") + other;
        const Variant mine = Get(other);
        std::vector<int64_t> kept;
        for (int64_t id : ids)
          if (auto st = session_->LoadRow(base, id); st && Row(*session_, st).Get(other) == mine)
            kept.push_back(id);
        if (!kept.empty()) ids = std::move(kept);
      }
      break;
    }
    if (ids.size() != 1) {
      HookReply reply(session_->ui());
      const std::string shown = "«" + value.ToText() + "»";
      reply.Refuse(ids.empty()
                       ? "Nessun elemento di " + base.name + " con " + keyField + " " + shown + "."
                       : "Più elementi di " + base.name + " hanno " + keyField + " " + shown +
                             ": indicare prima " +
                             (others.empty() ? std::string("quale usare") : others) + ".");
      return false;
    }
    auto st = session_->LoadRow(base, ids.front());
    if (!st) return false;
    const Row baseRow(*session_, std::move(st));
    Guard relinking(*this, kRelinking);
    // The link is a field of its own for the hooks: a row counted on its base row (an article's
    // stock) moves its contribution from the old base to the new one around this change.
    const ColumnInfo& linkColumn = t.own->columns[t.baseLinkColumn];
    const Variant newLink =
        CoerceToField(linkColumn, Variant::Double(static_cast<double>(baseRow.Oid())));
    HookReply before(session_->ui());
    t.hooks->itfSetData_OnBeforeUpdateField(*this, linkColumn.name, newLink, before);
    if (before.cancelled() || state_->dead()) return false;
    session_->Assign(seg, t.baseLinkColumn, newLink);
    HookReply after(session_->ui());
    t.hooks->itfSetData_OnUpdateField(*this, linkColumn.name, after);
    if (after.cancelled()) return false;
    // Each copy goes through Set, so the row's hooks see every value the new base brings.
    for (const std::string& column : base.columnOrder)
      if (!Set(column, baseRow.Get(column))) return false;
    return true;
  });
}

std::optional<Row> Row::Reference(std::string_view reference) const {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, false);
  session_->EnsureFresh(*state_);
  const Variant& v = state_->segs[r.column.segment]->values[r.column.column];
  if (v.IsNull() || v.IsEmpty()) return std::nullopt;
  auto target = session_->LoadRow(*r.target, v.ToInt64());
  if (!target) return std::nullopt;
  return Row(*session_, std::move(target));
}

int64_t Row::ReferenceOid(std::string_view reference) const {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, false);
  session_->EnsureFresh(*state_);
  const Variant& v = state_->segs[r.column.segment]->values[r.column.column];
  return v.IsNull() || v.IsEmpty() ? 0 : v.ToInt64();
}

bool Row::SetReference(std::string_view reference, const std::optional<Row>& target) {
  if (target && target->IsPending()) {
    Row stored = *target;
    if (!stored.EnsureStored()) return false;
  }
  return SetReferenceOid(reference, target ? target->Oid() : 0);
}

bool Row::SetReferenceOid(std::string_view reference, int64_t oid) {
  const TableInfo& t = table();
  const ReferenceInfo& r = FindRefOfKind(t, reference, false);
  if (ReferenceOid(reference) == oid) return true;
  std::optional<Row> target;
  if (oid != 0) {
    auto st = session_->LoadRow(*r.target, oid);
    if (!st)
      throw Error("L'elemento scelto per «" + r.def->name + "» non esiste più in " +
                      r.target->name + ".",
                  "dangling reference " + std::to_string(oid));
    target.emplace(*session_, std::move(st));
  }
  auto& seg = state_->segs[r.column.segment];
  // A reference points at stored rows only: a row still waiting for its save gets it now.
  if (target && target->IsPending())
    return RunLevel(*session_, [&] { return target->EnsureStored() && SetReferenceOid(reference, oid); });
  const Variant v = CoerceToField(t.Column(r.column), Variant::Double(static_cast<double>(oid)));
  return RunLevel(*session_, [&] {
    HookReply before(session_->ui());
    t.hooks->itfSetData_OnBeforeUpdateReference(*this, r.def->name, target ? &*target : nullptr,
                                                 before);
    if (before.cancelled() || state_->dead()) return false;
    session_->Assign(seg, r.column.column, v);
    HookReply after(session_->ui());
    t.hooks->itfSetData_OnUpdateReference(*this, r.def->name, target ? &*target : nullptr, after);
    return !after.cancelled();
  });
}

std::string Row::SelectionFilter(std::string_view reference) {
  const ReferenceInfo& r = FindRef(table(), reference);
  std::string filter;
  table().hooks->itfSetData_OnSelectReference(*this, r.def->name, filter);
  return filter;
}

std::optional<Row> Row::NewReferencedRow(std::string_view reference) {
  const TableInfo& t = table();
  const ReferenceInfo& r = FindRefOfKind(t, reference, false);
  std::optional<Row> made;
  bool ok = RunLevel(*session_, [&] {
    Row child(*session_, session_->NewRowState(*r.target));
    CreatingScope creating(child.state());
    HookReply reply(session_->ui());
    r.target->hooks->itfSetData_OnNewRow(child, reply);
    if (reply.cancelled()) return false;
    if (!SetReference(reference, child)) return false;
    t.hooks->itfSetData_OnNewReference(*this, r.def->name, child);
    made = child;
    return true;
  });
  return ok ? made : std::nullopt;
}

std::vector<Row> Row::List(std::string_view reference) const {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, true);
  std::vector<Row> rows;
  if (state_->dead() || state_->pending()) return rows;  // nothing belongs to it yet
  std::vector<int64_t> oids;
  if (r.kind == RefKind::OwnedList)
    oids = QueryOids(*session_,
                     "SELECT \"OID\" FROM " + Quote(r.target->own->table) + " WHERE " +
                         Quote(r.ownerColumn) + "=? ORDER BY \"OID\"",
                     state_->oid());
  else
    oids = QueryOids(*session_,
                     "SELECT \"OID_Item\" FROM " + Quote(r.linkTable) +
                         " WHERE \"OID_Owner\"=? ORDER BY rowid",
                     state_->oid());
  rows.reserve(oids.size());
  for (int64_t oid : oids)
    if (auto st = session_->LoadRow(*r.target, oid)) rows.emplace_back(*session_, std::move(st));
  return rows;
}

int64_t Row::ListCount(std::string_view reference) const {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, true);
  if (state_->dead() || state_->pending()) return 0;
  std::string sql = r.kind == RefKind::OwnedList
                        ? "SELECT COUNT(*) FROM " + Quote(r.target->own->table) + " WHERE " +
                              Quote(r.ownerColumn) + "=?"
                        : "SELECT COUNT(*) FROM " + Quote(r.linkTable) + " WHERE \"OID_Owner\"=?";
  auto v = QueryOids(*session_, sql, state_->oid());
  return v.empty() ? 0 : v.front();
}

std::optional<Row> Row::AddListRow(std::string_view reference, bool held) {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, true);
  if (r.kind != RefKind::OwnedList)
    throw Error("Il riferimento «" + r.def->name + "» non contiene righe proprie.",
                "AddListRow on a list that is not owned");
  std::optional<Row> made;
  bool ok = RunLevel(*session_, [&] {
    if (!EnsureStored()) return false;
    const int64_t owner = Oid();
    Row child(*session_, session_->NewRowState(*r.target, held));
    CreatingScope creating(child.state());
    ColumnRef link = r.target->FindColumn(r.ownerColumn);
    child.state().segs[link.segment]->values[link.column] =
        CoerceToField(r.target->Column(link), Variant::Double(static_cast<double>(owner)));
    HookReply reply(session_->ui());
    r.target->hooks->itfSetData_OnNewRow(child, reply);
    if (reply.cancelled()) return false;
    r.target->hooks->itfSetData_OnSetParent(child, *this);
    made = child;
    return true;
  });
  return ok ? made : std::nullopt;
}

std::optional<Row> Row::AddListRowFrom(std::string_view reference, const Row& baseRow) {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, true);
  const TableInfo& child = *r.target;
  if (!child.base || child.linkToBase || !baseRow.table().IsA(child.base))
    throw Error("Le righe di «" + r.def->name + "» non derivano da " + baseRow.TableName() + ".",
                "AddListRowFrom on an unrelated base");
  // The copies are part of the row's construction, so they go in before its hooks run.
  std::optional<Row> made;
  bool ok = RunLevel(*session_, [&] {
    if (!EnsureStored()) return false;
    const int64_t owner = Oid();
    Row row(*session_, session_->NewRowState(child));
    CreatingScope creating(row.state());
    auto& seg = row.state().segs.back();
    for (const std::string& name : child.base->columnOrder)
      seg->values[child.own->Find(child.base->Column(child.base->FindColumn(name)).name)] =
          baseRow.Get(child.base->Column(child.base->FindColumn(name)).name);
    seg->values[child.baseLinkColumn] = Variant::Double(static_cast<double>(baseRow.Oid()));
    seg->values[child.baseLinkColumn] =
        CoerceToField(child.own->columns[child.baseLinkColumn], seg->values[child.baseLinkColumn]);
    seg->values[child.own->Find(r.ownerColumn)] =
        CoerceToField(child.own->columns[child.own->Find(r.ownerColumn)],
                      Variant::Double(static_cast<double>(owner)));
    HookReply reply(session_->ui());
    child.hooks->itfSetData_OnNewRow(row, reply);
    if (reply.cancelled()) return false;
    child.hooks->itfSetData_OnSetParent(row, *this);
    made = row;
    return true;
  });
  return ok ? made : std::nullopt;
}

bool Row::AddToList(std::string_view reference, const Row& item) {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, true);
  if (r.kind != RefKind::List || !item.table().IsA(r.target))
    throw Error("Impossibile collegare un elemento di " + item.TableName() + " a «" + r.def->name +
                    "».",
                "AddToList: wrong list or table");
  return RunLevel(*session_, [&] {
    Row linked = item;
    if (!EnsureStored() || !linked.EnsureStored()) return false;
    if (ListHolds(r, linked)) return true;
    HookReply before(session_->ui());
    table().hooks->itfSetData_OnBeforeUpdateReference(*this, r.def->name, nullptr, before);
    if (before.cancelled() || state_->dead()) return false;
    session_->EnsureSqlOpen();
    Statement& s = session_->db().Cached("INSERT OR IGNORE INTO " + Quote(r.linkTable) +
                                         " (\"OID_Owner\",\"OID_Item\") VALUES (?,?)");
    {
      StatementUse use(s);
      s.BindInt(1, Oid());
      s.BindInt(2, linked.Oid());
      s.Run();
    }
    HookReply after(session_->ui());
    table().hooks->itfSetData_OnUpdateReference(*this, r.def->name, &linked, after);
    return !after.cancelled();
  });
}

bool Row::ListHolds(const ReferenceInfo& r, const Row& item) const {
  session_->EnsureSqlOpen();
  Statement& s = session_->db().Cached("SELECT 1 FROM " + Quote(r.linkTable) +
                                       " WHERE \"OID_Owner\"=? AND \"OID_Item\"=?");
  StatementUse use(s);
  s.BindInt(1, Oid());
  s.BindInt(2, item.Oid());
  return s.Step();
}

bool Row::RemoveFromList(std::string_view reference, const Row& item) {
  const ReferenceInfo& r = FindRefOfKind(table(), reference, true);
  if (r.kind != RefKind::List)
    throw Error("«" + r.def->name + "» non è un elenco di collegamenti.", "RemoveFromList");
  return RunLevel(*session_, [&] {
    if (state_->pending() || item.IsPending() || !ListHolds(r, item)) return true;
    HookReply before(session_->ui());
    table().hooks->itfSetData_OnBeforeUpdateReference(*this, r.def->name, &item, before);
    if (before.cancelled() || state_->dead()) return false;
    session_->EnsureSqlOpen();
    Statement& s = session_->db().Cached("DELETE FROM " + Quote(r.linkTable) +
                                         " WHERE \"OID_Owner\"=? AND \"OID_Item\"=?");
    {
      StatementUse use(s);
      s.BindInt(1, Oid());
      s.BindInt(2, item.Oid());
      s.Run();
    }
    HookReply after(session_->ui());
    table().hooks->itfSetData_OnUpdateReference(*this, r.def->name, nullptr, after);
    return !after.cancelled();
  });
}

std::optional<Row> Row::Parent(std::string_view tableName) const {
  const Catalog& cat = *session_->catalog();
  const TableInfo* wanted = cat.Find(tableName);
  if (!wanted) throw Error("Tabella sconosciuta: " + std::string(tableName) + ".", "Parent");
  session_->EnsureFresh(*state_);
  for (const TableInfo* t = &table(); t; t = t->linkToBase ? t->base : nullptr) {
    for (const OwnerInfo& o : t->owners) {
      if (!wanted->IsA(o.owner) && !o.owner->IsA(wanted)) continue;
      const SegmentState& seg = *state_->segs[t == &table() ? state_->segs.size() - 1 : 0];
      const Variant& v = seg.values[o.column];
      if (v.IsNull() || v.IsEmpty()) continue;
      if (auto st = session_->LoadRow(*wanted, v.ToInt64())) return Row(*session_, std::move(st));
    }
  }
  return std::nullopt;
}

std::optional<Row> Row::BaseRow() const {
  const TableInfo& t = table();
  if (!t.base || t.linkToBase) return As(t.base ? t.base->name : t.name);
  const Variant& v = state_->segs.back()->values[t.baseLinkColumn];
  if (v.IsNull() || v.IsEmpty()) return std::nullopt;
  auto st = session_->LoadRow(*t.base, v.ToInt64());
  if (!st) return std::nullopt;
  return Row(*session_, std::move(st));
}

std::optional<Row> Row::As(std::string_view tableName) const {
  const TableInfo* other = session_->catalog()->Find(tableName);
  if (!other) throw Error("Tabella sconosciuta: " + std::string(tableName) + ".", "As");
  if (other == &table()) return *this;
  auto related = [](const TableInfo* a, const TableInfo* b) {
    for (const TableInfo* t = a; t && t != b; t = t->linkToBase ? t->base : nullptr)
      if (!t->linkToBase) return false;
    return a->IsA(b);
  };
  if (!related(other, &table()) && !related(&table(), other)) return std::nullopt;
  auto st = session_->LoadRow(*other, Oid());
  if (!st) return std::nullopt;
  return Row(*session_, std::move(st));
}

bool Row::Save() {
  if (state_->dead()) return false;
  return RunLevel(*session_, [&] {
    HookReply reply(session_->ui());
    table().hooks->itfSetData_OnUpdateRow(*this, reply);
    if (reply.cancelled()) return false;
    // A held row is stored here, so its unique keys are checked as saved.
    if (state_->pending()) session_->InsertNow(state_);
    return true;
  });
}

bool Row::Delete() {
  if (state_->dead()) return true;
  const TableInfo& t = table();
  return RunLevel(*session_, [&] {
    HookReply reply(session_->ui());
    t.hooks->itfSetData_OnDeleteRow(*this, reply);
    if (reply.cancelled()) return false;
    // Links that list this row elsewhere go with it, each through its owner so that the
    // owner's hooks take the row's contribution off (an order drawn by a deleted sale).
    if (state_->segs.back()->inSql)
      for (const ReferenceInfo* r : t.listedBy) {
        for (int64_t owner : QueryOids(*session_,
                                       "SELECT \"OID_Owner\" FROM " + Quote(r->linkTable) +
                                           " WHERE \"OID_Item\"=? ORDER BY rowid",
                                       state_->oid())) {
          auto st = session_->LoadRow(*r->declaredIn, owner);
          if (!st) continue;
          Row ownerRow(*session_, std::move(st));
          if (!ownerRow.RemoveFromList(r->def->name, *this)) return false;
        }
        session_->EnsureSqlOpen();
        Statement& s = session_->db().Cached("DELETE FROM " + Quote(r->linkTable) +
                                             " WHERE \"OID_Item\"=?");
        StatementUse use(s);
        s.BindInt(1, state_->oid());
        s.Run();
      }
    for (const auto& r : t.references) {
      if (r->kind == RefKind::OwnedList) {
        for (Row& child : List(r->def->name))
          if (!child.Delete()) return false;
      } else if (r->kind == RefKind::OwnedSingle) {
        if (auto target = Reference(r->def->name))
          if (!target->Delete()) return false;
      } else if (r->kind == RefKind::List && state_->segs.back()->inSql) {
        session_->EnsureSqlOpen();
        Statement& s = session_->db().Cached("DELETE FROM " + Quote(r->linkTable) +
                                             " WHERE \"OID_Owner\"=?");
        StatementUse use(s);
        s.BindInt(1, state_->oid());
        s.Run();
      }
    }
    session_->DeleteNow(*state_);
    return true;
  });
}

void Row::Mark(std::string_view name) { session_->Mark(*state_, name); }
bool Row::TakeMark(std::string_view name) { return session_->TakeMark(*state_, name); }
bool Row::IsMarked(std::string_view name) const { return session_->IsMarked(*state_, name); }

bool Row::TryGuard(std::string_view name) {
  return state_->guards.emplace(name).second;
}

bool Row::IsGuarded(std::string_view name) const {
  return state_->guards.find(name) != state_->guards.end();
}

void Row::ReleaseGuard(std::string_view name) {
  auto it = state_->guards.find(name);
  if (it != state_->guards.end()) state_->guards.erase(it);
}

Row::Guard::Guard(Row& row, std::string_view name)
    : row_(row), name_(name), taken_(row.TryGuard(name)) {}

Row::Guard::~Guard() {
  if (taken_) row_.ReleaseGuard(name_);
}

std::string Row::TakeRefusal() { return std::exchange(lastRefusal, {}); }

void HookReply::Refuse(std::string_view message) {
  cancelled_ = true;
  lastRefusal = message;
  if (!message.empty()) ui_.MessageBox(message, Buttons::Ok, Icon::Exclamation, 0, {});
}

bool HookReply::Ask(std::string_view question, std::string_view title) {
  if (ui_.MessageBox(question, Buttons::YesNo, Icon::Question, 0, title) == Answer::Yes)
    return true;
  cancelled_ = true;
  lastRefusal.clear();
  return false;
}

}  // namespace tillbook::engine
