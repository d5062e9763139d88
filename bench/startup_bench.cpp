// Start-up and repair benchmark, on an archive of 100,000 articles and 1,000,000 sale rows.
// Prints one line per comparison ending in "ratio R" (our time / baseline time):
//   start-up: the start-up controller from launch to "operator logged in" (configuration,
//     archive opened and its structure checked, identity, operator list, login), no windows,
//     vs opening the same file with raw SQLite and reading the operator list;
//   repair: the repair (compaction, check of the copy, swap) vs a raw VACUUM INTO of the file.
// Each side runs `runs` times alternately; the medians are compared.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "bench/archive_builder.h"
#include "core/repair.h"
#include "core/startup.h"
#include "core/testing/scripted_windows.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace fs = std::filesystem;
using namespace tillbook;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double StartupOnce(const std::string& dir, const std::string& runtime) {
  platform::MemorySettings settings;
  settings.Set("Configuration", "RootDir", dir);
  engine::ScriptedUi ui;
  core::testing::ScriptedWindows windows;
  windows.operators.push_back(0);
  const auto t0 = Clock::now();
  core::Startup startup(settings, ui, windows, dir, runtime);
  if (!startup.Main() || !startup.Activate()) {
    std::fprintf(stderr, "start-up failed: %s\n", startup.lastError().c_str());
    std::exit(1);
  }
  const double ms = Ms(Clock::now() - t0);
  startup.ReleaseDatabase();
  return ms;
}

double RawVacuumOnce(const std::string& path) {
  const std::string copy = path + ".RAW";
  fs::remove(copy);
  const auto t0 = Clock::now();
  // The engine's connection only for its collation: the statement is SQLite's own.
  engine::Connection c;
  c.Open(path);
  c.Execute("VACUUM INTO '" + copy + "'");
  c.Close();
  const double ms = Ms(Clock::now() - t0);
  fs::remove(copy);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  const fs::path dir = fs::temp_directory_path() / "tillbook_startup_bench";
  fs::remove_all(dir);
  fs::create_directories(dir / "run");
  const std::string path = (dir / "Tillbook.mdb").string();
  try {
    bench::BuildArchive(path, articles, rows);
    std::vector<double> ours, raw;
    StartupOnce(dir.string(), (dir / "run").string());  // warms the file cache for both sides
    for (int i = 0; i < runs; ++i) {
      ours.push_back(StartupOnce(dir.string(), (dir / "run").string()));
      raw.push_back(bench::RawOpenOnce(path));
    }
    std::printf(
        "start-up to operator logged in (%d articles, %d sale rows): controller %.2f ms, raw "
        "open and one query %.2f ms, ratio %.2f\n",
        articles, rows, Median(ours), Median(raw), Median(ours) / Median(raw));
    ours.clear();
    raw.clear();
    for (int i = 0; i < runs; ++i) {
      auto t0 = Clock::now();
      auto last = t0;
      std::string steps;
      core::CompactArchive(path, [&](std::string_view step) {
        const auto now = Clock::now();
        steps += " " + std::to_string(static_cast<int>(Ms(now - last))) + " ms, then " +
                 std::string(step) + ":";
        last = now;
      });
      ours.push_back(Ms(Clock::now() - t0));
      if (i == 0)
        std::printf("  repair steps:%s %d ms\n", steps.c_str(),
                    static_cast<int>(Ms(Clock::now() - last)));
      raw.push_back(RawVacuumOnce(path));
    }
    std::printf(
        "repair (compaction, check, swap): ours %.0f ms, raw VACUUM INTO %.0f ms, ratio %.2f\n",
        Median(ours), Median(raw), Median(ours) / Median(raw));
  } catch (const Error& e) {
    std::fprintf(stderr, "%s (%s)\n", e.message().c_str(), e.detail().c_str());
    return 1;
  }
  fs::remove_all(dir);
  return 0;
}
