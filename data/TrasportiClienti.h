// The table `TrasportiClienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TrasportiClienti : public TableClass {
 public:
  explicit TrasportiClienti(const TableSwitches& s) : TableClass("TrasportiClienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
