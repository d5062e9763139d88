// The table `Reparti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Reparti : public TableClass {
 public:
  explicit Reparti(const TableSwitches& s) : TableClass("Reparti", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnUpdateReference(engine::Row& row, std::string_view reference,
                                    const engine::Row* referenced,
                                    engine::HookReply& reply) override;
};

}  // namespace tillbook::data
