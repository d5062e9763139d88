// The table `EsenzioniIva`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class EsenzioniIva : public TableClass {
 public:
  explicit EsenzioniIva(const TableSwitches& s) : TableClass("EsenzioniIva", s) {
    Protect({"Causale", "", false, kNotChangeable, true});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
