// The report engine behind user-defined layouts: a module (a rectangular form) repeated across
// and down the page, with a row area where one detail row per record is laid out. The print
// driver configures it from a layout and hands it to the layout's script as `prn`; the script
// draws at positions relative to the module or the current row and the engine advances rows,
// modules, columns and pages and paints the background picture. Lengths are millimetres and
// the geometry is kept in single precision, as stored layouts were tuned against it.
//
// Failures are tillbook::Error with the Italian text; a script calling the engine sees them as
// script errors with that description. A raised error leaves the engine's state as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/variant.h"
#include "printing/report_target.h"
#include "printing/surface.h"

namespace tillbook::engine {
class UiServices;
}

namespace tillbook::printing {

class Image;

class clsCustomReport {
 public:
  // `ui` shows the missing-picture message; relative picture paths are taken from
  // `programFolder`; `printers` finds printers by device name for string targets.
  clsCustomReport(engine::UiServices& ui, std::filesystem::path programFolder,
                  PrinterLookup printers = {});
  ~clsCustomReport();  // ends the document (EndReports)
  clsCustomReport(const clsCustomReport&) = delete;
  clsCustomReport& operator=(const clsCustomReport&) = delete;

  // Configures the engine from a layout and starts a document (InitializeVars). A rowsBottom
  // of 0 becomes the page height of the target. Throws "Nessuna stampante configurata..." when
  // there is no target (no printer installed), and the picture's error when the background
  // cannot be read; the engine is then left as it was.
  void SetParameter(std::shared_ptr<ReportTarget> target, double moduleHeight, double moduleWidth,
                    double topMargin, double leftMargin, int16_t columns, double rowHeight,
                    double rowsTop, double rowsBottom, const std::string& backImageFile,
                    double backBottomMargin, const std::string& script, bool landscape,
                    const std::string& groupName);
  // The same with a printer device name: the printer of that name, else the system printer.
  void SetParameter(std::string_view printerName, double moduleHeight, double moduleWidth,
                    double topMargin, double leftMargin, int16_t columns, double rowHeight,
                    double rowsTop, double rowsBottom, const std::string& backImageFile,
                    double backBottomMargin, const std::string& script, bool landscape,
                    const std::string& groupName);
  // Switches to the printer of that name (a previewing engine printing after all) and starts a
  // new document.
  void ChangePrinter(std::string_view printerName);
  void ChangePrinter(std::shared_ptr<ReportTarget> target);
  void InitializeVars();

  // Drawing members; positions are row-relative (see CurX/CurY), Y before X as stored layouts
  // call them. Each returns what the member returns to scripts.
  double TxtOut(double y, double x, std::string_view text, double width = 0,
                bool multiLine = false);
  double TxtOutR(double y, double x, std::string_view text);
  double TxtOutV(double y, double x, std::string_view text, bool upward = false,
                 bool bottom = false);
  void BoxOut(double y, double x, double height, double width, bool fill = false,
              bool shadow = false);
  void CircleOut(double y, double x, double radius, bool fill = false);
  void LineOut(double y1, double x1, double y2, double x2);
  // Module-relative whatever RowPrinting says. A missing file is reported to the person and
  // nothing is drawn.
  void ImageOut(const std::string& file, double y, double x, double height = 0, double width = 0,
                bool stretch = false);
  double Barcode128bOut(double y, double x, double height, double moduleWidth,
                        std::string_view code);
  // Outside automation objects do not exist on this platform: always raises an error.
  [[noreturn]] void PrintObject(const std::string& progId, const std::string& setting,
                                const std::string& printCommand);
  void SetFont(int16_t size, bool bold, bool italic, std::string_view name, bool underline);

  void LoadBackImage();
  void NextReportModule();
  void NextReport() { NextReportModule(); }
  void NewReportRow();
  void NewRow() { NewReportRow(); }
  void RowEnd();
  void EndReports();

  bool RowPrinting() const { return rowPrinting_; }
  void SetRowPrinting(bool on) { rowPrinting_ = on; }
  double CurX() const;
  double CurY() const;
  double RowY(bool absolute = false) const;
  bool LastRow() const;
  double AvailableRowDim() const;
  bool ValidateRowDim() const;
  double AvailableRowDimNext() const;
  bool ValidateRowDimNext() const;

  const std::string& BackImageFile() const { return backImageFile_; }
  std::shared_ptr<const Image> BackImage() const { return backImage_; }
  int16_t ReportModuleCount() const { return moduleCount_; }
  int16_t ReportCount() const { return moduleCount_; }
  bool ReportModuleIsEmpty() const { return !moduleHasOutput_; }

  // The run's variable store; keys compare without regard to case. A missing key reads as
  // Empty, 0 or "".
  Variant Vars(std::string_view name) const;
  void SetVars(std::string_view name, Variant value);
  double Nums(std::string_view name) const;
  void SetNums(std::string_view name, double value);
  std::string Strs(std::string_view name) const;
  void SetStrs(std::string_view name, std::string value);
  int16_t VarsCount() const { return int16_t(vars_.size()); }
  void ResetVars() { vars_.clear(); }

  const std::string& VBScript() const { return script_; }
  bool IgnoreNextNewRow() const { return ignoreNextNewRow_; }
  void SetIgnoreNextNewRow(bool on) { ignoreNextNewRow_ = on; }
  bool Preview() const;
  Rgb Color() const { return color_; }
  void SetColor(Rgb color);
  double RowDim() const { return rowHeight_; }
  double RowDimCur() const { return curRowHeight_; }
  double RowDimText() const { return rowTextExtent_; }
  // Refuses a height above RowDim with "La nuova dimensione della riga corrente (...)".
  void SetRowDimCur(double height);
  const std::string& DataReferenceName() const { return dataReferenceName_; }
  void SetDataReferenceName(std::string name) { dataReferenceName_ = std::move(name); }
  const std::string& ReportGroupName() const { return groupName_; }
  void SetReportGroupName(std::string name) { groupName_ = std::move(name); }
  bool MarkOutputAreas() const { return markOutputAreas_; }
  void SetMarkOutputAreas(bool on) { markOutputAreas_ = on; }

  // Called once per row advance so the caller's windows stay responsive (a progress window's
  // Stop); may throw to end the run.
  void SetPendingEvents(std::function<void()> process) { pendingEvents_ = std::move(process); }
  // The surface being drawn on; nullptr before SetParameter and after EndReports.
  Surface* surface() { return surface_.get(); }

 private:
  void StartDocument();
  void EnsureBackground();
  void PaintBackground();
  void OutlineModule();
  void AdvanceModule();
  void ApplyColor();
  Surface& Page();
  std::shared_ptr<const Image> Picture(const std::filesystem::path& path);
  std::filesystem::path Resolve(const std::string& file) const;

  engine::UiServices& ui_;
  std::filesystem::path programFolder_;
  PrinterLookup printers_;
  std::shared_ptr<ReportTarget> target_;
  std::unique_ptr<Surface> surface_;
  std::function<void()> pendingEvents_;

  float moduleX_ = 0;
  float moduleY_ = 0;
  float rowOffset_ = 0;
  float moduleHeight_ = 0;
  float moduleWidth_ = 0;
  float rowHeight_ = 0;
  float curRowHeight_ = 0;
  float rowTextExtent_ = 0;
  float rowsTop_ = 0;
  float rowsBottom_ = 0;
  float topMargin_ = 0;
  float leftMargin_ = 0;
  int16_t columns_ = 1;
  std::string script_;
  int16_t columnIndex_ = 0;
  int16_t moduleCount_ = 0;
  bool rowPrinting_ = false;
  bool moduleHasOutput_ = false;
  std::string backImageFile_;
  float backBottomMargin_ = 0;
  std::shared_ptr<const Image> backImage_;
  bool ignoreNextNewRow_ = false;
  Rgb color_ = 0;
  std::string dataReferenceName_;
  bool landscape_ = false;
  std::string groupName_;
  bool markOutputAreas_ = false;
  std::map<std::string, Variant> vars_;  // folded keys
  // Pictures ImageOut has loaded this run, by resolved path: a logo on every row is read once.
  std::map<std::filesystem::path, std::shared_ptr<const Image>> pictures_;
  // Layout values before the 0 = "whole page" substitutions, re-applied at every document.
  float layoutModuleHeight_ = 0;
  float layoutModuleWidth_ = 0;
};

// The engine as the script object `prn`: every public member above by name, keyed properties
// (Vars, Nums, Strs) read and written as prn.Nums("x") = 3.
std::shared_ptr<tillbook::Object> MakeReportScriptObject(std::shared_ptr<clsCustomReport> report);

}  // namespace tillbook::printing
