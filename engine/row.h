// Row: a handle on one stored row of a table. Handles are cheap to copy; every handle on the same
// row shares one copy of its values, so a change made through one (by a hook, say) is seen by
// all. Every change is an action: it runs the table's hooks, and a refusal, a No or an error
// leaves every row it touched as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"

namespace tillbook::engine {

class Connection;
struct TableInfo;
struct ReferenceInfo;
namespace internal {
struct RowState;
class Session;
}  // namespace internal

class Row {
 public:
  Row(internal::Session& session, std::shared_ptr<internal::RowState> state);

  const std::string& TableName() const;
  const TableInfo& table() const;
  // Row identifier; a new row has it from the start, before it is stored.
  int64_t Oid() const;
  // True for a row started by a person or a script (Connection::NewRow, a held list row) that
  // waits for its save: it is not in the archive yet and no unique key has been checked.
  bool IsPending() const;
  // Saves a pending row (see Save); true when the row is stored or was not pending. Adding a
  // child row, linking the row or pointing a reference at it call this, since they need it.
  bool EnsureStored();
  // Forgets a pending row without storing it (Cancel in a data panel); no hook runs.
  void Discard();
  // False once the row was deleted (or its creation undone).
  bool IsValid() const;
  // True while the action that creates the row runs (its OnNewRow and first values), and while
  // a new row waits for its save: its fields are still being given, not changed.
  bool IsCreating() const;

  // Value of a field (or of the link column "OID_x" of a single reference). Throws Error for an
  // unknown name.
  Variant Get(std::string_view field) const;
  bool IsEmpty(std::string_view field) const;  // Null, empty text or zero
  // Changes a field: OnBeforeUpdateField, the change, OnUpdateField. Returns false when a hook
  // refused or the person answered No (nothing changed). Setting the value it already has does
  // nothing and returns true. The value is converted to the field's type.
  // On a row copying a base row (a document's article row), writing the base field its owner's
  // list picks rows by (the article code) points the row at the base row with that value and
  // copies the base row's fields in, each through Set; a value matching no base row, or several
  // that the row's own copies of the rest of the base's unique key cannot tell apart, is refused.
  bool Set(std::string_view field, const Variant& value);

  // The row a single reference points at; nullopt when empty.
  std::optional<Row> Reference(std::string_view reference) const;
  int64_t ReferenceOid(std::string_view reference) const;  // 0 when empty
  // Points a single reference at `target` (nullopt clears it): OnBeforeUpdateReference, the
  // change, OnUpdateReference. False when refused.
  bool SetReference(std::string_view reference, const std::optional<Row>& target);
  // Same, by the referenced row's identifier (0 clears).
  bool SetReferenceOid(std::string_view reference, int64_t oid);
  // The filter narrowing the rows the person may choose for `reference` (the table's
  // OnSelectReference); empty: every row.
  std::string SelectionFilter(std::string_view reference);
  // Creates the row an owned single reference points at (OnNewRow of the new row, then
  // OnNewReference of this one) and links it.
  std::optional<Row> NewReferencedRow(std::string_view reference);

  // Rows of a list reference (owned or not), in the order they were added.
  std::vector<Row> List(std::string_view reference) const;
  int64_t ListCount(std::string_view reference) const;
  // A new row in an owned list: OnNewRow and OnSetParent of the child. nullopt when a hook
  // refused. A `held` row waits for its save, as Connection::NewRow's rows do.
  std::optional<Row> AddListRow(std::string_view reference, bool held = false);
  // A new owned row extending a base row with copies (LinkToBase false): the child's copies of
  // the base columns are filled from `baseRow`, then as AddListRow.
  std::optional<Row> AddListRowFrom(std::string_view reference, const Row& baseRow);
  // Links / unlinks an existing row in a list that is not owned. The owner's hooks see it as a
  // change of that reference: linking runs OnBeforeUpdateReference with no row and
  // OnUpdateReference with the row that joined; unlinking runs OnBeforeUpdateReference with the
  // row leaving and OnUpdateReference with none. Linking a row already listed, or unlinking one
  // that is not, does nothing.
  bool AddToList(std::string_view reference, const Row& item);
  bool RemoveFromList(std::string_view reference, const Row& item);

  // The owner of this row when it belongs to a row of `table` (or of a table extending it).
  std::optional<Row> Parent(std::string_view table) const;
  // For a row extending a base with copies: the base row it was made from.
  std::optional<Row> BaseRow() const;
  // The same stored row seen as another table of its inheritance chain (a Clienti row as
  // Soggetti, or back); nullopt when it has no row there.
  std::optional<Row> As(std::string_view table) const;

  // Runs OnUpdateRow and stores pending values; a pending row is stored now, its unique keys
  // checked (an Error when they collide; the row stays pending). False when refused.
  bool Save();
  // Runs OnDeleteRow, deletes the rows it owns (with their hooks) and the row itself. False when
  // refused (nothing deleted).
  bool Delete();

  // Named re-entrancy guards: TryGuard takes the guard and returns true, or returns false when it
  // is already taken. A Guard object releases it when it goes out of scope.
  bool TryGuard(std::string_view name);
  bool IsGuarded(std::string_view name) const;
  void ReleaseGuard(std::string_view name);

  class Guard {
   public:
    Guard(Row& row, std::string_view name);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    explicit operator bool() const { return taken_; }

   private:
    Row& row_;
    std::string name_;
    bool taken_;
  };

  // A named mark left on the row until TakeMark finds it: for a change that matters at a later
  // save (a load's charges changed since it was last saved). Unlike a guard it outlives the
  // computation that set it and the handles on the row.
  void Mark(std::string_view name);
  bool IsMarked(std::string_view name) const;
  bool TakeMark(std::string_view name);
  // The message of the latest refusal a hook showed (empty when the latest cancellation was a
  // No), and forgets it: for callers that report a refusal in their own way.
  static std::string TakeRefusal();

  bool operator==(const Row& other) const { return state_ == other.state_; }
  internal::RowState& state() const { return *state_; }
  const std::shared_ptr<internal::RowState>& statePtr() const { return state_; }
  internal::Session& session() const { return *session_; }
  // The open archive the row belongs to, for hooks that look other rows up.
  Connection& connection() const;

 private:
  bool Relink(const std::string& keyField, const Variant& value);
  bool ListHolds(const ReferenceInfo& list, const Row& item) const;

  internal::Session* session_;
  std::shared_ptr<internal::RowState> state_;
};

}  // namespace tillbook::engine
