// A dialog that stays open between the person's answers: OK hands the typed values to the logic
// and keeps the window on screen, so a refused entry (a wrong password, a missing category)
// leaves it open with what was typed; Cancel closes it. Dismiss() closes it once the logic is
// satisfied.
#pragma once

#include <QDialog>

class QEventLoop;

namespace tillbook::ui {

class StayOpenDialog : public QDialog {
  Q_OBJECT
 public:
  explicit StayOpenDialog(QWidget* parent = nullptr) : QDialog(parent) {}

  // Shows the window (modal) when hidden and waits: true for OK, false for Cancel or a close.
  bool WaitForAnswer();
  void Dismiss();

  void accept() override;
  void reject() override;

 private:
  QEventLoop* loop_ = nullptr;
  bool answered_ = false;
};

}  // namespace tillbook::ui
