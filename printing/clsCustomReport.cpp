#include "printing/clsCustomReport.h"

#include "base/error.h"
#include "base/text.h"
#include "engine/ui_services.h"
#include "printing/image.h"
#include "vbscript/conversions.h"
#include "vbscript/locale.h"

namespace tillbook::printing {

namespace {

constexpr Rgb kModuleOutline = MakeRgb(255, 0, 0);
constexpr Rgb kRowAreaOutline = MakeRgb(0, 255, 0);

[[noreturn]] void NoPrinter() {
  throw Error(
      "Nessuna stampante configurata.\r\rImpossibile stabilire le dimensioni predefinite del "
      "foglio...");
}

// Row positions are kept to two decimals, so that rows summed in single precision land where the
// layout's author computed them.
double Rounded2(double v) {
  return vbscript::RoundHalfEven(v * 100) / 100;
}

// The printer of that device name, else the system printer; nullptr when none is installed.
std::shared_ptr<ReportTarget> FindPrinter(const PrinterLookup& printers, std::string_view name) {
  if (!printers) return nullptr;
  std::shared_ptr<ReportTarget> printer = printers(name);
  return printer ? printer : printers("");
}

// A length as the person reads it in a message: Italian decimals.
std::string Shown(float v) {
  return vbscript::ToText(Variant::Single(v), vbscript::Locale::Italian());
}

}  // namespace

clsCustomReport::clsCustomReport(engine::UiServices& ui, std::filesystem::path programFolder,
                                 PrinterLookup printers)
    : ui_(ui), programFolder_(std::move(programFolder)), printers_(std::move(printers)) {}

clsCustomReport::~clsCustomReport() {
  try {
    EndReports();
  } catch (const Error&) {
    // Ending a printer document ignores its errors; a destructor has nobody to tell.
  }
}

std::filesystem::path clsCustomReport::Resolve(const std::string& file) const {
  const bool rooted = !file.empty() && (file[0] == '\\' || file[0] == '/');
  const bool drive = file.size() > 1 && file[1] == ':';
  if (rooted || drive) return file;
  return programFolder_ / file;
}

void clsCustomReport::SetParameter(std::shared_ptr<ReportTarget> target, double moduleHeight,
                                   double moduleWidth, double topMargin, double leftMargin,
                                   int16_t columns, double rowHeight, double rowsTop,
                                   double rowsBottom, const std::string& backImageFile,
                                   double backBottomMargin, const std::string& script,
                                   bool landscape, const std::string& groupName) {
  // Everything that can fail comes first, so a refusal leaves the engine as it was.
  if (!target) NoPrinter();
  std::shared_ptr<const Image> background;
  if (!backImageFile.empty()) background = Image::Load(Resolve(backImageFile));
  if (rowsBottom == 0) rowsBottom = target->Page(landscape).height;
  target_ = std::move(target);
  surface_.reset();
  layoutModuleHeight_ = float(moduleHeight);
  layoutModuleWidth_ = float(moduleWidth);
  topMargin_ = float(topMargin);
  leftMargin_ = float(leftMargin);
  columns_ = columns;
  rowHeight_ = float(rowHeight);
  curRowHeight_ = rowHeight_;
  rowsTop_ = float(rowsTop);
  rowsBottom_ = float(rowsBottom);
  backImageFile_ = backImageFile;
  backImage_ = std::move(background);
  backBottomMargin_ = float(backBottomMargin);
  script_ = script;
  landscape_ = landscape;
  groupName_ = groupName;
  InitializeVars();
}

void clsCustomReport::SetParameter(std::string_view printerName, double moduleHeight,
                                   double moduleWidth, double topMargin, double leftMargin,
                                   int16_t columns, double rowHeight, double rowsTop,
                                   double rowsBottom, const std::string& backImageFile,
                                   double backBottomMargin, const std::string& script,
                                   bool landscape, const std::string& groupName) {
  SetParameter(FindPrinter(printers_, printerName), moduleHeight, moduleWidth, topMargin,
               leftMargin, columns, rowHeight, rowsTop, rowsBottom, backImageFile, backBottomMargin,
               script, landscape, groupName);
}

void clsCustomReport::ChangePrinter(std::string_view printerName) {
  ChangePrinter(FindPrinter(printers_, printerName));
}

void clsCustomReport::ChangePrinter(std::shared_ptr<ReportTarget> target) {
  if (!target) NoPrinter();
  target_ = std::move(target);
  surface_.reset();
  InitializeVars();
}

void clsCustomReport::StartDocument() {
  if (!target_) NoPrinter();
  // A printer keeps one document for the whole run, copies included; the preview starts over.
  if (!surface_ || target_->IsPreview()) surface_ = target_->BeginDocument(landscape_);
  const double pageWidth = surface_->PageWidth();
  const double pageHeight = surface_->PageHeight();
  moduleHeight_ = layoutModuleHeight_;
  moduleWidth_ = layoutModuleWidth_;
  if (target_->IsPreview()) {
    if (moduleHeight_ == 0) moduleHeight_ = float(pageHeight);
    if (moduleWidth_ == 0) moduleWidth_ = float(pageWidth);
  } else {
    if (moduleHeight_ == 0) moduleHeight_ = float(pageHeight) - 2 * topMargin_;
    if (moduleWidth_ == 0) moduleWidth_ = (float(pageWidth) - 2 * leftMargin_) / columns_;
  }
}

void clsCustomReport::InitializeVars() {
  if (columns_ == 0) columns_ = 1;
  StartDocument();
  moduleX_ = moduleY_ = rowOffset_ = 0;
  columnIndex_ = moduleCount_ = 0;
  rowPrinting_ = moduleHasOutput_ = ignoreNextNewRow_ = false;
  curRowHeight_ = rowHeight_;
  rowTextExtent_ = 0;
  color_ = 0;
  ApplyColor();
}

Surface& clsCustomReport::Page() {
  if (!surface_) throw Error("Nessun documento di stampa aperto.");
  return *surface_;
}

void clsCustomReport::ApplyColor() {
  Page().SetPenColor(color_);
  surface_->SetFillColor(color_);
}

void clsCustomReport::SetColor(Rgb color) {
  color_ = color;
  if (surface_) ApplyColor();
}

bool clsCustomReport::Preview() const {
  return target_ && target_->IsPreview();
}

double clsCustomReport::CurX() const {
  return leftMargin_ + moduleX_;
}

double clsCustomReport::CurY() const {
  const float top = topMargin_ + moduleY_;
  if (!rowPrinting_) return top;
  return Rounded2(top + rowsTop_ + rowOffset_);
}

double clsCustomReport::RowY(bool absolute) const {
  if (rowPrinting_ && !absolute) return 0;
  return rowsTop_ + rowOffset_;
}

bool clsCustomReport::LastRow() const {
  const float needed = ignoreNextNewRow_ ? rowHeight_ : 2 * rowHeight_;
  return rowsTop_ + rowOffset_ + needed >= rowsBottom_;
}

double clsCustomReport::AvailableRowDim() const {
  return rowsBottom_ - (rowsTop_ + rowOffset_);
}

bool clsCustomReport::ValidateRowDim() const {
  return AvailableRowDim() >= rowHeight_;
}

double clsCustomReport::AvailableRowDimNext() const {
  const float current = ignoreNextNewRow_ ? 0 : curRowHeight_;
  return rowsBottom_ - (rowsTop_ + rowOffset_ + current);
}

bool clsCustomReport::ValidateRowDimNext() const {
  return AvailableRowDimNext() >= rowHeight_;
}

void clsCustomReport::SetRowDimCur(double height) {
  const float h = float(height);
  if (h > rowHeight_)
    throw Error("La nuova dimensione della riga corrente (" + Shown(h) +
                ") non può superare quella predefinita (" + Shown(rowHeight_) + ")");
  curRowHeight_ = h;
}

void clsCustomReport::EnsureBackground() {
  if (moduleHasOutput_) return;
  Page();
  LoadBackImage();
  moduleHasOutput_ = true;
}

void clsCustomReport::LoadBackImage() {
  if (!backImage_) return;
  const Rect area{leftMargin_ + moduleX_, topMargin_ + moduleY_, moduleWidth_,
                  moduleHeight_ - backBottomMargin_};
  Page().Picture(*backImage_, area);
}

void clsCustomReport::OutlineModule() {
  Surface& s = Page();
  const double left = moduleX_ + leftMargin_ + 0.5;
  const double right = moduleX_ + moduleWidth_ - 0.5;
  const double top = moduleY_ + topMargin_;
  s.SetPenColor(kModuleOutline);
  s.Rectangle(Rect{left, top + 1.0, right - left, moduleY_ + moduleHeight_ - 0.5 - (top + 1.0)},
              false);
  s.SetPenColor(kRowAreaOutline);
  const double rowsTop = top + rowsTop_ + 0.5;
  s.Rectangle(Rect{left, rowsTop, right - left, top + rowsBottom_ - 0.5 - rowsTop}, false);
  s.SetPenColor(color_);
}

void clsCustomReport::NextReportModule() {
  EnsureBackground();
  if (markOutputAreas_) OutlineModule();
  AdvanceModule();
}

void clsCustomReport::AdvanceModule() {
  if (++columnIndex_ < columns_) {
    moduleX_ += moduleWidth_;
  } else {
    columnIndex_ = 0;
    moduleX_ = 0;
    moduleY_ += moduleHeight_;
    const float bottom = moduleY_ + moduleHeight_;
    if (bottom >= float(surface_->PageHeight())) {
      surface_->NewPage();
      moduleY_ = 0;
    }
  }
  curRowHeight_ = rowHeight_;
  ++moduleCount_;
  rowTextExtent_ = 0;
  moduleHasOutput_ = false;
  rowOffset_ = 0;
  ignoreNextNewRow_ = true;
}

void clsCustomReport::NewReportRow() {
  if (!ignoreNextNewRow_) {
    if (ValidateRowDim())
      rowOffset_ += curRowHeight_;
    else
      NextReport();
    curRowHeight_ = rowHeight_;
    rowTextExtent_ = 0;
    if (pendingEvents_) pendingEvents_();
  }
  ignoreNextNewRow_ = false;
}

void clsCustomReport::RowEnd() {
  ignoreNextNewRow_ = false;
  // A row height of zero would never reach the last row.
  if (rowHeight_ <= 0) return;
  while (!LastRow()) NewReportRow();
}

void clsCustomReport::EndReports() {
  std::unique_ptr<Surface> ending = std::move(surface_);
  moduleX_ = moduleY_ = 0;
  columnIndex_ = 0;
  if (ending) ending->EndDocument();
}

void clsCustomReport::SetFont(int16_t size, bool bold, bool italic, std::string_view name,
                              bool underline) {
  Surface& s = Page();
  Font font = s.CurrentFont();
  font.size = size;
  font.bold = bold;
  font.italic = italic;
  font.underline = underline;
  if (!name.empty()) font.name = std::string(name);
  s.SetFont(font);
}

Variant clsCustomReport::Vars(std::string_view name) const {
  auto found = vars_.find(text::Fold(name));
  return found == vars_.end() ? Variant() : found->second;
}

void clsCustomReport::SetVars(std::string_view name, Variant value) {
  vars_[text::Fold(name)] = std::move(value);
}

double clsCustomReport::Nums(std::string_view name) const {
  auto found = vars_.find(text::Fold(name));
  if (found == vars_.end()) return 0;
  return vbscript::ToDouble(found->second, vbscript::Locale::Italian());
}

void clsCustomReport::SetNums(std::string_view name, double value) {
  SetVars(name, Variant::Double(value));
}

std::string clsCustomReport::Strs(std::string_view name) const {
  auto found = vars_.find(text::Fold(name));
  if (found == vars_.end()) return "";
  return vbscript::ToTextOrEmpty(found->second, vbscript::Locale::Italian());
}

void clsCustomReport::SetStrs(std::string_view name, std::string value) {
  SetVars(name, Variant::String(std::move(value)));
}

void clsCustomReport::PrintObject(const std::string& progId, const std::string&,
                                  const std::string&) {
  throw Error("Impossibile stampare l'oggetto esterno \"" + progId +
              "\": gli oggetti esterni non sono disponibili in questa versione del programma.");
}

}  // namespace tillbook::printing
