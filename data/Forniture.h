// The table `Forniture`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Forniture : public TableClass {
 public:
  explicit Forniture(const TableSwitches& s) : TableClass("Forniture", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
