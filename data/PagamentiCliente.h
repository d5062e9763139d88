// The table `PagamentiCliente`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class PagamentiCliente : public TableClass {
 public:
  explicit PagamentiCliente(const TableSwitches& s) : TableClass("PagamentiCliente", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
