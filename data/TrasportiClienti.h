// The table `TrasportiClienti`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class TrasportiClienti : public DocumentHeaderTable {
 public:
  explicit TrasportiClienti(const TableSwitches& s) : DocumentHeaderTable("TrasportiClienti", s, DocumentKind::CustomerTransport) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;
};

}  // namespace tillbook::data
