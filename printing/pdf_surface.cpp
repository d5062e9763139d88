#include "printing/pdf_surface.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "base/error.h"
#include "printing/image.h"
#include "printing/internal/cairo_fonts.h"

namespace tillbook::printing {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kThinPen = 0.1;  // mm, as the recording surface
// Underline position and thickness as fractions of the font size.
constexpr double kUnderlineDrop = 0.12;
constexpr double kUnderlineThickness = 0.06;

void SetSource(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

}  // namespace

struct PdfSurface::Impl {
  std::filesystem::path file;
  PageSize page;
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  Font font;
  internal::FontMetrics metrics;
  Rgb pen = 0;
  Rgb fill = 0;
  double penWidth = kThinPen;
  bool breakPending = false;
  int pages = 1;
  bool ended = false;
  // Pictures already handed to cairo, by Image::id, so a background repeated on every module
  // is embedded once.
  std::map<uint64_t, cairo_surface_t*> pictures;

  ~Impl() {
    for (auto& [id, s] : pictures) cairo_surface_destroy(s);
    if (cr) cairo_destroy(cr);
    if (surface) cairo_surface_destroy(surface);
  }

  // Takes a pending page break before the first drawing after it.
  cairo_t* Draw() {
    if (breakPending) {
      cairo_show_page(cr);
      breakPending = false;
      ++pages;
    }
    return cr;
  }

  void ApplyFont() {
    cairo_font_face_t* face = internal::CreateFace(font);
    cairo_set_font_face(cr, face);
    cairo_font_face_destroy(face);
    cairo_set_font_size(cr, font.size * internal::kMmPerPoint);
    metrics.SetFont(font);
  }

  // Text with its top-left corner at the origin of the current transformation.
  void ShowText(std::string_view text) {
    const std::string valid = internal::ValidUtf8(text);
    SetSource(cr, pen);
    cairo_move_to(cr, 0, metrics.Ascent());
    cairo_show_text(cr, valid.c_str());
    if (font.underline) {
      const double size = font.size * internal::kMmPerPoint;
      cairo_rectangle(cr, 0, metrics.Ascent() + size * kUnderlineDrop, metrics.TextWidth(text),
                      size * kUnderlineThickness);
      cairo_fill(cr);
    }
  }

  cairo_surface_t* PictureSurface(const Image& image) {
    auto found = pictures.find(image.id());
    if (found != pictures.end()) return found->second;
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width(), image.height());
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < image.height(); ++y)
      std::copy_n(&image.pixels()[size_t(y) * image.width()], image.width(),
                  reinterpret_cast<uint32_t*>(data + size_t(y) * stride));
    cairo_surface_mark_dirty(s);
    pictures.emplace(image.id(), s);
    return s;
  }

  void Stroke() {
    SetSource(cr, pen);
    cairo_set_line_width(cr, penWidth);
    cairo_stroke(cr);
  }

  // Fills the current path with the fill colour when asked, then strokes it with the pen.
  void FillAndStroke(bool filled) {
    if (filled) {
      SetSource(cr, fill);
      cairo_fill_preserve(cr);
    }
    Stroke();
  }
};

PdfSurface::PdfSurface(const std::filesystem::path& file, PageSize page)
    : impl_(std::make_unique<Impl>()) {
  impl_->file = file;
  impl_->page = page;
  impl_->surface =
      cairo_pdf_surface_create(file.c_str(), page.width * kPointsPerMm, page.height * kPointsPerMm);
  if (cairo_surface_status(impl_->surface) != CAIRO_STATUS_SUCCESS)
    throw Error("Impossibile creare il file " + file.string(),
                cairo_status_to_string(cairo_surface_status(impl_->surface)));
  cairo_pdf_surface_set_metadata(impl_->surface, CAIRO_PDF_METADATA_CREATOR, "Tillbook");
  impl_->cr = cairo_create(impl_->surface);
  cairo_scale(impl_->cr, kPointsPerMm, kPointsPerMm);
  cairo_font_options_t* options = internal::CreateLinearOptions();
  cairo_set_font_options(impl_->cr, options);
  cairo_font_options_destroy(options);
  cairo_set_line_cap(impl_->cr, CAIRO_LINE_CAP_SQUARE);
  impl_->ApplyFont();
}

PdfSurface::~PdfSurface() {
  if (!impl_->ended) {
    try {
      EndDocument();
    } catch (const Error&) {
      // A destructor cannot report; callers who care call EndDocument themselves.
    }
  }
}

double PdfSurface::PageWidth() const {
  return impl_->page.width;
}
double PdfSurface::PageHeight() const {
  return impl_->page.height;
}

void PdfSurface::SetFont(const Font& font) {
  impl_->font = font;
  impl_->ApplyFont();
}

const Font& PdfSurface::CurrentFont() const {
  return impl_->font;
}

double PdfSurface::TextWidth(std::string_view text) {
  return impl_->metrics.TextWidth(text);
}

double PdfSurface::TextHeight(std::string_view) {
  return impl_->metrics.LineHeight();
}

void PdfSurface::Text(double x, double y, std::string_view text) {
  cairo_t* cr = impl_->Draw();
  cairo_save(cr);
  cairo_translate(cr, x, y);
  impl_->ShowText(text);
  cairo_restore(cr);
}

void PdfSurface::RotatedText(double x, double y, std::string_view text, bool upward) {
  cairo_t* cr = impl_->Draw();
  const double w = TextWidth(text);
  const double h = impl_->metrics.LineHeight();
  cairo_save(cr);
  cairo_rectangle(cr, x, y, h, w);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  // Reading downward the text's top faces right; reading upward it faces left.
  if (upward) {
    cairo_translate(cr, x, y + w);
    cairo_rotate(cr, -M_PI / 2);
  } else {
    cairo_translate(cr, x + h, y);
    cairo_rotate(cr, M_PI / 2);
  }
  impl_->ShowText(text);
  cairo_restore(cr);
}

void PdfSurface::SetPenColor(Rgb color) {
  impl_->pen = color;
}
void PdfSurface::SetFillColor(Rgb color) {
  impl_->fill = color;
}
void PdfSurface::SetPenWidth(double mm) {
  impl_->penWidth = mm;
}
double PdfSurface::PenWidth() const {
  return impl_->penWidth;
}

void PdfSurface::Line(double x1, double y1, double x2, double y2) {
  cairo_t* cr = impl_->Draw();
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  impl_->Stroke();
}

void PdfSurface::Rectangle(const Rect& r, bool filled) {
  cairo_rectangle(impl_->Draw(), r.x, r.y, r.width, r.height);
  impl_->FillAndStroke(filled);
}

void PdfSurface::Circle(double cx, double cy, double radius, bool filled) {
  cairo_t* cr = impl_->Draw();
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, std::abs(radius), 0, 2 * M_PI);
  impl_->FillAndStroke(filled);
}

void PdfSurface::FillRectangle(const Rect& r, Rgb color) {
  cairo_t* cr = impl_->Draw();
  cairo_rectangle(cr, r.x, r.y, r.width, r.height);
  SetSource(cr, color);
  cairo_fill(cr);
}

void PdfSurface::Picture(const Image& image, const Rect& target, const std::optional<Rect>& clip) {
  if (target.width == 0 || target.height == 0 || image.width() <= 0 || image.height() <= 0) return;
  cairo_t* cr = impl_->Draw();
  cairo_surface_t* picture = impl_->PictureSurface(image);
  cairo_save(cr);
  if (clip) {
    cairo_rectangle(cr, clip->x, clip->y, clip->width, clip->height);
    cairo_clip(cr);
  }
  cairo_translate(cr, target.x, target.y);
  cairo_scale(cr, target.width / image.width(), target.height / image.height());
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
}

void PdfSurface::NewPage() {
  impl_->breakPending = true;
}

void PdfSurface::EndDocument() {
  if (impl_->ended) return;
  impl_->ended = true;
  cairo_surface_finish(impl_->surface);
  const cairo_status_t status = cairo_surface_status(impl_->surface);
  if (status != CAIRO_STATUS_SUCCESS)
    throw Error("Impossibile scrivere il file " + impl_->file.string(),
                cairo_status_to_string(status));
}

int PdfSurface::PageCount() const {
  return impl_->pages;
}

PdfTarget::PdfTarget(std::filesystem::path file, PageSize paper)
    : file_(std::move(file)), paper_(paper) {}

PageSize PdfTarget::Page(bool landscape) const {
  return landscape ? PageSize{paper_.height, paper_.width} : paper_;
}

std::unique_ptr<Surface> PdfTarget::BeginDocument(bool landscape) {
  return std::make_unique<PdfSurface>(file_, Page(landscape));
}

}  // namespace tillbook::printing
