#include "printing/internal/cairo_fonts.h"

#include <cstdint>

#include "base/error.h"

namespace tillbook::printing::internal {

namespace {

// Length of the valid UTF-8 sequence starting at s[i], 0 when it is not one.
size_t SequenceLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return 1;
  size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  uint32_t cp = c & (0xFF >> (n + 1));
  for (size_t k = 1; k < n; ++k) {
    const auto d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
  const bool invalid = cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
  return overlong || invalid ? 0 : n;
}

}  // namespace

cairo_font_face_t* CreateFace(const Font& font) {
  return cairo_toy_font_face_create(font.name.empty() ? "sans-serif" : font.name.c_str(),
                                    font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                    font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
}

cairo_font_options_t* CreateLinearOptions() {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  return options;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t n = SequenceLength(text, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

FontMetrics::FontMetrics() {
  SetFont(Font{});
}

FontMetrics::~FontMetrics() {
  if (scaled_) cairo_scaled_font_destroy(scaled_);
}

void FontMetrics::SetFont(const Font& font) {
  cairo_font_face_t* face = CreateFace(font);
  cairo_matrix_t size;
  cairo_matrix_t device;
  cairo_matrix_init_scale(&size, font.size * kMmPerPoint, font.size * kMmPerPoint);
  cairo_matrix_init_identity(&device);
  cairo_font_options_t* options = CreateLinearOptions();
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &size, &device, options);
  cairo_font_options_destroy(options);
  cairo_font_face_destroy(face);
  if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
    const std::string detail = cairo_status_to_string(cairo_scaled_font_status(scaled));
    cairo_scaled_font_destroy(scaled);
    throw Error("Impossibile creare il Font", font.name + ": " + detail);
  }
  if (scaled_) cairo_scaled_font_destroy(scaled_);
  scaled_ = scaled;
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(scaled_, &extents);
  lineHeight_ = extents.height;
  ascent_ = extents.ascent;
}

double FontMetrics::TextWidth(std::string_view text) const {
  if (text.empty()) return 0;
  const std::string valid = ValidUtf8(text);
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(scaled_, valid.c_str(), &extents);
  return extents.x_advance;
}

}  // namespace tillbook::printing::internal
