#include "engine/catalog.h"

#include <cmath>
#include <limits>

#include "base/error.h"

namespace tillbook::engine {

namespace {

Variant EmptyValueOf(FieldType t) {
  switch (t) {
    case FieldType::Integer:
    case FieldType::SmallInteger:
      return Variant::Long(0);
    case FieldType::YesNo:
      return Variant::Boolean(false);
    case FieldType::Millimetres:
    case FieldType::Number:
      return Variant::Double(0);
    case FieldType::Money:
      return Variant::Currency(Money());
    case FieldType::Date:
    case FieldType::DateTime:
      return Variant::Null();
    default:
      return Variant::String("");
  }
}

ColumnInfo FieldColumn(const FieldDef& f) {
  ColumnInfo c;
  c.name = f.name;
  c.kind = ColumnInfo::Kind::Field;
  c.type = f.type;
  c.field = &f;
  c.initial = InitialValue(f);
  c.notNull = f.notNull;
  return c;
}

ColumnInfo LinkColumn(std::string name, ColumnInfo::Kind kind, const ReferenceDef* r = nullptr) {
  ColumnInfo c;
  c.name = std::move(name);
  c.kind = kind;
  c.type = FieldType::Integer;
  c.reference = r;
  c.initial = Variant::Null();
  return c;
}

void AddColumn(SegmentInfo& s, ColumnInfo c, const std::string& table) {
  if (s.byName.count(c.name))
    throw Error("Definizione della tabella " + table + " non valida.",
                "duplicate column " + c.name);
  s.byName.emplace(c.name, static_cast<int>(s.columns.size()));
  s.columns.push_back(std::move(c));
}

[[noreturn]] void BadValue(const ColumnInfo& c, const Variant& v) {
  throw Error("Valore non valido per il campo «" + c.name + "»: " + v.ToText() + ".",
              "cannot convert to field type " + std::to_string(static_cast<int>(c.type)));
}

}  // namespace

int SegmentInfo::Find(std::string_view column) const {
  auto it = byName.find(std::string(column));
  return it == byName.end() ? -1 : it->second;
}

ColumnRef TableInfo::FindColumn(std::string_view n) const {
  auto it = columns.find(std::string(n));
  return it == columns.end() ? ColumnRef{} : it->second;
}

const ReferenceInfo* TableInfo::FindReference(std::string_view n) const {
  auto it = refByName.find(std::string(n));
  return it == refByName.end() ? nullptr : it->second;
}

bool TableInfo::IsA(const TableInfo* other) const {
  for (const TableInfo* t = this; t; t = t->base)
    if (t == other) return true;
  return false;
}

Variant InitialValue(const FieldDef& f) {
  if (!f.defaultValue.empty()) {
    ColumnInfo c;
    c.name = f.name;
    c.type = f.type;
    c.field = &f;
    c.notNull = f.notNull;
    try {
      return CoerceToField(c, Variant::String(f.defaultValue));
    } catch (const Error&) {
      // A default that does not read as the field's type falls back to the empty value.
    }
  }
  return f.notNull ? EmptyValueOf(f.type) : Variant::Null();
}

Variant CoerceToField(const ColumnInfo& c, const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) {
    if (c.kind != ColumnInfo::Kind::Field || !c.notNull) return Variant::Null();
    return EmptyValueOf(c.type);
  }
  if (c.kind != ColumnInfo::Kind::Field) {
    int64_t oid = v.ToInt64();
    if (oid <= 0) return Variant::Null();
    if (oid > std::numeric_limits<int32_t>::max()) return Variant::Double(static_cast<double>(oid));
    return Variant::Long(static_cast<int32_t>(oid));
  }
  if (IsTextType(c.type)) {
    std::string s = v.IsString() ? v.AsString() : v.ToText();
    if (c.field && c.field->size > 0 && text::Length(s) > static_cast<size_t>(c.field->size))
      throw Error("Il testo del campo «" + c.name + "» supera la lunghezza massima di " +
                      std::to_string(c.field->size) + " caratteri.",
                  "text too long");
    return Variant::String(std::move(s));
  }
  // The conversions' own errors speak of types; the person needs the field's name.
  try {
    switch (c.type) {
      case FieldType::Integer:
      case FieldType::SmallInteger: {
        const double r = HalfEven(v.ToDouble(), 0);
        if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
          BadValue(c, v);
        return Variant::Long(static_cast<int32_t>(r));
      }
      case FieldType::YesNo:
        return Variant::Boolean(v.ToBool());
      case FieldType::Millimetres:
      case FieldType::Number:
        return Variant::Double(v.ToDouble());
      case FieldType::Money:
        return Variant::Currency(v.ToMoney());
      case FieldType::Date:
        return Variant::Date(v.ToDateTime().DatePart());
      default:  // DateTime
        return Variant::Date(v.ToDateTime());
    }
  } catch (const Error&) {
    BadValue(c, v);
  }
}

Catalog::Catalog(DatabaseDef& tables) {
  for (auto& cls : tables.tables()) {
    auto t = std::make_unique<TableInfo>();
    t->name = cls->TableName();
    t->def = std::make_unique<TableDef>(t->name);
    cls->itfDefTable_DefineIdentity(*t->def);
    cls->itfDefTable_DefineStructure(*t->def);
    t->hooks = cls->itfDefTable_DefineDefaultData();
    t->cls = std::move(cls);
    if (byName_.count(t->name))
      throw Error("Tabella definita due volte: " + t->name + ".", "duplicate table");
    byName_.emplace(t->name, t.get());
    tables_.push_back(std::move(t));
  }
  tables.tables().clear();
  for (auto& t : tables_) Compile(*t);
  for (auto& t : tables_) ResolveReferences(*t);
  for (auto& owner : tables_)
    for (const auto& r : owner->references)
      if (r->kind == RefKind::List && r->declaredIn == owner.get())
        for (auto& t : tables_)
          if (t->IsA(r->target)) t->listedBy.push_back(r.get());
}

const TableInfo* Catalog::Find(std::string_view table) const {
  auto it = byName_.find(std::string(table));
  return it == byName_.end() ? nullptr : it->second;
}

TableInfo* Catalog::Find(std::string_view table) {
  auto it = byName_.find(std::string(table));
  return it == byName_.end() ? nullptr : it->second;
}

void Catalog::Compile(TableInfo& t) {
  const TableDef& d = *t.def;
  t.linkToBase = d.LinkToBase;
  t.own = std::make_unique<SegmentInfo>();
  t.own->table = t.name;
  if (!d.BaseTable.empty()) {
    t.base = Find(d.BaseTable);
    if (!t.base || !t.base->own)
      throw Error("Definizione della tabella " + t.name + " non valida.",
                  "base table " + d.BaseTable + " missing or declared later");
    if (t.linkToBase) {
      t.segments = t.base->segments;
      t.own->autoIncrement = false;
      t.base->derived.push_back(&t);
    } else {
      // Copies of every base field and single reference, then the link to the base row.
      for (const std::string& name : t.base->columnOrder) {
        const ColumnInfo& bc = t.base->Column(t.base->FindColumn(name));
        AddColumn(*t.own, bc, t.name);
      }
      t.baseLinkColumn = static_cast<int>(t.own->columns.size());
      AddColumn(*t.own, LinkColumn("OID_" + t.base->name, ColumnInfo::Kind::BaseLink), t.name);
    }
  }
  for (const FieldDef& f : d.fields()) AddColumn(*t.own, FieldColumn(f), t.name);
  for (const ReferenceDef& r : d.references())
    if (!r.list) AddColumn(*t.own, LinkColumn("OID_" + r.name, ColumnInfo::Kind::Reference, &r), t.name);
  t.segments.push_back(t.own.get());
  // An index naming nothing the table has is a typing slip in a definition: say so at once
  // rather than leaving the archive without the index.
  for (const IndexDef& ix : d.indexes())
    for (const auto& item : ix.items) {
      const bool known = item.isReference ? d.FindReference(item.name) != nullptr
                                          : d.FindField(item.name) != nullptr ||
                                                d.FindReference(item.name) != nullptr;
      bool inherited = false;
      for (const TableInfo* b = t.base; b && !known && !inherited; b = b->base)
        inherited = b->def->FindField(item.name) || b->def->FindReference(item.name);
      if (!known && !inherited)
        throw Error("Definizione della tabella " + t.name + " non valida.",
                    "index " + ix.name + " names unknown item " + item.name);
    }

  // Logical column names: every field and single reference reachable from this table.
  const int ownIndex = static_cast<int>(t.segments.size()) - 1;
  for (int s = 0; s < static_cast<int>(t.segments.size()); ++s) {
    const SegmentInfo& seg = *t.segments[s];
    for (int c = 0; c < static_cast<int>(seg.columns.size()); ++c) {
      const ColumnInfo& col = seg.columns[c];
      if (col.kind == ColumnInfo::Kind::Field) {
        t.columns.emplace(col.name, ColumnRef{s, c});
        t.columnOrder.push_back(col.name);
      } else if (col.kind == ColumnInfo::Kind::Reference) {
        t.columns.emplace(col.name, ColumnRef{s, c});
        t.columns.emplace(col.reference->name, ColumnRef{s, c});
        t.columnOrder.push_back(col.reference->name);
      } else if (s == ownIndex) {
        t.columns.emplace(col.name, ColumnRef{s, c});
      }
    }
  }
}

void Catalog::ResolveReferences(TableInfo& t) {
  auto add = [&](const ReferenceDef& r, const TableInfo* declaredIn) {
    auto info = std::make_unique<ReferenceInfo>();
    info->def = &r;
    info->declaredIn = declaredIn;
    info->kind = r.kind();
    info->target = Find(r.table);
    if (!info->target)
      throw Error("Definizione della tabella " + t.name + " non valida.",
                  "reference " + r.name + " to unknown table " + r.table);
    if (!r.list) {
      info->column = t.FindColumn("OID_" + r.name);
    } else if (r.owned) {
      info->ownerColumn = "OIDOwner_" + declaredIn->name + "_" + r.name;
    } else {
      info->linkTable = "Lst_" + declaredIn->name + "_" + r.name;
    }
    if (t.refByName.count(r.name))
      throw Error("Definizione della tabella " + t.name + " non valida.",
                  "duplicate reference " + r.name);
    t.refByName.emplace(r.name, info.get());
    t.references.push_back(std::move(info));
  };
  // Inherited references: all of them through a shared identity, single ones as copies.
  std::vector<const TableInfo*> chain;
  for (const TableInfo* b = t.base; b; b = b->linkToBase ? b->base : nullptr) chain.insert(chain.begin(), b);
  if (t.base && !t.linkToBase) {
    for (const auto& br : t.base->references)
      if (!br->def->list) add(*br->def, &t);
  } else {
    for (const TableInfo* b : chain)
      for (const ReferenceDef& r : b->def->references()) add(r, b);
  }
  for (const ReferenceDef& r : t.def->references()) {
    add(r, &t);
    if (r.owned && r.list) {
      TableInfo* child = t.references.back()->target;
      const std::string column = "OIDOwner_" + t.name + "_" + r.name;
      AddColumn(*child->own, LinkColumn(column, ColumnInfo::Kind::OwnerLink, &r), child->name);
      const int index = static_cast<int>(child->own->columns.size()) - 1;
      child->columns.emplace(column, ColumnRef{static_cast<int>(child->segments.size()) - 1, index});
      child->owners.push_back(OwnerInfo{&t, t.references.back().get(), index});
    }
  }
}

}  // namespace tillbook::engine
