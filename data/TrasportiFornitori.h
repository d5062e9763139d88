// The table `TrasportiFornitori`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class TrasportiFornitori : public DocumentHeaderTable {
 public:
  explicit TrasportiFornitori(const TableSwitches& s) : DocumentHeaderTable("TrasportiFornitori", s, DocumentKind::SupplierTransport) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
};

}  // namespace tillbook::data
