// A catalogue held in memory and filled by a builder: the tests' stand-in for the record
// engine's table definitions, with the engine's default storage layout.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/jet/catalog.h"

namespace tillbook::jet {

class MemoryCatalog : public Catalog {
 public:
  class TableBuilder {
   public:
    explicit TableBuilder(TableInfo& table) : table_(table) {}
    TableBuilder& Extends(std::string base, bool linkToBase = true);
    TableBuilder& Field(std::string name, int typeCode, bool nullable = false);
    // Several fields at once: "Name:code" items separated by commas, '?' after the code marks
    // a nullable field ("Data:17,DataScadenza:17?"), '!' a secret one ("Password:0!").
    TableBuilder& Fields(std::string_view list);
    // shown: comma list as declared (empty items are dropped).
    TableBuilder& Ref(std::string name, std::string target, RefKind kind = RefKind::Single,
                      std::string keyField = {}, std::string_view shown = {});

   private:
    TableInfo& table_;
  };

  // Adds a table (or returns the builder of the one with that name).
  TableBuilder Table(std::string name);

  const TableInfo* FindTable(std::string_view name) const override;
  std::vector<OwnerInfo> Owners(std::string_view table) const override;
  const std::deque<TableInfo>& tables() const { return tables_; }

 private:
  std::deque<TableInfo> tables_;  // deque: pointers handed out stay valid as tables are added
};

}  // namespace tillbook::jet
