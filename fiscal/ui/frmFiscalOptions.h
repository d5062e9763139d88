// The fiscal options window: the device, its port and port settings, the timings, the default
// department, the description length and the two boxes, with the device hints and the test
// receipt. It binds its controls to FiscalOptionsEditor; OK stores them, Esci leaves them.
#pragma once

#include <QDialog>

#include "fiscal/fiscal_options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tillbook::ui {

class frmFiscalOptions : public QDialog {
  Q_OBJECT
 public:
  // `editor` must outlive the window.
  explicit frmFiscalOptions(fiscal::FiscalOptionsEditor& editor, QWidget* parent = nullptr);
  ~frmFiscalOptions() override;

  // What the controls hold now.
  fiscal::FiscalOptionsValues Values() const;

  void accept() override;

 private:
  void Fill(const fiscal::FiscalOptionsValues& values);
  void EnableRegControls();
  void Test();
  void SetWorking(bool working);

  fiscal::FiscalOptionsEditor& editor_;
  QWidget* controls_;  // everything but the window frame, disabled while the register works
  QComboBox* type_;
  QComboBox* port_;
  QComboBox* portParam_;
  QLineEdit* commandWait_;
  QLineEdit* timeout_;
  QLineEdit* department_;
  QLineEdit* descriptionLen_;
  QCheckBox* conversion_;
  QCheckBox* sendDescription_;
  bool filling_ = false;
};

}  // namespace tillbook::ui
