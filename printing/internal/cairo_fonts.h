// Fonts through cairo and fontconfig, shared by every surface that must agree on text metrics:
// a layout's font name goes to fontconfig, which serves the closest installed face. Metrics are
// unhinted and linear in the size, so a recording and a PDF measure text identically.
#pragma once

#include <cairo.h>

#include <string>
#include <string_view>

#include "printing/surface.h"

namespace tillbook::printing::internal {

// Millimetres per typographic point.
inline constexpr double kMmPerPoint = 25.4 / 72.0;

// The face fontconfig picks for the font's name, weight and slant; the caller destroys it.
cairo_font_face_t* CreateFace(const Font& font);
// Options for metrics that do not depend on a device: no hinting of outlines or metrics.
cairo_font_options_t* CreateLinearOptions();
// The text with every invalid UTF-8 sequence replaced by U+FFFD (cairo refuses such text).
std::string ValidUtf8(std::string_view text);

// Measures text in one font, in millimetres.
class FontMetrics {
 public:
  FontMetrics();
  ~FontMetrics();
  FontMetrics(const FontMetrics&) = delete;
  FontMetrics& operator=(const FontMetrics&) = delete;

  void SetFont(const Font& font);
  double TextWidth(std::string_view text) const;
  // Distance between baselines of consecutive lines.
  double LineHeight() const { return lineHeight_; }
  // Distance from the top of a line to its baseline.
  double Ascent() const { return ascent_; }

 private:
  cairo_scaled_font_t* scaled_ = nullptr;
  double lineHeight_ = 0;
  double ascent_ = 0;
};

}  // namespace tillbook::printing::internal
