// The drawing surface over a QPainter: millimetres turned into the device's pixels, fonts in
// points, the pen and fill colours of the scripts. Two documents use it: a QPrinter (a printer
// chosen by name, or a PDF file standing for one) and the preview, whose pages are pictures kept
// in memory for the preview window.
#pragma once

#include <QImage>
#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "printing/report_target.h"
#include "printing/surface.h"

class QPainter;
class QPaintDevice;
class QPrinter;

namespace tillbook::printing::ui {

// Draws on a painter that is already active on its device. Page breaks and the end of the
// document are left to the subclasses.
class PainterSurface : public Surface {
 public:
  PainterSurface(PageSize page, bool preview);
  ~PainterSurface() override;

  double PageWidth() const override { return page_.width; }
  double PageHeight() const override { return page_.height; }
  bool IsPreview() const override { return preview_; }
  void SetFont(const Font& font) override;
  const Font& CurrentFont() const override { return font_; }
  double TextWidth(std::string_view text) override;
  double TextHeight(std::string_view text) override;
  void Text(double x, double y, std::string_view text) override;
  void RotatedText(double x, double y, std::string_view text, bool upward) override;
  void SetPenColor(Rgb color) override { pen_ = color; }
  void SetFillColor(Rgb color) override { fill_ = color; }
  void SetPenWidth(double mm) override { penWidth_ = mm; }
  double PenWidth() const override { return penWidth_; }
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(const Rect& r, bool filled) override;
  void Circle(double cx, double cy, double radius, bool filled) override;
  void FillRectangle(const Rect& r, Rgb color) override;
  void Picture(const Image& image, const Rect& target,
               const std::optional<Rect>& clip = std::nullopt) override;
  // A page break is taken only when something is drawn after it, so a run that ends right after
  // a break (the module advance after the totals does) leaves no blank sheet in the printer.
  void NewPage() final { breakPending_ = true; }

 protected:
  // Moves the painter to a new page; called before the first drawing after a break.
  virtual void TakePageBreak() = 0;
  bool breakPending() const { return breakPending_; }
  // Binds the painter of the page being drawn; its device's resolution sets the scale.
  void Attach(QPainter* painter);
  QPainter* painter() const { return painter_; }

 private:
  void ApplyPen();
  void BeginDrawing();
  double Px(double mm) const;

  PageSize page_;
  bool preview_;
  QPainter* painter_ = nullptr;
  double dotsPerMm_ = 96 / 25.4;
  Font font_;
  Rgb pen_ = 0;
  Rgb fill_ = 0;
  double penWidth_ = 0.1;
  bool breakPending_ = false;
};

// A QPrinter as a report target: the installed printer of a device name, or a PDF file.
class PrinterTarget : public ReportTarget {
 public:
  // The printer named `deviceName`; the default printer for "".
  explicit PrinterTarget(const QString& deviceName);
  // A PDF file through the printer path (what a test reads back).
  static std::shared_ptr<PrinterTarget> ToPdfFile(const QString& file);
  ~PrinterTarget() override;

  bool IsPreview() const override { return false; }
  PageSize Page(bool landscape) const override;
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;

  QPrinter& printer() { return *printer_; }
  // The device names of the installed printers, the default first.
  static std::vector<QString> InstalledPrinters();

 private:
  PrinterTarget();
  std::unique_ptr<QPrinter> printer_;
};

// The pages of a preview: each committed page a picture at the preview's resolution. A long
// preview would hold hundreds of megabytes of pictures, so with a spill folder set only the first
// kPagesInMemory stay in memory and the later ones go to "TmpPreview_" + page number + ".bmp"
// files there, read back when shown.
class PreviewPages : public ReportTarget {
 public:
  static constexpr int kPagesInMemory = 16;

  // `paper` is the printer's page; pages are drawn at `dpi`.
  explicit PreviewPages(PageSize paper = kA4, double dpi = 96);
  ~PreviewPages() override;
  bool IsPreview() const override { return true; }
  PageSize Page(bool landscape) const override;
  // Forgets the pages and starts the first one.
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;

  // Where pages beyond kPagesInMemory are written; empty (the default) keeps every page in
  // memory.
  void SetSpillFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  const std::filesystem::path& spillFolder() const { return folder_; }
  // The pages kept in memory.
  const std::vector<QImage>& pages() const { return pages_; }
  int PageCount() const { return static_cast<int>(pages_.size()) + spilled_; }
  // The page at a 0-based index, read back from its file when it was spilled; a null image when
  // that file is gone.
  QImage PageAt(int index) const;
  // Forgets the pages and deletes every "TmpPreview_" file of the spill folder.
  void Clear();

 private:
  friend class PreviewSurface;
  // False when a page to spill could not be written.
  bool Add(const QImage& page);
  std::filesystem::path SpillFile(int pageNumber) const;

  PageSize paper_;
  double dpi_;
  std::vector<QImage> pages_;
  std::filesystem::path folder_;
  int spilled_ = 0;
};

}  // namespace tillbook::printing::ui
