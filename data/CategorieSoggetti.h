// The table `CategorieSoggetti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class CategorieSoggetti : public TableClass {
 public:
  explicit CategorieSoggetti(const TableSwitches& s) : TableClass("CategorieSoggetti", s) {
    Protect({"Descrizione", ""});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
};

}  // namespace tillbook::data
