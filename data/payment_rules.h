// The table classes of payments and their instalments, on both sides (customer payments and
// supplier purchases are twins). A payment keeps its instalments, the amount still to be paid,
// its settled state, its customer's or supplier's running total and its cash-book movement in
// step with every change; an instalment keeps its payment's open amount and its own movements,
// and on the customer side follows unpaid instalments with new ones ("insoluti").
//
// A row waiting for its first save (a new row of a data panel or a script) counts nowhere until it
// is stored: its running total, its movement and its share of the open amount arrive at the save.
#pragma once

#include <string_view>

#include "data/TableClass.h"

namespace tillbook::data {

// What tells the two sides apart.
struct PaymentSide {
  std::string_view header;       // the payment table
  std::string_view instalments;  // its instalment table
  std::string_view party;        // the reference to the customer or supplier
  std::string_view partyTable;   // "Clienti" / "Fornitori"
  std::string_view total;        // the party's running total of its payments
  std::string_view document;     // the document table owning a payment through "Pagamento"
  int movementType;              // the cash-book entry type of a positive amount
  bool tracksUnpaid;             // unpaid instalments and their follow-ups
};
const PaymentSide& CustomerPaymentSide();
const PaymentSide& SupplierPaymentSide();

inline constexpr const char* kUnpaidMark = "[INSOLUTO]";

class PaymentTable : public TableClass {
 public:
  PaymentTable(std::string name, const TableSwitches& s, const PaymentSide& side)
      : TableClass(std::move(name), s), side_(side) {}

  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
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
  void itfSetData_OnSelectReference(engine::Row& row, std::string_view reference,
                                    std::string& filter) override;

 private:
  const PaymentSide& side_;
};

class InstalmentTable : public TableClass {
 public:
  InstalmentTable(std::string name, const TableSwitches& s, const PaymentSide& side)
      : TableClass(std::move(name), s), side_(side) {}

  void itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection& connection,
                                       double storedVersion, bool created) override;
  void itfSetData_OnNewRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                      const Variant& newValue, engine::HookReply& reply) override;
  void itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                engine::HookReply& reply) override;
  void itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnSelect(engine::SelectRequest& request) override;

 private:
  const PaymentSide& side_;
};

}  // namespace tillbook::data
