// Layouts as ".vbs" files: a header of "'#Key=value" lines, one per setting, then the layout's
// script. Header lines are script comments, so the file stays a valid script. The file carries
// neither the source table, nor the reference, nor the printer: those belong to the archive the
// layout is imported into. Numbers and booleans are written without regard to the regional
// settings ("12.5", "True") and read in either form ("12,5", "Vero"/"Falso" too).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "printing/layouts.h"

namespace tillbook::printing {

enum class LayoutKind { Report, Label };

// The whole file text: header lines then the script, lines ended by CR LF.
std::string ExportReportLayout(const ReportLayout& layout);
std::string ExportLabelLayout(const LabelLayout& layout);

struct LayoutFile {
  LayoutKind kind = LayoutKind::Report;
  std::vector<std::pair<std::string, std::string>> settings;  // known keys, in file order
  std::string script;                                         // the other lines, joined by CR LF
};

// Reads a file's text. Its kind is told by its keys: label files carry the label sizes, report
// files the report's. Throws Error when neither kind's keys are present.
LayoutFile ReadLayoutFile(std::string_view text);

// Copies every setting the file carries into `layout`. The name is taken only when `layout` has
// none. Throws Error (naming the key) for a value that is no number or no yes/no.
void ApplyLayoutFile(const LayoutFile& file, ReportLayout& layout);
void ApplyLayoutFile(const LayoutFile& file, LabelLayout& layout);

}  // namespace tillbook::printing
