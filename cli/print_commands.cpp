// tillbook-cli layout, print and labels: report and label layouts exported to and imported from
// ".vbs" files, a report layout run on the rows of a table, and one label per row. Headless, the
// output is a PDF file, a recording of the drawing calls (one line per call, positions in
// millimetres) or a printer of the system's print service, which takes the finished PDF.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/script_dataset.h"
#include "printing/layout_files.h"
#include "printing/layouts.h"
#include "printing/modCustomReport.h"
#include "printing/modLabelPrint.h"
#include "printing/pdf_surface.h"
#include "printing/recording_surface.h"

extern char** environ;

namespace tillbook::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLayoutUsage =
    "Uso: tillbook-cli layout export DIR --table T [--reference R] [--name N] FILE.vbs "
    "[--answers yes|no] [--set KEY=VALUE ...]\n"
    "     tillbook-cli layout import DIR FILE.vbs --table T [--reference R] [--set KEY=VALUE "
    "...]\n";
constexpr const char* kPrintUsage =
    "Uso: tillbook-cli print DIR --table T [--filter F] [--sort S] [--reference R] "
    "[--layout NOME] [--group G] [--rows N|--test] [--copies N] [--note CAMPO] "
    "(--pdf OUT.pdf|--record OUT.txt|--printer NOME) [--set KEY=VALUE ...]\n";
constexpr const char* kLabelsUsage =
    "Uso: tillbook-cli labels DIR --table T [--filter F] [--quantity N] [--skip K] "
    "(--pdf OUT.pdf|--record OUT.txt) [--set KEY=VALUE ...]\n";

// Options with a value ("--table T"), flags ("--test") and the other arguments in order.
struct Options {
  std::map<std::string, std::string> values;
  std::vector<std::string> flags;
  std::vector<std::string> positional;
  bool Has(const std::string& key) const { return values.count(key) != 0; }
  std::string Get(const std::string& key) const {
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  }
  bool Flag(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
  }
};

// False for an unknown option, one given twice or one missing its value.
bool ParseOptions(const Args& args, const std::vector<std::string>& withValue,
                  const std::vector<std::string>& flags, Options& options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      options.positional.push_back(a);
    } else if (std::find(withValue.begin(), withValue.end(), a) != withValue.end()) {
      if (i + 1 >= args.size() || options.Has(a)) return false;
      options.values[a] = args[++i];
    } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
      options.flags.push_back(a);
    } else {
      return false;
    }
  }
  return true;
}

// A whole number from `text`, at least `least`; nullopt otherwise.
std::optional<int> Count(const std::string& text, int least) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n >= least ? std::optional<int>(n) : std::nullopt;
}

// The archive of DIR with its definitions attached, as the writing commands open it.
struct Archive {
  explicit Archive(engine::UiServices& ui) : connection(&ui) {}
  void Open(const std::string& dir, const SwitchOverrides& overrides) {
    connection.Open(ArchivePath(dir));
    data::TableSwitches switches = core::WorkingSwitches(connection);
    overrides.ApplyTo(switches);
    database = std::make_unique<engine::Database>(std::make_unique<data::DB>(switches), "Tillbook");
    database->Attach(connection);
  }
  engine::Connection connection;
  std::unique_ptr<engine::Database> database;
};

// Label layouts exist only where the archive was defined with them.
bool HasLabels(engine::Connection& connection, std::ostream& err) {
  if (connection.catalog().Find("TabStampaEtichette")) return true;
  err << "Le stampe di etichette non sono attive in questo archivio (opzione "
         "EnableGenericLabel).\n";
  return false;
}

// The rows of a table chosen by filter and sort, standing on the first; throws Error for a
// table or text the dialect refuses.
printing::ReportSource SourceOf(engine::Connection& connection, const Options& o) {
  printing::ReportSource source;
  source.connection = &connection;
  source.rows = std::make_shared<engine::ScriptDataSet>(
      connection, engine::SelectRequest{o.Get("--table"), o.Get("--filter"), "", o.Get("--sort")});
  source.rows->dataSet().First();
  return source;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in || fs::is_directory(path)) throw Error("Impossibile leggere il file " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Hands a finished PDF to the system's print service (CUPS' lp accepts PDF as it is). No shell:
// the printer name goes to lp as one argument whatever it holds.
void SendToPrinter(const fs::path& pdf, const std::string& printer) {
  std::vector<std::string> args{"lp", "-s", "-t", "Tillbook"};
  if (!printer.empty()) args.insert(args.end(), {"-d", printer});
  args.push_back(pdf.string());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, "lp", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  const std::string name = printer.empty() ? "predefinita" : "«" + printer + "»";
  if (spawned != 0)
    throw Error("Impossibile stampare sulla stampante " + name +
                ": il servizio di stampa del sistema (lp) non è disponibile.");
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw Error("La stampante " + name + " non ha accettato la stampa.");
}

// Where a run's output goes. The file is written under a temporary name and takes its own name
// only when the run completed, so a failed run leaves no file and an earlier one untouched; a
// printer gets the document only then, so it never prints half a run.
class Output {
 public:
  explicit Output(const Options& o)
      : record_(o.Has("--record")),
        printer_(o.Has("--printer")),
        file_(o.Get(record_ ? "--record" : "--pdf")),
        staging_(printer_ ? fs::temp_directory_path() /
                                ("tillbook-stampa-" + std::to_string(::getpid()) + ".pdf")
                          : fs::path(file_.string() + ".tmp-" + std::to_string(::getpid()))),
        printerName_(o.Get("--printer")) {
    if (record_)
      recording_ = std::make_shared<printing::RecordingTarget>();
    else
      target_ = std::make_shared<printing::PdfTarget>(staging_);
  }
  ~Output() {
    std::error_code ignored;
    fs::remove(staging_, ignored);
  }
  std::shared_ptr<printing::ReportTarget> target() const {
    return record_ ? std::shared_ptr<printing::ReportTarget>(recording_) : target_;
  }
  // Puts the finished output in place. A run that drew nothing has no PDF to keep.
  void Keep() {
    if (record_) {
      std::ofstream out(staging_, std::ios::binary);
      out << recording_->Text();
      out.close();
      if (!out) throw Error("Impossibile scrivere il file " + file_.string());
    }
    if (!fs::exists(staging_)) return;
    if (printer_)
      SendToPrinter(staging_, printerName_);
    else
      fs::rename(staging_, file_);
  }

 private:
  bool record_;
  bool printer_;
  fs::path file_;
  fs::path staging_;
  std::string printerName_;
  std::shared_ptr<printing::RecordingTarget> recording_;
  std::shared_ptr<printing::PdfTarget> target_;
};

// The person at a terminal for print runs. Choosing among several layouts: they are listed, the
// run ends, and --layout picks one next time.
class PrintConsole : public ConsoleUi {
 public:
  explicit PrintConsole(std::ostream& err) : ConsoleUi(err, {}, true), err_(err) {}
  // A script failure's box is titled with the layout: its name goes on the line before.
  engine::Answer MessageBox(std::string_view text, engine::Buttons buttons, engine::Icon icon,
                            int defaultButton, std::string_view title) override {
    if (icon == engine::Icon::Critical && !title.empty())
      err_ << "Prospetto di stampa: " << title << '\n';
    return ConsoleUi::MessageBox(text, buttons, icon, defaultButton, title);
  }
  std::optional<size_t> SelectFromList(std::string_view, std::string_view,
                                       const std::vector<std::string>& items) override {
    err_ << "Più prospetti di stampa corrispondono; sceglierne uno con --layout:\n";
    for (const std::string& item : items) err_ << "  " << item << '\n';
    return std::nullopt;
  }

 private:
  std::ostream& err_;
};

int LayoutExport(const Options& o, const SwitchOverrides& overrides, std::ostream& out,
                 std::ostream& err) {
  std::vector<bool> answers;
  if (o.Has("--answers") && !ParseAnswers(o.Get("--answers"), answers)) {
    err << kLayoutUsage;
    return 2;
  }
  ConsoleUi ui(err, answers, false);
  Archive a(ui);
  a.Open(o.positional[1], overrides);
  const bool report = o.Has("--name");
  std::string text;
  if (report) {
    auto layout = printing::FindReportLayout(a.connection, o.Get("--table"), o.Get("--reference"),
                                             o.Get("--name"));
    if (!layout) {
      err << "Il prospetto di stampa \"" << o.Get("--name") << "\" della tabella "
          << o.Get("--table") << " non esiste.\n";
      return 1;
    }
    text = printing::ExportReportLayout(*layout);
  } else {
    if (!HasLabels(a.connection, err)) return 1;
    auto layout = printing::FindLabelLayout(a.connection, o.Get("--table"));
    if (!layout) {
      err << "La tabella " << o.Get("--table") << " non ha una stampa di etichette.\n";
      return 1;
    }
    text = printing::ExportLabelLayout(*layout);
  }
  const fs::path file = o.positional[2];
  if (fs::exists(file) && !ui.AskYesNo("Il file esiste già...\n\nVuoi sostituirlo ?", {}, 1)) {
    err << "Operazione annullata.\n";
    return 1;
  }
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  stream << text;
  stream.close();
  if (!stream) throw Error("Impossibile scrivere il file " + file.string());
  out << file.string() << '\n';
  return 0;
}

int LayoutImport(const Options& o, const SwitchOverrides& overrides, std::ostream& out,
                 std::ostream& err) {
  const std::string text = ReadFile(o.positional[2]);
  if (!text::IsValidUtf8(text)) {
    err << "Il file " << o.positional[2] << " non è un testo UTF-8.\n";
    return 1;
  }
  const printing::LayoutFile file = printing::ReadLayoutFile(text);
  ConsoleUi ui(err, {}, true);
  Archive a(ui);
  a.Open(o.positional[1], overrides);
  const std::string table = o.Get("--table");
  a.connection.Table(table);  // refuses an unknown table
  bool saved;
  if (file.kind == printing::LayoutKind::Label) {
    if (o.Has("--reference")) {
      err << "Una stampa di etichette non ha riferimento: togliere --reference.\n";
      return 2;
    }
    if (!HasLabels(a.connection, err)) return 1;
    printing::LabelLayout layout =
        printing::FindLabelLayout(a.connection, table).value_or(printing::LabelLayout{});
    layout.table = table;
    printing::ApplyLayoutFile(file, layout);
    saved = printing::SaveLabelLayout(a.connection, layout);
    if (saved) out << "Stampa di etichette importata: " << table << '\n';
  } else {
    printing::ReportLayout fromFile;
    printing::ApplyLayoutFile(file, fromFile);
    if (fromFile.name.empty()) {
      err << "Il file non contiene il nome del prospetto (ReportName).\n";
      return 1;
    }
    // An existing layout of that name keeps what the file does not carry (its printer).
    printing::ReportLayout layout =
        printing::FindReportLayout(a.connection, table, o.Get("--reference"), fromFile.name)
            .value_or(printing::ReportLayout{});
    layout.table = table;
    layout.reference = o.Get("--reference");
    layout.name = fromFile.name;
    printing::ApplyLayoutFile(file, layout);
    saved = printing::SaveReportLayout(a.connection, layout);
    if (saved) out << "Prospetto di stampa importato: " << layout.name << '\n';
  }
  return saved ? 0 : 1;
}

// Exactly one output named (--printer only where allowed).
bool OneOutput(const Options& o, bool printerAllowed) {
  return o.Has("--pdf") + o.Has("--record") + (printerAllowed && o.Has("--printer")) == 1;
}

// Opens the archive and the rows of --table, runs a print or label run on them into the output
// the options name, and puts the output in place only when the run completed.
int RunOnRows(const Options& o, const SwitchOverrides& overrides, std::ostream& err, bool labels,
              const std::function<bool(const printing::PrintServices&,
                                       const printing::ReportSource&)>& run) {
  try {
    PrintConsole ui(err);
    Archive a(ui);
    a.Open(o.positional[0], overrides);
    if (labels && !HasLabels(a.connection, err)) return 1;
    printing::ReportSource source;
    try {
      source = SourceOf(a.connection, o);
    } catch (const Error& e) {
      err << e.message() << '\n';
      LogDetail(err, e.detail());
      return 2;
    }
    Output output(o);
    printing::PrintServices services;
    services.ui = &ui;
    services.printers = [&](std::string_view) { return output.target(); };
    services.programFolder = o.positional[0];
    if (!run(services, source)) return 1;
    output.Keep();
    return 0;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace

int LayoutCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  Options o;
  if (!TakeSwitches(args, overrides).empty() ||
      !ParseOptions(args, {"--table", "--reference", "--name", "--answers"}, {}, o) ||
      o.positional.size() != 3 || !o.Has("--table") ||
      (o.positional[0] != "export" && o.positional[0] != "import") ||
      (o.positional[0] == "import" && (o.Has("--name") || o.Has("--answers")))) {
    err << kLayoutUsage;
    return 2;
  }
  try {
    return o.positional[0] == "export" ? LayoutExport(o, overrides, out, err)
                                       : LayoutImport(o, overrides, out, err);
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

int PrintCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  Options o;
  if (!TakeSwitches(args, overrides).empty() ||
      !ParseOptions(args,
                    {"--table", "--filter", "--sort", "--reference", "--layout", "--group",
                     "--rows", "--copies", "--note", "--pdf", "--record", "--printer"},
                    {"--test"}, o) ||
      o.positional.size() != 1 || !o.Has("--table") || !OneOutput(o, true) ||
      (o.Has("--rows") && (o.Flag("--test") || !Count(o.Get("--rows"), 1))) ||
      (o.Has("--copies") && !Count(o.Get("--copies"), 1))) {
    err << kPrintUsage;
    return 2;
  }
  printing::PrintRequest request;
  request.referenceName = o.Get("--reference");
  request.reportName = o.Get("--layout");
  request.groupName = o.Get("--group");
  request.rowLimit = o.Flag("--test") ? -1 : o.Has("--rows") ? *Count(o.Get("--rows"), 1) : 0;
  request.copies = o.Has("--copies") ? *Count(o.Get("--copies"), 1) : 1;
  request.noteField = o.Get("--note");
  return RunOnRows(o, overrides, err, false,
                   [&](const printing::PrintServices& services,
                       const printing::ReportSource& source) {
                     return printing::PrintCustomReport(services, source, request);
                   });
}

int LabelsCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  Options o;
  if (!TakeSwitches(args, overrides).empty() ||
      !ParseOptions(args, {"--table", "--filter", "--quantity", "--skip", "--pdf", "--record"}, {},
                    o) ||
      o.positional.size() != 1 || !o.Has("--table") || !OneOutput(o, false) ||
      (o.Has("--quantity") && !Count(o.Get("--quantity"), 1)) ||
      (o.Has("--skip") && !Count(o.Get("--skip"), 0))) {
    err << kLabelsUsage;
    return 2;
  }
  printing::LabelRequest request;
  request.skipCount = o.Has("--skip") ? *Count(o.Get("--skip"), 0) : 0;
  request.quantity = o.Has("--quantity") ? *Count(o.Get("--quantity"), 1) : 1;
  return RunOnRows(o, overrides, err, true,
                   [&](const printing::PrintServices& services,
                       const printing::ReportSource& source) {
                     return printing::PrintLabels(services, source, request);
                   });
}

}  // namespace tillbook::cli
