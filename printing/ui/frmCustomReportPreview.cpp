#include "printing/ui/frmCustomReportPreview.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/ui_services.h"
#include "printing/ui/painter_surface.h"

namespace tillbook::printing::ui {

namespace {

// The zoom choices, in list order.
enum Zoom { k200, k300, kFitArea, kAutomatic, kStretch };

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text, const QString& tip) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setToolTip(tip);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

frmCustomReportPreview::frmCustomReportPreview(PreviewPages& pages, engine::UiServices& ui,
                                               PrinterList printers, QWidget* parent)
    : QDialog(parent), pages_(pages), ui_(ui), printers_(std::move(printers)) {
  setObjectName(QStringLiteral("frmCustomReportPreview"));
  setWindowTitle(QStringLiteral("Anteprima di stampa"));
  if (!printers_) printers_ = &PrinterTarget::InstalledPrinters;
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  auto* first = NewButton(this, "cmdFirst", QStringLiteral("|<"), QStringLiteral("Prima pagina"));
  auto* previous =
      NewButton(this, "cmdPrevious", QStringLiteral("<"), QStringLiteral("Pagina precedente"));
  page_ = new QSpinBox(this);
  page_->setObjectName(QStringLiteral("txtPage"));
  total_ = new QLabel(this);
  total_->setObjectName(QStringLiteral("lblPages"));
  auto* next = NewButton(this, "cmdNext", QStringLiteral(">"), QStringLiteral("Pagina successiva"));
  auto* last = NewButton(this, "cmdLast", QStringLiteral(">|"), QStringLiteral("Ultima pagina"));
  zoom_ = new QComboBox(this);
  zoom_->setObjectName(QStringLiteral("cmbZoom"));
  zoom_->addItems({QStringLiteral("200 %"), QStringLiteral("300 %"),
                   QStringLiteral("Adatta all'area"), QStringLiteral("Automatico"),
                   QStringLiteral("Estendi")});
  zoom_->setCurrentIndex(kFitArea);
  auto* copy = NewButton(this, "cmdCopy", QStringLiteral("&Copia"),
                         QStringLiteral("Copia la pagina negli appunti"));
  auto* print = NewButton(this, "cmdPrint", QStringLiteral("&Stampa..."),
                          QStringLiteral("Stampa su una stampante"));
  auto* close = NewButton(this, "cmdClose", QStringLiteral("&Chiudi"), QString());
  // The arrows are as narrow as their text; the words keep the style's button width.
  for (QPushButton* arrow : {first, previous, next, last})
    arrow->setMaximumWidth(arrow->fontMetrics().horizontalAdvance(arrow->text()) * 2 + 16);
  for (QWidget* w : std::initializer_list<QWidget*>{first, previous, page_, total_, next, last,
                                                    zoom_, copy, print})
    bar->addWidget(w);
  bar->addStretch();
  bar->addWidget(close);
  layout->addLayout(bar);
  area_ = new QScrollArea(this);
  area_->setObjectName(QStringLiteral("picView"));
  area_->setAlignment(Qt::AlignCenter);
  area_->setBackgroundRole(QPalette::Dark);
  view_ = new QLabel(area_);
  view_->setObjectName(QStringLiteral("picPage"));
  area_->setWidget(view_);
  layout->addWidget(area_, 1);

  connect(first, &QPushButton::clicked, this, [this] { ShowPage(0); });
  connect(previous, &QPushButton::clicked, this, [this] { ShowPage(index_ - 1); });
  connect(next, &QPushButton::clicked, this, [this] { ShowPage(index_ + 1); });
  connect(last, &QPushButton::clicked, this, [this] { ShowPage(PageCount() - 1); });
  connect(page_, &QSpinBox::valueChanged, this, [this](int value) { ShowPage(value - 1); });
  connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { RefreshView(); });
  connect(copy, &QPushButton::clicked, this, [this] { CopyPage(); });
  connect(print, &QPushButton::clicked, this, [this] { Print(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  resize(800, 900);
  ShowPage(0);
}

// The pages are done with once the window goes: the spilled ones' files are deleted with them.
frmCustomReportPreview::~frmCustomReportPreview() {
  pages_.Clear();
}

int frmCustomReportPreview::PageCount() const {
  return pages_.PageCount();
}

QString frmCustomReportPreview::ShowPreview() {
  chosenPrinter_.clear();
  ShowPage(0);
  exec();
  return chosenPrinter_;
}

void frmCustomReportPreview::ShowPage(int index) {
  const int count = PageCount();
  index_ = std::clamp(index, 0, std::max(0, count - 1));
  const QSignalBlocker block(page_);
  page_->setRange(count > 0 ? 1 : 0, count);
  page_->setValue(count > 0 ? index_ + 1 : 0);
  total_->setText(QStringLiteral("di ") + QString::number(count));
  RefreshView();
}

void frmCustomReportPreview::RefreshView() {
  if (PageCount() == 0) {
    view_->clear();
    return;
  }
  const QImage page = pages_.PageAt(index_);
  // The room inside the scroll area, less a margin so no scroll bar appears for a fitted page.
  const QSize room = area_->viewport()->size() - QSize(8, 8);
  QSize size = page.size();
  switch (zoom_->currentIndex()) {
    case k200:
      size *= 2;
      break;
    case k300:
      size *= 3;
      break;
    case kFitArea:
      size.scale(room, Qt::KeepAspectRatio);
      break;
    case kAutomatic:  // the page's width fills the window; the height scrolls
      size.scale(room.width(), page.height() * room.width() / std::max(1, page.width()),
                 Qt::IgnoreAspectRatio);
      break;
    case kStretch:
      size = room;
      break;
  }
  view_->setPixmap(QPixmap::fromImage(
      page.scaled(size.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  view_->resize(view_->pixmap().size());
}

void frmCustomReportPreview::CopyPage() {
  if (PageCount() == 0) return;
  QApplication::clipboard()->setImage(pages_.PageAt(index_));
  ui_.MessageBox("La pagina è stata copia negli appunti.", engine::Buttons::Ok,
                 engine::Icon::Information);
}

void frmCustomReportPreview::Print() {
  const std::vector<QString> names = printers_();
  std::vector<std::string> items;
  for (const QString& n : names) items.push_back(n.toStdString());
  const auto chosen = ui_.SelectFromList("Selezione Stampante", "Stampante:", items);
  if (!chosen) return;
  chosenPrinter_ = names[*chosen];
  accept();
}

void frmCustomReportPreview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  RefreshView();
}

}  // namespace tillbook::printing::ui
