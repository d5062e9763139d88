// The table `TipiPagamento`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class TipiPagamento : public TableClass {
 public:
  explicit TipiPagamento(const TableSwitches& s) : TableClass("TipiPagamento", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
};

}  // namespace tillbook::data
