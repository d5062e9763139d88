// The table `DettagliOrdiniClienti`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class DettagliOrdiniClienti : public DocumentRowTable {
 public:
  explicit DettagliOrdiniClienti(const TableSwitches& s) : DocumentRowTable("DettagliOrdiniClienti", s, DocumentKind::CustomerOrder, false) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
