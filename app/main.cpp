// tillbook: the desktop program.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/desktop_app.h"
#include "core/ui/qt_text.h"

namespace {

constexpr const char* kUsage =
    "Uso: tillbook [--workdir CARTELLA]\n"
    "  --workdir CARTELLA  indirizzario di lavoro di questa sessione (archivio Tillbook.mdb)\n"
    "  --version           la versione del programma\n"
    "  --help              questo testo\n"
    "Impostazioni: $XDG_CONFIG_HOME/Tillbook/Tillbook.ini (TILLBOOK_SETTINGS la sposta).\n";

bool HasDisplay() {
  for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* s = std::getenv(v); s && *s) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  tillbook::ui::DesktopOptions options = tillbook::ui::DefaultDesktopOptions();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("tillbook %s\n", TILLBOOK_VERSION);
      return 0;
    }
    if (arg == "--workdir" && i + 1 < argc) {
      options.workingDirectory = argv[++i];
    } else if (arg.rfind("--workdir=", 0) == 0) {
      options.workingDirectory = arg.substr(std::strlen("--workdir="));
    } else {
      std::fprintf(stderr, "tillbook: argomento sconosciuto: %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  if (!HasDisplay()) {
    std::fputs("tillbook: nessuno schermo disponibile (DISPLAY e WAYLAND_DISPLAY non impostati)\n",
               stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tillbook"));
  QApplication::setApplicationVersion(QStringLiteral(TILLBOOK_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("tillbook"));
  QApplication::setWindowIcon(tillbook::ui::ProgramIcon());
  tillbook::ui::InstallItalianTranslations(app);
  tillbook::ui::DesktopApp desktop(options);
  if (!desktop.Start()) return 0;
  return app.exec();
}
