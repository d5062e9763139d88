// The splash shown while the program starts: its name, version and icon, painted at once.
#pragma once

#include <QWidget>

namespace tillbook::ui {

class frmSplash : public QWidget {
  Q_OBJECT
 public:
  explicit frmSplash(const QString& version, QWidget* parent = nullptr);
  // Shows the window centred on the screen and paints it before returning.
  void ShowNow();
};

}  // namespace tillbook::ui
