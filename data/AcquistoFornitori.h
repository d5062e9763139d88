// The table `AcquistoFornitori`.
#pragma once

#include "data/payment_rules.h"

namespace tillbook::data {

class AcquistoFornitori : public PaymentTable {
 public:
  explicit AcquistoFornitori(const TableSwitches& s)
      : PaymentTable("AcquistoFornitori", s, SupplierPaymentSide()) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
