#include "printing/held_target.h"

#include <map>
#include <string>
#include <tuple>

#include "printing/image.h"
#include "printing/surface.h"

namespace tillbook::printing {

// Answers questions about the page and the fonts from the real document at once, and keeps
// every other call for later. The font, which text measures depend on, is set on the real
// document at once and kept as well, so the replay sets it again in the same order.
class HeldTarget::HeldSurface : public Surface {
 public:
  explicit HeldSurface(HeldTarget& owner)
      : owner_(owner), real_(*owner.real_surface_), penWidth_(real_.PenWidth()) {}

  double PageWidth() const override { return real_.PageWidth(); }
  double PageHeight() const override { return real_.PageHeight(); }
  bool IsPreview() const override { return real_.IsPreview(); }

  void SetFont(const Font& font) override {
    real_.SetFont(font);
    Keep([font](Surface& s) { s.SetFont(font); });
  }
  const Font& CurrentFont() const override { return real_.CurrentFont(); }
  double TextWidth(std::string_view text) override { return real_.TextWidth(text); }
  double TextHeight(std::string_view text) override { return real_.TextHeight(text); }
  void Text(double x, double y, std::string_view text) override {
    Keep([x, y, t = std::string(text)](Surface& s) { s.Text(x, y, t); }, true);
  }
  void RotatedText(double x, double y, std::string_view text, bool upward) override {
    Keep([=, t = std::string(text)](Surface& s) { s.RotatedText(x, y, t, upward); }, true);
  }
  void SetPenColor(Rgb color) override {
    Keep([color](Surface& s) { s.SetPenColor(color); });
  }
  void SetFillColor(Rgb color) override {
    Keep([color](Surface& s) { s.SetFillColor(color); });
  }
  void SetPenWidth(double mm) override {
    penWidth_ = mm;
    Keep([mm](Surface& s) { s.SetPenWidth(mm); });
  }
  double PenWidth() const override { return penWidth_; }
  void Line(double x1, double y1, double x2, double y2) override {
    Keep([=](Surface& s) { s.Line(x1, y1, x2, y2); }, true);
  }
  void Rectangle(const Rect& r, bool filled) override {
    Keep([=](Surface& s) { s.Rectangle(r, filled); }, true);
  }
  void Circle(double cx, double cy, double radius, bool filled) override {
    Keep([=](Surface& s) { s.Circle(cx, cy, radius, filled); }, true);
  }
  void FillRectangle(const Rect& r, Rgb color) override {
    Keep([=](Surface& s) { s.FillRectangle(r, color); }, true);
  }
  void Picture(const Image& image, const Rect& target, const std::optional<Rect>& clip) override {
    std::shared_ptr<const Image> kept = KeptImage(image);
    Keep([=](Surface& s) { s.Picture(*kept, target, clip); }, true);
  }
  void NewPage() override {
    Keep([](Surface& s) { s.NewPage(); }, true);
  }
  // The real document ends at Release.
  void EndDocument() override {}

 private:
  void Keep(Op op, bool draws = false) {
    owner_.ops_.push_back(std::move(op));
    owner_.drawn_ = owner_.drawn_ || draws;
  }
  // The caller's picture may be gone by the replay: a copy is kept, once per picture (a
  // background painted in every module is one picture).
  std::shared_ptr<const Image> KeptImage(const Image& image) {
    const auto key = std::make_tuple(&image, image.source(), image.width(), image.height());
    auto& kept = images_[key];
    if (!kept) kept = std::make_shared<const Image>(image);
    return kept;
  }

  HeldTarget& owner_;
  Surface& real_;
  double penWidth_;
  std::map<std::tuple<const Image*, std::string, int, int>, std::shared_ptr<const Image>> images_;
};

HeldTarget::HeldTarget(std::shared_ptr<ReportTarget> real) : real_(std::move(real)) {}
HeldTarget::~HeldTarget() = default;

bool HeldTarget::IsPreview() const {
  return real_->IsPreview();
}
PageSize HeldTarget::Page(bool landscape) const {
  return real_->Page(landscape);
}

std::unique_ptr<Surface> HeldTarget::BeginDocument(bool landscape) {
  if (real_surface_) {
    // A document that drew nothing (a printer chosen from the preview starts one and the run
    // another) leaves no blank page behind.
    if (drawn_) ops_.push_back([](Surface& s) { s.NewPage(); });
    drawn_ = false;
  } else {
    real_surface_ = real_->BeginDocument(landscape);
    // Fonts reach the real document at once; the replay starts from its first font.
    const Font font = real_surface_->CurrentFont();
    ops_.push_back([=](Surface& s) { s.SetFont(font); });
  }
  return std::make_unique<HeldSurface>(*this);
}

void HeldTarget::Release() {
  if (!real_surface_) return;
  std::unique_ptr<Surface> surface = std::move(real_surface_);
  std::vector<Op> ops = std::move(ops_);
  ops_.clear();
  drawn_ = false;
  for (const Op& op : ops) op(*surface);
  surface->EndDocument();
}

void HeldTarget::Discard() {
  ops_.clear();
  drawn_ = false;
  real_surface_.reset();
}

}  // namespace tillbook::printing
