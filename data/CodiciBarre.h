// The table `CodiciBarre`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class CodiciBarre : public TableClass {
 public:
  explicit CodiciBarre(const TableSwitches& s) : TableClass("CodiciBarre", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
