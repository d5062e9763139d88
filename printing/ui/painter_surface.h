// The drawing surface over a QPainter: millimetres turned into the device's pixels, fonts in
// points, the pen and fill colours of the scripts. Two documents use it: a QPrinter (a printer
// chosen by name, or a PDF file standing for one) and the preview, whose pages are pictures kept
// in memory for the preview window.
#pragma once

#include <QImage>
#include <QString>
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

 protected:
  // Binds the painter of the page being drawn; its device's resolution sets the scale.
  void Attach(QPainter* painter);
  QPainter* painter() const { return painter_; }

 private:
  void ApplyPen();
  double Px(double mm) const;

  PageSize page_;
  bool preview_;
  QPainter* painter_ = nullptr;
  double dotsPerMm_ = 96 / 25.4;
  Font font_;
  Rgb pen_ = 0;
  Rgb fill_ = 0;
  double penWidth_ = 0.1;
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

// The pages of a preview: each committed page a picture at the preview's resolution.
class PreviewPages : public ReportTarget {
 public:
  // `paper` is the printer's page; pages are drawn at `dpi`.
  explicit PreviewPages(PageSize paper = kA4, double dpi = 96);
  bool IsPreview() const override { return true; }
  PageSize Page(bool landscape) const override;
  // Forgets the pages and starts the first one.
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;

  const std::vector<QImage>& pages() const { return pages_; }
  void Clear() { pages_.clear(); }

 private:
  friend class PreviewSurface;
  PageSize paper_;
  double dpi_;
  std::vector<QImage> pages_;
};

}  // namespace tillbook::printing::ui
