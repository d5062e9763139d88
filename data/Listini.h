// The table `Listini`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Listini : public TableClass {
 public:
  explicit Listini(const TableSwitches& s) : TableClass("Listini", s) {
    Protect({"Descrizione", "< BASE >", true, "Non puoi modificare il listino di base."});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
