// The table `DettagliDDTClienti`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliDDTClienti : public DocumentRowTable {
 public:
  explicit DettagliDDTClienti(const TableSwitches& s) : DocumentRowTable("DettagliDDTClienti", s, DocumentKind::CustomerTransport, false) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
