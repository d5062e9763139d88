// The table `PrimaNota`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class PrimaNota : public TableClass {
 public:
  explicit PrimaNota(const TableSwitches& s) : TableClass("PrimaNota", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  // Movements are positive: the sign lives in "ImportoDareAvere", which follows "Tipo".
  void itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                      const Variant& newValue, engine::HookReply& reply) override;
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
};

}  // namespace tillbook::data
