// The table `DettagliPagamentiCliente`.
#pragma once

#include "data/payment_rules.h"

namespace tillbook::data {

class DettagliPagamentiCliente : public InstalmentTable {
 public:
  explicit DettagliPagamentiCliente(const TableSwitches& s)
      : InstalmentTable("DettagliPagamentiCliente", s, CustomerPaymentSide()) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
