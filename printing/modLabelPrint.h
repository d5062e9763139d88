// The label print run: finds the label layout of the data's table, asks how many places of a
// partly used sheet to skip, and calls the layout's `PrintLabel` once per label (quantity times
// per record and copy) with a label engine as `prn`. What a run draws reaches the printer only
// when it completed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "printing/modCustomReport.h"

namespace tillbook::printing {

struct LabelRequest {
  // Positions (0-based) of the selected records in the source's rows.
  std::optional<std::vector<int64_t>> selection;
  // True: the selected records (the current one without a selection); false: every record.
  bool selectedOnly = false;
  std::string tableName;      // the layout's table; empty: the source's
  int skipCount = -1;         // places to leave free; -1: ask when the layout says so
  bool print = true;          // false: preview of the first label only
  int quantity = 1;           // labels per record and copy
  std::string quantityField;  // a field of the record giving the quantity instead
  bool askQuantity = false;
};

// Runs a label request; true when it completed.
bool PrintLabels(const PrintServices& services, const ReportSource& source,
                 const LabelRequest& request);

}  // namespace tillbook::printing
