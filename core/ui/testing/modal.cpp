#include "core/ui/testing/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

namespace tillbook::ui::testing {

ModalScript::ModalScript() {
  timer_.setInterval(2);
  connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
  timer_.start();
}

ModalScript::~ModalScript() = default;

ModalScript& ModalScript::Then(const QString& objectName, Action action) {
  steps_.emplace_back(objectName, std::move(action));
  return *this;
}

ModalScript& ModalScript::Answer(const QString& buttonText) {
  return Then(QStringLiteral("MessageBox"), [buttonText](QWidget* w) { Click(w, buttonText); });
}

void ModalScript::Poll() {
  if (busy_) return;
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) return;
  // A person types into the window that has the keyboard: wait until it has it.
  if (!modal->isActiveWindow()) {
    modal->activateWindow();
    return;
  }
  busy_ = true;
  if (auto* box = qobject_cast<QMessageBox*>(modal)) messages_.push_back(box->text());
  if (!steps_.empty() && modal->objectName() == steps_.front().first) {
    auto action = std::move(steps_.front().second);
    steps_.pop_front();
    busy_ = false;
    action(modal);
    return;
  }
  auto* box = qobject_cast<QMessageBox*>(modal);
  unexpected_.push_back(modal->objectName() + QStringLiteral(": ") + (box ? box->text() : ""));
  busy_ = false;
  if (box && box->escapeButton())
    box->escapeButton()->click();
  else if (auto* d = qobject_cast<QDialog*>(modal))
    d->reject();
  else
    modal->close();
}

bool Click(QWidget* window, const QString& text) {
  QString plain = text;
  plain.remove(QLatin1Char('&'));
  for (auto* b : window->findChildren<QAbstractButton*>()) {
    QString t = b->text();
    t.remove(QLatin1Char('&'));
    if (t == plain && b->isVisible() && b->isEnabled()) {
      QTest::mouseClick(b, Qt::LeftButton);
      return true;
    }
  }
  return false;
}

void Type(QWidget* window, const char* objectName, const QString& text) {
  auto* field = window->findChild<QLineEdit*>(QLatin1String(objectName));
  if (!field) return;
  field->clear();
  QTest::keyClicks(field, text);
}

}  // namespace tillbook::ui::testing
