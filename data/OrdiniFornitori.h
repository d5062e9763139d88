// The table `OrdiniFornitori`.
#pragma once

#include "data/document_rules.h"

namespace tillbook::data {

class OrdiniFornitori : public DocumentHeaderTable {
 public:
  explicit OrdiniFornitori(const TableSwitches& s) : DocumentHeaderTable("OrdiniFornitori", s, DocumentKind::SupplierOrder) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;
};

}  // namespace tillbook::data
