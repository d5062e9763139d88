#include "printing/layouts.h"

#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/jet/jet_literal.h"
#include "engine/row.h"

namespace tillbook::printing {

namespace {

constexpr const char* kReportTable = "TabProspettiStampa";
constexpr const char* kLabelTable = "TabStampaEtichette";

std::string TextOf(const engine::Row& row, const char* field) {
  const Variant v = row.Get(field);
  return v.IsNull() || v.IsEmpty() ? std::string() : v.ToText();
}
double NumberOf(const engine::Row& row, const char* field) {
  const Variant v = row.Get(field);
  return v.IsNull() || v.IsEmpty() ? 0.0 : v.ToDouble();
}
bool FlagOf(const engine::Row& row, const char* field) {
  const Variant v = row.Get(field);
  return !v.IsNull() && !v.IsEmpty() && v.ToBool();
}
Variant Text(const std::string& s) {
  return Variant::String(s);
}
Variant Number(double d) {
  return Variant::Double(d);
}
Variant Flag(bool b) {
  return Variant::Boolean(b);
}
Variant Whole(int i) {
  return Variant::Long(i);
}

engine::FieldValues ReportValues(const ReportLayout& l) {
  return {{"NomeTabellaOrigine", Text(l.table)},
          {"NomeReference", Text(l.reference)},
          {"NomeProspetto", Text(l.name)},
          {"NomeGruppo", Text(l.group)},
          {"NomeStampante", Text(l.printer)},
          {"RichiediSelezioneStampante", Flag(l.askPrinter)},
          {"NumeroColonne", Whole(l.columns)},
          {"AltezzaModulo", Number(l.moduleHeight)},
          {"LarghezzaModulo", Number(l.moduleWidth)},
          {"MargineSuperiore", Number(l.top)},
          {"MargineSinistro", Number(l.left)},
          {"MargineSuperioreRighe", Number(l.rowsTop)},
          {"MargineInferioreRighe", Number(l.rowsBottom)},
          {"AltezzaRigheDettaglio", Number(l.rowHeight)},
          {"ImmagineSfondo", Text(l.backImageFile)},
          {"MargineInferioreSfondo", Number(l.backBottomMargin)},
          {"OrientamentoOrizzontale", Flag(l.landscape)},
          {"IstruzioniStampa", Text(l.script)}};
}

engine::FieldValues LabelValues(const LabelLayout& l) {
  return {{"NomeTabellaOrigine", Text(l.table)},
          {"NomeStampante", Text(l.printer)},
          {"RichiediSelezioneStampante", Flag(l.askPrinter)},
          {"NumeroColonne", Whole(l.columns)},
          {"AltezzaEtichetta", Number(l.labelHeight)},
          {"LarghezzaEtichetta", Number(l.labelWidth)},
          {"MargineSuperiore", Number(l.top)},
          {"MargineSinistro", Number(l.left)},
          {"OrientamentoOrizzontale", Flag(l.landscape)},
          {"AbilitaPosizionamento", Flag(l.enableAlignment)},
          {"NumeroCopie", Whole(l.copies)},
          {"IstruzioniStampa", Text(l.script)}};
}

std::optional<engine::Row> FirstRow(engine::Connection& connection, const char* table,
                                    std::string filter) {
  engine::DataSet ds(connection, {table, std::move(filter), "", ""});
  if (ds.IsEmpty()) return std::nullopt;
  ds.First();
  return ds.CurrentRow();
}

std::string ReportKeyFilter(const std::string& table, const std::string& reference,
                            const std::string& name) {
  return jet::JetFilter("NomeTabellaOrigine={} AND NomeReference={} AND NomeProspetto={}",
                        {Text(table), Text(reference), Text(name)});
}

// Writes every value into the record found by `filter`, or adds one, as one action.
bool Store(engine::Connection& connection, const char* table, const std::string& filter,
           const engine::FieldValues& values) {
  return connection.RunAction([&] {
    std::optional<engine::Row> row = FirstRow(connection, table, filter);
    if (!row) return connection.AddRow(table, values).has_value();
    for (const auto& [field, value] : values)
      if (!row->Set(field, value)) return false;
    return row->Save();
  });
}

}  // namespace

ReportLayout ReadReportLayout(const engine::Row& row) {
  ReportLayout l;
  l.table = TextOf(row, "NomeTabellaOrigine");
  l.reference = TextOf(row, "NomeReference");
  l.name = TextOf(row, "NomeProspetto");
  l.group = TextOf(row, "NomeGruppo");
  l.printer = TextOf(row, "NomeStampante");
  l.askPrinter = FlagOf(row, "RichiediSelezioneStampante");
  l.columns = static_cast<int>(NumberOf(row, "NumeroColonne"));
  l.moduleHeight = NumberOf(row, "AltezzaModulo");
  l.moduleWidth = NumberOf(row, "LarghezzaModulo");
  l.top = NumberOf(row, "MargineSuperiore");
  l.left = NumberOf(row, "MargineSinistro");
  l.rowsTop = NumberOf(row, "MargineSuperioreRighe");
  l.rowsBottom = NumberOf(row, "MargineInferioreRighe");
  l.rowHeight = NumberOf(row, "AltezzaRigheDettaglio");
  l.backImageFile = TextOf(row, "ImmagineSfondo");
  l.backBottomMargin = NumberOf(row, "MargineInferioreSfondo");
  l.landscape = FlagOf(row, "OrientamentoOrizzontale");
  l.script = TextOf(row, "IstruzioniStampa");
  return l;
}

LabelLayout ReadLabelLayout(const engine::Row& row) {
  LabelLayout l;
  l.table = TextOf(row, "NomeTabellaOrigine");
  l.printer = TextOf(row, "NomeStampante");
  l.askPrinter = FlagOf(row, "RichiediSelezioneStampante");
  l.columns = static_cast<int>(NumberOf(row, "NumeroColonne"));
  l.labelHeight = NumberOf(row, "AltezzaEtichetta");
  l.labelWidth = NumberOf(row, "LarghezzaEtichetta");
  l.top = NumberOf(row, "MargineSuperiore");
  l.left = NumberOf(row, "MargineSinistro");
  l.landscape = FlagOf(row, "OrientamentoOrizzontale");
  l.enableAlignment = FlagOf(row, "AbilitaPosizionamento");
  l.copies = static_cast<int>(NumberOf(row, "NumeroCopie"));
  l.script = TextOf(row, "IstruzioniStampa");
  return l;
}

std::optional<ReportLayout> FindReportLayout(engine::Connection& connection,
                                             const std::string& table, const std::string& reference,
                                             const std::string& name) {
  auto row = FirstRow(connection, kReportTable, ReportKeyFilter(table, reference, name));
  if (!row) return std::nullopt;
  return ReadReportLayout(*row);
}

std::optional<LabelLayout> FindLabelLayout(engine::Connection& connection,
                                           const std::string& table) {
  auto row =
      FirstRow(connection, kLabelTable, jet::JetFilter("NomeTabellaOrigine={}", {Text(table)}));
  if (!row) return std::nullopt;
  return ReadLabelLayout(*row);
}

bool SaveReportLayout(engine::Connection& connection, const ReportLayout& layout) {
  return Store(connection, kReportTable,
               ReportKeyFilter(layout.table, layout.reference, layout.name), ReportValues(layout));
}

bool SaveLabelLayout(engine::Connection& connection, const LabelLayout& layout) {
  return Store(connection, kLabelTable,
               jet::JetFilter("NomeTabellaOrigine={}", {Text(layout.table)}), LabelValues(layout));
}

}  // namespace tillbook::printing
