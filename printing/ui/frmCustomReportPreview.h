// The preview window of a report: the pages drawn through the preview surface, page by page,
// with navigation ("di " total), zoom choices, the shown page copied to the clipboard, and a
// print command that asks for a printer and hands its name back to the report driver.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace tillbook::engine {
class UiServices;
}

namespace tillbook::printing::ui {

class PreviewPages;

class frmCustomReportPreview : public QDialog {
  Q_OBJECT
 public:
  using PrinterList = std::function<std::vector<QString>()>;
  // `pages` and `ui` must outlive the window, which forgets the pages when it goes; `printers`
  // lists the printers the print command offers (the installed ones unless given).
  frmCustomReportPreview(PreviewPages& pages, engine::UiServices& ui, PrinterList printers = {},
                         QWidget* parent = nullptr);
  ~frmCustomReportPreview() override;

  // Shows the pages modally: the printer chosen with the print command, or "" when the window
  // was closed without printing.
  QString ShowPreview();

  int PageCount() const;
  // 0-based index of the page shown.
  int PageIndex() const { return index_; }
  void ShowPage(int index);
  // Redraws the shown page at the chosen zoom.
  void RefreshView();
  void CopyPage();
  void Print();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  PreviewPages& pages_;
  engine::UiServices& ui_;
  PrinterList printers_;
  QScrollArea* area_;
  QLabel* view_;
  QSpinBox* page_;
  QLabel* total_;
  QComboBox* zoom_;
  int index_ = 0;
  QString chosenPrinter_;
};

}  // namespace tillbook::printing::ui
