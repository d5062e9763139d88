// tillbook-cli payments: the open instalments of customers and suppliers (not paid, not replaced
// by the follow-up of an unpaid one), soonest due first, with amount, document and subject — the
// list a shop checks every morning. Read-only, like query.
#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/date.h"
#include "base/error.h"
#include "base/json.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/open_archive.h"
#include "cli/report.h"
#include "cli/switches.h"
#include "data/payment_rules.h"
#include "engine/dataset.h"

namespace tillbook::cli {

namespace {

constexpr const char* kUsage =
    "Uso: tillbook-cli payments DIR [--customer CODICE|--supplier CODICE] [--due-before DATA] "
    "[--unpaid] [--format tsv|json]\n";

struct Open {
  std::string side;  // "cliente" / "fornitore"
  std::optional<DateTime> due;
  Money amount;
  int64_t rata = 0;
  int64_t modality = 0;
  std::string document, code, subject, note;
  std::optional<DateTime> documentDate;
};

struct Options {
  std::string dir, customer, supplier, format = "tsv";
  std::optional<DateTime> dueBefore;
  bool unpaid = false;
};

bool Nothing(const Variant& v) {
  return v.IsNull() || v.IsEmpty();
}
std::optional<DateTime> DateOf(const Variant& v) {
  if (Nothing(v)) return std::nullopt;
  return v.ToDateTime();
}

void Read(engine::Connection& c, const data::PaymentSide& side, const std::string& code,
          const Options& o, std::vector<Open>& out) {
  const std::string h = std::string(side.header) + ".";
  const std::string p = h + std::string(side.party) + ".";
  engine::SelectRequest request;
  request.table = std::string(side.instalments);
  request.filter = "Pagato=False";
  request.fields = "NumeroRata,Importo,DataScadenza,Modalità,Note," +
                   std::string(side.tracksUnpaid ? "Insoluto," : "") + h +
                   "Documento AS Documento," + h + "DataDocumento AS DataDocumento," + p +
                   "Codice AS Codice," + p + "RagioneSociale AS RagioneSociale";
  engine::DataSet ds(c, request);
  auto col = [&](const char* name) { return ds.ColumnIndex(name); };
  const int iRata = col("NumeroRata"), iAmount = col("Importo"), iDue = col("DataScadenza"),
            iMod = col("Modalità"), iNote = col("Note"), iUnpaid = col("Insoluto"),
            iDoc = col("Documento"), iDocDate = col("DataDocumento"), iCode = col("Codice"),
            iName = col("RagioneSociale");
  ds.ForEachRow([&](const std::vector<Variant>& v) {
    Open r;
    r.side = side.tracksUnpaid ? "cliente" : "fornitore";
    r.due = DateOf(v[iDue]);
    r.amount = Nothing(v[iAmount]) ? Money() : v[iAmount].ToMoney();
    r.rata = Nothing(v[iRata]) ? 0 : v[iRata].ToInt64();
    r.modality = Nothing(v[iMod]) ? 0 : v[iMod].ToInt64();
    r.note = v[iNote].ToText();
    r.document = v[iDoc].ToText();
    r.documentDate = DateOf(v[iDocDate]);
    r.code = v[iCode].ToText();
    r.subject = v[iName].ToText();
    // An unpaid instalment's amount is carried by its follow-up.
    if (iUnpaid >= 0 && !Nothing(v[iUnpaid]) && v[iUnpaid].ToBool()) return true;
    if (!code.empty() && !text::EqualNoCase(code, r.code)) return true;
    if (o.dueBefore && (!r.due || !(*r.due < *o.dueBefore))) return true;
    if (o.unpaid && r.note.find(data::kUnpaidMark) == std::string::npos) return true;
    out.push_back(std::move(r));
    return true;
  });
}

std::string Day(const std::optional<DateTime>& d) {
  return d ? d->ToIsoDate() : "";
}
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return s;
}

bool Parse(const Args& args, Options& o, std::ostream& err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--customer" && hasValue)
      o.customer = args[++i];
    else if (a == "--supplier" && hasValue)
      o.supplier = args[++i];
    else if (a == "--format" && hasValue)
      o.format = args[++i];
    else if (a == "--unpaid")
      o.unpaid = true;
    else if (a == "--due-before" && hasValue) {
      const std::string& value = args[++i];
      o.dueBefore = DateTime::ParseIso(value);
      if (!o.dueBefore) o.dueBefore = DateTime::ParseItalian(value);
      if (!o.dueBefore) {
        err << "Data non valida: " << value << " (usare aaaa-mm-gg oppure gg/mm/aaaa).\n";
        return false;
      }
    } else if (o.dir.empty() && a.rfind("--", 0) != 0)
      o.dir = a;
    else {
      err << kUsage;
      return false;
    }
  }
  if (o.dir.empty() || (o.format != "tsv" && o.format != "json") ||
      (!o.customer.empty() && !o.supplier.empty())) {
    err << kUsage;
    return false;
  }
  return true;
}

}  // namespace

int PaymentsCommand(const Args& argsIn, std::ostream& out, std::ostream& err) {
  Args args = argsIn;
  SwitchOverrides overrides;
  if (auto problem = TakeSwitches(args, overrides); !problem.empty()) {
    err << problem << '\n';
    return 2;
  }
  Options o;
  if (!Parse(args, o, err)) return 2;
  std::vector<Open> rows;
  try {
    OpenArchive a(err);
    OpenForReading(a, o.dir, overrides);
    engine::ReadTransaction read(a.connection);
    // The unpaid follow-ups exist on the customer side only.
    if (o.supplier.empty()) Read(a.connection, data::CustomerPaymentSide(), o.customer, o, rows);
    if (o.customer.empty() && !o.unpaid)
      Read(a.connection, data::SupplierPaymentSide(), o.supplier, o, rows);
  } catch (const Error& e) {
    return ReportFailure(err, e);
  }
  // Soonest due first; instalments without a due date last.
  std::stable_sort(rows.begin(), rows.end(), [](const Open& x, const Open& y) {
    if (x.due.has_value() != y.due.has_value()) return x.due.has_value();
    if (x.due && *x.due != *y.due) return *x.due < *y.due;
    if (x.side != y.side) return x.side < y.side;
    if (x.document != y.document) return x.document < y.document;
    return x.rata < y.rata;
  });
  static const char* const kColumns[] = {"Lato",     "DataScadenza", "Importo",       "NumeroRata",
                                         "Modalità", "Documento",    "DataDocumento", "Codice",
                                         "Soggetto", "Note"};
  if (o.format == "tsv") {
    for (size_t c = 0; c < std::size(kColumns); ++c) out << (c ? "\t" : "") << kColumns[c];
    out << '\n';
    for (const Open& r : rows)
      out << r.side << '\t' << Day(r.due) << '\t' << r.amount.ToFixed(2) << '\t' << r.rata << '\t'
          << r.modality << '\t' << OneLine(r.document) << '\t' << Day(r.documentDate) << '\t'
          << OneLine(r.code) << '\t' << OneLine(r.subject) << '\t' << OneLine(r.note) << '\n';
    return 0;
  }
  out << '[';
  for (size_t i = 0; i < rows.size(); ++i) {
    const Open& r = rows[i];
    auto date = [](const std::optional<DateTime>& d) {
      return d ? json::Quote(d->ToIsoDate()) : std::string("null");
    };
    out << (i ? "," : "") << "{\"Lato\":" << json::Quote(r.side)
        << ",\"DataScadenza\":" << date(r.due) << ",\"Importo\":" << r.amount.ToFixed(2)
        << ",\"NumeroRata\":" << r.rata << ",\"Modalità\":" << r.modality
        << ",\"Documento\":" << json::Quote(r.document)
        << ",\"DataDocumento\":" << date(r.documentDate) << ",\"Codice\":" << json::Quote(r.code)
        << ",\"Soggetto\":" << json::Quote(r.subject) << ",\"Note\":" << json::Quote(r.note) << '}';
  }
  out << "]\n";
  return 0;
}

}  // namespace tillbook::cli
