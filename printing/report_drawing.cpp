// The drawing members of the report engine: text with its word wrap, rotated text, boxes,
// circles, lines, pictures and barcodes, each at row-relative positions.
#include <algorithm>

#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/code128.h"
#include "printing/image.h"
#include "vbscript/conversions.h"

namespace tillbook::printing {

namespace {

constexpr Rgb kShadow = MakeRgb(192, 192, 192);
constexpr double kShadowDepth = 0.8;
constexpr double kShadowMinimum = 2;  // boxes smaller than this on a side get no shadow

// Every occurrence of `from`, scanning left to right without overlaps, as stored layouts
// expect: three CRs in a row become two.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  std::string out;
  size_t at = 0;
  for (size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size())
    out.append(s, at, hit - at).append(to);
  return out.append(s, at);
}

// Line breaks as TxtOut treats them: one CR per break with MultiLine, blanks without.
std::string Normalised(std::string_view text, bool multiLine) {
  std::string s(text);
  if (multiLine) {
    std::replace(s.begin(), s.end(), '\n', '\r');
    return ReplaceAll(std::move(s), "\r\r", "\r");
  }
  s = ReplaceAll(std::move(s), "\r\n", " ");
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

// Byte offset where each character starts, then the length: offsets[k] ends the first k.
std::vector<size_t> CharacterEnds(std::string_view s) {
  std::vector<size_t> ends{0};
  for (size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && i > 0) ends.push_back(i);
  if (!s.empty()) ends.push_back(s.size());
  return ends;
}

int Half(int n) {
  return int(vbscript::RoundHalfEven(n / 2.0));
}

struct LineCut {
  size_t lineEnd;    // bytes of the line to print
  size_t nextStart;  // where the rest begins
};

// Where a line too wide for `width` is cut: the character count k is searched by stepping up
// while the first k characters are narrower than the width and down (halving the step) while
// wider; the line then ends at the last blank within them, or inside a word when there is none.
// At least one character goes on every line, so a very narrow width still makes progress.
LineCut WrapPoint(Surface& s, std::string_view text, double width) {
  const std::vector<size_t> ends = CharacterEnds(text);
  const int n = int(ends.size()) - 1;
  auto widthOf = [&](int k) { return s.TextWidth(text.substr(0, ends[std::clamp(k, 0, n)])); };
  int k = n;
  for (int step = Half(n); step > 0;) {
    const double w = widthOf(k);
    if (w == width) break;
    if (w < width) {
      k += step;
    } else {
      k -= step;
      step = Half(step);
    }
  }
  k = std::clamp(k, 1, n);
  const size_t blank = text.substr(0, ends[k]).rfind(' ');
  if (blank != std::string_view::npos) return {blank, blank + 1};
  return {ends[k], ends[k]};
}

// The rest of a text after a printed line: leading CRs skipped, then leading blanks.
std::string Remainder(const std::string& text, size_t from) {
  from = text.find_first_not_of('\r', from);
  if (from == std::string::npos) return "";
  from = text.find_first_not_of(' ', from);
  return from == std::string::npos ? "" : text.substr(from);
}

}  // namespace

double clsCustomReport::TxtOut(double y, double x, std::string_view text, double width,
                               bool multiLine) {
  EnsureBackground();
  Surface& s = *surface_;
  const double left = CurX() + x;
  const double rowTop = CurY();
  double lineTop = rowTop + y;
  double widest = 0;
  std::string rest = Normalised(text, multiLine);
  while (!rest.empty()) {
    const size_t cr = multiLine ? rest.find('\r') : std::string::npos;
    LineCut cut{rest.size(), rest.size()};
    if (cr != std::string::npos)
      cut = {cr, cr};
    else if (width > 0 && s.TextWidth(rest) > width)
      cut = WrapPoint(s, rest, width);
    const std::string_view line = std::string_view(rest).substr(0, cut.lineEnd);
    s.Text(left, lineTop, line);
    widest = std::max(widest, s.TextWidth(line));
    lineTop += s.TextHeight(line);
    rowTextExtent_ = std::max(rowTextExtent_, float(lineTop - rowTop));
    rest = Remainder(rest, cut.nextStart);
  }
  return widest;
}

double clsCustomReport::TxtOutR(double y, double x, std::string_view text) {
  EnsureBackground();
  const double width = surface_->TextWidth(text);
  surface_->Text(CurX() + x - width, CurY() + y, text);
  return width;
}

double clsCustomReport::TxtOutV(double y, double x, std::string_view text, bool upward,
                                bool bottom) {
  EnsureBackground();
  const double width = surface_->TextWidth(text);
  const double height = surface_->TextHeight(text);
  double top = CurY() + y;
  if (bottom) top += height - width;
  surface_->RotatedText(CurX() + x, top, text, upward);
  return width;
}

void clsCustomReport::BoxOut(double y, double x, double height, double width, bool fill,
                             bool shadow) {
  EnsureBackground();
  Surface& s = *surface_;
  const double left = CurX() + x;
  const double top = CurY() + y;
  if (fill) {
    s.Rectangle(Rect{left, top, width, height}, true);
  } else {
    s.Line(left, top, left + width, top);
    s.Line(left, top + height, left + width, top + height);
    s.Line(left, top, left, top + height);
    s.Line(left + width, top, left + width, top + height);
  }
  if (shadow && std::abs(height) >= kShadowMinimum && std::abs(width) >= kShadowMinimum) {
    const double d = s.PenWidth();
    s.SetPenColor(kShadow);
    s.SetFillColor(kShadow);
    s.Rectangle(Rect{left + kShadowDepth + d, top + height + d, width, kShadowDepth}, true);
    s.Rectangle(Rect{left + width + d, top + kShadowDepth + d, kShadowDepth, height}, true);
    ApplyColor();
  }
}

void clsCustomReport::CircleOut(double y, double x, double radius, bool fill) {
  EnsureBackground();
  surface_->Circle(CurX() + x, CurY() + y, radius, fill);
}

void clsCustomReport::LineOut(double y1, double x1, double y2, double x2) {
  EnsureBackground();
  const double left = CurX();
  const double top = CurY();
  surface_->Line(left + x1, top + y1, left + x2, top + y2);
}

std::shared_ptr<const Image> clsCustomReport::Picture(const std::filesystem::path& path) {
  auto& picture = pictures_[path];
  if (!picture) picture = Image::Load(path);
  return picture;
}

void clsCustomReport::ImageOut(const std::string& file, double y, double x, double height,
                               double width, bool stretch) {
  EnsureBackground();
  const std::filesystem::path path = Resolve(file);
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) {
    ui_.MessageBox("Impossibile accedere al file dell'immagine:\r" + path.string());
    return;
  }
  const std::shared_ptr<const Image> picture = Picture(path);
  const double left = leftMargin_ + moduleX_ + x;
  const double top = topMargin_ + moduleY_ + y;
  const Rect natural{left, top, picture->WidthMm(), picture->HeightMm()};
  if (width == 0 || height == 0)
    surface_->Picture(*picture, natural);
  else if (stretch)
    surface_->Picture(*picture, Rect{left, top, width, height});
  else
    surface_->Picture(*picture, natural, Rect{left, top, width, height});
}

double clsCustomReport::Barcode128bOut(double y, double x, double height, double moduleWidth,
                                       std::string_view code) {
  EnsureBackground();
  return code128::DrawBarcode(*surface_, code, CurY() + y, CurX() + x, height, moduleWidth);
}

}  // namespace tillbook::printing
