#include "core/ui/frmMessage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ui/qt_text.h"

namespace tillbook::ui {

namespace {
// How often a long job lets the window repaint and hear Stop; well under the tenth of a second
// a person notices.
constexpr int kEventsEveryMs = 20;
}  // namespace

frmMessage::frmMessage(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmMessage"));
  setWindowTitle(ProgramTitle());
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  text_ = new QLabel(this);
  text_->setMinimumWidth(320);
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignCenter);
  layout->addWidget(text_);
  bar_ = new QProgressBar(this);
  layout->addWidget(bar_);
  auto* row = new QHBoxLayout;
  row->addStretch();
  stop_ = new QPushButton(QStringLiteral("&Stop"), this);
  row->addWidget(stop_);
  row->addStretch();
  layout->addLayout(row);
  connect(stop_, &QPushButton::clicked, this, [this] { stopped_ = true; });
}

void frmMessage::Paint() {
  adjustSize();
  if (!isVisible()) show();
  raise();
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmMessage::ShowText(const QString& text) {
  progress_ = false;
  setWindowModality(Qt::NonModal);
  bar_->hide();
  stop_->hide();
  text_->setText(text);
  Paint();
}

void frmMessage::StartProgress(const QString& title, int total) {
  // A modal window before it shows: nothing else takes input while the job runs.
  if (isVisible() && !isModal()) hide();
  setWindowModality(Qt::ApplicationModal);
  progress_ = true;
  stopped_ = false;
  text_->setText(title);
  bar_->setRange(0, total > 0 ? total : 0);
  bar_->setValue(0);
  bar_->show();
  stop_->show();
  stop_->setEnabled(true);
  stop_->setFocus();
  Paint();
  sinceEvents_.start();
}

bool frmMessage::Step(int done, const QString& text) {
  if (bar_->maximum() > 0) bar_->setValue(std::min(done, bar_->maximum()));
  if (!text.isEmpty()) text_->setText(text);
  if (sinceEvents_.elapsed() >= kEventsEveryMs) {
    QApplication::processEvents(QEventLoop::AllEvents);
    sinceEvents_.restart();
  }
  return !stopped_;
}

void frmMessage::Finish() {
  progress_ = false;
  hide();
  setWindowModality(Qt::NonModal);
}

void frmMessage::closeEvent(QCloseEvent* event) {
  // Closing the progress window means Stop; a message window cannot be closed by hand.
  if (progress_) stopped_ = true;
  event->ignore();
}

void frmMessage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (progress_) stopped_ = true;
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tillbook::ui
