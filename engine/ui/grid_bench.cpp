// Grid benchmark, on an archive of 100,000 articles and 1,000,000 sale rows: the time from
// opening the "Articoli" and the "DettagliVendite" grids to their first page painted (offscreen,
// the view shown and grabbed) vs the same first page read with raw SQLite (the row count and
// the first 200 rows in the same order). Prints one line per grid ending in "ratio R" (our time /
// baseline time, medians of `runs` alternating runs), then the time and the resident memory after
// scrolling the big grid to its end.
#include <sqlite3.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "bench/archive_builder.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/ui/DataGrid.h"
#include "engine/ui/GridModel.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace tillbook;

namespace {

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void QuietPlatformNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Resident memory of this process in kB (VmRSS of /proc/self/status).
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

struct Grid {
  engine::ScriptedUi ui;
  platform::MemorySettings settings;
  engine::ui::DataGrid view{ui, settings};
};

double OursOnce(engine::Connection& c, const char* table) {
  const auto t0 = Clock::now();
  Grid grid;
  grid.view.resize(1000, 700);
  grid.view.Open(c, {table, "", "", ""});
  grid.view.show();
  grid.view.grab();
  const double ms = Ms(Clock::now() - t0);
  if (grid.view.gridModel()->rowCount() == 0) {
    std::fprintf(stderr, "%s: no rows\n", table);
    std::exit(1);
  }
  return ms;
}

// The archive's collations, as every connection to it needs them to read its indexed tables.
int CollateNoCase(void*, int la, const void* a, int lb, const void* b) {
  return text::CompareNoCase({static_cast<const char*>(a), static_cast<size_t>(la)},
                             {static_cast<const char*>(b), static_cast<size_t>(lb)});
}
int CollateSort(void*, int la, const void* a, int lb, const void* b) {
  return text::CompareForSort({static_cast<const char*>(a), static_cast<size_t>(la)},
                              {static_cast<const char*>(b), static_cast<size_t>(lb)});
}

// The count and the first page, every column read, with the order the table's grid uses.
double RawOnce(const std::string& path, const char* table, const char* order) {
  const auto t0 = Clock::now();
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_create_collation(db, "JET_CI", SQLITE_UTF8, nullptr, CollateNoCase);
  sqlite3_create_collation(db, "JET_SORT", SQLITE_UTF8, nullptr, CollateSort);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, (std::string("SELECT COUNT(*) FROM ") + table).c_str(), -1, &st, nullptr);
  sqlite3_step(st);
  const long long count = sqlite3_column_int64(st, 0);
  sqlite3_finalize(st);
  const std::string sql =
      std::string("SELECT * FROM ") + table + " ORDER BY " + order + " LIMIT 200 OFFSET 0";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
    std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
  long long bytes = 0;
  while (sqlite3_step(st) == SQLITE_ROW)
    for (int i = 0; i < sqlite3_column_count(st); ++i) bytes += sqlite3_column_bytes(st, i);
  sqlite3_finalize(st);
  sqlite3_close(db);
  const double ms = Ms(Clock::now() - t0);
  if (count == 0 || bytes == 0) std::exit(1);
  return ms;
}

void Compare(engine::Connection& c, const std::string& path, const char* table, const char* order,
             int runs) {
  std::vector<double> ours, raw;
  OursOnce(c, table);  // warms the file cache for both sides
  for (int i = 0; i < runs; ++i) {
    ours.push_back(OursOnce(c, table));
    raw.push_back(RawOnce(path, table, order));
  }
  std::printf(
      "grid %s to first page painted (offscreen): tillbook %.2f ms, raw count and first "
      "page %.2f ms, ratio %.2f\n",
      table, Median(ours), Median(raw), Median(ours) / Median(raw));
}

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietPlatformNotes);
  const fs::path dir = fs::temp_directory_path() / "tillbook_grid_bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "Tillbook.mdb").string();
  QApplication app(argc, argv);
  try {
    bench::BuildArchive(path, articles, rows);
    engine::Connection c;
    c.Open(path);
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    std::printf("(%d articles, %d sale rows, %d runs)\n", articles, rows, runs);
    Compare(c, path, "Articoli", "OID", runs);
    // The sale rows' own order (their table's default): by reference in the archive's sort
    // order, then as they were added.
    Compare(c, path, "DettagliVendite", "Riferimento COLLATE JET_SORT, OID", runs);

    const long before = ResidentKb();
    Grid grid;
    grid.view.resize(1000, 700);
    grid.view.Open(c, {"DettagliVendite", "", "", ""});
    grid.view.show();
    grid.view.grab();
    const auto t0 = Clock::now();
    grid.view.scrollToBottom();
    grid.view.grab();
    const double endMs = Ms(Clock::now() - t0);
    std::printf(
        "DettagliVendite scrolled to its end in %.2f ms, %d pages read; resident memory "
        "%ld kB before opening, %ld kB at the end\n",
        endMs, grid.view.gridModel()->pageFetches(), before, ResidentKb());
  } catch (const Error& e) {
    std::fprintf(stderr, "%s (%s)\n", e.message().c_str(), e.detail().c_str());
    return 1;
  }
  fs::remove_all(dir);
  return 0;
}
