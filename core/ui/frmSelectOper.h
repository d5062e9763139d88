// The operator choice at login: the names of table Operatori; Enter or a double click takes the
// highlighted one.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace tillbook::ui {

class frmSelectOper : public QDialog {
  Q_OBJECT
 public:
  explicit frmSelectOper(const std::vector<std::string>& names, QWidget* parent = nullptr);
  // Runs the window; the index of the chosen name, nullopt when cancelled.
  std::optional<size_t> Choose();
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
};

}  // namespace tillbook::ui
