// Text between the core (UTF-8 std::string) and Qt (QString), and the few dialogs and
// decorations every window shares: file and folder choosers with Italian labels, the program's
// icon and title.
#pragma once

#include <QIcon>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

class QApplication;
class QWidget;

namespace tillbook::ui {

inline QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string S(const QString& s) {
  return s.toStdString();
}

// "Tillbook": the title of message boxes and of the main window.
QString ProgramTitle();
// The program's icon, drawn rather than loaded so it needs no image plugin.
QIcon ProgramIcon();

// Loads Qt's own Italian texts (standard dialogs, context menus) when installed; the program's
// own texts are Italian whatever the desktop's language.
void InstallItalianTranslations(QApplication& app);

// The desktop's folder dialog; nullopt when cancelled.
std::optional<std::string> ChooseFolder(QWidget* parent, const QString& title,
                                        const std::string& start);
// Open and save dialogs with one filter ("Formato testo (txt) (*.txt)"); nullopt when cancelled.
std::optional<std::string> ChooseFileToOpen(QWidget* parent, const QString& title,
                                            const QString& filter, const std::string& start = {});
// The save dialog proposes `suggested` and adds `extension` to a name typed without one.
std::optional<std::string> ChooseFileToSave(QWidget* parent, const QString& title,
                                            const QString& filter, const std::string& suggested,
                                            const QString& extension);

}  // namespace tillbook::ui
