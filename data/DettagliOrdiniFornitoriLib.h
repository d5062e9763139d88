// The table `DettagliOrdiniFornitoriLib`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliOrdiniFornitoriLib : public DocumentRowTable {
 public:
  explicit DettagliOrdiniFornitoriLib(const TableSwitches& s)
      : DocumentRowTable("DettagliOrdiniFornitoriLib", s, DocumentKind::SupplierOrder, true) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
