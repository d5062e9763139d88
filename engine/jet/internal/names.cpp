// Name resolution: which column, join or sub-query a name path of the text stands for.
#include <algorithm>

#include "base/text.h"
#include "engine/jet/internal/compiler.h"

namespace tillbook::jet::internal {
namespace {

bool IsOidName(std::string_view name) {
  return text::EqualNoCase(name, "OID");
}

// "OID_x" names the stored link of reference x (or of the copied base row).
bool IsLinkName(std::string_view name) {
  return name.size() > 4 && text::EqualNoCase(name.substr(0, 4), "OID_");
}

std::string DisplayField(const ReferenceInfo& r) {
  if (!r.keyField.empty()) return r.keyField;
  return r.shownFields.empty() ? std::string() : r.shownFields.front();
}

}  // namespace

namespace {

// Whether `alias` is used in `sql` as a qualifier ("t1." but not "t11." or "xt1.").
bool UsesAlias(const std::string& sql, const std::string& alias) {
  const std::string qualifier = alias + ".";
  for (size_t p = sql.find(qualifier); p != std::string::npos; p = sql.find(qualifier, p + 1)) {
    char before = p == 0 ? ' ' : sql[p - 1];
    bool partOfName = (before >= 'a' && before <= 'z') || (before >= 'A' && before <= 'Z') ||
                      (before >= '0' && before <= '9') || before == '_';
    if (!partOfName) return true;
  }
  return false;
}

}  // namespace

std::string JoinSpace::Text() const {
  std::string out;
  for (const Join& j : joins) out += " " + j.sql;
  return out;
}

std::string JoinSpace::TextFor(const std::string& sql) const {
  // Walk back from the last join: a join is needed when the statement or a needed later join
  // uses one of its aliases.
  std::vector<bool> needed(joins.size(), false);
  std::string users = sql;
  for (size_t i = joins.size(); i-- > 0;) {
    bool use = joins[i].multiplies;
    for (const std::string& a : joins[i].aliases) use = use || UsesAlias(users, a);
    if (use) {
      needed[i] = true;
      users += " " + joins[i].sql;
    }
  }
  std::string out;
  for (size_t i = 0; i < joins.size(); ++i) {
    if (needed[i]) out += " " + joins[i].sql;
  }
  return out;
}

Compiler::Compiler(const Catalog& catalog, const Dialect& dialect, DateTime now)
    : catalog_(catalog), dialect_(dialect), now_(now) {}

std::string Compiler::NewAlias() {
  return "t" + std::to_string(aliasCounter_++);
}

Instance* Compiler::NewInstance(const TableInfo* table, JoinSpace* space) {
  instances_.emplace_back();
  Instance* inst = &instances_.back();
  inst->table = table;
  inst->alias = NewAlias();
  inst->space = space;
  return inst;
}

void Compiler::EnsureJoined(Instance* inst) {
  if (inst->joined) return;
  inst->joined = true;
  inst->space->joins.push_back(std::move(inst->pending));
}

std::string Compiler::Oid(Instance* inst) {
  if (!inst->oidSql.empty()) return inst->oidSql;
  EnsureJoined(inst);
  return inst->alias + ".\"OID\"";
}

Scope& Compiler::Begin(const TableInfo& table) {
  Instance* root = NewInstance(&table, &mainSpace_);
  scopes_.push_back({nullptr, root, Context::Filter, false, true});
  mainScope_ = &scopes_.back();
  return *mainScope_;
}

std::string Compiler::Column(Instance* inst, std::string_view column) {
  std::string storage = catalog_.StorageTable(inst->table->name, column);
  std::string quoted = dialect_.Quote(column);
  if (text::EqualNoCase(storage, inst->table->name)) {
    EnsureJoined(inst);
    return inst->alias + "." + quoted;
  }
  std::string key = text::Fold(storage);
  auto it = inst->baseAliases.find(key);
  if (it == inst->baseAliases.end()) {
    std::string alias = NewAlias();
    // The base row shares the identity; LEFT keeps a joined-but-missing row missing, not the
    // whole result row.
    inst->space->joins.push_back({"LEFT JOIN " + dialect_.Quote(storage) + " " + alias + " ON " +
                                      alias + ".\"OID\" = " + Oid(inst),
                                  {alias}});
    it = inst->baseAliases.emplace(key, alias).first;
  }
  return it->second + "." + quoted;
}

Value Compiler::FieldValue(Instance* inst, const FieldInfo& field, bool own) {
  Value v;
  v.sql = Column(inst, field.name);
  v.type = TypeOfCode(field.typeCode);
  v.typeCode = field.typeCode;
  if (own) {
    v.ownColumn = true;
    v.storageTable = catalog_.StorageTable(inst->table->name, field.name);
    v.storageColumn = field.name;
  }
  return v;
}

Instance* Compiler::Hop(Instance* from, const ReferenceHit& hit, Scope& scope, size_t offset) {
  const ReferenceInfo& r = *hit.reference;
  const TableInfo* target = catalog_.FindTable(r.target);
  if (!target) {
    Fail(ErrorKind::UnknownName,
         "Tabella sconosciuta «" + r.target + "» del riferimento «" + r.name + "»" + At(offset),
         offset, r.name.size());
  }
  std::string key = from->alias + "/" + text::Fold(r.name);
  if (auto it = joined_.find(key); it != joined_.end()) return it->second;

  if (!IsList(r.kind)) {
    std::string link = Column(from, "OID_" + r.name);
    Instance* inst = NewInstance(target, from->space);
    inst->oidSql = link;
    inst->joined = false;
    inst->pending = {"LEFT JOIN " + dialect_.Quote(target->name) + " " + inst->alias + " ON " +
                         inst->alias + ".\"OID\" = " + link,
                     {inst->alias}};
    joined_[key] = inst;
    return inst;
  }
  std::string fromOid = Oid(from);

  bool owned = r.kind == RefKind::OwnedList;
  std::string ownerColumn = owned ? catalog_.OwnerColumn(hit.declaredIn->name, r.name) : "";
  std::string linkTable = owned ? "" : catalog_.ListTable(hit.declaredIn->name, r.name);

  if (!scope.listsAsExists || frameStack_.empty()) {
    // Shown in the result: one result row per list row.
    std::string joinSql;
    std::vector<std::string> aliases;
    Instance* inst;
    if (owned) {
      inst = NewInstance(target, from->space);
      joinSql = "LEFT JOIN " + dialect_.Quote(target->name) + " " + inst->alias + " ON " +
                inst->alias + "." + dialect_.Quote(ownerColumn) + " = " + fromOid;
      aliases = {inst->alias};
    } else {
      std::string l = NewAlias();
      inst = NewInstance(target, from->space);
      joinSql = "LEFT JOIN " + dialect_.Quote(linkTable) + " " + l + " ON " + l +
                ".\"OID_Owner\" = " + fromOid + " LEFT JOIN " + dialect_.Quote(target->name) + " " +
                inst->alias + " ON " + inst->alias + ".\"OID\" = " + l + ".\"OID_Item\"";
      aliases = {l, inst->alias};
    }
    from->space->joins.push_back({joinSql, aliases, true});
    joined_[key] = inst;
    return inst;
  }

  // In a condition: an existence test over the list rows, so rows are never duplicated.
  auto& frames = frameStack_.back();
  if (auto it = frames.find(key); it != frames.end()) return it->second.second;
  frames_.emplace_back();
  Frame* frame = &frames_.back();
  Instance* inst = NewInstance(target, &frame->space);
  if (owned) {
    frame->from = dialect_.Quote(target->name) + " " + inst->alias;
    frame->link = inst->alias + "." + dialect_.Quote(ownerColumn) + " = " + fromOid;
  } else {
    std::string l = NewAlias();
    frame->from = dialect_.Quote(linkTable) + " " + l + " JOIN " + dialect_.Quote(target->name) +
                  " " + inst->alias + " ON " + inst->alias + ".\"OID\" = " + l + ".\"OID_Item\"";
    frame->link = l + ".\"OID_Owner\" = " + fromOid;
  }
  frames[key] = {frame, inst};
  frameOrder_.back().push_back(frame);
  return inst;
}

Instance* Compiler::HopOwner(Instance* from, const OwnerInfo& owner) {
  std::string key =
      from->alias + "/^" + text::Fold(owner.ownerTable) + "." + text::Fold(owner.reference);
  if (auto it = joined_.find(key); it != joined_.end()) return it->second;
  const TableInfo* table = catalog_.FindTable(owner.ownerTable);
  Instance* inst = NewInstance(table, from->space);
  std::string on;
  if (owner.single) {
    on = inst->alias + "." + dialect_.Quote("OID_" + owner.reference) + " = " + Oid(from);
  } else {
    inst->oidSql = Column(from, owner.ownerColumn);
    on = inst->alias + ".\"OID\" = " + inst->oidSql;
  }
  from->space->joins.push_back(
      {"LEFT JOIN " + dialect_.Quote(table->name) + " " + inst->alias + " ON " + on,
       {inst->alias}});
  joined_[key] = inst;
  return inst;
}

Value Compiler::ReferenceValue(Instance* inst, const ReferenceHit& hit, Scope& scope, int depth) {
  const ReferenceInfo& r = *hit.reference;
  std::string link = IsList(r.kind) ? std::string() : Column(inst, "OID_" + r.name);
  const TableInfo* target = catalog_.FindTable(r.target);
  std::string display = DisplayField(r);
  Value v;
  v.type = LogicalType::Integer;
  if (display.empty() || !target || depth > 4) {
    v.sql = IsList(r.kind) ? Oid(Hop(inst, hit, scope, 0)) : link;
  } else {
    Instance* row = Hop(inst, hit, scope, 0);
    FieldHit f = FindField(catalog_, *target, display);
    ReferenceHit inner = FindReference(catalog_, *target, display);
    if (f.field) {
      v = FieldValue(row, *f.field, false);
    } else if (inner.reference && !IsList(inner.reference->kind)) {
      v = ReferenceValue(row, inner, scope, depth + 1);
    } else {
      v.sql = Oid(row);
    }
  }
  v.linkSql = link;
  return v;
}

std::vector<Compiler::StarColumn> Compiler::StarColumns(Scope& scope) {
  Instance* root = scope.root;
  const TableInfo& table = *root->table;
  std::vector<StarColumn> out;
  for (const FieldHit& f : AllFields(catalog_, table)) {
    out.push_back({f.field->name, FieldValue(root, *f.field, true), false});
  }
  auto refs = AllReferences(catalog_, table);
  for (const ReferenceHit& r : refs) {
    if (IsList(r.reference->kind)) continue;
    Value v = ReferenceValue(root, r, scope);
    v.ownColumn = false;
    out.push_back({r.reference->name, v, false});
  }
  auto linkColumn = [&](const std::string& column) {
    Value v;
    v.sql = Column(root, column);
    v.type = LogicalType::Integer;
    v.ownColumn = true;
    v.storageTable = catalog_.StorageTable(table.name, column);
    v.storageColumn = column;
    out.push_back({column, v, true});
  };
  for (const ReferenceHit& r : refs) {
    if (!IsList(r.reference->kind)) linkColumn("OID_" + r.reference->name);
  }
  if (const TableInfo* base = CopiedBase(catalog_, table)) linkColumn("OID_" + base->name);
  return out;
}

void Compiler::Unknown(std::string_view name, const TableInfo& table, size_t offset) {
  std::string hint;
  std::string wanted = text::FoldNoAccents(name);
  for (const FieldHit& f : AllFields(catalog_, table)) {
    if (hint.empty() && text::FoldNoAccents(f.field->name) == wanted) hint = f.field->name;
  }
  for (const ReferenceHit& r : AllReferences(catalog_, table)) {
    if (hint.empty() && text::FoldNoAccents(r.reference->name) == wanted) {
      hint = r.reference->name;
    }
  }
  Fail(ErrorKind::UnknownName,
       "Campo sconosciuto «" + std::string(name) + "» nella tabella " + table.name + At(offset) +
           (hint.empty() ? "" : " Forse «" + hint + "»?"),
       offset, name.size());
}

// Head of a path, first match wins: (1) an alias, in field and sort lists; (2) a field, OID or
// link column and (3) a reference of the table; (4) the table's own name, or a sub-select's
// outer table; (5) an owner table; (6) the table of exactly one single reference; (7) a field of
// the owner, for a lone name; (8) an alias, in filters; then Now, Date, Yes and No.
Compiler::Head Compiler::ResolveHead(const Expr& path, Scope& scope) {
  const auto& parts = path.parts;
  const std::string& head = parts[0];
  const size_t n = parts.size();
  const bool lone = n == 1;
  Instance* root = scope.root;
  const TableInfo& table = *root->table;

  if (lone && (scope.context == Context::Fields || scope.context == Context::Sort) &&
      HasAlias(head) && !NamesItsField(head)) {
    return {nullptr, 0, AliasValue(head, path.offset)};
  }

  Instance* inst = nullptr;
  size_t next = 0;
  auto matchesOwn = [&](const TableInfo& t, std::string_view name) {
    if (FindField(catalog_, t, name).field || IsOidName(name)) return true;
    if (FindReference(catalog_, t, name).reference) return true;
    if (IsLinkName(name)) {
      std::string_view ref = name.substr(4);
      ReferenceHit r = FindReference(catalog_, t, ref);
      if (r.reference && !IsList(r.reference->kind)) return true;
      const TableInfo* base = CopiedBase(catalog_, t);
      return base && text::EqualNoCase(base->name, ref);
    }
    return false;
  };

  if (matchesOwn(table, head)) {
    inst = root;
  }
  if (!inst && !lone) {
    for (Scope* s = &scope; s && !inst; s = s->parent) {
      for (const TableInfo* t : IdentityChain(catalog_, *s->root->table)) {
        if (text::EqualNoCase(t->name, head)) {
          inst = s->root;
          next = 1;
          break;
        }
      }
    }
  }
  std::vector<OwnerInfo> owners = catalog_.Owners(table.name);
  if (!inst && !lone) {
    std::vector<const OwnerInfo*> hits;
    for (const OwnerInfo& o : owners) {
      const TableInfo* ot = catalog_.FindTable(o.ownerTable);
      if (!ot) continue;
      for (const TableInfo* t : IdentityChain(catalog_, *ot)) {
        if (text::EqualNoCase(t->name, head)) {
          hits.push_back(&o);
          break;
        }
      }
    }
    if (hits.size() > 1) {
      Fail(ErrorKind::AmbiguousName,
           "Nome ambiguo «" + head + "» nella tabella " + table.name +
               ": le righe appartengono a " + head + " tramite «" + hits[0]->reference +
               "» oppure «" + hits[1]->reference + "»" + At(path.offset),
           path.offset, head.size());
    }
    if (hits.size() == 1) {
      inst = HopOwner(root, *hits[0]);
      next = 1;
    }
  }
  if (!inst && !lone) {
    std::vector<ReferenceHit> hits;
    for (const ReferenceHit& r : AllReferences(catalog_, table)) {
      if (!IsList(r.reference->kind) && text::EqualNoCase(r.reference->target, head)) {
        hits.push_back(r);
      }
    }
    if (hits.size() > 1) {
      Fail(ErrorKind::AmbiguousName,
           "Nome ambiguo «" + head + "» nella tabella " + table.name + ": usare «" +
               hits[0].reference->name + "» oppure «" + hits[1].reference->name + "»" +
               At(path.offset),
           path.offset, head.size());
    }
    if (hits.size() == 1) {
      inst = Hop(root, hits[0], scope, path.offset);
      next = 1;
    }
  }
  if (!inst && lone) {
    std::vector<const OwnerInfo*> hits;
    for (const OwnerInfo& o : owners) {
      const TableInfo* ot = catalog_.FindTable(o.ownerTable);
      if (ot && matchesOwn(*ot, head)) hits.push_back(&o);
    }
    if (hits.size() == 1) inst = HopOwner(root, *hits[0]);
  }
  if (!inst && lone && scope.context == Context::Filter && HasAlias(head)) {
    return {nullptr, 0, AliasValue(head, path.offset)};
  }
  if (!inst && lone && (text::EqualNoCase(head, "Now") || text::EqualNoCase(head, "Date"))) {
    return {nullptr, 0, NowValue(text::EqualNoCase(head, "Date"))};
  }
  if (!inst && lone && (text::EqualNoCase(head, "Yes") || text::EqualNoCase(head, "No"))) {
    // The yes/no constants of older texts, when no field has that name.
    Value v;
    v.literal = LiteralKind::Boolean;
    v.param = AddParam(Variant::Boolean(text::EqualNoCase(head, "Yes")));
    v.sql = dialect_.Placeholder(v.param);
    v.type = LogicalType::Boolean;
    return {nullptr, 0, v};
  }
  if (!inst) Unknown(head, table, path.offset);
  return {inst, next, std::nullopt};
}

// The rest of a path from its head: references lead on, a field or a link column ends it.
Value Compiler::WalkPath(const Expr& path, Instance* inst, size_t next, Scope& scope) {
  const auto& parts = path.parts;
  const size_t n = parts.size();

  for (size_t i = next; i < n; ++i) {
    const std::string& name = parts[i];
    size_t offset = path.partOffsets[i];
    const bool last = i + 1 == n;
    const TableInfo& t = *inst->table;
    const bool own = inst == mainScope_->root;
    auto notReference = [&] {
      size_t nextOffset = path.partOffsets[i + 1];
      Fail(ErrorKind::NotAReference,
           "«" + name + "» non è un riferimento: non può essere seguito da «." + parts[i + 1] +
               "»" + At(nextOffset),
           nextOffset, parts[i + 1].size());
    };
    if (FieldHit f = FindField(catalog_, t, name); f.field) {
      if (!last) notReference();
      return FieldValue(inst, *f.field, own);
    }
    if (IsOidName(name)) {
      if (!last) notReference();
      Value v;
      v.sql = Oid(inst);
      v.type = LogicalType::Integer;
      return v;
    }
    ReferenceHit r = FindReference(catalog_, t, name);
    if (!r.reference && IsLinkName(name)) {
      std::string_view refName = std::string_view(name).substr(4);
      ReferenceHit linked = FindReference(catalog_, t, refName);
      const TableInfo* base = CopiedBase(catalog_, t);
      std::string column;
      if (linked.reference && !IsList(linked.reference->kind)) {
        column = "OID_" + linked.reference->name;
      } else if (base && text::EqualNoCase(base->name, refName)) {
        column = "OID_" + base->name;
      }
      if (!column.empty()) {
        if (!last) notReference();
        Value v;
        v.sql = Column(inst, column);
        v.type = LogicalType::Integer;
        if (own) {
          v.ownColumn = true;
          v.storageTable = catalog_.StorageTable(t.name, column);
          v.storageColumn = column;
        }
        return v;
      }
    }
    if (!r.reference) Unknown(name, t, offset);
    if (last) return ReferenceValue(inst, r, scope);
    inst = Hop(inst, r, scope, offset);
  }
  // Only a table name was written ("Vendite" alone is caught above as a lone name).
  Fail(ErrorKind::Syntax, "Manca il campo dopo «" + parts[0] + "»" + At(path.offset), path.offset,
       parts[0].size());
}

Value Compiler::ResolvePath(const Expr& path, Scope& scope) {
  Head head = ResolveHead(path, scope);
  if (head.value) return *head.value;
  ++rowReferences_;
  return WalkPath(path, head.inst, head.next, scope);
}

}  // namespace tillbook::jet::internal
