// Settings the environment gives the whole process, beside TILLBOOK_NOW (clock.h):
// TILLBOOK_LOCK_WAIT, the seconds a writer waits for another workstation's write lock before
// giving up ("0.5", "30"; 0 gives up at once).
#pragma once

#include <chrono>
#include <optional>

namespace tillbook::platform {

// How long a writer waits when nothing says otherwise.
inline constexpr std::chrono::milliseconds kDefaultLockWait{5000};

// The wait TILLBOOK_LOCK_WAIT names; nullopt when unset or empty. Throws Error when it is not a
// number of seconds from 0 to one day.
std::optional<std::chrono::milliseconds> LockWaitFromEnvironment();

}  // namespace tillbook::platform
