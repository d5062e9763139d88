// The table `Agenti`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Agenti : public TableClass {
 public:
  explicit Agenti(const TableSwitches& s) : TableClass("Agenti", s) {
    Protect({"Codice", "00", false,
             std::string(kNotChangeable) + "\nGli altri campi sono modificabili."});
  }
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
