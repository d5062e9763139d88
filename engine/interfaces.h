// The interfaces through which the program's table classes speak to the record engine: the table
// list (itfDefDatabase), each table's definition (itfDefTable) and its event hooks (itfSetData),
// plus the progress sink of long structure updates (itfProgress). Member names keep the
// interface prefix so a table class reads as the list of interfaces it implements.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"

namespace tillbook::engine {

class Connection;
class DatabaseDef;
class HookReply;
class Row;
class Table;
class TableDef;
class UiServices;
struct SelectRequest;

// Event hooks of a table. Every member has an empty default: most tables act on few events.
// A hook refuses a change with reply.Refuse(message) and asks with reply.Ask(question) (No
// cancels); an exception thrown by a hook cancels the change and reaches the caller.
class itfSetData {
 public:
  virtual ~itfSetData() = default;

  // After the engine created (created = true) or found an older version of the table;
  // storedVersion is 0 for a new table. Writes default rows and upgrades older data.
  virtual void itfSetData_OnUpdatedTableStruct(Table& table, Connection& connection,
                                               double storedVersion, bool created) {}
  // A new row, before it is stored: default values.
  virtual void itfSetData_OnNewRow(Row& row, HookReply& reply) {}
  // The row is being saved.
  virtual void itfSetData_OnUpdateRow(Row& row, HookReply& reply) {}
  // The row is about to be deleted.
  virtual void itfSetData_OnDeleteRow(Row& row, HookReply& reply) {}
  // After `field` changed.
  virtual void itfSetData_OnUpdateField(Row& row, std::string_view field, HookReply& reply) {}
  // Before `field` changes to newValue; the row still holds the old value.
  virtual void itfSetData_OnBeforeUpdateField(Row& row, std::string_view field,
                                              const Variant& newValue, HookReply& reply) {}
  // After single reference `reference` changed; `referenced` is the new row (null when cleared).
  virtual void itfSetData_OnUpdateReference(Row& row, std::string_view reference,
                                            const Row* referenced, HookReply& reply) {}
  // Before single reference `reference` changes to `referenced` (null when cleared); the row
  // still points at the old one.
  virtual void itfSetData_OnBeforeUpdateReference(Row& row, std::string_view reference,
                                                  const Row* referenced, HookReply& reply) {}
  // A data set of this table's rows is opened as the children of `parent`.
  virtual void itfSetData_OnSelectParent(SelectRequest& request, const Row& parent) {}
  // A data set of this table is being opened: may set its default order.
  virtual void itfSetData_OnSelect(SelectRequest& request) {}
  // The person is choosing the row of `reference`: may narrow the choice with a filter.
  virtual void itfSetData_OnSelectReference(Row& row, std::string_view reference,
                                            std::string& filter) {}
  // A row of the referenced table was created through `reference` of `row`.
  virtual void itfSetData_OnNewReference(Row& row, std::string_view reference, Row& newRow) {}
  // A child row was attached to its parent (owner).
  virtual void itfSetData_OnSetParent(Row& child, const Row& parent) {}
};

// A table class: named after its table, it declares the table when the engine asks.
class itfDefTable {
 public:
  virtual ~itfDefTable() = default;
  virtual std::string TableName() const = 0;
  virtual void itfDefTable_DefineIdentity(TableDef& def) = 0;
  virtual void itfDefTable_DefineStructure(TableDef& def) = 0;
  // The table's event hooks (usually the table class itself).
  virtual itfSetData* itfDefTable_DefineDefaultData() = 0;
};

// The program's table list.
class itfDefDatabase {
 public:
  virtual ~itfDefDatabase() = default;
  // Adds one table class per table, in the order the engine creates and checks them.
  virtual void itfDefDatabase_Define(DatabaseDef& database) = 0;
};

// Progress of a structure update (one step per table).
class itfProgress {
 public:
  virtual ~itfProgress() = default;
  virtual void itfProgress_OnStart(std::string_view text, int total) {}
  virtual void itfProgress_OnProgress(int done, std::string_view text) {}
  virtual bool itfProgress_OnStopped() { return false; }
  virtual void itfProgress_OnEnd() {}
};

// The table list being defined.
class DatabaseDef {
 public:
  void Add(std::unique_ptr<itfDefTable> table) { tables_.push_back(std::move(table)); }
  std::vector<std::unique_ptr<itfDefTable>>& tables() { return tables_; }

 private:
  std::vector<std::unique_ptr<itfDefTable>> tables_;
};

// How a hook answers the engine: refuse the change, or ask the person and go on only on Yes.
class HookReply {
 public:
  explicit HookReply(UiServices& ui) : ui_(ui) {}

  // Shows `message` and cancels the change.
  void Refuse(std::string_view message);
  // Asks a Yes/No question; No cancels the change and returns false.
  bool Ask(std::string_view question, std::string_view title = {});
  bool cancelled() const { return cancelled_; }
  UiServices& ui() { return ui_; }

 private:
  UiServices& ui_;
  bool cancelled_ = false;
};

// A data set about to be opened; OnSelect may set the default order.
struct SelectRequest {
  std::string table;
  std::string filter;
  std::string fields;
  std::string sort;
};

}  // namespace tillbook::engine
