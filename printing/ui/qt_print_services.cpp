#include "printing/ui/qt_print_services.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "printing/ui/frmCustomReportPreview.h"
#include "printing/ui/painter_surface.h"

namespace tillbook::printing::ui {

namespace {

// The paper the preview draws on: the system printer's, so what is previewed is what prints.
PageSize PreviewPaper() {
  if (QPrinterInfo::defaultPrinter().isNull()) return kA4;
  return PrinterTarget(QString()).Page(false);
}

// The print dialog with the copies preset; the printer and copies chosen, nullopt when
// cancelled.
std::optional<PrinterChoice> AskPrinter(QWidget* parent, int copies) {
  QPrinter printer;
  printer.setCopyCount(std::max(1, copies));
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("dlgPrinter"));
  dialog.setWindowTitle(QStringLiteral("Selezione stampante"));
  // A report prints all its pages: there is no range or selection to choose.
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return PrinterChoice{printer.printerName().toStdString(), printer.copyCount()};
}

}  // namespace

std::shared_ptr<ReportTarget> InstalledPrinter(std::string_view deviceName) {
  const QString name =
      QString::fromUtf8(deviceName.data(), static_cast<qsizetype>(deviceName.size()));
  const QPrinterInfo info =
      name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
  if (info.isNull()) return nullptr;
  return std::make_shared<PrinterTarget>(info.printerName());
}

PrintServices MakeQtPrintServices(engine::UiServices& ui, QtPrintOptions options) {
  auto pages = std::make_shared<PreviewPages>(PreviewPaper());
  pages->SetSpillFolder(options.programFolder);
  PrintServices services;
  services.ui = &ui;
  services.printers = options.printers ? options.printers : PrinterLookup(&InstalledPrinter);
  services.preview = pages;
  services.programFolder = options.programFolder;
  QWidget* parent = options.parent;
  services.choosePrinter = [parent](int copies) { return AskPrinter(parent, copies); };
  // The window holds the pages by reference: the services keep them alive.
  services.showPreview = [pages, &ui, parent, names = options.printerNames] {
    frmCustomReportPreview window(*pages, ui, names, parent);
    return window.ShowPreview().toStdString();
  };
  return services;
}

}  // namespace tillbook::printing::ui
