// Report and label layouts as the print driver and the layout tools see them: the settings of
// one record of `TabProspettiStampa` or `TabStampaEtichette`, read from and written back to the
// archive. Lengths are millimetres.
#pragma once

#include <optional>
#include <string>

namespace tillbook::engine {
class Connection;
class Row;
}  // namespace tillbook::engine

namespace tillbook::printing {

struct ReportLayout {
  std::string table;      // NomeTabellaOrigine
  std::string reference;  // NomeReference: the detail data printed per record, empty for lists
  std::string name;       // NomeProspetto
  std::string group;      // NomeGruppo
  std::string printer;    // NomeStampante
  bool askPrinter = false;
  int columns = 0;
  double moduleHeight = 0, moduleWidth = 0;
  double top = 0, left = 0;
  double rowsTop = 0, rowsBottom = 0, rowHeight = 0;
  std::string backImageFile;
  double backBottomMargin = 0;
  bool landscape = false;
  std::string script;  // IstruzioniStampa
};

struct LabelLayout {
  std::string table;
  std::string printer;
  bool askPrinter = false;
  int columns = 0;
  double labelHeight = 0, labelWidth = 0;
  double top = 0, left = 0;
  bool landscape = false;
  bool enableAlignment = false;  // ask how many labels of a used sheet to skip
  int copies = 0;
  std::string script;
};

ReportLayout ReadReportLayout(const engine::Row& row);
LabelLayout ReadLabelLayout(const engine::Row& row);

// The stored report layout with that table, reference and name (texts compared as the archive
// compares them); nullopt when there is none.
std::optional<ReportLayout> FindReportLayout(engine::Connection& connection,
                                             const std::string& table, const std::string& reference,
                                             const std::string& name);
// The label layout of `table`; nullopt when there is none.
std::optional<LabelLayout> FindLabelLayout(engine::Connection& connection,
                                           const std::string& table);

// Stores the layout as one action: the record with the same key is overwritten, else a new one
// is added. Returns false when a hook refused. Throws Error when the archive cannot be written.
bool SaveReportLayout(engine::Connection& connection, const ReportLayout& layout);
bool SaveLabelLayout(engine::Connection& connection, const LabelLayout& layout);

}  // namespace tillbook::printing
