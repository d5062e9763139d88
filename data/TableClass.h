// Common ground of the table classes: each is named after its table, reads the configuration
// switches in force when the archive is defined (they decide its conditional items), and is its
// own event-hook object.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "base/variant.h"

#include "engine/connection.h"
#include "engine/definition.h"
#include "engine/interfaces.h"

namespace tillbook::data {

// Configuration switches that change which tables and items the archive has, with the
// defaults of a new installation.
struct TableSwitches {
  bool EnableGenericLabel = false;
  bool Use_Zone = false;
  bool Use_Agenti = false;
  bool Use_Ordini = true;
  bool Use_AdvancedMigrationExport = false;
  bool Use_Valuta = false;
  bool Use_NoMagazzino = true;
};

// Short spellings for default-row values.
inline Variant Text(std::string s) { return Variant::String(std::move(s)); }
inline Variant Int(int32_t v) { return Variant::Long(v); }
inline Variant Num(double v) { return Variant::Double(v); }
inline Variant Flag(bool v) { return Variant::Boolean(v); }
Variant Amount(std::string_view decimal);  // "1.50" -> Currency, exactly

class TableClass : public engine::itfDefTable, public engine::itfSetData {
 public:
  TableClass(std::string name, const TableSwitches& switches)
      : name_(std::move(name)), switches_(switches) {}

  std::string TableName() const override { return name_; }
  engine::itfSetData* itfDefTable_DefineDefaultData() override { return this; }
  // Most tables have no rows of their own and nothing to upgrade.
  void itfSetData_OnUpdatedTableStruct(engine::Table&, engine::Connection&, double,
                                       bool) override {}

 protected:
  const TableSwitches& switches() const { return switches_; }
  // Adds each row (field/value pairs) to the table; used by structure hooks for default rows.
  static void AddRows(engine::Table& table, std::initializer_list<engine::FieldValues> rows);
  // Row id of the first row of `table` whose `field` equals `value` (to point a default row's
  // reference at another default row); throws Error when there is none.
  static Variant RowId(engine::Connection& connection, std::string_view table,
                       std::string_view field, const Variant& value);

 private:
  std::string name_;
  TableSwitches switches_;
};

}  // namespace tillbook::data
