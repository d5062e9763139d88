#include "core/ui/frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"

namespace tillbook::ui {

frmSplash::frmSplash(const QString& version, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  setWindowTitle(ProgramTitle());
  setWindowIcon(ProgramIcon());
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0x1f, 0x3a, 0x5f));
  pal.setColor(QPalette::WindowText, Qt::white);
  setPalette(pal);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(32, 24, 32, 24);
  auto* icon = new QLabel(this);
  icon->setPixmap(ProgramIcon().pixmap(64, 64));
  icon->setAlignment(Qt::AlignCenter);
  layout->addWidget(icon);
  auto* name = new QLabel(ProgramTitle(), this);
  QFont big = name->font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  auto* line = new QLabel(QStringLiteral("Gestione del negozio - versione ") + version, this);
  line->setAlignment(Qt::AlignCenter);
  layout->addWidget(line);
  auto* wait = new QLabel(QStringLiteral("Avvio in corso..."), this);
  wait->setAlignment(Qt::AlignCenter);
  layout->addWidget(wait);
}

void frmSplash::ShowNow() {
  adjustSize();
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace tillbook::ui
