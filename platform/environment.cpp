#include "platform/environment.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/error.h"

namespace tillbook::platform {

std::optional<std::chrono::milliseconds> LockWaitFromEnvironment() {
  const char* value = std::getenv("TILLBOOK_LOCK_WAIT");
  if (value == nullptr || *value == '\0') return std::nullopt;
  const std::string text(value);
  double seconds = -1;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(seconds) ||
      seconds < 0 || seconds > 86400)
    throw Error("Valore di TILLBOOK_LOCK_WAIT non valido: " + text +
                    " (indicare i secondi di attesa, per esempio 5 o 0.5).",
                "TILLBOOK_LOCK_WAIT=" + text);
  return std::chrono::milliseconds(std::llround(seconds * 1000));
}

}  // namespace tillbook::platform
