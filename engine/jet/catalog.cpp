#include "engine/jet/catalog.h"

#include "base/text.h"

namespace tillbook::jet {

std::vector<const TableInfo*> BaseChain(const Catalog& catalog, const TableInfo& table) {
  std::vector<const TableInfo*> chain{&table};
  const TableInfo* t = &table;
  // The bound guards against a definition that extends itself.
  while (!t->baseTable.empty() && chain.size() < 16) {
    t = catalog.FindTable(t->baseTable);
    if (!t) break;
    chain.push_back(t);
  }
  return chain;
}

std::vector<const TableInfo*> IdentityChain(const Catalog& catalog, const TableInfo& table) {
  std::vector<const TableInfo*> chain{&table};
  const TableInfo* t = &table;
  while (t->linkToBase && !t->baseTable.empty() && chain.size() < 16) {
    t = catalog.FindTable(t->baseTable);
    if (!t) break;
    chain.push_back(t);
  }
  return chain;
}

FieldHit FindField(const Catalog& catalog, const TableInfo& table, std::string_view name) {
  for (const TableInfo* t : BaseChain(catalog, table)) {
    for (const FieldInfo& f : t->fields) {
      if (!f.secret && text::EqualNoCase(f.name, name)) return {&f, t};
    }
  }
  return {};
}

ReferenceHit FindReference(const Catalog& catalog, const TableInfo& table, std::string_view name) {
  bool copied = false;  // past a LinkToBase-false step: lists no longer belong to this row
  for (const TableInfo* t : BaseChain(catalog, table)) {
    for (const ReferenceInfo& r : t->references) {
      if (!text::EqualNoCase(r.name, name)) continue;
      if (copied && IsList(r.kind)) return {};
      return {&r, t};
    }
    if (!t->linkToBase) copied = true;
  }
  return {};
}

std::vector<FieldHit> AllFields(const Catalog& catalog, const TableInfo& table) {
  auto chain = BaseChain(catalog, table);
  std::vector<FieldHit> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const FieldInfo& f : (*it)->fields) {
      if (!f.secret) out.push_back({&f, *it});
    }
  }
  return out;
}

std::vector<ReferenceHit> AllReferences(const Catalog& catalog, const TableInfo& table) {
  auto chain = BaseChain(catalog, table);
  std::vector<ReferenceHit> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const ReferenceInfo& r : (*it)->references) {
      if (FindReference(catalog, table, r.name).reference == &r) out.push_back({&r, *it});
    }
  }
  return out;
}

const TableInfo* CopiedBase(const Catalog& catalog, const TableInfo& table) {
  if (table.linkToBase || table.baseTable.empty()) return nullptr;
  return catalog.FindTable(table.baseTable);
}

std::string Catalog::StorageTable(std::string_view table, std::string_view column) const {
  const TableInfo* t = FindTable(table);
  if (!t) return std::string(table);
  if (text::EqualNoCase(column, "OID")) return t->name;
  // Walk the identity chain: each LinkToBase step stores its own declarations; the first
  // table that copies its base stores everything inherited from there on.
  for (const TableInfo* step : IdentityChain(*this, *t)) {
    for (const FieldInfo& f : step->fields) {
      if (text::EqualNoCase(f.name, column)) return step->name;
    }
    for (const ReferenceInfo& r : step->references) {
      if (text::EqualNoCase("OID_" + r.name, column)) return step->name;
    }
    if (!step->linkToBase && !step->baseTable.empty()) return step->name;
  }
  return t->name;
}

std::string Catalog::OwnerColumn(std::string_view declaringTable,
                                 std::string_view reference) const {
  return "OIDOwner_" + std::string(declaringTable) + "_" + std::string(reference);
}

std::string Catalog::ListTable(std::string_view declaringTable, std::string_view reference) const {
  return "Lst_" + std::string(declaringTable) + "_" + std::string(reference);
}

}  // namespace tillbook::jet
