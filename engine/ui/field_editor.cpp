#include "engine/ui/field_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "base/text.h"
#include "core/ui/qt_text.h"
#include "engine/definition.h"
#include "engine/ui/value_text.h"

namespace tillbook::engine::ui {
namespace {

using tillbook::ui::Q;
using tillbook::ui::S;

constexpr int kPreviewWidth = 160;
constexpr int kPreviewHeight = 120;

QToolButton* Button(QWidget* parent, const QString& text, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setToolTip(tip);
  return b;
}

bool IsNumeric(FieldType t) {
  return t == FieldType::Money || t == FieldType::Number || t == FieldType::Integer ||
         t == FieldType::SmallInteger || t == FieldType::Millimetres;
}

// A line of text for every type without an editor of its own, with the buttons of file names,
// images, file lists and links beside it.
class LineEditor : public FieldEditor {
 public:
  LineEditor(const FieldDef& field, QWidget* parent) : field_(field) {
    box_ = new QWidget(parent);
    auto* outer = new QVBoxLayout(box_);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* line = new QHBoxLayout;
    outer->addLayout(line);
    edit_ = new QLineEdit(box_);
    edit_->setObjectName(Q(field.name));
    if (engine::IsTextType(field.type) && field.size > 0) edit_->setMaxLength(field.size);
    if (IsNumeric(field.type)) edit_->setAlignment(Qt::AlignRight);
    line->addWidget(edit_);
    QObject::connect(edit_, &QLineEdit::editingFinished, box_, [this] { Commit(); });
    AddButtons(line, outer);
  }

  QWidget* widget() const override { return box_; }
  void Show(const Variant& value) override {
    shown_ = Q(EditText(value, field_.type));
    edit_->setText(shown_);
    edit_->setCursorPosition(0);
    ShowFiles();
  }
  std::optional<Variant> Value() const override {
    return ParseEditText(S(edit_->text()), field_.type, field_.notNull);
  }
  QString Text() const override { return edit_->text(); }
  void SetReadOnly(bool readOnly) override {
    edit_->setReadOnly(readOnly);
    if (browse_) browse_->setEnabled(!readOnly);
  }
  void Flush() override { Commit(); }

 private:
  void Commit() {
    if (edit_->text() == shown_) return;
    // Taken as shown before the row hears of it: a message box the change opens takes the
    // focus away, and that must not hand the same edit over twice.
    shown_ = edit_->text();
    if (committed) committed();
  }

  void AddButtons(QHBoxLayout* line, QVBoxLayout* outer) {
    switch (field_.type) {
      case FieldType::FileName:
      case FieldType::ImageFile:
      case FieldType::FileOrImage:
        browse_ = Button(box_, QStringLiteral("..."), QStringLiteral("Sfoglia"));
        QObject::connect(browse_, &QToolButton::clicked, box_, [this] { Browse(); });
        line->addWidget(browse_);
        if (field_.type != FieldType::FileName) {
          preview_ = new QLabel(box_);
          preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
          preview_->setAlignment(Qt::AlignCenter);
          outer->addWidget(preview_);
        }
        break;
      case FieldType::Link: {
        auto* open = Button(box_, QStringLiteral("Apri"), QStringLiteral("Apri il collegamento"));
        QObject::connect(open, &QToolButton::clicked, box_, [this] {
          if (!edit_->text().trimmed().isEmpty())
            QDesktopServices::openUrl(QUrl(LinkAddress(edit_->text())));
        });
        line->addWidget(open);
        break;
      }
      case FieldType::FileList: {
        files_ = new QComboBox(box_);
        auto* open = Button(box_, QStringLiteral("Apri"), QStringLiteral("Apri il file scelto"));
        QObject::connect(open, &QToolButton::clicked, box_, [this] {
          if (files_->currentIndex() >= 0)
            QDesktopServices::openUrl(QUrl::fromLocalFile(files_->currentData().toString()));
        });
        auto* row = new QHBoxLayout;
        row->addWidget(files_, 1);
        row->addWidget(open);
        outer->addLayout(row);
        break;
      }
      default:
        break;
    }
  }

  void Browse() {
    const std::string current = S(edit_->text());
    std::optional<std::string> chosen;
    if (field_.type == FieldType::FileName)
      chosen = tillbook::ui::ChooseFileToSave(box_, QStringLiteral("Scegli il file"),
                                              QStringLiteral("Tutti i file (*)"), current, {});
    else if (field_.type == FieldType::ImageFile)
      chosen = tillbook::ui::ChooseFileToOpen(
          box_, QStringLiteral("Scegli l'immagine"),
          QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp *.gif)"), current);
    else
      chosen = tillbook::ui::ChooseFileToOpen(box_, QStringLiteral("Scegli il file"),
                                              QStringLiteral("Tutti i file (*)"), current);
    if (!chosen) return;
    edit_->setText(Q(*chosen));
    Commit();
  }

  // The preview of an image and the files a file list's pattern matches, for what is shown.
  void ShowFiles() {
    if (preview_) {
      QPixmap picture(edit_->text());
      if (picture.isNull())
        preview_->clear();
      else
        preview_->setPixmap(
            picture.scaled(preview_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    if (files_) {
      files_->clear();
      // Stored patterns may use either separator: "cartella\CODICE_*.*".
      const QFileInfo pattern(QString(edit_->text()).replace('\\', '/'));
      if (edit_->text().isEmpty()) return;
      QDir folder = pattern.dir();
      for (const QFileInfo& f : folder.entryInfoList({pattern.fileName()}, QDir::Files, QDir::Name))
        files_->addItem(f.fileName(), f.absoluteFilePath());
    }
  }

  const FieldDef& field_;
  QWidget* box_;
  QLineEdit* edit_;
  QToolButton* browse_ = nullptr;
  QLabel* preview_ = nullptr;
  QComboBox* files_ = nullptr;
  QString shown_;
};

// A memo hands its text over when the person leaves it (Enter makes a new line there).
class MemoBox : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  std::function<void()> left;

 protected:
  void focusOutEvent(QFocusEvent* e) override {
    QPlainTextEdit::focusOutEvent(e);
    if (left) left();
  }
};

class MemoEditor : public FieldEditor {
 public:
  MemoEditor(const FieldDef& field, QWidget* parent) : box_(new MemoBox(parent)) {
    box_->setObjectName(Q(field.name));
    box_->setMaximumHeight(box_->fontMetrics().lineSpacing() * 6);
    box_->left = [this] { Flush(); };
  }
  void Flush() override {
    if (box_->toPlainText() == shown_) return;
    shown_ = box_->toPlainText();
    if (committed) committed();
  }
  QWidget* widget() const override { return box_; }
  void Show(const Variant& value) override {
    shown_ = Q(value.IsNull() ? std::string() : value.ToText());
    box_->setPlainText(shown_);
  }
  std::optional<Variant> Value() const override { return Variant::String(S(box_->toPlainText())); }
  QString Text() const override { return box_->toPlainText(); }
  void SetReadOnly(bool readOnly) override { box_->setReadOnly(readOnly); }

 private:
  MemoBox* box_;
  QString shown_;
};

// An integer code with its value list ("1|Contanti|2|Assegno"): the labels to choose from.
class ChoiceEditor : public FieldEditor {
 public:
  ChoiceEditor(const FieldDef& field, QWidget* parent)
      : field_(field), box_(new QComboBox(parent)) {
    box_->setObjectName(Q(field.name));
    const std::vector<std::string> parts = text::Split(field.valueList, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
      box_->addItem(Q(parts[i + 1]), Q(text::Trim(parts[i])).toInt());
    QObject::connect(box_, &QComboBox::activated, box_, [this](int index) {
      if (index == shownIndex_) return;
      shownIndex_ = index;
      if (committed) committed();
    });
  }
  QWidget* widget() const override { return box_; }
  void Show(const Variant& value) override {
    // A stored code the list does not name is shown as the number itself.
    int index = -1;
    if (!value.IsNull() && !value.IsEmpty()) {
      const int code = static_cast<int>(value.ToInt64());
      index = box_->findData(code);
      if (index < 0) {
        box_->addItem(QString::number(code), code);
        index = box_->count() - 1;
      }
    }
    box_->setCurrentIndex(index);
    shownIndex_ = index;
  }
  std::optional<Variant> Value() const override {
    if (box_->currentIndex() < 0) return ParseEditText({}, field_.type, field_.notNull);
    return Variant::Long(box_->currentData().toInt());
  }
  QString Text() const override { return box_->currentText(); }
  void SetReadOnly(bool readOnly) override { box_->setEnabled(!readOnly); }

 private:
  const FieldDef& field_;
  QComboBox* box_;
  int shownIndex_ = -1;
};

class CheckEditor : public FieldEditor {
 public:
  CheckEditor(const FieldDef& field, QWidget* parent) : box_(new QCheckBox(parent)) {
    box_->setObjectName(Q(field.name));
    QObject::connect(box_, &QCheckBox::clicked, box_, [this] {
      if (committed) committed();
    });
  }
  QWidget* widget() const override { return box_; }
  void Show(const Variant& value) override {
    box_->setChecked(!value.IsNull() && !value.IsEmpty() && value.ToBool());
  }
  std::optional<Variant> Value() const override { return Variant::Boolean(box_->isChecked()); }
  QString Text() const override { return box_->isChecked() ? "Sì" : "No"; }
  void SetReadOnly(bool readOnly) override { box_->setEnabled(!readOnly); }

 private:
  QCheckBox* box_;
};

}  // namespace

std::unique_ptr<FieldEditor> MakeFieldEditor(const FieldDef& field, QWidget* parent) {
  if (field.type == FieldType::Memo) return std::make_unique<MemoEditor>(field, parent);
  if (field.type == FieldType::YesNo) return std::make_unique<CheckEditor>(field, parent);
  if ((field.type == FieldType::Integer || field.type == FieldType::SmallInteger) &&
      !field.valueList.empty())
    return std::make_unique<ChoiceEditor>(field, parent);
  return std::make_unique<LineEditor>(field, parent);
}

QString LinkAddress(const QString& text) {
  const QString t = text.trimmed();
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
  if (scheme.match(t).hasMatch()) return t;
  if (t.contains('@')) return QStringLiteral("mailto:") + t;
  return QStringLiteral("http://") + t;
}

}  // namespace tillbook::engine::ui
