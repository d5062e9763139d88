// The table `Valute`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Valute : public TableClass {
 public:
  explicit Valute(const TableSwitches& s) : TableClass("Valute", s) {
    Protect({"Descrizione", "Euro"});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
