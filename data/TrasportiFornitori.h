// The table `TrasportiFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TrasportiFornitori : public TableClass {
 public:
  explicit TrasportiFornitori(const TableSwitches& s) : TableClass("TrasportiFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
};

}  // namespace tillbook::data
