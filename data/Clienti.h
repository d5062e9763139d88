// The table `Clienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Clienti : public TableClass {
 public:
  explicit Clienti(const TableSwitches& s) : TableClass("Clienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
