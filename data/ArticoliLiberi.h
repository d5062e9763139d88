// The table `ArticoliLiberi`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class ArticoliLiberi : public TableClass {
 public:
  explicit ArticoliLiberi(const TableSwitches& s) : TableClass("ArticoliLiberi", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
};

}  // namespace tillbook::data
