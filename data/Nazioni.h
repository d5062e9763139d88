// The table `Nazioni`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Nazioni : public TableClass {
 public:
  explicit Nazioni(const TableSwitches& s) : TableClass("Nazioni", s) {
    Protect({"Descrizione", "Italia"});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
