// A 1,000-row list printed to PDF through the report engine and a layout script, against the
// same drawing calls issued straight to the PDF surface (recorded once, replayed without the
// engine and the script). Prints the time of both, pages per second and "ratio R".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>

#include "engine/ui_services.h"
#include "printing/clsCustomReport.h"
#include "printing/pdf_surface.h"
#include "printing/recording_surface.h"
#include "vbscript/interpreter.h"

namespace tillbook::printing {
namespace {

constexpr int kRows = 1000;
constexpr int kRuns = 3;

constexpr const char* kScript = R"(
Function PrintReportMask(ds, prn, bTotal)
  prn.RowPrinting = False
  prn.SetFont 12, True, False, "Arial", False
  prn.TxtOut 0, 0, "Elenco articoli - pagina " & (prn.ReportModuleCount + 1)
  prn.LineOut 7, 0, 7, 190
  If bTotal Then
    prn.TxtOutR 265, 190, "Totale " & FormatNumber(prn.Nums("Totale"), 2)
  End If
  prn.SetFont 9, False, False, "Arial", False
  prn.RowPrinting = True
  PrintReportMask = True
End Function

Function PrintReportRow(dsRow, prn, nRow)
  prn.TxtOut 0.5, 0, "ART" & Right("00000" & nRow, 5)
  prn.TxtOut 0.5, 25, "Descrizione dell'articolo numero " & nRow, 100
  prn.TxtOutR 0.5, 180, FormatNumber(nRow * 1.25, 2)
  prn.LineOut 0, 0, 0, 190
  prn.LineOut prn.RowDim, 0, prn.RowDim, 190
  prn.BoxOut 1, 183, 3, 3
  prn.Nums("Totale") = prn.Nums("Totale") + nRow * 1.25
  PrintReportRow = True
End Function
)";

// The run a print driver makes over a list: a row per record, the mask when a module is full
// and once more with the totals at the end.
void PrintList(std::shared_ptr<ReportTarget> target) {
  engine::ScriptedUi ui;
  auto report = std::make_shared<clsCustomReport>(ui, std::filesystem::temp_directory_path());
  report->SetParameter(target, 0, 0, 10, 10, 1, 5, 12, 255, "", 0, kScript, false, "");
  vbscript::Interpreter script;
  script.AddCode(kScript);
  const Variant prn = Variant::Object(MakeReportScriptObject(report));
  report->InitializeVars();
  report->SetIgnoreNextNewRow(true);
  report->SetRowPrinting(true);
  for (int row = 1; row <= kRows; ++row) {
    report->NewReportRow();
    script.Call("PrintReportRow", {Variant(), prn, Variant::Long(row)});
    if (!report->ValidateRowDimNext()) {
      script.Call("PrintReportMask", {Variant(), prn, Variant::Boolean(false)});
      report->NextReport();
    }
  }
  script.Call("PrintReportMask", {Variant(), prn, Variant::Boolean(true)});
  report->NextReport();
  report->EndReports();
}

double Field(std::istringstream& in) {
  std::string f;
  std::getline(in, f, '\t');
  return std::stod(f);
}

std::string Rest(std::istringstream& in) {
  std::string f;
  std::getline(in, f);
  return f;
}

// A recorded line turned back into the call it stands for (parsed before the clock starts).
std::function<void(Surface&)> Replay(const std::string& line) {
  std::istringstream in(line);
  std::string call;
  std::getline(in, call, '\t');
  if (call == "Text") {
    const double x = Field(in), y = Field(in);
    return [x, y, text = Rest(in)](Surface& s) { s.Text(x, y, text); };
  }
  if (call == "Line") {
    const double x1 = Field(in), y1 = Field(in), x2 = Field(in), y2 = Field(in);
    return [=](Surface& s) { s.Line(x1, y1, x2, y2); };
  }
  if (call == "Font") {
    Font f;
    std::getline(in, f.name, '\t');
    f.size = Field(in);
    f.bold = Field(in) != 0;
    f.italic = Field(in) != 0;
    f.underline = Field(in) != 0;
    return [f](Surface& s) { s.SetFont(f); };
  }
  if (call == "PenColor" || call == "FillColor") {
    const Rgb c = Rgb(std::stoul(Rest(in), nullptr, 16));  // black or white only here
    const bool pen = call == "PenColor";
    return [c, pen](Surface& s) { pen ? s.SetPenColor(c) : s.SetFillColor(c); };
  }
  if (call == "NewPage") return [](Surface& s) { s.NewPage(); };
  if (call == "EndDocument") return [](Surface& s) { s.EndDocument(); };
  return nullptr;  // BeginDocument: the replay opens its own surface
}

double Seconds(const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace
}  // namespace tillbook::printing

int main() {
  using namespace tillbook::printing;
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  auto recording = std::make_shared<RecordingTarget>();
  PrintList(recording);
  std::vector<std::function<void(Surface&)>> calls;
  int pages = 1;
  for (const std::string& line : recording->lines()) {
    if (auto c = Replay(line)) calls.push_back(std::move(c));
    pages += line == "NewPage";
  }
  const double engine =
      Seconds([&] { PrintList(std::make_shared<PdfTarget>(dir / "bench_engine.pdf")); });
  const double direct = Seconds([&] {
    PdfSurface surface(dir / "bench_direct.pdf");
    for (const auto& c : calls) c(surface);
  });
  std::printf("print_bench: %d-row list, %zu drawing calls, about %d pages\n", kRows, calls.size(),
              pages);
  std::printf("engine and script to PDF: %.1f ms (%.0f pages/s)\n", engine * 1e3, pages / engine);
  std::printf("same calls straight to the PDF surface: %.1f ms (%.0f pages/s)\n", direct * 1e3,
              pages / direct);
  std::printf("list printing through the engine: ratio %.2f\n", engine / direct);
  std::filesystem::remove(dir / "bench_engine.pdf");
  std::filesystem::remove(dir / "bench_direct.pdf");
}
