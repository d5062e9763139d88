#include "printing/clsLabelPrint.h"

#include <initializer_list>
#include <span>

#include "base/error.h"
#include "base/text.h"
#include "printing/clsCustomReport.h"

namespace tillbook::printing {

namespace {

constexpr Rgb kLabelOutline = MakeRgb(255, 0, 0);
constexpr int kWrongArgumentCount = 450;

}  // namespace

clsLabelPrint::clsLabelPrint(engine::UiServices& ui, std::filesystem::path programFolder)
    : report_(std::make_shared<clsCustomReport>(ui, std::move(programFolder))) {}

clsLabelPrint::~clsLabelPrint() {
  EndLabels();
}

void clsLabelPrint::SetParameter(std::shared_ptr<ReportTarget> target, double labelHeight,
                                 double labelWidth, double topMargin, double leftMargin,
                                 int16_t columns, bool endDocument, bool landscape) {
  const PageSize page = target->Page(landscape);
  labelHeight_ = labelHeight > 0 ? labelHeight : page.height;
  labelWidth_ = labelWidth > 0 ? labelWidth : page.width;
  top_ = topMargin;
  left_ = leftMargin;
  columns_ = columns > 0 ? columns : 1;
  endDocument_ = endDocument;
  // One module per label, its row area the whole label: the report engine then places the
  // labels across and down the sheet and breaks pages where labels do.
  report_->SetParameter(std::move(target), labelHeight_, labelWidth_, top_, left_, columns_,
                        labelHeight_, 0, labelHeight_, "", 0, "", landscape, "");
  report_->SetRowPrinting(false);
  labelX_ = labelY_ = 0;
  columnIndex_ = pageLabelCount_ = 0;
  copyCount_ = 1;
  ignoreLabel_ = false;
}

bool clsLabelPrint::Preview() const {
  return report_->Preview();
}

void clsLabelPrint::NextLabel() {
  if (ignoreLabel_) {
    ignoreLabel_ = false;
    return;
  }
  Surface* surface = report_->surface();
  if (surface && surface->IsPreview()) {
    surface->SetPenColor(kLabelOutline);
    surface->Rectangle({labelX_ + left_, labelY_ + top_, labelWidth_, labelHeight_}, false);
    surface->SetPenColor(report_->Color());
  }
  ++pageLabelCount_;
  const double pageHeight = surface ? surface->PageHeight() : 0;
  if (++columnIndex_ < columns_) {
    labelX_ += labelWidth_;
  } else {
    columnIndex_ = 0;
    labelX_ = 0;
    labelY_ += labelHeight_;
    if (labelY_ + labelHeight_ >= pageHeight) {
      labelY_ = 0;
      pageLabelCount_ = 0;
    }
  }
  report_->NextReportModule();
  report_->SetRowPrinting(false);
}

void clsLabelPrint::ForceEndDocument() {
  try {
    report_->EndReports();
  } catch (const Error&) {
    // A document that cannot be ended any more has nothing left to lose.
  }
}

void clsLabelPrint::EndLabels() {
  if (endDocument_) ForceEndDocument();
  labelX_ = labelY_ = 0;
  columnIndex_ = 0;
}

namespace {

// `prn` in label scripts. The label's own members are answered here; the drawing members and
// the variables are the report engine's, reached through its script object.
class LabelScriptObject : public Object {
 public:
  explicit LabelScriptObject(std::shared_ptr<clsLabelPrint> labels)
      : labels_(std::move(labels)), drawing_(MakeReportScriptObject(labels_->drawingShared())) {}

  std::string TypeName() const override { return "clsLabelPrint"; }

  bool HasMember(std::string_view name) const override { return IsOwn(name) || IsDrawing(name); }

  Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override {
    auto is = [&](const char* m) { return text::EqualNoCase(name, m); };
    const bool assign = kind == InvokeKind::Let || kind == InvokeKind::Set;
    clsLabelPrint& l = *labels_;
    if (is("NextLabel")) return l.NextLabel(), Variant();
    if (is("PageLabelCount")) return Variant::Integer(l.PageLabelCount());
    if (is("ForceEndDocument")) return l.ForceEndDocument(), Variant();
    if (is("EndLabels")) return l.EndLabels(), Variant();
    if (is("Preview")) return Variant::Boolean(l.Preview());
    if (is("NextCopy")) return Variant::Integer(l.NextCopy());
    if (is("IgnoreLabel")) {
      if (!assign) return Variant::Boolean(l.IgnoreLabel());
      l.SetIgnoreLabel(args.back().ToBool());
      return {};
    }
    if (is("CopyCount")) {
      if (!assign) return Variant::Integer(l.CopyCount());
      l.SetCopyCount(static_cast<int16_t>(args.back().ToDouble()));
      return {};
    }
    // Label boxes have no shadow.
    if (is("BoxOut") && args.size() > 5)
      throw Error("Numero di argomenti errato per BoxOut.", "", kWrongArgumentCount);
    if (IsDrawing(name)) return drawing_->Invoke(name, kind, args);
    return Object::Invoke(name, kind, args);
  }

 private:
  static bool Among(std::string_view name, std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (text::EqualNoCase(name, n)) return true;
    return false;
  }
  static bool IsOwn(std::string_view name) {
    return Among(name, {"NextLabel", "PageLabelCount", "ForceEndDocument", "EndLabels", "Preview",
                        "NextCopy", "IgnoreLabel", "CopyCount"});
  }
  static bool IsDrawing(std::string_view name) {
    return Among(name, {"TxtOut", "TxtOutR", "TxtOutV", "BoxOut", "CircleOut", "LineOut",
                        "ImageOut", "Barcode128bOut", "SetFont", "Color", "PrintObject", "Vars",
                        "Nums", "Strs", "VarsCount", "ResetVars"});
  }

  std::shared_ptr<clsLabelPrint> labels_;
  std::shared_ptr<tillbook::Object> drawing_;
};

}  // namespace

std::shared_ptr<tillbook::Object> MakeLabelScriptObject(std::shared_ptr<clsLabelPrint> labels) {
  return std::make_shared<LabelScriptObject>(std::move(labels));
}

}  // namespace tillbook::printing
