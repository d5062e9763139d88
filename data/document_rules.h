// The table classes every commercial document builds on. A header keeps its totals in step with
// its rows and charges, spreads a load's charges, and follows the documents associated with it
// (fulfilment of orders and transport documents). A row keeps its own amounts, VAT and final
// price in step with its quantity and prices, and moves its contribution in the header totals,
// in its article's stock and totals and in the per-supplier data as its values change.
//
// Contributions are incremental: before a field changes the hook takes the difference the change
// makes and applies it to the rows that count it. A row waiting for its first save (a new row of
// a data panel or a script) counts nowhere until it is stored, so a row given up is never
// counted; when stored it adds all it counts at once.
#pragma once

#include <string>
#include <string_view>

#include "data/TableClass.h"
#include "data/document_kinds.h"

namespace tillbook::data {

class DocumentHeaderTable : public TableClass {
 public:
  DocumentHeaderTable(std::string name, const TableSwitches& s, DocumentKind kind)
      : TableClass(std::move(name), s), info_(InfoOf(kind)) {}

  const DocumentInfo& info() const { return info_; }

  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                      const Variant& newValue, engine::HookReply& reply) override;
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
  void itfSetData_OnBeforeUpdateReference(engine::Row& row, std::string_view reference,
                                          const engine::Row* referenced,
                                          engine::HookReply& reply) override;
  void itfSetData_OnUpdateReference(engine::Row& row, std::string_view reference,
                                    const engine::Row* referenced,
                                    engine::HookReply& reply) override;
  void itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) override;

 private:
  const DocumentInfo& info_;
};

class DocumentRowTable : public TableClass {
 public:
  DocumentRowTable(std::string name, const TableSwitches& s, DocumentKind kind, bool freeRows)
      : TableClass(std::move(name), s), info_(InfoOf(kind)), freeRows_(freeRows) {}

  const DocumentInfo& info() const { return info_; }

  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSetParent(engine::Row& child, const engine::Row& parent) override;
  void itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                      const Variant& newValue, engine::HookReply& reply) override;
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
  void itfSetData_OnUpdateReference(engine::Row& row, std::string_view reference,
                                    const engine::Row* referenced,
                                    engine::HookReply& reply) override;
  void itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) override;

 private:
  void CustomerRules(engine::Row& row, std::string_view field, engine::HookReply& reply);
  void SupplierRules(engine::Row& row, std::string_view field);
  void VatRules(engine::Row& row, std::string_view field);

  const DocumentInfo& info_;
  bool freeRows_;
};

}  // namespace tillbook::data
