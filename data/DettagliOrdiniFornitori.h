// The table `DettagliOrdiniFornitori`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliOrdiniFornitori : public DocumentRowTable {
 public:
  explicit DettagliOrdiniFornitori(const TableSwitches& s)
      : DocumentRowTable("DettagliOrdiniFornitori", s, DocumentKind::SupplierOrder, false) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
