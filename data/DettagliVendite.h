// The table `DettagliVendite`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliVendite : public DocumentRowTable {
 public:
  explicit DettagliVendite(const TableSwitches& s) : DocumentRowTable("DettagliVendite", s, DocumentKind::Sale, false) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
