// The rounding-ranges window: three fields (from, to, step), the list of ranges, Add and
// Remove. It works on a copy; OK replaces the program's ranges and stores them.
#pragma once

#include <QDialog>
#include <memory>

#include "core/round_ranges_editor.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

class frmOptionsRound : public QDialog {
  Q_OBJECT
 public:
  // `config` receives the ranges on OK; `store` keeps them.
  frmOptionsRound(core::Configuration& config, platform::SettingsStore& store,
                  engine::UiServices& ui, QWidget* parent = nullptr);
  ~frmOptionsRound() override;

  QLineEdit* fromField() const { return from_; }
  QLineEdit* toField() const { return to_; }
  QLineEdit* stepField() const { return step_; }
  QListWidget* list() const { return list_; }
  QPushButton* addButton() const { return add_; }
  QPushButton* removeButton() const { return remove_; }

  void accept() override;

 private:
  void Add();
  void Remove();
  void Refill();

  core::Configuration& config_;
  platform::SettingsStore& store_;
  core::RoundRangesEditor editor_;
  QLineEdit *from_, *to_, *step_;
  QListWidget* list_;
  QPushButton *add_, *remove_;
};

// A field for an amount with two decimals ("0.00"; "," or "." as the mark).
QLineEdit* NewAmountField(QWidget* parent, const QString& name);

}  // namespace tillbook::ui
