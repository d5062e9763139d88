// The table `DettagliAcquistoFornitori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliAcquistoFornitori : public TableClass {
 public:
  explicit DettagliAcquistoFornitori(const TableSwitches& s)
      : TableClass("DettagliAcquistoFornitori", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
