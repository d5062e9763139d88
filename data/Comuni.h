// The table `Comuni`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Comuni : public TableClass {
 public:
  explicit Comuni(const TableSwitches& s) : TableClass("Comuni", s) {
    Protect({"Descrizione", "", false, kNotChangeable, true});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
