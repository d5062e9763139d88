#include "core/ui/frmDataIdentity.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "core/ui/qt_text.h"
#include "engine/catalog.h"
#include "engine/database.h"

namespace tillbook::ui {

namespace {
constexpr int kPreviewSize = 120;
}

std::vector<std::pair<std::string, std::string>> SplitValueList(const std::string& list) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= list.size() && !list.empty()) {
    const size_t bar = list.find('|', start);
    parts.push_back(list.substr(start, bar == std::string::npos ? bar : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) pairs.emplace_back(parts[i], parts[i + 1]);
  return pairs;
}

std::vector<std::pair<std::string, std::string>> IdentityCategories(const engine::Database* db) {
  if (!db) return {};
  const engine::TableInfo* table = db->catalog().Find("CategorieSoggetti");
  if (!table) return {};
  const engine::ColumnRef column = table->FindColumn("Categoria");
  if (!column.valid() || !table->Column(column).field) return {};
  return SplitValueList(table->Column(column).field->valueList);
}

frmDataIdentity::frmDataIdentity(std::vector<std::pair<std::string, std::string>> categories,
                                 QWidget* parent)
    : StayOpenDialog(parent) {
  setObjectName(QStringLiteral("frmDataIdentity"));
  setWindowTitle(QStringLiteral("Dati identificativi dell'attività"));
  setWindowIcon(ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  // Mnemonics: the caption's first letter not yet taken.
  QString taken;
  auto caption = [&taken](const char* text) {
    QString c = QString::fromUtf8(text);
    for (int i = 0; i < c.size(); ++i)
      if (c[i].isLetter() && !taken.contains(c[i].toLower())) {
        taken += c[i].toLower();
        return c.left(i) + QLatin1Char('&') + c.mid(i) + QLatin1Char(':');
      }
    return c + QLatin1Char(':');
  };
  for (const auto& k : core::IdentityKeys()) {
    QWidget* editor = nullptr;
    if (std::strcmp(k.key, "SYS_Details") == 0) {
      details_ = new QPlainTextEdit(this);
      details_->setTabChangesFocus(true);
      details_->setFixedHeight(70);
      editor = details_;
    } else if (std::strcmp(k.key, "SYS_Category") == 0) {
      category_ = new QComboBox(this);
      category_->addItem(QString(), QString());
      for (const auto& [code, label] : categories) category_->addItem(Q(label), Q(code));
      editor = category_;
    } else if (std::strcmp(k.key, "SYS_LogoImage") == 0) {
      auto* box = new QWidget(this);
      auto* row = new QHBoxLayout(box);
      row->setContentsMargins(0, 0, 0, 0);
      auto* path = new QLineEdit(box);
      path->setObjectName(QLatin1String(k.key));
      row->addWidget(path);
      auto* browse = new QPushButton(QStringLiteral("Sfogl&ia..."), box);
      browse->setObjectName(QStringLiteral("cmdLogo"));
      row->addWidget(browse);
      connect(browse, &QPushButton::clicked, this, [this] { ChooseLogo(); });
      connect(path, &QLineEdit::editingFinished, this, [this, path] { ShowLogo(path->text()); });
      auto* label = new QLabel(caption(k.caption), this);
      label->setBuddy(path);
      form->addRow(label, box);
      preview_ = new QLabel(this);
      preview_->setObjectName(QStringLiteral("imgLogo"));
      preview_->setFixedSize(kPreviewSize, kPreviewSize);
      preview_->setFrameShape(QFrame::StyledPanel);
      preview_->setAlignment(Qt::AlignCenter);
      form->addRow(QString(), preview_);
      continue;
    } else {
      editor = new QLineEdit(this);
    }
    editor->setObjectName(QLatin1String(k.key));
    auto* label = new QLabel(caption(k.caption), this);
    label->setBuddy(editor);
    form->addRow(label, editor);
  }
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("cmdCancel"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  setMinimumWidth(480);
}

QLineEdit* frmDataIdentity::field(const char* key) const {
  return findChild<QLineEdit*>(QLatin1String(key));
}

void frmDataIdentity::Fill(const core::IdentityValues& values) {
  auto value = [&values](const char* key) {
    const auto it = values.find(key);
    return it == values.end() ? QString() : Q(it->second);
  };
  for (const auto& k : core::IdentityKeys())
    if (auto* f = field(k.key)) f->setText(value(k.key));
  details_->setPlainText(value("SYS_Details"));
  const QString code = value("SYS_Category");
  int index = category_->findData(code);
  if (index < 0 && !code.isEmpty()) {
    // A code the list does not know is kept as it is.
    category_->addItem(code, code);
    index = category_->count() - 1;
  }
  category_->setCurrentIndex(index < 0 ? 0 : index);
  ShowLogo(value("SYS_LogoImage"));
}

void frmDataIdentity::Read(core::IdentityValues& values) const {
  for (const auto& k : core::IdentityKeys())
    if (auto* f = field(k.key)) values[k.key] = S(f->text());
  values["SYS_Details"] = S(details_->toPlainText());
  values["SYS_Category"] = S(category_->currentData().toString());
}

bool frmDataIdentity::Edit(core::IdentityValues& values) {
  if (!isVisible()) Fill(values);
  if (!WaitForAnswer()) return false;
  Read(values);
  return true;
}

void frmDataIdentity::ShowLogo(const QString& path) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QImage image = path.isEmpty() ? QImage() : reader.read();
  if (image.isNull()) {
    preview_->setPixmap(QPixmap());
    preview_->setText(path.isEmpty() ? QStringLiteral("Nessuna immagine")
                                     : QStringLiteral("Immagine non leggibile"));
    return;
  }
  preview_->setPixmap(QPixmap::fromImage(image.scaled(
      kPreviewSize - 4, kPreviewSize - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void frmDataIdentity::ChooseLogo() {
  QLineEdit* path = field("SYS_LogoImage");
  const QString start = path->text().isEmpty() ? QString() : QFileInfo(path->text()).path();
  if (auto file = ChooseFileToOpen(
          this, QStringLiteral("Logo o timbro"),
          QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp *.gif);;Tutti i file (*)"),
          S(start))) {
    path->setText(Q(*file));
    ShowLogo(path->text());
  }
}

}  // namespace tillbook::ui
