// The table `DettagliOrdiniClienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class DettagliOrdiniClienti : public TableClass {
 public:
  explicit DettagliOrdiniClienti(const TableSwitches& s) : TableClass("DettagliOrdiniClienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
