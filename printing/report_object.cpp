// The report engine as scripts reach it: `prn.TxtOut 10, 5, "Totale"`, `prn.Nums("x") = 3`.
// Arguments convert as the script language converts them (Italian regional settings); members
// that are not properties refuse assignment with error 450, unknown names error 438.
#include <unordered_map>

#include "base/error.h"
#include "base/text.h"
#include "printing/clsCustomReport.h"
#include "printing/image.h"
#include "vbscript/conversions.h"
#include "vbscript/locale.h"

namespace tillbook::printing {

namespace {

constexpr int kWrongArguments = 450;
constexpr int32_t kMissingArgument = -2147352572;  // what a call leaves out, f(a, , b)

using Args = std::span<Variant>;
const vbscript::Locale& Italian() {
  return vbscript::Locale::Italian();
}

bool Missing(Args a, size_t i) {
  return i >= a.size() || (a[i].type() == VarType::Error && a[i].AsInteger() == kMissingArgument);
}
const Variant& Required(Args a, size_t i) {
  if (Missing(a, i)) throw Error("", "", kWrongArguments);
  return a[i];
}
double Num(Args a, size_t i) {
  return vbscript::ToDouble(Required(a, i), Italian());
}
double NumOr(Args a, size_t i, double fallback) {
  return Missing(a, i) ? fallback : vbscript::ToDouble(a[i], Italian());
}
bool FlagOr(Args a, size_t i, bool fallback) {
  return Missing(a, i) ? fallback : vbscript::ToBoolean(a[i], Italian());
}
std::string Str(Args a, size_t i) {
  return vbscript::ToTextOrEmpty(Required(a, i), Italian());
}
std::string StrOr(Args a, size_t i) {
  return Missing(a, i) ? "" : vbscript::ToTextOrEmpty(a[i], Italian());
}
int16_t Short(Args a, size_t i) {
  return vbscript::ToInteger(Required(a, i), Italian());
}

Variant Single(double v) {
  return Variant::Single(float(v));
}

// The background picture as scripts see a picture: its size in hundredths of a millimetre.
class PictureObject : public Object {
 public:
  explicit PictureObject(std::shared_ptr<const Image> image) : image_(std::move(image)) {}
  std::string TypeName() const override { return "Picture"; }
  bool HasMember(std::string_view name) const override {
    return text::EqualNoCase(name, "Width") || text::EqualNoCase(name, "Height");
  }
  Variant Invoke(std::string_view name, InvokeKind kind, Args args) override {
    if (kind != InvokeKind::Get || !HasMember(name)) return Object::Invoke(name, kind, args);
    const double mm = text::EqualNoCase(name, "Width") ? image_->WidthMm() : image_->HeightMm();
    return Variant::Long(int32_t(mm * 100 + 0.5));
  }

 private:
  std::shared_ptr<const Image> image_;
};

// A member: `call` serves reads and calls, `let` assignments (null: read-only).
struct Member {
  Variant (*call)(clsCustomReport&, Args);
  void (*let)(clsCustomReport&, Args, const Variant&) = nullptr;
};

Variant Done() {
  return Variant();
}

const std::unordered_map<std::string, Member>& Members() {
  using R = clsCustomReport;
  static const std::unordered_map<std::string, Member> members = {
      {"setparameter", {[](R& r, Args a) {
         r.SetParameter(Str(a, 0), Num(a, 1), Num(a, 2), Num(a, 3), Num(a, 4), Short(a, 5),
                        Num(a, 6), Num(a, 7), Num(a, 8), StrOr(a, 9), NumOr(a, 10, 0), StrOr(a, 11),
                        FlagOr(a, 12, false), StrOr(a, 13));
         return Done();
       }}},
      {"changeprinter", {[](R& r, Args a) { return r.ChangePrinter(Str(a, 0)), Done(); }}},
      {"initializevars", {[](R& r, Args) { return r.InitializeVars(), Done(); }}},
      {"txtout", {[](R& r, Args a) {
         return Single(
             r.TxtOut(Num(a, 0), Num(a, 1), Str(a, 2), NumOr(a, 3, 0), FlagOr(a, 4, false)));
       }}},
      {"txtoutr",
       {[](R& r, Args a) { return Single(r.TxtOutR(Num(a, 0), Num(a, 1), Str(a, 2))); }}},
      {"txtoutv", {[](R& r, Args a) {
         return Single(
             r.TxtOutV(Num(a, 0), Num(a, 1), Str(a, 2), FlagOr(a, 3, false), FlagOr(a, 4, false)));
       }}},
      {"boxout", {[](R& r, Args a) {
         r.BoxOut(Num(a, 0), Num(a, 1), Num(a, 2), Num(a, 3), FlagOr(a, 4, false),
                  FlagOr(a, 5, false));
         return Done();
       }}},
      {"printobject",
       {[](R& r, Args a) { return r.PrintObject(Str(a, 0), StrOr(a, 1), StrOr(a, 2)), Done(); }}},
      {"circleout", {[](R& r, Args a) {
         return r.CircleOut(Num(a, 0), Num(a, 1), Num(a, 2), FlagOr(a, 3, false)), Done();
       }}},
      {"lineout", {[](R& r, Args a) {
         return r.LineOut(Num(a, 0), Num(a, 1), Num(a, 2), Num(a, 3)), Done();
       }}},
      {"imageout", {[](R& r, Args a) {
         r.ImageOut(Str(a, 0), Num(a, 1), Num(a, 2), NumOr(a, 3, 0), NumOr(a, 4, 0),
                    FlagOr(a, 5, false));
         return Done();
       }}},
      {"loadbackimage", {[](R& r, Args) { return r.LoadBackImage(), Done(); }}},
      {"nextreportmodule", {[](R& r, Args) { return r.NextReportModule(), Done(); }}},
      {"nextreport", {[](R& r, Args) { return r.NextReport(), Done(); }}},
      {"newreportrow", {[](R& r, Args) { return r.NewReportRow(), Done(); }}},
      {"newrow", {[](R& r, Args) { return r.NewRow(), Done(); }}},
      {"setfont", {[](R& r, Args a) {
         r.SetFont(Short(a, 0), FlagOr(a, 1, false), FlagOr(a, 2, false), StrOr(a, 3),
                   FlagOr(a, 4, false));
         return Done();
       }}},
      {"endreports", {[](R& r, Args) { return r.EndReports(), Done(); }}},
      {"rowend", {[](R& r, Args) { return r.RowEnd(), Done(); }}},
      {"rowprinting",
       {[](R& r, Args) { return Variant::Boolean(r.RowPrinting()); },
        [](R& r, Args, const Variant& v) { r.SetRowPrinting(vbscript::ToBoolean(v, Italian())); }}},
      {"curx", {[](R& r, Args) { return Single(r.CurX()); }}},
      {"cury", {[](R& r, Args) { return Single(r.CurY()); }}},
      {"rowy", {[](R& r, Args a) { return Single(r.RowY(FlagOr(a, 0, false))); }}},
      {"lastrow", {[](R& r, Args) { return Variant::Boolean(r.LastRow()); }}},
      {"availablerowdim", {[](R& r, Args) { return Single(r.AvailableRowDim()); }}},
      {"validaterowdim", {[](R& r, Args) { return Variant::Boolean(r.ValidateRowDim()); }}},
      {"availablerowdimnext", {[](R& r, Args) { return Single(r.AvailableRowDimNext()); }}},
      {"validaterowdimnext", {[](R& r, Args) { return Variant::Boolean(r.ValidateRowDimNext()); }}},
      {"backimagefile", {[](R& r, Args) { return Variant::String(r.BackImageFile()); }}},
      {"backimage", {[](R& r, Args) {
         auto image = r.BackImage();
         return image ? Variant::Object(std::make_shared<PictureObject>(image))
                      : Variant::Nothing();
       }}},
      {"reportmodulecount", {[](R& r, Args) { return Variant::Integer(r.ReportModuleCount()); }}},
      {"reportcount", {[](R& r, Args) { return Variant::Integer(r.ReportCount()); }}},
      {"reportmoduleisempty",
       {[](R& r, Args) { return Variant::Boolean(r.ReportModuleIsEmpty()); }}},
      {"vars",
       {[](R& r, Args a) { return r.Vars(Str(a, 0)); },
        [](R& r, Args a, const Variant& v) { r.SetVars(Str(a, 0), v); }}},
      {"nums",
       {[](R& r, Args a) { return Variant::Double(r.Nums(Str(a, 0))); },
        [](R& r, Args a, const Variant& v) {
          r.SetNums(Str(a, 0), vbscript::ToDouble(v, Italian()));
        }}},
      {"strs",
       {[](R& r, Args a) { return Variant::String(r.Strs(Str(a, 0))); },
        [](R& r, Args a, const Variant& v) {
          r.SetStrs(Str(a, 0), vbscript::ToTextOrEmpty(v, Italian()));
        }}},
      {"varscount", {[](R& r, Args) { return Variant::Integer(r.VarsCount()); }}},
      {"resetvars", {[](R& r, Args) { return r.ResetVars(), Done(); }}},
      {"barcode128bout", {[](R& r, Args a) {
         return Single(r.Barcode128bOut(Num(a, 0), Num(a, 1), Num(a, 2), Num(a, 3), Str(a, 4)));
       }}},
      {"vbscript", {[](R& r, Args) { return Variant::String(r.VBScript()); }}},
      {"ignorenextnewrow",
       {[](R& r, Args) { return Variant::Boolean(r.IgnoreNextNewRow()); },
        [](R& r, Args, const Variant& v) {
          r.SetIgnoreNextNewRow(vbscript::ToBoolean(v, Italian()));
        }}},
      {"preview", {[](R& r, Args) { return Variant::Boolean(r.Preview()); }}},
      {"color",
       {[](R& r, Args) { return Variant::Long(int32_t(r.Color())); },
        [](R& r, Args, const Variant& v) { r.SetColor(Rgb(vbscript::ToLong(v, Italian()))); }}},
      {"rowdim", {[](R& r, Args) { return Single(r.RowDim()); }}},
      {"rowdimtext", {[](R& r, Args) { return Single(r.RowDimText()); }}},
      {"rowdimcur",
       {[](R& r, Args) { return Single(r.RowDimCur()); },
        [](R& r, Args, const Variant& v) { r.SetRowDimCur(vbscript::ToDouble(v, Italian())); }}},
      {"datareferencename", {[](R& r, Args) { return Variant::String(r.DataReferenceName()); }}},
      {"setdatareferencename",
       {[](R& r, Args a) { return r.SetDataReferenceName(Str(a, 0)), Done(); }}},
      {"reportgroupname",
       {[](R& r, Args) { return Variant::String(r.ReportGroupName()); },
        [](R& r, Args, const Variant& v) {
          r.SetReportGroupName(vbscript::ToTextOrEmpty(v, Italian()));
        }}},
      {"markoutputareas",
       {[](R& r, Args) { return Variant::Boolean(r.MarkOutputAreas()); },
        [](R& r, Args, const Variant& v) {
          r.SetMarkOutputAreas(vbscript::ToBoolean(v, Italian()));
        }}},
  };
  return members;
}

class ReportObject : public Object {
 public:
  explicit ReportObject(std::shared_ptr<clsCustomReport> report) : report_(std::move(report)) {}
  std::string TypeName() const override { return "clsCustomReport"; }
  bool HasMember(std::string_view name) const override {
    return Members().contains(text::Fold(name));
  }
  Variant Invoke(std::string_view name, InvokeKind kind, Args args) override {
    auto found = Members().find(text::Fold(name));
    if (found == Members().end()) return Object::Invoke(name, kind, args);
    const Member& m = found->second;
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) {
      if (!m.let || args.empty()) throw Error("", "", kWrongArguments);
      m.let(*report_, args.first(args.size() - 1), args.back());
      return Variant();
    }
    return m.call(*report_, args);
  }

 private:
  std::shared_ptr<clsCustomReport> report_;
};

}  // namespace

std::shared_ptr<Object> MakeReportScriptObject(std::shared_ptr<clsCustomReport> report) {
  return std::make_shared<ReportObject>(std::move(report));
}

}  // namespace tillbook::printing
