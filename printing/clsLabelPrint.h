// The label engine: the report engine's smaller sibling for sheets of equal labels. Positions
// are relative to the current label; `NextLabel` moves across the row of labels, then down, then
// to a new sheet. It has no rows and no modules: the drawing itself is done by a report engine
// whose modules are the labels, so text, boxes, pictures and barcodes look exactly as in
// reports.
#pragma once

#include <cstdint>
#include <filesystem>
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

class clsCustomReport;

class clsLabelPrint {
 public:
  clsLabelPrint(engine::UiServices& ui, std::filesystem::path programFolder);
  ~clsLabelPrint();  // EndLabels
  clsLabelPrint(const clsLabelPrint&) = delete;
  clsLabelPrint& operator=(const clsLabelPrint&) = delete;

  // A label height or width of 0 takes the printable height or width of the sheet. With
  // `endDocument`, EndLabels also ends the document.
  void SetParameter(std::shared_ptr<ReportTarget> target, double labelHeight, double labelWidth,
                    double topMargin, double leftMargin, int16_t columns, bool endDocument,
                    bool landscape);

  // Closes the current label and moves to the next place (see IgnoreLabel).
  void NextLabel();
  bool IgnoreLabel() const { return ignoreLabel_; }
  void SetIgnoreLabel(bool on) { ignoreLabel_ = on; }
  int16_t PageLabelCount() const { return pageLabelCount_; }
  int16_t CopyCount() const { return copyCount_; }
  void SetCopyCount(int16_t n) { copyCount_ = n; }
  int16_t NextCopy() { return ++copyCount_; }
  void ForceEndDocument();
  void EndLabels();
  bool Preview() const;

  double LabelHeight() const { return labelHeight_; }
  double LabelWidth() const { return labelWidth_; }
  // The engine drawing the labels: the drawing members, fonts, colour and variables.
  clsCustomReport& drawing() { return *report_; }
  std::shared_ptr<clsCustomReport> drawingShared() { return report_; }

 private:
  std::shared_ptr<clsCustomReport> report_;
  double labelHeight_ = 0, labelWidth_ = 0, top_ = 0, left_ = 0;
  double labelX_ = 0, labelY_ = 0;
  int16_t columns_ = 1;
  int16_t columnIndex_ = 0;
  int16_t pageLabelCount_ = 0;
  int16_t copyCount_ = 1;
  bool endDocument_ = false;
  bool ignoreLabel_ = false;
};

// The engine as the script object `prn` of label scripts: the label members and the report
// engine's drawing members (BoxOut without its shadow) by name.
std::shared_ptr<tillbook::Object> MakeLabelScriptObject(std::shared_ptr<clsLabelPrint> labels);

}  // namespace tillbook::printing
