// The table `DettagliFornitureLib`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliFornitureLib : public DocumentRowTable {
 public:
  explicit DettagliFornitureLib(const TableSwitches& s) : DocumentRowTable("DettagliFornitureLib", s, DocumentKind::Load, true) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
