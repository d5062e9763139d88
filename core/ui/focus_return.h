// Gives the keyboard back to the window a dialog was opened from once the dialog closes. A
// desktop's window manager does this by itself; without one (a bare X server, a kiosk) the
// keyboard would otherwise go nowhere and a keyboard-only person would be stuck.
#pragma once

#include <QObject>

namespace tillbook::ui {

class FocusReturn : public QObject {
  Q_OBJECT
 public:
  // Watches every window of the application, once however often called; owned by it.
  static void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
};

}  // namespace tillbook::ui
