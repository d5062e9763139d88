// The identity window: the business's identifying data in the order of their keys, the logo
// picked as an image file and previewed, the category chosen from its list. It stays open while
// storing is refused; the rules are the identity logic's.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/identity.h"
#include "core/ui/stay_open_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tillbook::engine {
class Database;
}

namespace tillbook::ui {

// (code, label) pairs of a "code|label|code|label" list.
std::vector<std::pair<std::string, std::string>> SplitValueList(const std::string& list);
// The categories the archive's definitions offer (field "Categoria" of table
// CategorieSoggetti); empty without an archive.
std::vector<std::pair<std::string, std::string>> IdentityCategories(const engine::Database* db);

class frmDataIdentity : public StayOpenDialog {
  Q_OBJECT
 public:
  frmDataIdentity(std::vector<std::pair<std::string, std::string>> categories,
                  QWidget* parent = nullptr);

  // Shows `values` (when the window is not open yet) and waits: true with the edited values in
  // `values` on OK, false on Cancel.
  bool Edit(core::IdentityValues& values);

  QLineEdit* field(const char* key) const;
  QPlainTextEdit* details() const { return details_; }
  QComboBox* category() const { return category_; }
  QLabel* logoPreview() const { return preview_; }
  // Shows the image at `path` (or "Nessuna immagine").
  void ShowLogo(const QString& path);

 private:
  void Fill(const core::IdentityValues& values);
  void Read(core::IdentityValues& values) const;
  void ChooseLogo();

  QPlainTextEdit* details_;
  QComboBox* category_;
  QLabel* preview_;
};

}  // namespace tillbook::ui
