// Common ground of the table classes: each is named after its table, reads the configuration
// switches in force when the archive is defined (they decide its conditional items), and is its
// own event-hook object.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "base/variant.h"
#include "core/configuration.h"

#include "engine/connection.h"
#include "engine/definition.h"
#include "engine/interfaces.h"

namespace tillbook::data {

// Configuration switches that change which tables and items the archive has, with the
// defaults of a new installation, and the settings the defaults of new rows read.
struct TableSwitches {
  bool EnableGenericLabel = false;
  bool Use_Zone = false;
  bool Use_Agenti = false;
  bool Use_Ordini = true;
  bool Use_AdvancedMigrationExport = false;
  bool Use_Valuta = false;
  bool Use_NoMagazzino = true;

  // Configuration the defaults of new rows read (not part of the archive's layout): the digits
  // of the progressive codes of customers/suppliers and of articles (0: no automatic code), and
  // the codes of the default unit and VAT code of a new article (empty: none).
  int ProgrLen_ClientiForn = 0;
  int ProgrLen_Articoli = 0;
  std::string Default_UnitaMisura;
  std::string Default_CodiceIVA;

  // The program's options the calculations of the hooks read (rounding, the default VAT code of
  // the charges, the price limit of a row, the order quantities switch).
  core::Configuration config;
};

inline constexpr const char* kNotChangeable = "Non è possibile modificare questo elemento";
inline constexpr const char* kNotDeletable = "Non è possibile eliminare questo elemento";

// Which document types a document may choose.
enum class DocumentScope { Sale, Load, Other };

// The filter of the rows a document may choose for `reference`: enabled document types of its
// scope ("Ambito" 0 all, 1 sale only, 2 purchase only, 3 receipt only) and enabled reasons;
// empty for any other reference.
std::string DocumentChoiceFilter(std::string_view reference, DocumentScope scope);

// A row the archive relies on, recognised by the value of its key field: the empty placeholder
// row that stands for "none", or a named row such as the base price list.
struct ProtectedRow {
  std::string key;
  std::string value;  // empty: the placeholder row (key field empty)
  // What changing it refuses: its key field only, or every field.
  bool everyField = false;
  std::string changeMessage = kNotChangeable;
  // Saving the row is refused too, so that no path stores it changed.
  bool atSave = false;
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
  // Protected rows: these refuse what their protections forbid. A table class overriding them
  // calls them first and stops when the reply is cancelled.
  void itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                      const Variant& newValue, engine::HookReply& reply) override;
  void itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) override;
  void itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) override;

 protected:
  const TableSwitches& switches() const { return switches_; }
  void Protect(ProtectedRow row) { protected_.push_back(std::move(row)); }
  // The protection covering `row`, when it is one of the protected rows (never while it is
  // being created).
  const ProtectedRow* ProtectionOf(const engine::Row& row) const;
  // Today's date, from the program's clock.
  static DateTime Today();
  // True when the row's table has the field or single reference `name`.
  static bool Has(const engine::Row& row, std::string_view name);
  // Row id of the first row of `table` whose `field` equals `value`; 0 when there is none.
  static int64_t FirstOid(engine::Connection& connection, std::string_view table,
                          std::string_view field, const Variant& value);
  // The code after the highest code of `table` made of exactly `digits` digits, zero-padded:
  // "00001" for a table without such codes.
  static std::string NextCode(engine::Connection& connection, std::string_view table, int digits);
  // "QuantitàFinale" of an article or free article = stock - customer orders + supplier orders,
  // after one of the three changed, when the shop keeps orders.
  void KeepFinalQuantity(engine::Row& row, std::string_view field) const;
  // Sets every field of the row to its type's empty value (empty text, 0, false); dates stay
  // unset.
  static void SetEmptyFields(engine::Row& row);
  // Defaults a new document header shares: today's date, flags off, empty texts, the sale
  // reason and the logged-in operator; each only where the document has the field.
  static void SetDocumentDefaults(engine::Row& row);
  // Defaults of a new customer or supplier: no discount, the placeholder bank and payment type,
  // the next progressive code when codes are numbered, the base price list, agent "00".
  static void SetSubjectDefaults(engine::Row& row, const TableSwitches& settings);
  // Defaults of a new document row: no discount, no reference text.
  static void SetDocumentRowDefaults(engine::Row& row);
  // A document row is VAT-exempt as its document is.
  static void TakeDocumentExemption(engine::Row& row, const engine::Row& document);
  // Adds each row (field/value pairs) to the table; used by structure hooks for default rows.
  static void AddRows(engine::Table& table, std::initializer_list<engine::FieldValues> rows);
  // Row id of the first row of `table` whose `field` equals `value` (to point a default row's
  // reference at another default row); throws Error when there is none.
  static Variant RowId(engine::Connection& connection, std::string_view table,
                       std::string_view field, const Variant& value);

 private:
  std::string name_;
  TableSwitches switches_;
  std::vector<ProtectedRow> protected_;
};

}  // namespace tillbook::data
