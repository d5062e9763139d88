// A surface that writes a PDF file: text stays text (selectable, searchable) in embedded fonts
// found through the system's font configuration ("Arial" is served by whatever sans-serif face
// is installed), lines and areas are vectors, pictures are embedded at their own resolution. A
// page break is only taken when something is drawn after it, so ending a document right after a
// break leaves no blank page.
#pragma once

#include <filesystem>
#include <memory>

#include "printing/report_target.h"
#include "printing/surface.h"

namespace tillbook::printing {

class PdfSurface : public Surface {
 public:
  // Creates (replaces) the file; throws tillbook::Error when it cannot be written.
  PdfSurface(const std::filesystem::path& file, PageSize page = kA4);
  ~PdfSurface() override;  // ends the document if still open

  double PageWidth() const override;
  double PageHeight() const override;
  bool IsPreview() const override { return false; }
  void SetFont(const Font& font) override;
  const Font& CurrentFont() const override;
  double TextWidth(std::string_view text) override;
  double TextHeight(std::string_view text) override;
  void Text(double x, double y, std::string_view text) override;
  void RotatedText(double x, double y, std::string_view text, bool upward) override;
  void SetPenColor(Rgb color) override;
  void SetFillColor(Rgb color) override;
  void SetPenWidth(double mm) override;
  double PenWidth() const override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(const Rect& r, bool filled) override;
  void Circle(double cx, double cy, double radius, bool filled) override;
  void FillRectangle(const Rect& r, Rgb color) override;
  void Picture(const Image& image, const Rect& target,
               const std::optional<Rect>& clip = std::nullopt) override;
  void NewPage() override;
  // Writes the file out; throws tillbook::Error when writing failed.
  void EndDocument() override;

  // Pages started so far (a pending break not counted).
  int PageCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A PDF file standing for a printer: one document per run, written when the run ends.
class PdfTarget : public ReportTarget {
 public:
  explicit PdfTarget(std::filesystem::path file, PageSize paper = kA4);
  bool IsPreview() const override { return false; }
  PageSize Page(bool landscape) const override;
  std::unique_ptr<Surface> BeginDocument(bool landscape) override;

 private:
  std::filesystem::path file_;
  PageSize paper_;
};

}  // namespace tillbook::printing
