// The table `OrdiniClienti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class OrdiniClienti : public TableClass {
 public:
  explicit OrdiniClienti(const TableSwitches& s) : TableClass("OrdiniClienti", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
