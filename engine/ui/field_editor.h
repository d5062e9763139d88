// The editor of one field in a data panel, chosen by the field's type code: a line with the
// text's maximum length, a memo box, a choice list for integer codes with a value list, a tick
// box for yes/no, lines reading amounts, numbers and dates the Italian way, file names with a
// browse button, images with a preview, file lists with the files they match, links opened in
// the desktop's browser or mail program. An editor only shows and collects: the panel hands the
// value to the row, so the hooks decide.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "base/variant.h"

class QWidget;

namespace tillbook::engine {
struct FieldDef;
}

namespace tillbook::engine::ui {

class FieldEditor {
 public:
  virtual ~FieldEditor() = default;
  // The widget to place in the panel (owned by its Qt parent).
  virtual QWidget* widget() const = 0;
  // Shows the row's value; an edit in progress is dropped.
  virtual void Show(const Variant& value) = 0;
  // The value the person gave; nullopt when the text does not read as the field's type.
  virtual std::optional<Variant> Value() const = 0;
  // What the person typed, for the message about a value that does not read.
  virtual QString Text() const = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  // Hands over an edit still in progress (typed, then straight to Save) through `committed`.
  virtual void Flush() {}

  // Called when the person finished an edit (Enter, leaving the editor, a choice, a tick, a
  // file chosen) and the value differs from the one shown.
  std::function<void()> committed;
};

// The editor for `field`, its widgets parented to `parent`.
std::unique_ptr<FieldEditor> MakeFieldEditor(const FieldDef& field, QWidget* parent);

// The address a link field opens: "mailto:" before an e-mail address, "http://" before a web
// address without a scheme; as it is otherwise.
QString LinkAddress(const QString& text);

}  // namespace tillbook::engine::ui
