#include "engine/internal/session.h"

#include <algorithm>

#include "base/error.h"
#include "engine/ui_services.h"

namespace tillbook::engine::internal {

namespace {

Variant FromSql(const ColumnInfo& c, Statement& s, int i) {
  if (c.kind != ColumnInfo::Kind::Field) return ReadValue(s, i, std::nullopt);
  return ReadValue(s, i, c.type);
}

// Unique-index violations are the one SQL failure a person causes and can fix.
[[noreturn]] void RethrowWrite(const Error& e, const SegmentInfo& seg) {
  if (e.detail().find("UNIQUE constraint failed") != std::string::npos) {
    std::string cols = e.detail().substr(e.detail().find("UNIQUE constraint failed") + 25);
    std::string names;
    for (auto& part : text::Split(cols, ',')) {
      auto p = std::string(text::Trim(part));
      auto dot = p.find('.');
      if (dot != std::string::npos) p = p.substr(dot + 1);
      if (p.rfind("OID_", 0) == 0) p = p.substr(4);
      if (!names.empty()) names += ", ";
      names += p;
    }
    throw Error("Impossibile memorizzare: in «" + seg.table +
                    "» esiste già un elemento con gli stessi valori di " + names + ".",
                e.detail());
  }
  throw e;
}

}  // namespace

Session::Session(std::unique_ptr<SqliteDb> db, UiServices* ui) : db_(std::move(db)), ui_(ui) {}

Session::~Session() {
  if (!levels_.empty()) {
    try {
      db_->Exec("ROLLBACK");
    } catch (...) {
    }
  }
}

void Session::CheckOtherWriters() {
  Statement& s = db_->Cached("PRAGMA data_version");
  StatementUse use(s);
  int64_t v = s.Step() ? s.Int(0) : 0;
  if (dataVersion_ >= 0 && v != dataVersion_) {
    ++changes_;
    for (auto& [key, weak] : segments_)
      if (auto seg = weak.lock())
        if (seg->inSql) seg->stale = true;
  }
  dataVersion_ = v;
}

void Session::Begin() {
  if (levels_.size() == 1) Lighten();
  Level l{nextLevelId_++, undo_.size(), false};
  if (levels_.empty()) {
    // Waits for another workstation's write lock as long as the connection allows.
    db_->BeginWrite(*ui_);
    l.sqlOpen = true;
    lastOid_.clear();
    oidsSynced_ = true;
    lightenAt_ = kLightenUndo;
    levels_.push_back(l);
    try {
      CheckOtherWriters();
    } catch (...) {
      levels_.pop_back();
      db_->Exec("ROLLBACK");
      throw;
    }
    return;
  }
  levels_.push_back(l);
}

void Session::EnsureSqlOpen() {
  for (auto& l : levels_) {
    if (l.sqlOpen) continue;
    WritePending();
    db_->Exec("SAVEPOINT " + Savepoint(l));
    l.sqlOpen = true;
  }
}

void Session::Commit() {
  Level l = levels_.back();
  if (levels_.size() > 1) {
    if (l.sqlOpen) db_->Exec("RELEASE " + Savepoint(l));
    levels_.pop_back();
    return;
  }
  try {
    Flush();
    SyncReservedOids();
    db_->Cached("COMMIT").Run();
    db_->Cached("COMMIT").Reset();
  } catch (...) {
    Rollback();
    throw;
  }
  levels_.pop_back();
  undo_.clear();
  pendingInserts_.clear();
  dirty_.clear();
  lastOid_.clear();
  std::erase_if(held_, [](auto& r) { return !r->pending(); });
  if (segments_.size() > 4096) {
    std::erase_if(segments_, [](auto& kv) { return kv.second.expired(); });
    std::erase_if(rows_, [](auto& kv) { return kv.second.expired(); });
  }
}

void Session::Rollback() {
  ++changes_;
  Level l = levels_.back();
  const bool top = levels_.size() == 1;
  if (l.sqlOpen) {
    try {
      if (top) {
        db_->Exec("ROLLBACK");
      } else {
        db_->Exec("ROLLBACK TO " + Savepoint(l));
        db_->Exec("RELEASE " + Savepoint(l));
      }
    } catch (...) {
      // The transaction may already be gone (SQLite rolls back on some errors); the memory
      // restore below still applies.
    }
  }
  levels_.pop_back();
  // Ids handed out here stay taken even though the rows are gone.
  if (!top && !lastOid_.empty()) oidsSynced_ = false;
  std::vector<std::shared_ptr<SegmentState>> restored;
  while (undo_.size() > l.undoMark) {
    UndoRecord rec = std::move(undo_.back());
    undo_.pop_back();
    SegmentState& seg = *rec.seg;
    if (rec.column >= 0) {
      seg.values[rec.column] = std::move(rec.value);
      seg.dirty[rec.column] = rec.dirty;
      seg.anyDirty = rec.anyDirty;
    } else {
      if (seg.inSql && !rec.inSql && !top && l.sqlOpen) {
        // Inserted before this level's savepoint: the savepoint does not take it back.
        Statement& s = db_->Cached("DELETE FROM " + Quote(seg.info->table) + " WHERE \"OID\"=?");
        StatementUse use(s);
        s.BindInt(1, seg.oid);
        s.Run();
      }
      if (seg.oid != rec.oid) segments_.erase({seg.info, seg.oid});
      seg.inSql = rec.inSql;
      seg.dead = rec.dead;
      seg.oid = rec.oid;
      seg.anyDirty = rec.anyDirty;
    }
    if (!top && l.sqlOpen) restored.push_back(rec.seg);
    if (!top && !seg.inSql && !seg.dead)
      if (auto r = seg.newRow.lock(); r && !r->held)
        if (std::find(pendingInserts_.begin(), pendingInserts_.end(), r) == pendingInserts_.end())
          pendingInserts_.push_back(r);
  }
  // A nested level whose writes reached SQL: rewrite what it restored.
  for (auto& seg : restored)
    if (seg->inSql && !seg->dead) {
      std::fill(seg->dirty.begin(), seg->dirty.end(), 1);
      if (!seg->anyDirty) dirty_.push_back(seg);
      seg->anyDirty = true;
    }
  if (top) {
    pendingInserts_.clear();
    dirty_.clear();
    lastOid_.clear();
    oidsSynced_ = true;
  }
}

int64_t Session::ReserveOid(const SegmentInfo& info) {
  auto [it, fresh] = lastOid_.try_emplace(&info, 0);
  if (fresh) {
    // The write lock is held from here to the end of the action, so nobody else can take the
    // ids handed out in between.
    Statement& s = db_->Cached(
        "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name=?1),0),"
        "coalesce((SELECT max(\"OID\") FROM " +
        Quote(info.table) + "),0))");
    StatementUse use(s);
    s.BindText(1, info.table);
    it->second = s.Step() ? s.Int(0) : 0;
  }
  oidsSynced_ = false;
  return ++it->second;
}

void Session::SyncReservedOids() {
  if (oidsSynced_) return;
  for (const auto& [info, last] : lastOid_) {
    Statement& ins = db_->Cached(
        "INSERT INTO sqlite_sequence (name, seq) SELECT ?1, ?2 WHERE NOT EXISTS "
        "(SELECT 1 FROM sqlite_sequence WHERE name=?1)");
    {
      StatementUse use(ins);
      ins.BindText(1, info->table);
      ins.BindInt(2, last);
      ins.Run();
    }
    Statement& up = db_->Cached("UPDATE sqlite_sequence SET seq=?2 WHERE name=?1 AND seq<?2");
    StatementUse use(up);
    up.BindText(1, info->table);
    up.BindInt(2, last);
    up.Run();
  }
  oidsSynced_ = true;
}

void Session::Lighten() {
  if (pendingInserts_.size() >= kLightenInserts) WritePending();
  if (undo_.size() < lightenAt_) return;
  // With only the top level open, a rollback is SQL's own: undo records matter only for rows
  // somebody still holds in memory. The others are dropped, and read again if asked for.
  std::unordered_map<const SegmentState*, long> records;
  for (const auto& rec : undo_) ++records[rec.seg.get()];
  std::erase_if(undo_,
                [&](const UndoRecord& rec) { return rec.seg.use_count() <= records[rec.seg.get()]; });
  lightenAt_ = std::max(kLightenUndo, undo_.size() * 2);
  std::erase_if(segments_, [](auto& kv) { return kv.second.expired(); });
  std::erase_if(rows_, [](auto& kv) { return kv.second.expired(); });
}

void Session::Assign(const std::shared_ptr<SegmentState>& p, int column, Variant value) {
  SegmentState& seg = *p;
  if (seg.stale) Refresh(seg);
  ++changes_;
  if (!levels_.empty())
    undo_.push_back(UndoRecord{p, column, std::move(seg.values[column]), seg.dirty[column],
                               seg.anyDirty, seg.inSql, seg.dead, seg.oid});
  seg.values[column] = std::move(value);
  seg.dirty[column] = 1;
  if (!seg.anyDirty && seg.inSql) dirty_.push_back(p);
  seg.anyDirty = true;
}

void Session::RecordFlags(const std::shared_ptr<SegmentState>& p) {
  if (levels_.empty()) return;
  const SegmentState& seg = *p;
  undo_.push_back(UndoRecord{p, -1, {}, 0, seg.anyDirty, seg.inSql, seg.dead, seg.oid});
}

void Session::Flush() {
  if (pendingInserts_.empty() && dirty_.empty()) return;
  EnsureSqlOpen();
  WritePending();
}

void Session::WritePending() {
  auto inserts = std::move(pendingInserts_);
  pendingInserts_.clear();
  for (auto& r : inserts) {
    if (r->dead()) continue;
    // A row still being made is not stored half made: it waits for its creating action.
    if (r->creating > 0)
      pendingInserts_.push_back(r);
    else
      InsertRow(r);
  }
  auto updates = std::move(dirty_);
  dirty_.clear();
  for (auto& seg : updates)
    if (seg->anyDirty && seg->inSql && !seg->dead) UpdateSegment(*seg);
}

std::shared_ptr<RowState> Session::NewRowState(const TableInfo& t, bool held) {
  if (levels_.empty()) throw Error("Errore interno dell'archivio.", "new row outside an action");
  auto r = std::make_shared<RowState>();
  r->table = &t;
  r->held = held;
  const int64_t oid = ReserveOid(*t.segments.front());
  for (const SegmentInfo* info : t.segments) {
    auto seg = std::make_shared<SegmentState>();
    seg->info = info;
    seg->oid = oid;
    seg->values.reserve(info->columns.size());
    for (const auto& c : info->columns) seg->values.push_back(c.initial);
    seg->dirty.assign(info->columns.size(), 0);
    segments_[{info, oid}] = seg;
    r->segs.push_back(std::move(seg));
  }
  for (auto& seg : r->segs) seg->newRow = r;
  rows_[{&t, oid}] = r;
  (held ? held_ : pendingInserts_).push_back(r);
  // A row created inside an action is undone with it: record it as "did not exist".
  if (!levels_.empty())
    for (auto& seg : r->segs) undo_.push_back(UndoRecord{seg, -1, {}, 0, false, false, true, 0});
  return r;
}

std::shared_ptr<SegmentState> Session::GetSegment(const SegmentInfo& info, int64_t oid, bool load) {
  auto key = std::make_pair(&info, oid);
  auto it = segments_.find(key);
  if (it != segments_.end())
    if (auto p = it->second.lock()) {
      if (p->stale) Refresh(*p);
      return p->dead ? nullptr : p;
    }
  if (!load) return nullptr;
  auto seg = std::make_shared<SegmentState>();
  seg->info = &info;
  seg->oid = oid;
  seg->values.resize(info.columns.size());
  seg->dirty.assign(info.columns.size(), 0);
  seg->inSql = true;
  Refresh(*seg);
  if (seg->dead) return nullptr;
  segments_[key] = seg;
  return seg;
}

void Session::Refresh(SegmentState& seg) {
  auto& sql = selectSql_[seg.info];
  if (sql.empty()) {
    sql = "SELECT ";
    for (size_t i = 0; i < seg.info->columns.size(); ++i)
      sql += (i ? "," : "") + Quote(seg.info->columns[i].name);
    if (seg.info->columns.empty()) sql += "\"OID\"";
    sql += " FROM " + Quote(seg.info->table) + " WHERE \"OID\"=?";
  }
  Statement& s = db_->Cached(sql);
  StatementUse use(s);
  s.BindInt(1, seg.oid);
  seg.stale = false;
  if (!s.Step()) {
    seg.dead = true;
    seg.inSql = false;
    return;
  }
  for (size_t i = 0; i < seg.info->columns.size(); ++i)
    seg.values[i] = FromSql(seg.info->columns[i], s, static_cast<int>(i));
  std::fill(seg.dirty.begin(), seg.dirty.end(), 0);
  seg.anyDirty = false;
}

std::shared_ptr<RowState> Session::LoadRow(const TableInfo& t, int64_t oid) {
  auto key = std::make_pair(&t, oid);
  auto it = rows_.find(key);
  if (it != rows_.end())
    if (auto r = it->second.lock()) {
      EnsureFresh(*r);
      if (!r->dead()) return r;
    }
  auto r = std::make_shared<RowState>();
  r->table = &t;
  for (const SegmentInfo* info : t.segments) {
    auto seg = GetSegment(*info, oid, true);
    if (!seg) return nullptr;
    r->segs.push_back(std::move(seg));
  }
  rows_[key] = r;
  return r;
}

void Session::InsertSegment(RowState& r, size_t index) {
  SegmentState& seg = *r.segs[index];
  const SegmentInfo& info = *seg.info;
  auto& sql = insertSql_[&info];
  if (sql.empty()) {
    std::string cols = "\"OID\"", marks = "?";
    for (const auto& c : info.columns) {
      cols += "," + Quote(c.name);
      marks += ",?";
    }
    sql = "INSERT INTO " + Quote(info.table) + " (" + cols + ") VALUES (" + marks + ")";
  }
  Statement& s = db_->Cached(sql);
  StatementUse use(s);
  s.BindInt(1, seg.oid);
  for (size_t i = 0; i < info.columns.size(); ++i) s.Bind(static_cast<int>(i) + 2, seg.values[i]);
  try {
    s.Run();
  } catch (const Error& e) {
    RethrowWrite(e, info);
  }
  RecordFlags(r.segs[index]);
  seg.inSql = true;
  std::fill(seg.dirty.begin(), seg.dirty.end(), 0);
  seg.anyDirty = false;
}

void Session::InsertNow(const std::shared_ptr<RowState>& r) {
  if (r->segs.back()->inSql) return;
  ++changes_;
  EnsureSqlOpen();
  InsertRow(r);
}

void Session::InsertRow(const std::shared_ptr<RowState>& r) {
  if (r->segs.back()->inSql) return;
  for (size_t i = 0; i < r->segs.size(); ++i)
    if (!r->segs[i]->inSql) InsertSegment(*r, i);
  std::erase_if(pendingInserts_, [&](auto& p) { return p == r; });
}

std::vector<std::shared_ptr<RowState>> Session::PendingRows() {
  std::erase_if(held_, [](auto& r) { return !r->pending(); });
  return held_;
}

void Session::DiscardPending(RowState& r) {
  if (!r.pending()) return;
  ++changes_;
  for (auto& seg : r.segs) {
    RecordFlags(seg);
    segments_.erase({seg->info, seg->oid});
    seg->dead = true;
  }
  std::erase_if(held_, [&](auto& p) { return p.get() == &r; });
}

void Session::UpdateSegment(SegmentState& seg) {
  std::string key;
  for (size_t i = 0; i < seg.dirty.size(); ++i)
    if (seg.dirty[i]) key += std::to_string(i) + ",";
  std::string sql = "UPDATE " + Quote(seg.info->table) + " SET ";
  bool first = true;
  for (size_t i = 0; i < seg.dirty.size(); ++i)
    if (seg.dirty[i]) {
      sql += (first ? "" : ",") + Quote(seg.info->columns[i].name) + "=?";
      first = false;
    }
  sql += " WHERE \"OID\"=?";
  Statement& s = db_->Cached(sql);
  StatementUse use(s);
  int p = 1;
  for (size_t i = 0; i < seg.dirty.size(); ++i)
    if (seg.dirty[i]) s.Bind(p++, seg.values[i]);
  s.BindInt(p, seg.oid);
  try {
    s.Run();
  } catch (const Error& e) {
    RethrowWrite(e, *seg.info);
  }
  std::fill(seg.dirty.begin(), seg.dirty.end(), 0);
  seg.anyDirty = false;
}

void Session::DeleteNow(RowState& r) {
  ++changes_;
  EnsureSqlOpen();
  // Rows of tables that extend this one share its identity and go with it.
  std::vector<const TableInfo*> extensions(r.table->derived.begin(), r.table->derived.end());
  for (size_t i = 0; i < extensions.size(); ++i)
    for (const TableInfo* d : extensions[i]->derived) extensions.push_back(d);
  const int64_t oid = r.oid();
  for (auto it = extensions.rbegin(); it != extensions.rend(); ++it) {
    const SegmentInfo& info = *(*it)->own;
    if (auto seg = GetSegment(info, oid, false)) {
      RecordFlags(seg);
      seg->dead = true;
      seg->inSql = false;
    }
    Statement& s = db_->Cached("DELETE FROM " + Quote(info.table) + " WHERE \"OID\"=?");
    StatementUse use(s);
    s.BindInt(1, oid);
    s.Run();
  }
  for (auto it = r.segs.rbegin(); it != r.segs.rend(); ++it) {
    SegmentState& seg = **it;
    RecordFlags(*it);
    if (seg.inSql) {
      Statement& s = db_->Cached("DELETE FROM " + Quote(seg.info->table) + " WHERE \"OID\"=?");
      StatementUse use(s);
      s.BindInt(1, seg.oid);
      s.Run();
    }
    seg.dead = true;
    seg.inSql = false;
  }
}

void Session::MarkAllStale() {
  ++changes_;
  for (auto& [key, weak] : segments_)
    if (auto seg = weak.lock())
      if (!seg->anyDirty && seg->inSql) seg->stale = true;
}

void Session::DropCache() {
  segments_.clear();
  rows_.clear();
  selectSql_.clear();
  insertSql_.clear();
  db_->ClearCache();
}

}  // namespace tillbook::engine::internal
