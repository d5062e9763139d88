// The plan of a data panel, read from a table's compiled definition: which items it shows, in
// which order, in which group, and which of them the person may change. Qt-free, so the rules
// are tested without windows and the panel only turns the plan into widgets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tillbook::engine {
struct FieldDef;
struct ReferenceInfo;
struct TableInfo;
}  // namespace tillbook::engine

namespace tillbook::engine::ui {

struct PanelItem {
  std::string name;
  const FieldDef* field = nullptr;           // a field, or
  const ReferenceInfo* reference = nullptr;  // a reference (single or list)
  bool readOnly = false;
  const std::string& group() const;
  const std::string& description() const;
};

struct PanelGroup {
  std::string name;  // empty: the main group
  std::vector<PanelItem> items;
};

// The items of `table` (its own and those of the tables it extends) the panel shows: first the
// names of the table's field order, then those of the tables it extends (nearest first), then
// the rest in declaration order, base tables first. Items hidden from the panel are left out.
// Groups come in the order their first item does, the main group always first (and present,
// possibly empty, so the panel always has its first page).
std::vector<PanelGroup> PanelLayout(const TableInfo& table);

// The same order as one flat list of names, hidden items included (for tests and the order of
// focus).
std::vector<std::string> PresentationOrder(const TableInfo& table);

}  // namespace tillbook::engine::ui
