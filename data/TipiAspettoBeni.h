// The table `TipiAspettoBeni`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TipiAspettoBeni : public TableClass {
 public:
  explicit TipiAspettoBeni(const TableSwitches& s) : TableClass("TipiAspettoBeni", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
