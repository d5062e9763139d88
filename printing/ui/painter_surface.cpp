#include "printing/ui/painter_surface.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <string>
#include <system_error>

#include "base/error.h"
#include "printing/image.h"

namespace tillbook::printing::ui {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;

QColor ColorOf(Rgb c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QString QText(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

PainterSurface::PainterSurface(PageSize page, bool preview) : page_(page), preview_(preview) {}

PainterSurface::~PainterSurface() = default;

void PainterSurface::Attach(QPainter* painter) {
  painter_ = painter;
  dotsPerMm_ = painter->device()->logicalDpiX() / kMmPerInch;
  painter_->setRenderHint(QPainter::Antialiasing);
  SetFont(font_);
}

void PainterSurface::BeginDrawing() {
  if (!breakPending_) return;
  breakPending_ = false;
  TakePageBreak();
}

double PainterSurface::Px(double mm) const {
  return mm * dotsPerMm_;
}

void PainterSurface::SetFont(const Font& font) {
  font_ = font;
  if (!painter_) return;
  QFont f(QString::fromStdString(font.name));
  // The size in device pixels, so a page drawn at any resolution keeps its proportions.
  f.setPixelSize(std::max(1, static_cast<int>(Px(font.size * kMmPerInch / kPointsPerInch) + 0.5)));
  f.setBold(font.bold);
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  painter_->setFont(f);
}

double PainterSurface::TextWidth(std::string_view text) {
  if (!painter_) return 0;
  return QFontMetricsF(painter_->font(), painter_->device()).horizontalAdvance(QText(text)) /
         dotsPerMm_;
}

double PainterSurface::TextHeight(std::string_view) {
  if (!painter_) return 0;
  return QFontMetricsF(painter_->font(), painter_->device()).height() / dotsPerMm_;
}

void PainterSurface::Text(double x, double y, std::string_view text) {
  BeginDrawing();
  painter_->setPen(ColorOf(pen_));
  const QFontMetricsF metrics(painter_->font(), painter_->device());
  painter_->drawText(QPointF(Px(x), Px(y) + metrics.ascent()), QText(text));
}

void PainterSurface::RotatedText(double x, double y, std::string_view text, bool upward) {
  BeginDrawing();
  const double width = TextWidth(text);
  const double height = TextHeight(text);
  // The box is TextHeight wide and TextWidth tall, opaque white under the text.
  painter_->fillRect(QRectF(Px(x), Px(y), Px(height), Px(width)), Qt::white);
  painter_->save();
  if (upward) {
    painter_->translate(Px(x), Px(y + width));
    painter_->rotate(-90);
  } else {
    painter_->translate(Px(x + height), Px(y));
    painter_->rotate(90);
  }
  const QFontMetricsF metrics(painter_->font(), painter_->device());
  painter_->setPen(ColorOf(pen_));
  painter_->drawText(QPointF(0, metrics.ascent()), QText(text));
  painter_->restore();
}

void PainterSurface::ApplyPen() {
  QPen pen(ColorOf(pen_));
  pen.setWidthF(std::max(1.0, Px(penWidth_)));
  painter_->setPen(pen);
}

void PainterSurface::Line(double x1, double y1, double x2, double y2) {
  BeginDrawing();
  ApplyPen();
  painter_->drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
}

void PainterSurface::Rectangle(const Rect& r, bool filled) {
  BeginDrawing();
  ApplyPen();
  painter_->setBrush(filled ? QBrush(ColorOf(fill_)) : QBrush(Qt::NoBrush));
  painter_->drawRect(QRectF(Px(r.x), Px(r.y), Px(r.width), Px(r.height)));
  painter_->setBrush(Qt::NoBrush);
}

void PainterSurface::Circle(double cx, double cy, double radius, bool filled) {
  BeginDrawing();
  ApplyPen();
  painter_->setBrush(filled ? QBrush(ColorOf(fill_)) : QBrush(Qt::NoBrush));
  painter_->drawEllipse(QPointF(Px(cx), Px(cy)), Px(radius), Px(radius));
  painter_->setBrush(Qt::NoBrush);
}

void PainterSurface::FillRectangle(const Rect& r, Rgb color) {
  BeginDrawing();
  painter_->fillRect(QRectF(Px(r.x), Px(r.y), Px(r.width), Px(r.height)), ColorOf(color));
}

void PainterSurface::Picture(const Image& image, const Rect& target,
                             const std::optional<Rect>& clip) {
  BeginDrawing();
  // The pixels are premultiplied ARGB in native order, which QImage reads as they are.
  const QImage picture(reinterpret_cast<const uchar*>(image.pixels().data()), image.width(),
                       image.height(), image.width() * 4, QImage::Format_ARGB32_Premultiplied);
  painter_->save();
  if (clip)
    painter_->setClipRect(QRectF(Px(clip->x), Px(clip->y), Px(clip->width), Px(clip->height)));
  painter_->drawImage(QRectF(Px(target.x), Px(target.y), Px(target.width), Px(target.height)),
                      picture);
  painter_->restore();
}

namespace {

PageSize Printable(const QPrinter& printer) {
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  return {area.width(), area.height()};
}

// A document on a QPrinter: the painter starts on the first page.
class PrinterSurface : public PainterSurface {
 public:
  PrinterSurface(QPrinter& printer, PageSize page)
      : PainterSurface(page, false), printer_(printer) {
    if (!painter_.begin(&printer_))
      throw Error("Impossibile avviare la stampa su " + printer_.printerName().toStdString());
    Attach(&painter_);
  }
  ~PrinterSurface() override {
    if (painter_.isActive()) painter_.end();
  }
  void TakePageBreak() override { printer_.newPage(); }
  void EndDocument() override {
    if (painter_.isActive() && !painter_.end()) throw Error("Stampa non riuscita");
  }

 private:
  QPrinter& printer_;
  QPainter painter_;
};

}  // namespace

PrinterTarget::PrinterTarget() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrinterTarget::PrinterTarget(const QString& deviceName) : PrinterTarget() {
  if (!deviceName.isEmpty()) printer_->setPrinterName(deviceName);
}

std::shared_ptr<PrinterTarget> PrinterTarget::ToPdfFile(const QString& file) {
  std::shared_ptr<PrinterTarget> target(new PrinterTarget());
  target->printer_->setOutputFormat(QPrinter::PdfFormat);
  target->printer_->setOutputFileName(file);
  target->printer_->setPageSize(QPageSize(QPageSize::A4));
  return target;
}

PrinterTarget::~PrinterTarget() = default;

PageSize PrinterTarget::Page(bool landscape) const {
  QPageLayout layout = printer_->pageLayout();
  layout.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  const QRectF area = layout.paintRect(QPageLayout::Millimeter);
  return {area.width(), area.height()};
}

std::unique_ptr<Surface> PrinterTarget::BeginDocument(bool landscape) {
  printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  return std::make_unique<PrinterSurface>(*printer_, Printable(*printer_));
}

std::vector<QString> PrinterTarget::InstalledPrinters() {
  std::vector<QString> names;
  const QString preferred = QPrinterInfo::defaultPrinterName();
  if (!preferred.isEmpty()) names.push_back(preferred);
  for (const QString& name : QPrinterInfo::availablePrinterNames())
    if (name != preferred) names.push_back(name);
  return names;
}

// A page of the preview: a white picture at the preview's resolution, committed at the next
// page break and at the end of the document.
class PreviewSurface : public PainterSurface {
 public:
  PreviewSurface(PreviewPages& pages, PageSize page) : PainterSurface(page, true), pages_(pages) {
    Start();
  }
  // A page left open by a run that stopped is kept as far as it was drawn.
  ~PreviewSurface() override { Commit(); }
  void TakePageBreak() override {
    CommitOrThrow();
    Start();
  }
  void EndDocument() override { CommitOrThrow(); }

 private:
  void Start() {
    const double dotsPerMm = pages_.dpi_ / kMmPerInch;
    image_ = QImage(static_cast<int>(PageWidth() * dotsPerMm + 0.5),
                    static_cast<int>(PageHeight() * dotsPerMm + 0.5), QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(dotsPerMm * 1000 + 0.5);
    image_.setDotsPerMeterX(dotsPerMeter);
    image_.setDotsPerMeterY(dotsPerMeter);
    image_.fill(Qt::white);
    painter_.begin(&image_);
    Attach(&painter_);
  }
  bool Commit() {
    if (!painter_.isActive()) return true;
    painter_.end();
    return pages_.Add(image_);
  }
  void CommitOrThrow() {
    if (!Commit())
      throw Error("Impossibile salvare la pagina di anteprima nella cartella " +
                  pages_.spillFolder().string());
  }

  PreviewPages& pages_;
  QImage image_;
  QPainter painter_;
};

PreviewPages::PreviewPages(PageSize paper, double dpi) : paper_(paper), dpi_(dpi) {}

PreviewPages::~PreviewPages() {
  Clear();
}

std::filesystem::path PreviewPages::SpillFile(int pageNumber) const {
  return folder_ / ("TmpPreview_" + std::to_string(pageNumber) + ".bmp");
}

bool PreviewPages::Add(const QImage& page) {
  if (folder_.empty() || pages_.size() < static_cast<size_t>(kPagesInMemory)) {
    pages_.push_back(page);
    return true;
  }
  if (!page.save(QString::fromStdString(SpillFile(PageCount() + 1).string()), "BMP")) return false;
  ++spilled_;
  return true;
}

QImage PreviewPages::PageAt(int index) const {
  if (index < 0 || index >= PageCount()) return {};
  if (index < static_cast<int>(pages_.size())) return pages_[static_cast<size_t>(index)];
  return QImage(QString::fromStdString(SpillFile(index + 1).string()), "BMP");
}

void PreviewPages::Clear() {
  pages_.clear();
  spilled_ = 0;
  if (folder_.empty()) return;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    const std::string name = entry.path().filename().string();
    // A file left by an earlier preview that ended badly goes too.
    if (name.rfind("TmpPreview_", 0) == 0 && name.find('.') != std::string::npos)
      std::filesystem::remove(entry.path(), error);
  }
}

PageSize PreviewPages::Page(bool landscape) const {
  return landscape ? PageSize{paper_.height, paper_.width} : paper_;
}

std::unique_ptr<Surface> PreviewPages::BeginDocument(bool landscape) {
  Clear();
  return std::make_unique<PreviewSurface>(*this, Page(landscape));
}

}  // namespace tillbook::printing::ui
