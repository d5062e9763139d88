// The table `OrdiniClienti`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class OrdiniClienti : public DocumentHeaderTable {
 public:
  explicit OrdiniClienti(const TableSwitches& s) : DocumentHeaderTable("OrdiniClienti", s, DocumentKind::CustomerOrder) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
};

}  // namespace tillbook::data
