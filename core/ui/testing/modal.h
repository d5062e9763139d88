// Plays the person in widget tests: a script of the modal windows expected to open, in order,
// each with what to do in it (type, tick, click). A modal window the script does not expect is
// recorded and closed, so a test never hangs on it.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <ostream>
#include <vector>

class QWidget;

namespace tillbook::ui::testing {

class ModalScript : public QObject {
  Q_OBJECT
 public:
  using Action = std::function<void(QWidget*)>;
  ModalScript();
  ~ModalScript() override;

  // The next modal window expected, by object name ("frmPassword", "MessageBox", ...).
  ModalScript& Then(const QString& objectName, Action action);
  // A message box: records its text and presses the button with that text ("OK", "&Sì").
  ModalScript& Answer(const QString& buttonText);

  bool finished() const { return steps_.empty(); }
  // The texts of the message boxes answered, in order.
  const std::vector<QString>& messages() const { return messages_; }
  // Modal windows nobody expected ("name: text").
  const std::vector<QString>& unexpected() const { return unexpected_; }

 private:
  void Poll();

  QTimer timer_;
  std::deque<std::pair<QString, Action>> steps_;
  std::vector<QString> messages_;
  std::vector<QString> unexpected_;
  bool busy_ = false;
};

// Clicks the push button of `window` whose text is `text` (mnemonic "&" ignored); false when
// there is none.
bool Click(QWidget* window, const QString& text);
// Types into the line edit with that object name, replacing its text.
void Type(QWidget* window, const char* objectName, const QString& text);

}  // namespace tillbook::ui::testing

// Test failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
