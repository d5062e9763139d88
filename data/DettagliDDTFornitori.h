// The table `DettagliDDTFornitori`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliDDTFornitori : public DocumentRowTable {
 public:
  explicit DettagliDDTFornitori(const TableSwitches& s) : DocumentRowTable("DettagliDDTFornitori", s, DocumentKind::SupplierTransport, false) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
