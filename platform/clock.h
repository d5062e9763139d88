// The program's one source of "now": every today, now and dated name comes from a Clock, so a
// test or a script run can fix the time. TILLBOOK_NOW ("yyyy-mm-ddThh:mm:ss") fixes it for the
// whole process.
#pragma once

#include <optional>

#include "base/date.h"

namespace tillbook::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local date and time, to the second.
  virtual DateTime Now() const = 0;
  DateTime Today() const { return Now().DatePart(); }
};

// The operating system's local time.
class SystemTimeClock : public Clock {
 public:
  DateTime Now() const override;
};

// A clock that shows what it is told; it moves only when told to.
class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime now) : now_(now) {}
  DateTime Now() const override { return now_; }
  void Set(DateTime now) { now_ = now; }
  void Advance(int64_t seconds) { now_ = now_.AddSeconds(seconds); }

 private:
  DateTime now_;
};

// The operating system's clock, whatever the environment says.
Clock& SystemClock();

// The time TILLBOOK_NOW names, read now; nullopt when the variable is unset or empty. Throws
// Error when it is set to something that is not "yyyy-mm-ddThh:mm:ss" (or "yyyy-mm-dd").
std::optional<DateTime> NowFromEnvironment();

// The clock everything asks: the one set for testing if any, else a fixed clock when
// TILLBOOK_NOW was set at the first call, else SystemClock(). Throws Error when TILLBOOK_NOW is
// malformed, so a mistyped value never passes for the real time.
const Clock& CurrentClock();

// Makes CurrentClock() return `clock` (not owned; it must outlive its use) until called again;
// nullptr restores the normal choice.
void SetCurrentClockForTesting(const Clock* clock);

}  // namespace tillbook::platform
