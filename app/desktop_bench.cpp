// Desktop start-up benchmark, on an archive of 100,000 articles and 1,000,000 sale rows: from
// the start of tillbook (settings, start-up controller, splash, main window, archive opened and
// its structure checked, operator chosen) to its main window painted, on the offscreen
// platform, vs opening the same file with raw SQLite and running one query. Prints one line
// ending in "ratio R" (our time / baseline time); each side runs `runs` times alternately and
// the medians are compared. The target is the window within one second.
#include <sqlite3.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/desktop_app.h"
#include "base/error.h"
#include "bench/archive_builder.h"
#include "core/ui/testing/modal.h"
#include "mainwindow/ui/frmMain.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Only real problems are worth a line: the offscreen platform's notes on window-system calls it
// ignores would bury the result.
void QuietPlatformNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double DesktopOnce(const fs::path& dir) {
  tillbook::ui::DesktopOptions options;
  options.settingsPath = (dir / "Tillbook.ini").string();
  options.programFolder = dir.string();
  options.runtimeFolder = (dir / "run").string();
  options.workingDirectory = dir.string();
  // The person picks the operator at once.
  tillbook::ui::testing::ModalScript person;
  person.Then("frmSelectOper",
              [](QWidget* w) { tillbook::ui::testing::Click(w, QStringLiteral("OK")); });
  const auto t0 = Clock::now();
  tillbook::ui::DesktopApp app(options);
  if (!app.Start()) {
    std::fprintf(stderr, "start-up refused\n");
    std::exit(1);
  }
  bool painted = false;
  QObject::connect(app.mainWindow(), &tillbook::ui::frmMain::readyAndPainted,
                   [&painted] { painted = true; });
  if (!QTest::qWaitFor([&] { return painted; }, 60000)) {
    std::fprintf(stderr, "the main window never became ready\n");
    std::exit(1);
  }
  const double ms = Ms(Clock::now() - t0);
  app.mainWindow()->close();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rows = argc > 2 ? std::atoi(argv[2]) : 1000000;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const fs::path dir = fs::temp_directory_path() / "tillbook_desktop_bench";
  fs::remove_all(dir);
  fs::create_directories(dir / "run");
  fs::permissions(dir / "run", fs::perms::owner_all);
  if (!std::getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
  qInstallMessageHandler(QuietPlatformNotes);
  const std::string path = (dir / "Tillbook.mdb").string();
  try {
    tillbook::bench::BuildArchive(path, articles, rows);
  } catch (const tillbook::Error& e) {
    std::fprintf(stderr, "%s (%s)\n", e.message().c_str(), e.detail().c_str());
    return 1;
  }
  const auto q0 = Clock::now();
  QApplication app(argc, argv);
  const double qtMs = Ms(Clock::now() - q0);
  std::vector<double> ours, raw;
  DesktopOnce(dir);  // warms the file cache for both sides
  for (int i = 0; i < runs; ++i) {
    ours.push_back(DesktopOnce(dir));
    raw.push_back(tillbook::bench::RawOpenOnce(path));
  }
  std::printf(
      "desktop start to main window painted (%d articles, %d sale rows, offscreen; Qt itself "
      "%.0f ms once): tillbook %.2f ms, raw open and one query %.2f ms, ratio %.2f\n",
      articles, rows, qtMs, Median(ours), Median(raw), Median(ours) / Median(raw));
  fs::remove_all(dir);
  return 0;
}
