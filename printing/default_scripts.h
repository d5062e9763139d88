// The script texts a new layout starts from: the report hooks (mask, row, data init, note row)
// and the label function. Each is a list of lines joined and ended by CR LF, the line ends the
// layout editors and stored layouts have always used, so a text written here is byte for byte
// what an existing archive holds for an untouched layout.
#pragma once

#include <string>

namespace tillbook::printing {

// One hook's template, each line followed by CR LF.
std::string PrintReportMaskTemplate();
std::string PrintReportRowTemplate();
std::string PrintDataInitTemplate();
std::string PrintNoteRowTemplate();

// A new report layout's script: mask, row and data-init templates in that order, then the note
// template when the layout prints notes.
std::string DefaultReportScript(bool printsNotes);

// A new label layout's script: the `PrintLabel` function, lines joined by CR LF (no CR LF after
// the last line).
std::string DefaultLabelScript();

}  // namespace tillbook::printing
