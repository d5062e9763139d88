// The table `DettagliDDTFornitoriLib`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliDDTFornitoriLib : public DocumentRowTable {
 public:
  explicit DettagliDDTFornitoriLib(const TableSwitches& s)
      : DocumentRowTable("DettagliDDTFornitoriLib", s, DocumentKind::SupplierTransport, true) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
