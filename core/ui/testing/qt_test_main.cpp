// The main of the Qt widget tests: one QApplication on the offscreen platform, and any warning
// Qt prints (a broken layout, a wrong connection, a window opened badly) fails the test that
// caused it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <cstdlib>

namespace {

void FailOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  // The offscreen platform says so of window-system calls it has no use for (raise, size
  // hints); they are the platform's limits, not faults of a window.
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Qt wants a private runtime folder; a test machine's session may have none.
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    static char runtime[] = "/tmp/tillbook-qt-test-XXXXXX";
    if (mkdtemp(runtime)) setenv("XDG_RUNTIME_DIR", runtime, 1);
  }
  ::testing::InitGoogleTest(&argc, argv);
  qInstallMessageHandler(FailOnWarning);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
