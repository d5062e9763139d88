// The table `ZoneGeografiche`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class ZoneGeografiche : public TableClass {
 public:
  explicit ZoneGeografiche(const TableSwitches& s) : TableClass("ZoneGeografiche", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
