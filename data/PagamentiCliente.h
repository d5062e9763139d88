// The table `PagamentiCliente`.
#pragma once

#include "data/payment_rules.h"

namespace tillbook::data {

class PagamentiCliente : public PaymentTable {
 public:
  explicit PagamentiCliente(const TableSwitches& s)
      : PaymentTable("PagamentiCliente", s, CustomerPaymentSide()) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
