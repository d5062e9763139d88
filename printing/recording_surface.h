// A surface that writes down every call, for tests and for checking a layout as text. One line
// per call: the call's name, then its arguments separated by tabs; lengths in millimetres with
// two decimals and "." as decimal point, colours as RRGGBB in hexadecimal, flags as 0/1, texts as
// drawn. Text is measured with the same fonts as the PDF surface, so a recording and a PDF of
// one report put everything in the same places.
//
//   Font  <name> <points> <bold> <italic> <underline>
//   PenColor <RRGGBB>   FillColor <RRGGBB>   PenWidth <mm>
//   Text <x> <y> <text>            RotatedText <x> <y> <upward> <text>
//   Line <x1> <y1> <x2> <y2>       Rectangle <x> <y> <w> <h> <filled>
//   Circle <cx> <cy> <r> <filled>  FillRectangle <x> <y> <w> <h> <RRGGBB>
//   Picture <source> <x> <y> <w> <h> [<clip x> <clip y> <clip w> <clip h>]
//   NewPage   EndDocument
// A recording target adds "BeginDocument <width> <height> <portrait|landscape>" per document.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "printing/report_target.h"
#include "printing/surface.h"

namespace tillbook::printing {

namespace internal {
class FontMetrics;
}

class RecordingSurface : public Surface {
 public:
  // Records into `log` (shared with a target, or its own when null).
  explicit RecordingSurface(PageSize page = kA4, bool preview = false,
                            std::shared_ptr<std::vector<std::string>> log = nullptr);
  ~RecordingSurface() override;

  const std::vector<std::string>& lines() const { return *log_; }

  double PageWidth() const override { return page_.width; }
  double PageHeight() const override { return page_.height; }
  bool IsPreview() const override { return preview_; }
  void SetFont(const Font& font) override;
  const Font& CurrentFont() const override { return font_; }
  double TextWidth(std::string_view text) override;
  double TextHeight(std::string_view text) override;
  void Text(double x, double y, std::string_view text) override;
  void RotatedText(double x, double y, std::string_view text, bool upward) override;
  void SetPenColor(Rgb color) override;
  void SetFillColor(Rgb color) override;
  void SetPenWidth(double mm) override;
  double PenWidth() const override { return penWidth_; }
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(const Rect& r, bool filled) override;
  void Circle(double cx, double cy, double radius, bool filled) override;
  void FillRectangle(const Rect& r, Rgb color) override;
  void Picture(const Image& image, const Rect& target,
               const std::optional<Rect>& clip = std::nullopt) override;
  void NewPage() override;
  void EndDocument() override;

 private:
  void Record(std::string line);

  PageSize page_;
  bool preview_;
  std::shared_ptr<std::vector<std::string>> log_;
  Font font_;
  std::unique_ptr<internal::FontMetrics> metrics_;
  double penWidth_;
};

// Hands out recording surfaces that all write into one log.
class RecordingTarget : public ReportTarget {
 public:
  explicit RecordingTarget(PageSize page = kA4, bool preview = false);
  bool IsPreview() const override { return preview_; }
  PageSize Page(bool landscape) const override;
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;

  const std::vector<std::string>& lines() const { return *log_; }
  // The lines joined, each ended by "\n".
  std::string Text() const;

 private:
  PageSize page_;
  bool preview_;
  std::shared_ptr<std::vector<std::string>> log_;
};

}  // namespace tillbook::printing
