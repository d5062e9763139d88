// Calendar dates and date-times, to the second. Days count from 1899-12-30 (day 0), the origin
// of the automation date serial scripts use, so a DateTime converts to and from that serial
// without loss at one-second resolution. Years 100..9999.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tillbook {

class DateTime {
 public:
  constexpr DateTime() = default;  // 1899-12-30 00:00:00

  // nullopt when the parts do not name a real date (month 13, 30 February...).
  static std::optional<DateTime> FromParts(int year, int month, int day, int hour = 0,
                                           int minute = 0, int second = 0);
  // Normalising constructor as scripts' DateSerial: month 13 is January of the next year, day 0
  // the last day of the previous month. nullopt outside years 100..9999.
  static std::optional<DateTime> Serial(int year, int month, int day);
  // Automation serial: integer part days since 1899-12-30, fraction the time of day (for
  // negative serials the fraction is still a positive time: -1.25 is 1899-12-29 06:00).
  // Rounded to the nearest second. nullopt outside the valid years or not finite.
  static std::optional<DateTime> FromSerial(double serial);
  static constexpr DateTime FromDaysSeconds(int32_t days, int32_t seconds) {
    return DateTime(days, seconds);
  }

  // "yyyy-mm-dd hh:mm:ss" as stored in the archive; also accepts "yyyy-mm-dd" and a 'T'.
  static std::optional<DateTime> ParseIso(std::string_view text);
  // The Jet literal with or without the '#': "mm/dd/yyyy" optionally followed by " hh:mm[:ss]".
  static std::optional<DateTime> ParseJet(std::string_view text);
  // The Italian form "dd/mm/yyyy" optionally followed by " hh:mm[:ss]"; two-digit years 0..29
  // are 2000..2029, 30..99 are 1930..1999.
  static std::optional<DateTime> ParseItalian(std::string_view text);

  constexpr int32_t days() const { return days_; }        // since 1899-12-30
  constexpr int32_t seconds() const { return seconds_; }  // of the day, 0..86399
  double ToSerial() const;

  int Year() const;
  int Month() const;
  int Day() const;
  int Hour() const { return seconds_ / 3600; }
  int Minute() const { return seconds_ / 60 % 60; }
  int Second() const { return seconds_ % 60; }
  // 1 = Sunday ... 7 = Saturday.
  int Weekday() const;
  int DayOfYear() const;

  DateTime DatePart() const { return DateTime(days_, 0); }
  bool HasTime() const { return seconds_ != 0; }
  DateTime AddDays(int64_t n) const;
  DateTime AddSeconds(int64_t n) const;
  // Same day of month in the target month, clamped to its length (31 Jan + 1 = 28/29 Feb).
  DateTime AddMonths(int n) const;
  DateTime EndOfMonth() const;

  std::string ToIso() const;      // "yyyy-mm-dd hh:mm:ss"
  std::string ToIsoDate() const;  // "yyyy-mm-dd"
  // "#mm/dd/yyyy#", with " hh:mm:ss" inside the '#' when the time is not midnight.
  std::string ToJetLiteral() const;
  // "dd/mm/yyyy", with " hh:mm:ss" when the time is not midnight and withTime is true.
  std::string ToItalian(bool withTime = true) const;

  constexpr auto operator<=>(const DateTime&) const = default;

  static bool IsLeapYear(int year);
  static int DaysInMonth(int year, int month);

 private:
  constexpr DateTime(int32_t days, int32_t seconds) : days_(days), seconds_(seconds) {}
  int32_t days_ = 0;
  int32_t seconds_ = 0;
};

}  // namespace tillbook
