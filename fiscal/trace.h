// A driver wrapped so that every call of an interface member is written as one line: the member
// name and its arguments separated by tabs, numbers with "." as decimal point, texts as sent.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fiscal/fiscal_printer.h"

namespace tillbook::fiscal {

// Writes one line (without its line break).
using TraceSink = std::function<void(const std::string& line)>;

// The shortest plain decimal text that reads back as `value`, with "." ("3.33", "-1", "0.1").
std::string TraceNumber(double value);

std::unique_ptr<itfFiscalPrinter> NewTracingPrinter(std::unique_ptr<itfFiscalPrinter> inner,
                                                    TraceSink sink);

}  // namespace tillbook::fiscal
