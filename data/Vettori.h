// The table `Vettori`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Vettori : public TableClass {
 public:
  explicit Vettori(const TableSwitches& s) : TableClass("Vettori", s) { Protect({"Codice", ""}); }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
