// The table `Articoli`.
#pragma once

#include "data/TableClass.h"

namespace tillbook::data {

class Articoli : public TableClass {
 public:
  explicit Articoli(const TableSwitches& s) : TableClass("Articoli", s) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                      const Variant& newValue, engine::HookReply& reply) override;
  void itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) override;
  // The price rules: markup, sale price and final price follow one another and the costs; the
  // final quantity follows the stock and the order quantities.
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
};

}  // namespace tillbook::data
