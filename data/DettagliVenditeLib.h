// The table `DettagliVenditeLib`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliVenditeLib : public DocumentRowTable {
 public:
  explicit DettagliVenditeLib(const TableSwitches& s) : DocumentRowTable("DettagliVenditeLib", s, DocumentKind::Sale, true) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
