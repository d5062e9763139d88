#include "printing/recording_surface.h"

#include <cstdio>

#include "printing/image.h"
#include "printing/internal/cairo_fonts.h"

namespace tillbook::printing {

namespace {

// Lengths with two decimals and "." whatever the process locale says.
std::string Mm(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s = buf;
  for (char& c : s)
    if (c == ',') c = '.';
  return s == "-0.00" ? "0.00" : s;
}

std::string Hex(Rgb c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
  return buf;
}

std::string Flag(bool b) {
  return b ? "1" : "0";
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string line;
  for (const std::string& p : parts) {
    if (!line.empty()) line += '\t';
    line += p;
  }
  return line;
}

std::string RectArgs(const Rect& r) {
  return Join({Mm(r.x), Mm(r.y), Mm(r.width), Mm(r.height)});
}

// The default pen: the thinnest line a printer draws, about one device dot.
constexpr double kThinPen = 0.1;

}  // namespace

RecordingSurface::RecordingSurface(PageSize page, bool preview,
                                   std::shared_ptr<std::vector<std::string>> log)
    : page_(page),
      preview_(preview),
      log_(log ? std::move(log) : std::make_shared<std::vector<std::string>>()),
      metrics_(std::make_unique<internal::FontMetrics>()),
      penWidth_(kThinPen) {}

RecordingSurface::~RecordingSurface() = default;

void RecordingSurface::Record(std::string line) {
  log_->push_back(std::move(line));
}

void RecordingSurface::SetFont(const Font& font) {
  metrics_->SetFont(font);
  font_ = font;
  Record(Join({"Font", font.name, Mm(font.size), Flag(font.bold), Flag(font.italic),
               Flag(font.underline)}));
}

double RecordingSurface::TextWidth(std::string_view text) {
  return metrics_->TextWidth(text);
}

double RecordingSurface::TextHeight(std::string_view) {
  return metrics_->LineHeight();
}

void RecordingSurface::Text(double x, double y, std::string_view text) {
  Record(Join({"Text", Mm(x), Mm(y), std::string(text)}));
}

void RecordingSurface::RotatedText(double x, double y, std::string_view text, bool upward) {
  Record(Join({"RotatedText", Mm(x), Mm(y), Flag(upward), std::string(text)}));
}

void RecordingSurface::SetPenColor(Rgb color) {
  Record(Join({"PenColor", Hex(color)}));
}

void RecordingSurface::SetFillColor(Rgb color) {
  Record(Join({"FillColor", Hex(color)}));
}

void RecordingSurface::SetPenWidth(double mm) {
  penWidth_ = mm;
  Record(Join({"PenWidth", Mm(mm)}));
}

void RecordingSurface::Line(double x1, double y1, double x2, double y2) {
  Record(Join({"Line", Mm(x1), Mm(y1), Mm(x2), Mm(y2)}));
}

void RecordingSurface::Rectangle(const Rect& r, bool filled) {
  Record(Join({"Rectangle", RectArgs(r), Flag(filled)}));
}

void RecordingSurface::Circle(double cx, double cy, double radius, bool filled) {
  Record(Join({"Circle", Mm(cx), Mm(cy), Mm(radius), Flag(filled)}));
}

void RecordingSurface::FillRectangle(const Rect& r, Rgb color) {
  Record(Join({"FillRectangle", RectArgs(r), Hex(color)}));
}

void RecordingSurface::Picture(const Image& image, const Rect& target,
                               const std::optional<Rect>& clip) {
  std::string line = Join({"Picture", image.source(), RectArgs(target)});
  if (clip) line += '\t' + RectArgs(*clip);
  Record(std::move(line));
}

void RecordingSurface::NewPage() {
  Record("NewPage");
}

void RecordingSurface::EndDocument() {
  Record("EndDocument");
}

RecordingTarget::RecordingTarget(PageSize page, bool preview)
    : page_(page), preview_(preview), log_(std::make_shared<std::vector<std::string>>()) {}

PageSize RecordingTarget::Page(bool landscape) const {
  return landscape ? PageSize{page_.height, page_.width} : page_;
}

std::unique_ptr<Surface> RecordingTarget::BeginDocument(bool landscape) {
  const PageSize page = Page(landscape);
  log_->push_back(Join(
      {"BeginDocument", Mm(page.width), Mm(page.height), landscape ? "landscape" : "portrait"}));
  return std::make_unique<RecordingSurface>(page, preview_, log_);
}

std::string RecordingTarget::Text() const {
  std::string text;
  for (const std::string& line : *log_) text += line + "\n";
  return text;
}

}  // namespace tillbook::printing
