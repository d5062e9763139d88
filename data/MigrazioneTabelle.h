// The table `MigrazioneTabelle`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class MigrazioneTabelle : public TableClass {
 public:
  explicit MigrazioneTabelle(const TableSwitches& s) : TableClass("MigrazioneTabelle", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
