// The live state of an open archive: rows in memory (one copy per stored row, shared by every
// handle), pending writes, and the stack of actions with their undo records.
//
// Writes are deferred: a field change updates the row in memory and marks it; pending inserts
// and updates reach SQLite at the end of the outermost action, or earlier when something must
// read SQL (a list, a data set, a count). Every action level records the rows it touches, so a
// refusal, a No or an error restores them in memory; SQL writes made inside a level are undone
// with a savepoint opened lazily, right before the level's first SQL write.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/variant.h"
#include "engine/catalog.h"
#include "engine/internal/sqlite.h"

namespace tillbook::engine {
class Connection;
class UiServices;
}

namespace tillbook::engine::internal {

// The stored values of one row in one SQL table.
struct SegmentState {
  const SegmentInfo* info = nullptr;
  int64_t oid = 0;
  std::vector<Variant> values;
  std::vector<uint8_t> dirty;  // per column
  bool anyDirty = false;
  bool inSql = false;   // a row exists in SQL
  bool dead = false;    // deleted, or created by an action that was undone
  bool stale = false;   // may differ from SQL (another workstation wrote): reload before use
  std::weak_ptr<struct RowState> newRow;  // the row that created it, while not yet stored
};

struct RowState {
  const TableInfo* table = nullptr;
  std::vector<std::shared_ptr<SegmentState>> segs;  // parallel to table->segments
  std::set<std::string, std::less<>> guards;
  int creating = 0;  // > 0 while the action creating the row runs
  // A row started by a person or a script (New in a data panel, AddRow): it has its id and its
  // defaults at once but is stored only when saved, so its unique keys are checked complete.
  bool held = false;
  int64_t oid() const { return segs.back()->oid; }
  bool dead() const { return segs.back()->dead; }
  bool stored() const { return segs.back()->inSql; }
  // Held and still waiting for its save.
  bool pending() const { return held && !stored() && !dead(); }
};

// One change to undo: a column's old value (column >= 0) or the segment's old flags (-1).
// Restored newest first, so several records of one segment end at its oldest state.
struct UndoRecord {
  std::shared_ptr<SegmentState> seg;
  int column;
  Variant value;
  uint8_t dirty;
  bool anyDirty, inSql, dead;
  int64_t oid;
};

struct Level {
  uint64_t id;
  size_t undoMark;
  bool sqlOpen;
};

class Session {
 public:
  // Row marks (see Row::Mark).
  void Mark(const RowState& r, std::string_view name) {
    marks_.emplace(r.table, r.oid(), std::string(name));
  }
  bool IsMarked(const RowState& r, std::string_view name) const {
    return marks_.count(std::make_tuple(r.table, r.oid(), std::string(name))) > 0;
  }
  bool TakeMark(const RowState& r, std::string_view name) {
    return marks_.erase(std::make_tuple(r.table, r.oid(), std::string(name))) > 0;
  }
  Session(std::unique_ptr<SqliteDb> db, UiServices* ui);
  ~Session();

  SqliteDb& db() { return *db_; }
  // The connection this session belongs to (hooks reach the archive through it).
  Connection* connection() const { return connection_; }
  void SetConnection(Connection* c) { connection_ = c; }
  UiServices& ui() { return *ui_; }
  void SetUi(UiServices* ui) { ui_ = ui; }
  void SetCatalog(std::shared_ptr<const Catalog> c) { catalog_ = std::move(c); }
  const Catalog* catalog() const { return catalog_.get(); }

  // Actions.
  void Begin();
  void Commit();
  void Rollback();
  bool InAction() const { return !levels_.empty(); }
  // Grows with every change to stored rows: readers holding copies (data-set pages) compare it
  // to know when to read again.
  uint64_t changeCount() const { return changes_; }
  size_t Depth() const { return levels_.size(); }
  // Opens the SQL transaction and savepoints of every level that lacks one; called before any
  // SQL write. Flushes first so no pending write lands under a savepoint it does not belong to.
  void EnsureSqlOpen();
  // Writes pending inserts and updates.
  void Flush();
  // Records the row ids handed out in this action in the archive, so raw statements (and the
  // commit) never give them again. Needs the SQL transaction open.
  void SyncReservedOids();

  // Changes one column inside the current action: records the old value, assigns, marks the
  // column for writing.
  void Assign(const std::shared_ptr<SegmentState>& seg, int column, Variant value);

  // Rows.
  // A new row with its row id; `held` rows wait for an explicit store (InsertNow), the others
  // are written once their creating action has ended (at the end of the outermost action at the
  // latest). Must run inside an action.
  std::shared_ptr<RowState> NewRowState(const TableInfo& t, bool held = false);
  std::shared_ptr<RowState> LoadRow(const TableInfo& t, int64_t oid);  // null when absent
  void Refresh(SegmentState& seg);
  void EnsureFresh(RowState& r) {
    for (auto& s : r.segs)
      if (s->stale) Refresh(*s);
  }
  // Writes the row now (insert when new) so it has its row id.
  void InsertNow(const std::shared_ptr<RowState>& r);
  void DeleteNow(RowState& r);
  // Held rows still waiting for their save, oldest first.
  std::vector<std::shared_ptr<RowState>> PendingRows();
  // Forgets a held row that was never stored (its id is not given again).
  void DiscardPending(RowState& r);
  // Forgets every cached row (after a structure change or a reopening).
  void DropCache();
  // Marks every cached row for reloading (after raw SQL wrote to the tables).
  void MarkAllStale();

 private:
  std::shared_ptr<SegmentState> GetSegment(const SegmentInfo& info, int64_t oid, bool load);
  void InsertRow(const std::shared_ptr<RowState>& r);
  void WritePending();
  void InsertSegment(RowState& r, size_t index);
  void UpdateSegment(SegmentState& seg);
  void RecordFlags(const std::shared_ptr<SegmentState>& seg);
  void CheckOtherWriters();
  int64_t ReserveOid(const SegmentInfo& info);
  // Inside a long top-level action: writes what waits and lets go of rows nobody holds.
  void Lighten();
  std::string Savepoint(const Level& l) const { return "sp" + std::to_string(l.id); }

  std::unique_ptr<SqliteDb> db_;
  Connection* connection_ = nullptr;
  UiServices* ui_;
  std::shared_ptr<const Catalog> catalog_;
  std::vector<Level> levels_;
  std::vector<UndoRecord> undo_;
  uint64_t nextLevelId_ = 1;
  uint64_t changes_ = 0;
  int64_t dataVersion_ = -1;
  std::vector<std::shared_ptr<RowState>> pendingInserts_;
  std::vector<std::shared_ptr<RowState>> held_;
  // Row ids handed out in this transaction: the last one per table, and whether the archive
  // knows it yet.
  std::unordered_map<const SegmentInfo*, int64_t> lastOid_;
  bool oidsSynced_ = true;
  size_t lightenAt_ = kLightenUndo;
  static constexpr size_t kLightenInserts = 256, kLightenUndo = 16384;
  std::vector<std::shared_ptr<SegmentState>> dirty_;
  std::map<std::pair<const SegmentInfo*, int64_t>, std::weak_ptr<SegmentState>> segments_;
  // Marks left on rows until a later event takes them (Row::Mark); they outlive the row's
  // cached values.
  std::set<std::tuple<const TableInfo*, int64_t, std::string>, std::less<>> marks_;
  std::map<std::pair<const TableInfo*, int64_t>, std::weak_ptr<RowState>> rows_;
  std::unordered_map<const SegmentInfo*, std::string> selectSql_, insertSql_;
};

}  // namespace tillbook::engine::internal
