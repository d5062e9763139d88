#include "core/ui/qt_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTranslator>

#include "core/configuration.h"

namespace tillbook::ui {

namespace {

// Italian labels for Qt's own file dialog (the desktop's native one speaks the desktop's
// language already).
void Italianise(QFileDialog& dialog) {
  dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Cerca in:"));
  dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nome:"));
  dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
  dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annulla"));
}

std::optional<std::string> Run(QFileDialog& dialog) {
  Italianise(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return S(dialog.selectedFiles().front());
}

QPixmap DrawIcon(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // A ledger: dark blue cover, white pages, a green till-roll stripe.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x3a, 0x5f));
  p.drawRoundedRect(QRectF(6, 4, 52, 56), 6, 6);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(14, 10, 38, 44));
  p.setBrush(QColor(0x2e, 0x8b, 0x57));
  p.drawRect(QRectF(14, 10, 8, 44));
  p.setPen(QPen(QColor(0x1f, 0x3a, 0x5f), 2.5));
  for (int y = 20; y <= 44; y += 8) p.drawLine(QPointF(27, y), QPointF(47, y));
  return pm;
}

}  // namespace

QString ProgramTitle() {
  return Q(core::kProductName);
}

QIcon ProgramIcon() {
  static const QIcon icon = [] {
    QIcon i;
    for (int s : {16, 24, 32, 48, 64, 128}) i.addPixmap(DrawIcon(s));
    return i;
  }();
  return icon;
}

void InstallItalianTranslations(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (translator->load(QStringLiteral("qtbase_it"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
  else
    delete translator;
}

std::optional<std::string> ChooseFolder(QWidget* parent, const QString& title,
                                        const std::string& start) {
  QFileDialog dialog(parent, title, Q(start));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Seleziona"));
  return Run(dialog);
}

std::optional<std::string> ChooseFileToOpen(QWidget* parent, const QString& title,
                                            const QString& filter, const std::string& start) {
  QFileDialog dialog(parent, title, Q(start), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Apri"));
  return Run(dialog);
}

std::optional<std::string> ChooseFileToSave(QWidget* parent, const QString& title,
                                            const QString& filter, const std::string& suggested,
                                            const QString& extension) {
  QFileDialog dialog(parent, title, Q(suggested), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(extension);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Salva"));
  return Run(dialog);
}

}  // namespace tillbook::ui
