// The advanced options window: the access mode (three exclusive choices stored as 0, 1, 2),
// transactions, and the switches that decide the table list and the offered imports. Clearing
// the geographic zones warns first that their data cannot be recovered.
#pragma once

#include <QDialog>
#include <functional>

#include "core/configuration.h"

class QCheckBox;
class QRadioButton;

namespace tillbook::engine {
class UiServices;
}

namespace tillbook::ui {

class frmOptionsAdvanced : public QDialog {
  Q_OBJECT
 public:
  // OK hands the edited copy to `confirm`.
  frmOptionsAdvanced(const core::Configuration& config, engine::UiServices& ui,
                     std::function<void(const core::Configuration&)> confirm,
                     QWidget* parent = nullptr);

  core::Configuration Edited() const;
  void accept() override;

  QCheckBox* box(const char* name) const;
  QRadioButton* accessMode(int mode) const;

 private:
  core::Configuration start_;
  engine::UiServices& ui_;
  std::function<void(const core::Configuration&)> confirm_;
};

}  // namespace tillbook::ui
