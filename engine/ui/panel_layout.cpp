#include "engine/ui/panel_layout.h"

#include <algorithm>

#include "base/text.h"
#include "engine/catalog.h"
#include "engine/ui/presentation.h"

namespace tillbook::engine::ui {
namespace {

const std::string kNoText;

// Every field and reference of the table in declaration order, base tables first: the single
// items as the catalogue lists its columns, then the lists.
std::vector<PanelItem> DeclaredItems(const TableInfo& table) {
  std::vector<PanelItem> items;
  for (const std::string& name : table.columnOrder) {
    const ColumnInfo& column = table.Column(table.FindColumn(name));
    if (column.field)
      items.push_back({name, column.field, nullptr});
    else if (const ReferenceInfo* r = table.FindReference(name))
      items.push_back({name, nullptr, r});
  }
  for (const auto& r : table.references)
    if (r->def->list) items.push_back({r->def->name, nullptr, r.get()});
  return items;
}

// Names of the field orders of the table and the tables it extends, nearest first, each once.
std::vector<std::string> OrderedNames(const TableInfo& table) {
  std::vector<std::string> names;
  for (const TableInfo* t = &table; t; t = t->base)
    for (const std::string& part : text::Split(t->def->FieldOrder, ',')) {
      std::string name(text::Trim(part));
      if (name.empty()) continue;
      auto same = [&](const std::string& n) { return text::EqualNoCase(n, name); };
      if (std::none_of(names.begin(), names.end(), same)) names.push_back(std::move(name));
    }
  return names;
}

std::vector<PanelItem> OrderedItems(const TableInfo& table) {
  std::vector<PanelItem> declared = DeclaredItems(table);
  std::vector<PanelItem> ordered;
  for (const std::string& name : OrderedNames(table)) {
    auto it = std::find_if(declared.begin(), declared.end(),
                           [&](const PanelItem& i) { return text::EqualNoCase(i.name, name); });
    // A name of a conditional item not declared this time is simply absent.
    if (it == declared.end()) continue;
    ordered.push_back(*it);
    declared.erase(it);
  }
  ordered.insert(ordered.end(), declared.begin(), declared.end());
  return ordered;
}

bool Hidden(const PanelItem& item) {
  return item.field ? IsHidden(*item.field, View::Panel)
                    : IsHidden(*item.reference->def, View::Panel);
}

bool ReadOnly(const PanelItem& item) {
  return item.field ? IsReadOnly(*item.field, View::Panel)
                    : IsReadOnly(*item.reference->def, View::Panel);
}

}  // namespace

const std::string& PanelItem::group() const {
  if (field) return field->group;
  return reference ? reference->def->group : kNoText;
}

const std::string& PanelItem::description() const {
  if (field) return field->description;
  return reference ? reference->def->description : kNoText;
}

std::vector<PanelGroup> PanelLayout(const TableInfo& table) {
  std::vector<PanelGroup> groups{PanelGroup{}};
  for (PanelItem& item : OrderedItems(table)) {
    if (Hidden(item)) continue;
    item.readOnly = ReadOnly(item);
    auto it = std::find_if(groups.begin(), groups.end(), [&](const PanelGroup& g) {
      return text::EqualNoCase(g.name, item.group());
    });
    if (it == groups.end()) it = groups.insert(groups.end(), PanelGroup{item.group(), {}});
    it->items.push_back(std::move(item));
  }
  return groups;
}

std::vector<std::string> PresentationOrder(const TableInfo& table) {
  std::vector<std::string> names;
  for (const PanelItem& item : OrderedItems(table)) names.push_back(item.name);
  return names;
}

}  // namespace tillbook::engine::ui
