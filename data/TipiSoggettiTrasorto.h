// The table `TipiSoggettiTrasorto`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TipiSoggettiTrasorto : public TableClass {
 public:
  explicit TipiSoggettiTrasorto(const TableSwitches& s) : TableClass("TipiSoggettiTrasorto", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
