// DB: the program's table list. Defines one instance of each table class, in the order the
// engine creates and checks them (child tables before the tables owning them, bases before the
// tables extending them); optional groups of tables follow the configuration switches.
#pragma once

#include "data/TableClass.h"
#include "engine/interfaces.h"

namespace tillbook::data {

class DB : public engine::itfDefDatabase {
 public:
  explicit DB(TableSwitches switches = {}) : switches_(switches) {}
  void itfDefDatabase_Define(engine::DatabaseDef& database) override;

 private:
  TableSwitches switches_;
};

}  // namespace tillbook::data
