#include "mainwindow/internal/fulfilment_pass.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

#include "base/error.h"
#include "calc/fulfilment.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "mainwindow/internal/archive_sql.h"

namespace tillbook::mainwindow::internal {

namespace {

// Article rows and free rows of a document.
struct RowKind {
  const char* list;
  bool free;
};
constexpr std::array<RowKind, 2> kKinds = {{{"Dettagli", false}, {"DettagliLiberi", true}}};

struct DrawnDocument {
  int64_t oid = 0;
  bool fulfilled = false;  // "Evaso" as stored
  std::array<std::vector<calc::FulfilmentRow>, 2> rows;
  std::array<std::vector<std::pair<int64_t, double>>, 2> stored;  // row id, counter as stored
  std::vector<std::vector<int64_t>> drawing;                      // per list, in link order
};

using DrawingRows = std::unordered_map<int64_t, std::vector<calc::DrawingRow>>;

const calc::FulfilmentLink& LinkBetween(std::string_view drawn, std::string_view drawing) {
  for (const calc::FulfilmentLink& l : calc::FulfilmentLinks())
    if (l.drawn == drawn && l.drawing == drawing) return l;
  throw Error("Documenti senza regola di evasione: " + std::string(drawn) + ", " +
                  std::string(drawing) + ".",
              "recalculation: no fulfilment link");
}

// What matches a row with the rows of the other side: the article it was made from (a row
// without one matches nothing, hence its own id with the side), or the description.
std::string KeySql(const engine::TableInfo& rows, bool free) {
  if (free) return "r." + SqlColumnOf(rows, "Descrizione").column;
  return "(SELECT b.\"OID\" FROM " + OwnTable(*rows.base) + " AS b WHERE b.\"OID\" = r." +
         BaseLinkColumn(rows) + ")";
}

std::string KeyText(const Variant& key, bool free, char side, int64_t row) {
  if (free) return key.IsNull() ? std::string() : key.ToText();
  if (key.IsNull()) return side + std::to_string(row);
  return std::to_string(key.ToInt64());
}

double NumberOf(const Variant& v) {
  return v.IsNull() ? 0 : v.ToDouble();
}

// The writes computed so far, made in a few statements.
class PendingWrites {
 public:
  void Counter(size_t kind, int64_t row, double value) { counters_[kind].push_back({row, value}); }
  void Fulfilled(int64_t document, bool value) { fulfilled_.push_back({document, value ? 1 : 0}); }
  void WriteTo(engine::Connection& connection, const std::array<std::optional<SqlColumn>, 2>& col,
               const SqlColumn& fulfilled) {
    for (size_t k = 0; k < counters_.size(); ++k) {
      if (col[k]) WriteNumbers(connection, *col[k], counters_[k]);
      counters_[k].clear();
    }
    WriteNumbers(connection, fulfilled, fulfilled_);
    fulfilled_.clear();
  }

 private:
  std::array<std::vector<std::pair<int64_t, double>>, 2> counters_;
  std::vector<std::pair<int64_t, double>> fulfilled_;
};

}  // namespace

int DocumentCount(engine::Connection& connection, std::string_view table) {
  int n = 0;
  ForEachResult(connection, "SELECT COUNT(*) FROM " + OwnTable(connection.Table(table)), {},
                [&](const std::vector<Variant>& r) { n = static_cast<int>(r[0].ToInt64()); });
  return n;
}

bool RebuildFulfilment(engine::Connection& connection, Phase& phase, std::string_view drawnTable,
                       const std::vector<std::string_view>& drawingLists, bool freeRows) {
  const engine::TableInfo& drawn = connection.Table(drawnTable);
  const SqlColumn fulfilledColumn = SqlColumnOf(drawn, "Evaso");

  std::vector<DrawnDocument> documents;
  std::unordered_map<int64_t, size_t> byOid;
  ForEachResult(connection,
                "SELECT d.\"OID\", e." + fulfilledColumn.column + " FROM " + OwnTable(drawn) +
                    " AS d JOIN " + fulfilledColumn.table +
                    " AS e ON e.\"OID\" = d.\"OID\" ORDER BY d.\"OID\"",
                {}, [&](const std::vector<Variant>& r) {
                  DrawnDocument d;
                  d.oid = r[0].ToInt64();
                  d.fulfilled = !r[1].IsNull() && r[1].ToBool();
                  d.drawing.resize(drawingLists.size());
                  byOid[d.oid] = documents.size();
                  documents.push_back(std::move(d));
                });

  // The row kinds taking part, with the counter each row keeps.
  std::array<bool, 2> active{};
  std::array<std::optional<SqlColumn>, 2> counterColumn;
  std::vector<const calc::FulfilmentLink*> links;
  std::vector<const engine::ReferenceInfo*> lists;
  for (std::string_view name : drawingLists) {
    lists.push_back(&ListOf(drawn, name));
    links.push_back(&LinkBetween(drawn.name, lists.back()->target->name));
  }
  for (size_t k = 0; k < kKinds.size(); ++k) {
    if (kKinds[k].free && !freeRows) continue;
    if (!drawn.FindReference(kKinds[k].list) || links.empty()) continue;
    active[k] = true;
    const engine::ReferenceInfo& rowsList = ListOf(drawn, kKinds[k].list);
    const engine::TableInfo& rows = *rowsList.target;
    const SqlColumn counter = SqlColumnOf(rows, links.front()->counterField);
    const SqlColumn cap = SqlColumnOf(rows, links.front()->capField);
    counterColumn[k] = counter;
    ForEachResult(
        connection,
        "SELECT r.\"OID\", r." + Quote(rowsList.ownerColumn) + ", " + KeySql(rows, kKinds[k].free) +
            ", r." + counter.column + ", r." + cap.column + " FROM " + OwnTable(rows) +
            " AS r ORDER BY r.\"OID\"",
        {}, [&](const std::vector<Variant>& r) {
          auto at = r[1].IsNull() ? byOid.end() : byOid.find(r[1].ToInt64());
          if (at == byOid.end()) return;
          DrawnDocument& d = documents[at->second];
          const int64_t oid = r[0].ToInt64();
          d.rows[k].push_back({KeyText(r[2], kKinds[k].free, 'D', oid), 0, NumberOf(r[4]), false});
          d.stored[k].push_back({oid, NumberOf(r[3])});
        });
  }

  // The drawing documents of every list, and their rows of each kind, read once per list.
  std::vector<std::array<DrawingRows, 2>> drawingRows(lists.size());
  for (size_t l = 0; l < lists.size(); ++l) {
    const std::string linkTable = Quote(lists[l]->linkTable);
    ForEachResult(connection,
                  "SELECT \"OID_Owner\", \"OID_Item\" FROM " + linkTable + " ORDER BY rowid", {},
                  [&](const std::vector<Variant>& r) {
                    auto at = byOid.find(r[0].ToInt64());
                    if (at != byOid.end())
                      documents[at->second].drawing[l].push_back(r[1].ToInt64());
                  });
    const engine::TableInfo& drawing = *lists[l]->target;
    for (size_t k = 0; k < kKinds.size(); ++k) {
      if (!active[k] || !drawing.FindReference(kKinds[k].list)) continue;
      const engine::ReferenceInfo& rowsList = ListOf(drawing, kKinds[k].list);
      const engine::TableInfo& rows = *rowsList.target;
      const std::string owner = "r." + Quote(rowsList.ownerColumn);
      ForEachResult(connection,
                    "SELECT " + owner + ", r.\"OID\", " + KeySql(rows, kKinds[k].free) + ", r." +
                        SqlColumnOf(rows, links[l]->sourceField).column + " FROM " +
                        OwnTable(rows) + " AS r WHERE " + owner + " IN (SELECT \"OID_Item\" FROM " +
                        linkTable + ") ORDER BY r.\"OID\"",
                    {}, [&](const std::vector<Variant>& r) {
                      drawingRows[l][k][r[0].ToInt64()].push_back(
                          {KeyText(r[2], kKinds[k].free, 'S', r[1].ToInt64()), NumberOf(r[3])});
                    });
    }
  }

  PendingWrites writes;
  constexpr size_t kWriteEvery = 256;
  static const std::vector<calc::DrawingRow> kNone;
  for (size_t i = 0; i < documents.size(); ++i) {
    if (!phase.Step()) {
      writes.WriteTo(connection, counterColumn, fulfilledColumn);
      return false;
    }
    DrawnDocument& d = documents[i];
    for (size_t l = 0; l < lists.size(); ++l)
      for (int64_t source : d.drawing[l])
        for (size_t k = 0; k < kKinds.size(); ++k) {
          if (!active[k]) continue;
          auto found = drawingRows[l][k].find(source);
          calc::UpdateOrderFulfilment(
              d.rows[k], found == drawingRows[l][k].end() ? kNone : found->second, false);
        }
    bool complete = true;
    for (size_t k = 0; k < kKinds.size(); ++k) {
      if (!active[k]) continue;
      complete = calc::UpdateOrderFulfilment(d.rows[k], kNone, false) && complete;
      for (size_t r = 0; r < d.rows[k].size(); ++r)
        if (d.rows[k][r].counter != d.stored[k][r].second)
          writes.Counter(k, d.stored[k][r].first, d.rows[k][r].counter);
    }
    if (complete != d.fulfilled) writes.Fulfilled(d.oid, complete);
    if ((i + 1) % kWriteEvery == 0) writes.WriteTo(connection, counterColumn, fulfilledColumn);
  }
  writes.WriteTo(connection, counterColumn, fulfilledColumn);
  return true;
}

}  // namespace tillbook::mainwindow::internal
