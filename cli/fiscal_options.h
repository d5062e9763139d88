// What the fiscal commands of tillbook-cli share: the flags that override the stored fiscal
// settings (--type, --port, --param, --trace, --answers), and the fiscal module made from them.
#pragma once

#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "fiscal/modFiscalPrinter.h"

namespace tillbook::cli {

struct FiscalOptions {
  fiscal::FiscalSettings settings;  // the store's, with the flags over them
  std::string tracePath;
  std::vector<bool> answers;
  std::unique_ptr<std::ofstream> trace;
};

// True for a code of the device list other than "none".
bool KnownDevice(int type);

// Loads the stored settings and takes the fiscal flags out of `args` (what is left stays).
// Returns an Italian usage problem, or an empty string.
std::string TakeFiscalOptions(std::vector<std::string>& args, FiscalOptions& options);

// Sets up `module` with the options (the trace file opened); the driver is not made yet.
// Throws Error when the trace file cannot be written.
void PrepareModule(FiscalOptions& options, fiscal::FiscalModule& module, const std::string& dir);

}  // namespace tillbook::cli
