// The table `DettagliOrdiniClientiLib`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliOrdiniClientiLib : public DocumentRowTable {
 public:
  explicit DettagliOrdiniClientiLib(const TableSwitches& s)
      : DocumentRowTable("DettagliOrdiniClientiLib", s, DocumentKind::CustomerOrder, true) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
