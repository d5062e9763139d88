#include "core/ui/focus_return.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace tillbook::ui {

void FocusReturn::Install() {
  if (!qApp || qApp->findChild<FocusReturn*>(QString(), Qt::FindDirectChildrenOnly)) return;
  qApp->installEventFilter(new FocusReturn(qApp));
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide) {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog && dialog->isWindow() && dialog->parentWidget()) {
      QPointer<QWidget> owner = dialog->parentWidget()->window();
      // After the hide is done: the next modal window, if any, keeps the keyboard.
      QTimer::singleShot(0, owner, [owner] {
        if (!owner || !owner->isVisible()) return;
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* target = modal && modal->isVisible() ? modal : owner.data();
        if (QApplication::activeWindow() != target) target->activateWindow();
      });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tillbook::ui
