// The print driver's services in the desktop program: the installed printers by device name, the
// print dialog when a layout asks for the printer at each print, and the preview window over the
// pages of a preview target whose later pages go to files in the program folder.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "printing/modCustomReport.h"

class QWidget;

namespace tillbook::printing::ui {

class PreviewPages;

struct QtPrintOptions {
  // The window owning the dialogs; nullptr: none.
  QWidget* parent = nullptr;
  // Where layouts find relative pictures and the preview keeps its later pages.
  std::filesystem::path programFolder;
  // Printers by device name; empty: the installed printers (QPrinterInfo).
  PrinterLookup printers;
  // The names the preview window's print command offers; empty: the installed printers.
  std::function<std::vector<QString>()> printerNames;
};

// The services a print from a window runs with. The preview target they hold lives as long as
// they do; the preview window is modal and forgets its pages when closed.
PrintServices MakeQtPrintServices(engine::UiServices& ui, QtPrintOptions options);

// The installed printer of that device name ("" the system printer); nullptr when there is none.
std::shared_ptr<ReportTarget> InstalledPrinter(std::string_view deviceName);

}  // namespace tillbook::printing::ui
