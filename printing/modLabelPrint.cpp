#include "printing/modLabelPrint.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "base/error.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/script_dataset.h"
#include "engine/ui_services.h"
#include "printing/clsLabelPrint.h"
#include "printing/held_target.h"
#include "printing/layouts.h"
#include "printing/report_script.h"
#include "vbscript/errors.h"
#include "vbscript/interpreter.h"

namespace tillbook::printing {

namespace {

using engine::Buttons;
using engine::Icon;

constexpr std::chrono::milliseconds kScriptTimeLimit{30000};
constexpr int kMostSkipped = 9999;

// A whole number of digits only (blanks around allowed); nullopt for anything else.
std::optional<int64_t> WholeNumber(std::string_view answer) {
  const std::string_view digits = text::Trim(answer);
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  int64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

class LabelRun {
 public:
  LabelRun(const PrintServices& services, const ReportSource& source, const LabelRequest& request)
      : services_(services),
        ui_(*services.ui),
        source_(source),
        rows_(source.rows->dataSet()),
        request_(request) {}

  bool Execute();

 private:
  std::string Caption() const;
  bool Configure(const LabelLayout& layout, std::shared_ptr<ReportTarget> target);
  std::optional<int> SkipCount(const LabelLayout& layout);
  std::optional<int64_t> Quantity();
  std::vector<int64_t> Records();
  bool PrintLabel();
  bool Labels(const LabelLayout& layout, int skip);
  bool Preview(const LabelLayout& layout);

  const PrintServices& services_;
  engine::UiServices& ui_;
  const ReportSource& source_;
  engine::DataSet& rows_;
  const LabelRequest& request_;
  std::shared_ptr<HeldTarget> held_;
  std::shared_ptr<clsLabelPrint> labels_;
  std::unique_ptr<vbscript::Interpreter> script_;
  int step_ = 0;
};

std::string LabelRun::Caption() const {
  if (!source_.caption.empty()) return source_.caption;
  const std::string& table = rows_.request().table;
  const std::string& caption = source_.connection->Table(table).def->Caption;
  return caption.empty() ? table : caption;
}

// The engine on `target` and the layout's script compiled; false after telling why not.
bool LabelRun::Configure(const LabelLayout& layout, std::shared_ptr<ReportTarget> target) {
  held_ = std::make_shared<HeldTarget>(std::move(target));
  labels_ = std::make_shared<clsLabelPrint>(ui_, services_.programFolder);
  labels_->SetParameter(held_, layout.labelHeight, layout.labelWidth, layout.top, layout.left,
                        static_cast<int16_t>(layout.columns), true, layout.landscape);
  script_ = std::make_unique<vbscript::Interpreter>();
  script_->SetTimeLimit(kScriptTimeLimit);
  try {
    script_->AddCode(layout.script);
  } catch (const vbscript::ScriptError& e) {
    ui_.MessageBox(ScriptFailureText("Errore di inizializzazione del codice di stampa: ",
                                     e.description(), e.number(), e.line()),
                   Buttons::Ok, Icon::Critical);
    return false;
  }
  return true;
}

std::optional<int> LabelRun::SkipCount(const LabelLayout& layout) {
  if (request_.skipCount >= 0) return request_.skipCount;
  // One label per sheet leaves nothing to skip.
  if (!layout.enableAlignment || (layout.labelHeight <= 0 && layout.columns <= 1)) return 0;
  const std::optional<std::string> answer = ui_.InputBox(
      "Per saltare alcune etichette già stampate impostare la quantità di quelle già stampate, "
      "altrimenti confermare <0>\nPOSIZIONARE LA CARTA PER LA STAMPA...",
      "Conferma Stampa Etichette", "0");
  if (!answer || text::Trim(*answer).empty()) return std::nullopt;
  const std::optional<int64_t> n = WholeNumber(*answer);
  if (!n || *n > kMostSkipped) {
    ui_.Beep();
    return std::nullopt;
  }
  return static_cast<int>(*n);
}

std::optional<int64_t> LabelRun::Quantity() {
  int64_t quantity = request_.quantity;
  if (!request_.quantityField.empty()) {
    std::optional<engine::Row> row = rows_.CurrentRow();
    const Variant v = row ? row->Get(request_.quantityField) : Variant();
    quantity = v.IsNull() || v.IsEmpty() ? 0 : static_cast<int64_t>(v.ToDouble());
  }
  while (request_.askQuantity) {
    const std::optional<std::string> answer =
        ui_.InputBox("Imposta il numero di etichette:", Caption(), std::to_string(quantity));
    if (const std::optional<int64_t> n = answer ? WholeNumber(*answer) : std::nullopt) {
      quantity = *n;
      break;
    }
    if (ui_.AskYesNo("Vuoi interrompere la stampa ?")) return std::nullopt;
  }
  return quantity;
}

std::vector<int64_t> LabelRun::Records() {
  std::vector<int64_t> records;
  if (!request_.selectedOnly) {
    for (int64_t i = 0, n = rows_.RowCount(); i < n; ++i) records.push_back(i);
  } else if (request_.selection && !request_.selection->empty()) {
    records = *request_.selection;
  } else if (!rows_.IsBOF() && !rows_.IsEOF()) {
    records.push_back(rows_.Position());
  }
  return records;
}

bool LabelRun::PrintLabel() {
  Variant args[] = {Variant::Object(source_.rows), Variant::Object(MakeLabelScriptObject(labels_))};
  try {
    return script_->Call("PrintLabel", args).ToBool();
  } catch (const vbscript::ScriptError& e) {
    ui_.MessageBox(ScriptFailureText("Errore nel codice di stampa dell'etichetta: ",
                                     e.description(), e.number(), e.line()),
                   Buttons::Ok, Icon::Critical);
    return false;
  }
}

bool LabelRun::Labels(const LabelLayout& layout, int skip) {
  const std::vector<int64_t> records = Records();
  ui_.ProgressStart("Stampa etichette in corso...", static_cast<int>(records.size()));
  for (int i = 0; i < skip; ++i) {
    if (!ui_.ProgressStep(++step_)) return false;
    labels_->NextLabel();
  }
  const int copies = std::max(1, layout.copies);
  for (int64_t record : records) {
    labels_->SetCopyCount(1);
    for (int copy = 1; copy <= copies; ++copy) {
      if (copy == 1) rows_.Move(record);
      const std::optional<int64_t> quantity = Quantity();
      if (!quantity) return false;
      for (int64_t q = 0; q < *quantity; ++q) {
        if (!ui_.ProgressStep(++step_) || !PrintLabel()) return false;
        labels_->NextLabel();
      }
      labels_->NextCopy();
    }
  }
  return true;
}

// Without printing: the first label on the preview window.
bool LabelRun::Preview(const LabelLayout& layout) {
  if (!services_.preview) throw Error("L'anteprima di stampa non è disponibile.");
  if (!Configure(layout, services_.preview)) return false;
  if (!rows_.IsBOF() && !rows_.IsEOF() && PrintLabel()) labels_->NextLabel();
  labels_->EndLabels();
  held_->Release();
  if (services_.showPreview) services_.showPreview();
  return true;
}

bool LabelRun::Execute() {
  if (request_.skipCount == -1 && request_.print && (rows_.IsBOF() || rows_.IsEOF())) {
    ui_.MessageBox("Devi selezionare elementi validi per la stampa delle etichette", Buttons::Ok,
                   Icon::Information);
    return false;
  }
  const std::string table = request_.tableName.empty() ? rows_.request().table : request_.tableName;
  const std::optional<LabelLayout> layout = FindLabelLayout(*source_.connection, table);
  if (!layout) {
    ui_.MessageBox(
        "Nessuna Stampa Etichette è stata configurata per questi dati (" + Caption() + ")",
        Buttons::Ok, Icon::Information);
    return false;
  }
  if (!request_.print) return Preview(*layout);
  std::string printer = layout->printer;
  if ((layout->askPrinter || printer.empty()) && services_.choosePrinter) {
    const std::optional<PrinterChoice> choice = services_.choosePrinter(1);
    if (!choice) return false;
    printer = choice->printer;
  }
  if (!Configure(*layout, FindPrinter(services_, printer))) return false;
  const std::optional<int> skip = SkipCount(*layout);
  const bool completed = skip && Labels(*layout, *skip);
  ui_.ProgressEnd();
  if (!completed) {
    held_->Discard();
    return false;
  }
  labels_->EndLabels();
  held_->Release();
  return true;
}

}  // namespace

bool PrintLabels(const PrintServices& services, const ReportSource& source,
                 const LabelRequest& request) {
  LabelRun run(services, source, request);
  try {
    return run.Execute();
  } catch (const Error& e) {
    services.ui->MessageBox("Si e' verificato un errore durante la stampa:\n\n" + e.message(),
                            Buttons::Ok, Icon::Critical);
    return false;
  }
}

}  // namespace tillbook::printing
