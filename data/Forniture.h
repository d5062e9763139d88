// The table `Forniture`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Forniture : public TableClass {
 public:
  explicit Forniture(const TableSwitches& s) : TableClass("Forniture", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
