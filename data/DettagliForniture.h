// The table `DettagliForniture`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliForniture : public DocumentRowTable {
 public:
  explicit DettagliForniture(const TableSwitches& s) : DocumentRowTable("DettagliForniture", s, DocumentKind::Load, false) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
