#include "platform/clock.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <string>

#include "base/error.h"

namespace tillbook::platform {
namespace {

constexpr char kNowVariable[] = "TILLBOOK_NOW";

std::atomic<const Clock*> testingClock{nullptr};

// The process clock as the environment chose it at the first call. A malformed TILLBOOK_NOW is
// remembered as such and reported at every call.
struct ProcessClock {
  std::optional<FixedClock> fixed;
  std::string error;
  std::string errorDetail;
};

const ProcessClock& TheProcessClock() {
  static const ProcessClock clock = [] {
    ProcessClock c;
    try {
      if (auto now = NowFromEnvironment()) c.fixed.emplace(*now);
    } catch (const Error& e) {
      c.error = e.message();
      c.errorDetail = e.detail();
    }
    return c;
  }();
  return clock;
}

}  // namespace

DateTime SystemTimeClock::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // A leap second (tm_sec 60) is shown as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  if (auto date = DateTime::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                      local.tm_hour, local.tm_min, second)) {
    return *date;
  }
  throw Error("Impossibile leggere la data e l'ora del sistema",
              "local time out of range: " + std::to_string(static_cast<long long>(now)));
}

Clock& SystemClock() {
  static SystemTimeClock clock;
  return clock;
}

std::optional<DateTime> NowFromEnvironment() {
  const char* value = std::getenv(kNowVariable);
  if (value == nullptr || *value == '\0') return std::nullopt;
  if (auto now = DateTime::ParseIso(value)) return now;
  throw Error("Data e ora di TILLBOOK_NOW non valide: " + std::string(value),
              "expected yyyy-mm-ddThh:mm:ss");
}

const Clock& CurrentClock() {
  if (const Clock* testing = testingClock.load()) return *testing;
  const ProcessClock& process = TheProcessClock();
  if (!process.error.empty()) throw Error(process.error, process.errorDetail);
  if (process.fixed) return *process.fixed;
  return SystemClock();
}

void SetCurrentClockForTesting(const Clock* clock) {
  testingClock.store(clock);
}

}  // namespace tillbook::platform
