#include "cli/arguments.h"

#include "base/error.h"
#include "base/text.h"
#include "platform/environment.h"

namespace tillbook::cli {

std::string CheckArguments(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i)
    if (!text::IsValidUtf8(args[i]))
      // The argument itself is not repeated: its bytes are not text a terminal can show.
      return "L'argomento n. " + std::to_string(i + 1) +
             " non è testo valido (codifica UTF-8 richiesta).";
  try {
    platform::LockWaitFromEnvironment();
  } catch (const Error& e) {
    return e.message();
  }
  return {};
}

}  // namespace tillbook::cli
