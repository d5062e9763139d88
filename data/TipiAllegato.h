// The table `TipiAllegato`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TipiAllegato : public TableClass {
 public:
  explicit TipiAllegato(const TableSwitches& s) : TableClass("TipiAllegato", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
