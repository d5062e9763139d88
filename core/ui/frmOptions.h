// The general options window: working directory (chosen with the desktop's folder dialog),
// database password, ticket copies, code lengths, default unit and VAT, the print offsets, the
// maximum article amount and the rounding value (two decimals), the rounding and notice
// switches, and the buttons of the rounding ranges, the repair and the configuration file.
// It edits a copy of the configuration; what OK does with it is its owner's.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "core/configuration.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tillbook::engine {
class UiServices;
}
namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

class frmOptions : public QDialog {
  Q_OBJECT
 public:
  struct Commands {
    // OK with the edited copy; true closes the window.
    std::function<bool(const core::Configuration&)> confirm;
    // Optional buttons: absent ones are not shown.
    std::function<void()> repair;
    std::function<void(QWidget*)> exportConfiguration;
    std::function<void(QWidget*)> importConfiguration;
  };

  // `live` is the program's configuration: the window starts from it, and the rounding-ranges
  // window replaces its ranges directly (they are stored at once).
  frmOptions(core::Configuration& live, platform::SettingsStore& store, engine::UiServices& ui,
             Commands commands, QWidget* parent = nullptr);

  // The values of the fields over the configuration the window started from.
  core::Configuration Edited() const;
  void accept() override;

  QLineEdit* field(const char* name) const;
  QCheckBox* box(const char* name) const;
  QSpinBox* number(const char* name) const;
  QPushButton* button(const char* name) const;

 private:
  void Fill(const core::Configuration& c);
  void ChooseRootDir();
  void OpenRoundRanges();

  core::Configuration& live_;
  core::Configuration start_;
  platform::SettingsStore& store_;
  engine::UiServices& ui_;
  Commands commands_;
};

}  // namespace tillbook::ui
