#include "core/ui/qt_ui_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ui/frmMessage.h"
#include "core/ui/qt_text.h"

namespace tillbook::ui {

namespace {

using engine::Answer;
using engine::Buttons;

std::vector<Answer> ButtonAnswers(Buttons b) {
  switch (b) {
    case Buttons::Ok:
      return {Answer::Ok};
    case Buttons::OkCancel:
      return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo:
      return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel:
      return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::RetryCancel:
      return {Answer::Retry, Answer::Cancel};
    case Buttons::AbortRetryIgnore:
      return {Answer::Abort, Answer::Retry, Answer::Ignore};
  }
  return {Answer::Ok};
}

QString AnswerText(Answer a) {
  switch (a) {
    case Answer::Ok:
      return QStringLiteral("OK");
    case Answer::Cancel:
      return QStringLiteral("Annulla");
    case Answer::Yes:
      return QStringLiteral("&Sì");
    case Answer::No:
      return QStringLiteral("&No");
    case Answer::Retry:
      return QStringLiteral("&Riprova");
    case Answer::Abort:
      return QStringLiteral("&Interrompi");
    case Answer::Ignore:
      return QStringLiteral("I&gnora");
  }
  return {};
}

QMessageBox::ButtonRole Role(Answer a) {
  switch (a) {
    case Answer::Ok:
    case Answer::Yes:
      return QMessageBox::YesRole;
    case Answer::No:
      return QMessageBox::NoRole;
    case Answer::Cancel:
    case Answer::Abort:
      return QMessageBox::RejectRole;
    default:
      return QMessageBox::ActionRole;
  }
}

QMessageBox::Icon BoxIcon(engine::Icon icon) {
  switch (icon) {
    case engine::Icon::None:
      return QMessageBox::NoIcon;
    case engine::Icon::Information:
      return QMessageBox::Information;
    case engine::Icon::Exclamation:
      return QMessageBox::Warning;
    case engine::Icon::Question:
      return QMessageBox::Question;
    case engine::Icon::Critical:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QString TitleOr(std::string_view title) {
  return title.empty() ? ProgramTitle() : Q(title);
}

}  // namespace

std::vector<QString> ButtonTexts(Buttons buttons) {
  std::vector<QString> texts;
  for (Answer a : ButtonAnswers(buttons)) texts.push_back(AnswerText(a));
  return texts;
}

QtUiServices::QtUiServices(frmMessage& progress) : progress_(progress) {}

QWidget* QtUiServices::Owner() const {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  return fallbackOwner_;
}

Answer QtUiServices::MessageBox(std::string_view text, Buttons buttons, engine::Icon icon,
                                int defaultButton, std::string_view title) {
  QMessageBox box(Owner());
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setWindowTitle(TitleOr(title));
  box.setText(Q(text));
  box.setIcon(BoxIcon(icon));
  const auto answers = ButtonAnswers(buttons);
  std::vector<QAbstractButton*> widgets;
  for (Answer a : answers) {
    QPushButton* b = box.addButton(AnswerText(a), Role(a));
    widgets.push_back(b);
    // Escape takes Cancel or No, and closes a box that has only OK.
    if (a == Answer::Cancel || (a == Answer::No && buttons == Buttons::YesNo) ||
        answers.size() == 1)
      box.setEscapeButton(b);
  }
  const size_t def = defaultButton >= 0 && static_cast<size_t>(defaultButton) < answers.size()
                         ? static_cast<size_t>(defaultButton)
                         : 0;
  box.setDefaultButton(static_cast<QPushButton*>(widgets[def]));
  box.exec();
  for (size_t i = 0; i < widgets.size(); ++i)
    if (box.clickedButton() == widgets[i]) return answers[i];
  // Closed from the title bar: as Escape.
  for (Answer a : answers)
    if (a == Answer::Cancel || a == Answer::No) return a;
  return answers.front();
}

std::optional<std::string> QtUiServices::InputBox(std::string_view prompt, std::string_view title,
                                                  std::string_view defaultText) {
  QInputDialog dialog(Owner());
  dialog.setObjectName(QStringLiteral("InputBox"));
  dialog.setWindowTitle(TitleOr(title));
  dialog.setLabelText(Q(prompt));
  dialog.setTextValue(Q(defaultText));
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Annulla"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return S(dialog.textValue());
}

std::optional<size_t> QtUiServices::SelectFromList(std::string_view title, std::string_view prompt,
                                                   const std::vector<std::string>& items) {
  QDialog dialog(Owner());
  dialog.setObjectName(QStringLiteral("SelectFromList"));
  dialog.setWindowTitle(TitleOr(title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(Q(prompt), &dialog);
  layout->addWidget(label);
  auto* list = new QListWidget(&dialog);
  for (const auto& item : items) list->addItem(Q(item));
  if (!items.empty()) list->setCurrentRow(0);
  label->setBuddy(list);
  layout->addWidget(list);
  auto* box = new QDialogButtonBox(&dialog);
  box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  box->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
  layout->addWidget(box);
  QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return static_cast<size_t>(list->currentRow());
}

void QtUiServices::ProgressStart(std::string_view title, int total) {
  progress_.StartProgress(Q(title), total);
}

bool QtUiServices::ProgressStep(int done, std::string_view text) {
  return progress_.Step(done, Q(text));
}

void QtUiServices::ProgressEnd() {
  progress_.Finish();
}

void QtUiServices::SetStatusText(std::string_view text) {
  if (status_) status_(Q(text));
}

void QtUiServices::Beep() {
  QApplication::beep();
}

}  // namespace tillbook::ui
