// ReferenceLookup: the editor of a single reference in a data panel. It shows the referenced
// row's code (the reference's key field; the first shown field where the key is the row
// identifier) in a line the person types into, and the other shown fields beside it. Typing
// offers the matching rows in a popup; "..." lists them all; both only offer the rows the
// table's selection filter (OnSelectReference) allows. An owned reference also creates its row
// ("Nuovo", which runs OnNewReference). The change goes through the row, so its hooks decide.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/row.h"

class QLineEdit;

namespace tillbook::engine {
class Connection;
class UiServices;
struct ReferenceInfo;
}  // namespace tillbook::engine

namespace tillbook::engine::ui {

class ReferenceLookup : public QWidget {
  Q_OBJECT
 public:
  ReferenceLookup(Connection& connection, const ReferenceInfo& reference, UiServices& ui,
                  QWidget* parent = nullptr);
  ~ReferenceLookup() override;

  // The row whose reference this edits (nullopt: nothing, disabled); shows its current value.
  void SetRow(std::optional<Row> row);
  // Shows the reference's current value again.
  void Refresh();
  void SetReadOnly(bool readOnly);
  // Hands over a code still being typed (typed, then straight to Save).
  void Flush();

  struct Choice {
    int64_t oid = 0;
    std::string code;   // the value of the field the person types
    std::string shown;  // the other shown fields, " - " between them
  };
  // The rows the person may choose whose code starts with `typed` (all when empty), at most
  // `limit`, in the referenced table's default order.
  std::vector<Choice> Choices(const std::string& typed, int limit);
  // Points the reference at the row with identifier `oid` (0 clears it); false when a hook
  // refused (the old value is shown again).
  bool Choose(int64_t oid);
  // Points the reference at the row whose code is `typed` among those allowed (several: the
  // person picks one; none: a message); blank clears it. False when nothing changed.
  bool ChooseByText(const std::string& typed);

  QLineEdit* codeEdit() const;
  QString shownText() const;

  // After the reference changed (with the hooks' cascade).
  std::function<void()> changed;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace tillbook::engine::ui
