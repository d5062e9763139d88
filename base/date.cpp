#include "base/date.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/error.h"

namespace tillbook {
namespace {

constexpr int32_t kSecondsPerDay = 86400;
constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;

// Days since 1970-01-01 of a proleptic Gregorian date (the era-based algorithm: exact for every
// year, no tables).
constexpr int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct Civil {
  int year;
  int month;
  int day;
};

constexpr Civil CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return Civil{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// Day 0 of the serial, 1899-12-30, in days since 1970-01-01.
constexpr int64_t kEpochOffset = -DaysFromCivil(1899, 12, 30);
constexpr int64_t kMinDays = DaysFromCivil(kMinYear, 1, 1) + kEpochOffset;
constexpr int64_t kMaxDays = DaysFromCivil(kMaxYear, 12, 31) + kEpochOffset;
static_assert(DaysFromCivil(2000, 1, 1) + kEpochOffset == 36526);

int64_t SerialDays(int64_t y, int m, int d) {
  return DaysFromCivil(y, m, d) + kEpochOffset;
}

[[noreturn]] void ThrowOutOfRange(const std::string& detail) {
  throw Error("Data fuori dai limiti consentiti", detail, 5);
}

DateTime Checked(int64_t days, int32_t seconds, const char* operation) {
  if (days < kMinDays || days > kMaxDays) {
    ThrowOutOfRange(std::string(operation) + ": day " + std::to_string(days));
  }
  return DateTime::FromDaysSeconds(static_cast<int32_t>(days), seconds);
}

// A small cursor over the text being parsed; every reader returns false without moving on a
// mismatch, so the grammars below read as sequences.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  bool Peek(char c) const { return pos_ < text_.size() && text_[pos_] == c; }
  bool Accept(char c) {
    if (!Peek(c)) return false;
    ++pos_;
    return true;
  }
  // Between minDigits and maxDigits decimal digits.
  bool Number(int minDigits, int maxDigits, int* value, int* digitCount = nullptr) {
    int count = 0;
    int v = 0;
    while (count < maxDigits && pos_ + count < text_.size() && text_[pos_ + count] >= '0' &&
           text_[pos_ + count] <= '9') {
      v = v * 10 + (text_[pos_ + count] - '0');
      ++count;
    }
    if (count < minDigits) return false;
    // More digits than allowed is malformed rather than two numbers run together.
    if (pos_ + count < text_.size() && text_[pos_ + count] >= '0' && text_[pos_ + count] <= '9') {
      return false;
    }
    pos_ += count;
    *value = v;
    if (digitCount) *digitCount = count;
    return true;
  }
  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  // Case-insensitive ASCII word.
  bool Word(std::string_view word) {
    if (text_.size() - pos_ < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      char c = text_[pos_ + i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != word[i]) return false;
    }
    pos_ += word.size();
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// time := hh ':' mm [':' ss] [blank ('AM' | 'PM')]   (the 12-hour suffix only when allowed)
bool ReadTime(Scanner& in, bool allowAmPm, TimeOfDay* clock) {
  if (!in.Number(1, 2, &clock->hour) || !in.Accept(':') || !in.Number(2, 2, &clock->minute)) {
    return false;
  }
  if (in.Accept(':') && !in.Number(2, 2, &clock->second)) return false;
  if (allowAmPm) {
    in.SkipBlanks();
    const bool am = in.Word("AM");
    const bool pm = !am && in.Word("PM");
    if (am || pm) {
      if (clock->hour < 1 || clock->hour > 12) return false;
      clock->hour = clock->hour % 12 + (pm ? 12 : 0);
    }
  }
  return true;
}

// Two-digit years name 1930..2029; longer years are taken as written.
int ExpandYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// slashed := n sep n sep year [blank+ time]; sep is one of `separators`, the same both times.
// Returns the two leading numbers as written and the expanded year.
bool ReadSlashed(std::string_view text, std::string_view separators, bool allowAmPm, int* first,
                 int* second, int* year, TimeOfDay* clock) {
  Scanner in(TrimBlanks(text));
  if (!in.Number(1, 2, first)) return false;
  char separator = 0;
  for (char c : separators) {
    if (in.Accept(c)) {
      separator = c;
      break;
    }
  }
  int yearDigits = 0;
  if (separator == 0 || !in.Number(1, 2, second) || !in.Accept(separator) ||
      !in.Number(1, 4, year, &yearDigits)) {
    return false;
  }
  *year = ExpandYear(*year, yearDigits);
  if (in.AtEnd()) return true;
  if (!in.Peek(' ') && !in.Peek('\t')) return false;
  in.SkipBlanks();
  return ReadTime(in, allowAmPm, clock) && in.AtEnd();
}

std::string Format(const char* pattern, int a, int b, int c) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, a, b, c);
  return text;
}

}  // namespace

bool DateTime::IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DateTime::DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DateTime> DateTime::FromParts(int year, int month, int day, int hour, int minute,
                                            int second) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    return std::nullopt;
  }
  return DateTime(static_cast<int32_t>(SerialDays(year, month, day)),
                  hour * 3600 + minute * 60 + second);
}

std::optional<DateTime> DateTime::Serial(int year, int month, int day) {
  // Whole years out of the month first (floor division, so month 0 is December of year - 1),
  // then the day counted from the first of that month.
  const int64_t months = static_cast<int64_t>(year) * 12 + (static_cast<int64_t>(month) - 1);
  const int64_t y = months >= 0 ? months / 12 : (months - 11) / 12;
  const int m = static_cast<int>(months - y * 12) + 1;
  const int64_t days = SerialDays(y, m, 1) + (static_cast<int64_t>(day) - 1);
  if (days < kMinDays || days > kMaxDays) return std::nullopt;
  return DateTime(static_cast<int32_t>(days), 0);
}

std::optional<DateTime> DateTime::FromSerial(double serial) {
  if (!std::isfinite(serial) || std::fabs(serial) > 4.0e6) return std::nullopt;
  // The integer part counts days either side of day 0; the fraction is always a time of day
  // after midnight, whatever the sign.
  const double whole = std::trunc(serial);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(serial - whole) * kSecondsPerDay);
  if (seconds == kSecondsPerDay) {
    ++days;
    seconds = 0;
  }
  if (days < kMinDays || days > kMaxDays) return std::nullopt;
  return DateTime(static_cast<int32_t>(days), static_cast<int32_t>(seconds));
}

std::optional<DateTime> DateTime::ParseIso(std::string_view text) {
  // iso := yyyy '-' mm '-' dd [(' ' | 'T') hh ':' mm [':' ss]]
  Scanner in(text);
  int year, month, day;
  if (!in.Number(4, 4, &year) || !in.Accept('-') || !in.Number(2, 2, &month) || !in.Accept('-') ||
      !in.Number(2, 2, &day)) {
    return std::nullopt;
  }
  TimeOfDay clock;
  if (!in.AtEnd()) {
    if (!in.Accept(' ') && !in.Accept('T')) return std::nullopt;
    if (!in.Number(2, 2, &clock.hour) || !in.Accept(':') || !in.Number(2, 2, &clock.minute)) {
      return std::nullopt;
    }
    if (in.Accept(':') && !in.Number(2, 2, &clock.second)) return std::nullopt;
    if (!in.AtEnd()) return std::nullopt;
  }
  return FromParts(year, month, day, clock.hour, clock.minute, clock.second);
}

std::optional<DateTime> DateTime::ParseJet(std::string_view text) {
  // jet := ['#'] m ('/' | '-') d sep year [time ['AM' | 'PM']] ['#']   (both '#' or neither)
  text = TrimBlanks(text);
  const bool open = !text.empty() && text.front() == '#';
  const bool close = text.size() > 1 && text.back() == '#';
  if (open != close) return std::nullopt;
  if (open) text = text.substr(1, text.size() - 2);
  int month, day, year;
  TimeOfDay clock;
  if (!ReadSlashed(text, "/-", true, &month, &day, &year, &clock)) return std::nullopt;
  return FromParts(year, month, day, clock.hour, clock.minute, clock.second);
}

std::optional<DateTime> DateTime::ParseItalian(std::string_view text) {
  // italian := d ('/' | '-' | '.') m sep year [time]
  int day, month, year;
  TimeOfDay clock;
  if (!ReadSlashed(text, "/-.", false, &day, &month, &year, &clock)) return std::nullopt;
  return FromParts(year, month, day, clock.hour, clock.minute, clock.second);
}

double DateTime::ToSerial() const {
  const double fraction = static_cast<double>(seconds_) / kSecondsPerDay;
  return days_ < 0 ? days_ - fraction : days_ + fraction;
}

int DateTime::Year() const {
  return CivilFromDays(days_ - kEpochOffset).year;
}
int DateTime::Month() const {
  return CivilFromDays(days_ - kEpochOffset).month;
}
int DateTime::Day() const {
  return CivilFromDays(days_ - kEpochOffset).day;
}

int DateTime::Weekday() const {
  // Day 0 was a Saturday.
  return static_cast<int>(((days_ % 7 + 7) % 7 + 6) % 7) + 1;
}

int DateTime::DayOfYear() const {
  return static_cast<int>(days_ - SerialDays(Year(), 1, 1)) + 1;
}

DateTime DateTime::AddDays(int64_t n) const {
  if (n > kMaxDays - kMinDays || n < kMinDays - kMaxDays) {
    ThrowOutOfRange("AddDays " + std::to_string(n));
  }
  return Checked(days_ + n, seconds_, "AddDays");
}

DateTime DateTime::AddSeconds(int64_t n) const {
  constexpr int64_t kSpan = (kMaxDays - kMinDays + 1) * kSecondsPerDay;
  if (n > kSpan || n < -kSpan) ThrowOutOfRange("AddSeconds " + std::to_string(n));
  int64_t total = seconds_ + n;
  int64_t days =
      total >= 0 ? total / kSecondsPerDay : (total - kSecondsPerDay + 1) / kSecondsPerDay;
  return Checked(days_ + days, static_cast<int32_t>(total - days * kSecondsPerDay), "AddSeconds");
}

DateTime DateTime::AddMonths(int n) const {
  const Civil c = CivilFromDays(days_ - kEpochOffset);
  const int64_t months = static_cast<int64_t>(c.year) * 12 + (c.month - 1) + n;
  const int64_t y = months >= 0 ? months / 12 : (months - 11) / 12;
  const int m = static_cast<int>(months - y * 12) + 1;
  if (y < kMinYear || y > kMaxYear) ThrowOutOfRange("AddMonths " + std::to_string(n));
  const int d = std::min(c.day, DaysInMonth(static_cast<int>(y), m));
  return Checked(SerialDays(y, m, d), seconds_, "AddMonths");
}

DateTime DateTime::EndOfMonth() const {
  const Civil c = CivilFromDays(days_ - kEpochOffset);
  return DateTime(static_cast<int32_t>(SerialDays(c.year, c.month, DaysInMonth(c.year, c.month))),
                  seconds_);
}

std::string DateTime::ToIsoDate() const {
  const Civil c = CivilFromDays(days_ - kEpochOffset);
  return Format("%04d-%02d-%02d", c.year, c.month, c.day);
}

std::string DateTime::ToIso() const {
  return ToIsoDate() + Format(" %02d:%02d:%02d", Hour(), Minute(), Second());
}

std::string DateTime::ToJetLiteral() const {
  const Civil c = CivilFromDays(days_ - kEpochOffset);
  std::string text = "#" + Format("%02d/%02d/%04d", c.month, c.day, c.year);
  if (HasTime()) text += Format(" %02d:%02d:%02d", Hour(), Minute(), Second());
  return text + "#";
}

std::string DateTime::ToItalian(bool withTime) const {
  const Civil c = CivilFromDays(days_ - kEpochOffset);
  std::string text = Format("%02d/%02d/%04d", c.day, c.month, c.year);
  if (withTime && HasTime()) text += Format(" %02d:%02d:%02d", Hour(), Minute(), Second());
  return text;
}

}  // namespace tillbook
