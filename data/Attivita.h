// The table `Attività`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Attività : public TableClass {
 public:
  explicit Attività(const TableSwitches& s) : TableClass("Attività", s) {
    Protect({"Descrizione", "", false, kNotChangeable, true});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
