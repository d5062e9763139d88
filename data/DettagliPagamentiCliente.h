// The table `DettagliPagamentiCliente`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliPagamentiCliente : public TableClass {
 public:
  explicit DettagliPagamentiCliente(const TableSwitches& s)
      : TableClass("DettagliPagamentiCliente", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
