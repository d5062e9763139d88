// DB: the program's table list. Defines one instance of each table class, in the order the
// engine creates and checks them; optional groups of tables follow the configuration switches
// read at start-up.
#pragma once

#include "engine/interfaces.h"

namespace tillbook::data {

// The configuration switches that change which tables the archive has.
struct TableSwitches {
  bool EnableGenericLabel = true;
  bool Use_Zone = true;
  bool Use_Agenti = true;
  bool Use_Ordini = true;
  bool Use_AdvancedMigrationExport = true;
};

class DB : public engine::itfDefDatabase {
 public:
  explicit DB(TableSwitches switches = {}) : switches_(switches) {}
  void itfDefDatabase_Define(engine::DatabaseDef& database) override;

 private:
  TableSwitches switches_;
};

}  // namespace tillbook::data
