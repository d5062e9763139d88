#include "engine/jet/memory_catalog.h"

#include "base/text.h"

namespace tillbook::jet {

MemoryCatalog::TableBuilder& MemoryCatalog::TableBuilder::Extends(std::string base,
                                                                  bool linkToBase) {
  table_.baseTable = std::move(base);
  table_.linkToBase = linkToBase;
  return *this;
}

MemoryCatalog::TableBuilder& MemoryCatalog::TableBuilder::Field(std::string name, int typeCode,
                                                                bool nullable) {
  table_.fields.push_back({std::move(name), typeCode, nullable});
  return *this;
}

MemoryCatalog::TableBuilder& MemoryCatalog::TableBuilder::Fields(std::string_view list) {
  for (const std::string& item : text::Split(list, ',')) {
    std::string_view s = text::Trim(item);
    if (s.empty()) continue;
    size_t colon = s.rfind(':');
    std::string name(s.substr(0, colon));
    std::string_view code = s.substr(colon + 1);
    bool secret = !code.empty() && code.back() == '!';
    if (secret) code.remove_suffix(1);
    bool nullable = !code.empty() && code.back() == '?';
    if (nullable) code.remove_suffix(1);
    Field(name, std::stoi(std::string(code)), nullable);
    table_.fields.back().secret = secret;
  }
  return *this;
}

MemoryCatalog::TableBuilder& MemoryCatalog::TableBuilder::Ref(std::string name, std::string target,
                                                              RefKind kind, std::string keyField,
                                                              std::string_view shown) {
  ReferenceInfo r{std::move(name), std::move(target), kind, std::move(keyField), {}};
  for (const std::string& item : text::Split(shown, ',')) {
    std::string_view s = text::Trim(item);
    if (!s.empty()) r.shownFields.emplace_back(s);
  }
  table_.references.push_back(std::move(r));
  return *this;
}

MemoryCatalog::TableBuilder MemoryCatalog::Table(std::string name) {
  for (TableInfo& t : tables_) {
    if (text::EqualNoCase(t.name, name)) return TableBuilder(t);
  }
  tables_.emplace_back();
  tables_.back().name = std::move(name);
  return TableBuilder(tables_.back());
}

const TableInfo* MemoryCatalog::FindTable(std::string_view name) const {
  for (const TableInfo& t : tables_) {
    if (text::EqualNoCase(t.name, name)) return &t;
  }
  return nullptr;
}

std::vector<OwnerInfo> MemoryCatalog::Owners(std::string_view table) const {
  std::vector<OwnerInfo> out;
  for (const TableInfo& t : tables_) {
    for (const ReferenceInfo& r : t.references) {
      if (r.kind != RefKind::OwnedList && r.kind != RefKind::OwnedSingle) continue;
      if (!text::EqualNoCase(r.target, table)) continue;
      OwnerInfo o{t.name, r.name, r.kind == RefKind::OwnedSingle, {}};
      if (!o.single) o.ownerColumn = OwnerColumn(t.name, r.name);
      out.push_back(std::move(o));
    }
  }
  return out;
}

}  // namespace tillbook::jet
