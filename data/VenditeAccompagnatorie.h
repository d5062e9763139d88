// The table `VenditeAccompagnatorie`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class VenditeAccompagnatorie : public DocumentHeaderTable {
 public:
  explicit VenditeAccompagnatorie(const TableSwitches& s)
      : DocumentHeaderTable("VenditeAccompagnatorie", s, DocumentKind::Sale) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
