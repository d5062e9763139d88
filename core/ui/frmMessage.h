// The small message window: a line of text while the program works ("Inizializzazione del
// database..."), and the progress window with its bar and Stop button. While it shows progress
// it is modal, and each step lets the event loop run (at most every few milliseconds), so the
// window repaints and Stop is seen at the next step.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tillbook::ui {

class frmMessage : public QDialog {
  Q_OBJECT
 public:
  explicit frmMessage(QWidget* parent = nullptr);

  // Shows `text` alone and paints it before returning.
  void ShowText(const QString& text);
  void StartProgress(const QString& title, int total);
  // Moves the bar; false once Stop was pressed.
  bool Step(int done, const QString& text);
  void Finish();

  bool stopped() const { return stopped_; }
  QPushButton* stopButton() const { return stop_; }
  QLabel* textLabel() const { return text_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Paint();

  QLabel* text_;
  QProgressBar* bar_;
  QPushButton* stop_;
  bool stopped_ = false;
  bool progress_ = false;
  QElapsedTimer sinceEvents_;
};

}  // namespace tillbook::ui
