// The regional settings a script runs under: how numbers and dates become text and back, the
// names of months and days, the first day of the week. Scripts of Italian shops were written
// on Italian workstations, so Italian is the default; English exists for scripts that call
// SetLocale 1033 and for tests that compare the two.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tillbook::vbscript {

struct Locale {
  int lcid;
  std::string name;  // "it-it"
  char decimal;      // decimal separator
  char group;        // thousands separator
  bool dayFirst;     // dd/mm/yyyy rather than m/d/yyyy
  bool padDayMonth;  // "05/01/2024" rather than "1/5/2024"
  bool hour24;       // "13:05:00" rather than "1:05:00 PM"
  std::string am, pm;
  std::array<std::string, 12> months, monthsShort;
  std::array<std::string, 7> days, daysShort;  // Sunday first
  std::string currencySymbol;
  bool currencyFirst;       // symbol before the amount
  int firstDayOfWeek;       // 1 Sunday, 2 Monday
  bool longDateWeekdayComma;  // "Friday, January 5, 2024" vs "venerdì 5 gennaio 2024"

  static const Locale& Italian();
  static const Locale& English();
  // By LCID (1040, 1033) or name ("it-it", "en-us", case-insensitive); nullptr when unknown.
  static const Locale* Find(int lcid);
  static const Locale* Find(std::string_view name);
};

}  // namespace tillbook::vbscript
