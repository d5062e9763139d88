// The table `DettagliAcquistoFornitori`.
#pragma once

#include "data/payment_rules.h"

namespace tillbook::data {

class DettagliAcquistoFornitori : public InstalmentTable {
 public:
  explicit DettagliAcquistoFornitori(const TableSwitches& s)
      : InstalmentTable("DettagliAcquistoFornitori", s, SupplierPaymentSide()) {}
  void itfDefTable_DefineIdentity(engine::TableDef& d) override;
  void itfDefTable_DefineStructure(engine::TableDef& d) override;
};

}  // namespace tillbook::data
