// The table `OrdiniClienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class OrdiniClienti : public TableClass {
 public:
  explicit OrdiniClienti(const TableSwitches& s) : TableClass("OrdiniClienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
};

}  // namespace tillbook::data
