// The table `CodiciCorrelati`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class CodiciCorrelati : public TableClass {
 public:
  explicit CodiciCorrelati(const TableSwitches& s) : TableClass("CodiciCorrelati", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
