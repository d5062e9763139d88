#include "core/ui/stay_open_dialog.h"

#include <QEventLoop>
#include <QPointer>

namespace tillbook::ui {

bool StayOpenDialog::WaitForAnswer() {
  setWindowModality(Qt::ApplicationModal);
  if (!isVisible()) show();
  raise();
  activateWindow();
  QEventLoop loop;
  loop_ = &loop;
  answered_ = false;
  QPointer<StayOpenDialog> self(this);
  loop.exec(QEventLoop::DialogExec);
  if (!self) return false;
  loop_ = nullptr;
  return answered_;
}

void StayOpenDialog::Dismiss() {
  if (isVisible()) hide();
}

void StayOpenDialog::accept() {
  answered_ = true;
  if (loop_) loop_->quit();
}

void StayOpenDialog::reject() {
  answered_ = false;
  hide();
  setResult(QDialog::Rejected);
  if (loop_) loop_->quit();
}

}  // namespace tillbook::ui
