#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/error.h"

namespace tillbook::platform {
namespace {

DateTime At(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
  return *DateTime::FromParts(y, m, d, hh, mm, ss);
}

// Sets or clears TILLBOOK_NOW for one test and restores what was there before.
class NowVariable {
 public:
  explicit NowVariable(const char* value) {
    if (const char* old = std::getenv("TILLBOOK_NOW")) old_ = old;
    if (value) {
      setenv("TILLBOOK_NOW", value, 1);
    } else {
      unsetenv("TILLBOOK_NOW");
    }
  }
  ~NowVariable() {
    if (old_) {
      setenv("TILLBOOK_NOW", old_->c_str(), 1);
    } else {
      unsetenv("TILLBOOK_NOW");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(ClockTest, FixedClockMovesOnlyWhenTold) {
  FixedClock clock(At(2024, 2, 29, 23, 59, 30));
  EXPECT_EQ(clock.Now(), At(2024, 2, 29, 23, 59, 30));
  EXPECT_EQ(clock.Today(), At(2024, 2, 29));
  clock.Advance(45);
  EXPECT_EQ(clock.Now(), At(2024, 3, 1, 0, 0, 15));
  EXPECT_EQ(clock.Today(), At(2024, 3, 1));
  clock.Set(At(2000, 1, 1, 8));
  EXPECT_EQ(clock.Now().ToIso(), "2000-01-01 08:00:00");
}

TEST(ClockTest, SystemClockAgreesWithTheOperatingSystem) {
  // Bracket the clock's answer between two readings of the C library's local time.
  auto localNow = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return At(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
              local.tm_sec > 59 ? 59 : local.tm_sec);
  };
  const DateTime before = localNow();
  const DateTime now = SystemClock().Now();
  const DateTime after = localNow();
  EXPECT_LE(before, now);
  EXPECT_LE(now, after);
  EXPECT_FALSE(SystemClock().Today().HasTime());
}

TEST(ClockTest, NowFromEnvironment) {
  struct Case {
    const char* value;  // nullptr: unset
    const char* iso;    // nullptr: no fixed time
    bool throws;
  };
  const Case cases[] = {
      {nullptr, nullptr, false},
      {"", nullptr, false},
      {"2024-01-05T13:05:09", "2024-01-05 13:05:09", false},
      {"2024-01-05 13:05:09", "2024-01-05 13:05:09", false},
      {"2024-01-05", "2024-01-05 00:00:00", false},
      {"2024-02-30T00:00:00", nullptr, true},
      {"05/01/2024", nullptr, true},
      {"now", nullptr, true},
  };
  for (const auto& c : cases) {
    NowVariable variable(c.value);
    const char* label = c.value ? c.value : "(unset)";
    if (c.throws) {
      try {
        NowFromEnvironment();
        ADD_FAILURE() << label << " accepted";
      } catch (const Error& e) {
        EXPECT_NE(e.message().find("TILLBOOK_NOW"), std::string::npos) << e.message();
      }
      continue;
    }
    const auto now = NowFromEnvironment();
    EXPECT_EQ(now.has_value(), c.iso != nullptr) << label;
    if (now && c.iso) {
      EXPECT_EQ(now->ToIso(), c.iso) << label;
    }
  }
}

TEST(ClockTest, TestingClockOverridesTheProcessClock) {
  FixedClock fixed(At(2023, 12, 31, 23, 0));
  SetCurrentClockForTesting(&fixed);
  EXPECT_EQ(&CurrentClock(), &fixed);
  fixed.Advance(3600);
  EXPECT_EQ(CurrentClock().Today(), At(2024, 1, 1));
  SetCurrentClockForTesting(nullptr);
  EXPECT_NE(&CurrentClock(), &fixed);
}

// The process clock reads TILLBOOK_NOW once, so these run in a fresh process each.
TEST(ClockDeathTest, ProcessClockHonoursTillbookNow) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  NowVariable variable("2024-03-15T10:20:30");
  EXPECT_EXIT(
      {
        const bool fixed = CurrentClock().Now() == At(2024, 3, 15, 10, 20, 30) &&
                           &CurrentClock() != &SystemClock();
        std::exit(fixed ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(ClockDeathTest, ProcessClockRefusesAMalformedTillbookNow) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  NowVariable variable("15/03/2024");
  EXPECT_EXIT(
      {
        try {
          CurrentClock();
        } catch (const Error& e) {
          std::exit(e.message().find("TILLBOOK_NOW") != std::string::npos ? 0 : 2);
        }
        std::exit(1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(ClockDeathTest, ProcessClockIsTheSystemClockWithoutTillbookNow) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  NowVariable variable(nullptr);
  EXPECT_EXIT(std::exit(&CurrentClock() == &SystemClock() ? 0 : 1), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tillbook::platform
