// The report print driver: turns a print request into a finished print or preview. It finds the
// layouts of `TabProspettiStampa` that fit the data (letting the person choose when several
// do), configures a report engine from the chosen one, compiles the layout's script once per
// copy and walks the data: `PrintDataInit` once per data set, `PrintReportRow` per record,
// `PrintNoteRow` per line of the record's note, `PrintReportMask` whenever a module is full and
// once more, with the totals, at the end.
//
// What a printer run draws is held until the run has completed: after a script error, a hook
// that stops or Stop in the progress window, nothing reaches the printer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/report_target.h"

namespace tillbook::engine {
class Connection;
class ScriptDataSet;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::printing {

class clsCustomReport;

// ReferenceName asking for every reference of the current record.
inline constexpr std::string_view kAllReferences = "[ tutti i riferimenti ]";

// The data a request prints: the rows the person is looking at, standing on the current record.
// The rows object is handed to the layout's hooks as `ds` (and as `dsRow` for list prints).
struct ReportSource {
  engine::Connection* connection = nullptr;
  std::shared_ptr<engine::ScriptDataSet> rows;
  std::string caption;  // how messages name the data; empty: the table's caption
};

// The printer and copies chosen in the print dialog.
struct PrinterChoice {
  std::string printer;
  int copies = 1;
};

// What the driver needs from the program around it.
struct PrintServices {
  engine::UiServices* ui = nullptr;
  // Printers by device name ("" the system printer); nullptr when there is none.
  PrinterLookup printers;
  // The preview window's pages, and the window itself: it shows the pages and returns the
  // printer the person chose to print them on, or "" when closed.
  std::shared_ptr<ReportTarget> preview;
  std::function<std::string()> showPreview;
  // The print dialog; nullopt when cancelled. Left empty where the output is fixed beforehand
  // (the command line): the layout's printer is used without asking.
  std::function<std::optional<PrinterChoice>(int copies)> choosePrinter;
  // Where relative picture paths of layouts are found.
  std::filesystem::path programFolder;
};

struct PrintRequest {
  // An engine already configured (the layout editor's preview and test): no layout lookup.
  std::shared_ptr<clsCustomReport> report;
  // Empty: the source's own records; "*": layouts bound to any reference; kAllReferences:
  // every reference of the current record; otherwise one reference.
  std::string referenceName;
  std::string reportName;  // empty: any
  // 0: no limit; 1 or more: stop after that many rows; -1: test mode (one module, areas marked).
  int rowLimit = 0;
  bool preview = false;
  int copies = 1;
  // A text field of the current record whose lines are printed as note rows; empty: none.
  std::string noteField;
  // Positions (0-based) of the selected records in the source's rows.
  std::optional<std::vector<int64_t>> selection;
  std::string groupName;  // empty: any
  // A yes/no field of the current record recording that the document was printed.
  std::string printedField;
};

// Runs a print request. True when the run completed; false when it was refused, cancelled,
// stopped or failed (the person was told why, except after a hook returned False).
bool PrintCustomReport(const PrintServices& services, const ReportSource& source,
                       PrintRequest request);

// The printer of that device name, else the system printer. Throws Error when there is none.
std::shared_ptr<ReportTarget> FindPrinter(const PrintServices& services, const std::string& name);

// True when at least one layout matches the source's tables (no reference condition) and the
// report and group names when given.
bool CustomReportExists(const ReportSource& source, const std::string& groupName,
                        const std::string& reportName);

// The filter selecting the layouts of `table` (and of the tables owning it) for a reference,
// report name and group, as the layout lookup builds it.
std::string ReportLayoutFilter(engine::Connection& connection, const std::string& table,
                               const std::string& referenceName, const std::string& reportName,
                               const std::string& groupName);

}  // namespace tillbook::printing
