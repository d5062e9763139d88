// The table `DettagliDDTClientiLib`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliDDTClientiLib : public DocumentRowTable {
 public:
  explicit DettagliDDTClientiLib(const TableSwitches& s) : DocumentRowTable("DettagliDDTClientiLib", s, DocumentKind::CustomerTransport, true) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
