// tillbook-cli recalc: the recalculation tools of the main window's Tools menu on DIR's archive
// (stock and order quantities, customer and supplier totals, purchase prices from the loads of
// a period, the base mark-up). Questions take --answers (then yes), the phases are printed on
// the standard error as the progress window would show them.
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/date.h"
#include "base/error.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "mainwindow/recalc.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli recalc DIR quantities|totals|prices --from DATA --to DATA|markup "
    "[--answers yes,no,...] [--set KEY=VALUE ...]\n";

// The terminal's stand-in for the person, with each phase of the progress window on its line.
class RecalcConsole : public ConsoleUi {
 public:
  RecalcConsole(std::ostream& err, std::vector<bool> answers)
      : ConsoleUi(err, std::move(answers), true), err_(err) {}
  void ProgressStart(std::string_view text, int) override { err_ << text << '\n'; }

 private:
  std::ostream& err_;
};

// "aaaa-mm-gg" or "gg/mm/aaaa".
std::optional<DateTime> ParseDay(const std::string& text) {
  if (auto d = DateTime::ParseIso(text)) return d;
  return DateTime::ParseItalian(text);
}

}  // namespace

int RecalcCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  if (auto problem = TakeSwitches(args, overrides); !problem.empty()) {
    err << problem << '\n';
    return 2;
  }
  std::vector<std::string> positional;
  std::vector<bool> answers;
  std::optional<DateTime> from, to;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "--from" || a == "--to") && hasValue) {
      const std::string& value = args[++i];
      const std::optional<DateTime> day = ParseDay(value);
      if (!day) {
        err << "Data non valida: " << value << " (usare aaaa-mm-gg oppure gg/mm/aaaa).\n";
        return 2;
      }
      (a == "--from" ? from : to) = day;
    } else if (a == "--answers" && hasValue) {
      if (!ParseAnswers(args[++i], answers)) {
        err << "Risposte non valide: " << args[i] << " (usare yes o no).\n";
        return 2;
      }
    } else if (a.rfind("--", 0) == 0) {
      err << kUsage;
      return 2;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) {
    err << kUsage;
    return 2;
  }
  const std::string& tool = positional[1];
  const bool prices = tool == "prices";
  if ((tool != "quantities" && tool != "totals" && !prices && tool != "markup") ||
      (prices != (from && to))) {
    err << kUsage;
    return 2;
  }
  if (prices && *to < *from) {
    err << "La data iniziale è successiva a quella finale.\n";
    return 2;
  }
  try {
    RecalcConsole ui(err, answers);
    engine::Connection connection(&ui);
    connection.Open(ArchivePath(positional[0]));
    data::TableSwitches switches = core::WorkingSwitches(connection);
    overrides.ApplyTo(switches);
    engine::Database database(std::make_unique<data::DB>(switches), "Tillbook");
    database.Attach(connection);
    mainwindow::ToolOutcome outcome;
    if (tool == "quantities")
      outcome = mainwindow::RecalcQuantities(connection, ui, switches);
    else if (tool == "totals")
      outcome = mainwindow::RecalcSubjectTotals(connection, ui);
    else if (prices)
      outcome = mainwindow::RecalcPurchasePrices(connection, ui, *from, *to);
    else
      outcome = mainwindow::ResetBaseMarkup(connection, ui);
    out.flush();
    if (outcome == mainwindow::ToolOutcome::Completed) return 0;
    err << "Operazione annullata.\n";
    return 1;
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
}

}  // namespace tillbook::cli
