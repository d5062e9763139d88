// The drawing surface every printed page goes through: a printer page, a preview page, a PDF
// file or a recording for tests. All lengths are millimetres from the top-left corner of the
// printable area; colours are 0x00BBGGRR, the value a script's RGB(r, g, b) gives. A surface is
// one document: it starts on its first page, NewPage moves on, EndDocument finishes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tillbook::printing {

class Image;

// Colour as scripts write it: red in the low byte, blue in the third.
using Rgb = uint32_t;
constexpr Rgb MakeRgb(uint8_t r, uint8_t g, uint8_t b) {
  return Rgb(r) | (Rgb(g) << 8) | (Rgb(b) << 16);
}
constexpr uint8_t RedOf(Rgb c) {
  return c & 0xFF;
}
constexpr uint8_t GreenOf(Rgb c) {
  return (c >> 8) & 0xFF;
}
constexpr uint8_t BlueOf(Rgb c) {
  return (c >> 16) & 0xFF;
}

struct Font {
  std::string name = "Arial";
  double size = 10;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const Font&) const = default;
};

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

class Surface {
 public:
  virtual ~Surface() = default;

  // Size of the printable area (the page height is what layouts call ScaleHeight).
  virtual double PageWidth() const = 0;
  virtual double PageHeight() const = 0;
  // True on preview pages, false on a printer or a file that stands for one.
  virtual bool IsPreview() const = 0;

  virtual void SetFont(const Font& font) = 0;
  virtual const Font& CurrentFont() const = 0;
  // Advance width and line height of UTF-8 text in the current font.
  virtual double TextWidth(std::string_view text) = 0;
  virtual double TextHeight(std::string_view text) = 0;
  // One line of text in the pen colour, its top-left corner (top of the line box) at (x, y).
  virtual void Text(double x, double y, std::string_view text) = 0;
  // One line turned by 90 degrees into the box TextHeight wide and TextWidth tall whose
  // top-left corner is (x, y), on a white background; `upward` reads from bottom to top.
  virtual void RotatedText(double x, double y, std::string_view text, bool upward) = 0;

  virtual void SetPenColor(Rgb color) = 0;
  virtual void SetFillColor(Rgb color) = 0;
  virtual void SetPenWidth(double mm) = 0;
  virtual double PenWidth() const = 0;

  // Pen-coloured lines and outlines; `filled` paints the inside with the fill colour first.
  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  virtual void Rectangle(const Rect& r, bool filled) = 0;
  virtual void Circle(double cx, double cy, double radius, bool filled) = 0;
  // A solid area of one colour with no outline (barcode bars and spaces).
  virtual void FillRectangle(const Rect& r, Rgb color) = 0;
  // The whole picture stretched into `target`; with `clip`, only what falls inside it shows.
  virtual void Picture(const Image& image, const Rect& target,
                       const std::optional<Rect>& clip = std::nullopt) = 0;

  virtual void NewPage() = 0;
  // Finishes the document (writes the file, sends the job); the surface draws nothing after.
  virtual void EndDocument() = 0;
};

}  // namespace tillbook::printing
