// The table `EsportazioneTabelle`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class EsportazioneTabelle : public TableClass {
 public:
  explicit EsportazioneTabelle(const TableSwitches& s) : TableClass("EsportazioneTabelle", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
