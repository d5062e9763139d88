// Date and time builtins over date serials (days since 1899-12-30, the fraction the time).
#include <cmath>

#include "base/date.h"
#include "base/text.h"
#include "vbscript/builtins.h"
#include "vbscript/conversions.h"
#include "vbscript/locale.h"

namespace tillbook::vbscript::builtins {
namespace {

using Args = std::span<Variant>;

DateTime At(Machine& m, const Variant& v) {
  auto dt = DateTime::FromSerial(ToDateSerial(v, *m.locale));
  if (!dt) Throw(kInvalidCall);
  return *dt;
}

Variant DateResult(double serial) {
  if (!DateTime::FromSerial(serial)) Throw(kInvalidCall);
  return Variant::DateSerial(serial);
}

double SerialOf(const DateTime& dt) { return dt.ToSerial(); }

Variant Now(Machine& m, Args) { return Variant::DateSerial(m.now()); }
Variant Today(Machine& m, Args) { return Variant::DateSerial(builtins::Today(m)); }
Variant TimeNow(Machine& m, Args) {
  double n = m.now();
  return Variant::DateSerial(n - std::floor(n));
}
Variant Timer(Machine& m, Args) {
  double n = m.now();
  return Variant::Single(static_cast<float>((n - std::floor(n)) * 86400.0));
}

template <int (DateTime::*Part)() const>
Variant PartOf(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  return Variant::Integer(static_cast<int16_t>((At(m, v).*Part)()));
}

int FirstDay(Machine& m, Args a, size_t i, int fallback) {
  int first = LongOr(m, a, i, fallback);
  if (first == 0) first = m.locale->firstDayOfWeek;
  if (first < 1 || first > 7) Throw(kInvalidCall);
  return first;
}

int RelativeWeekday(const DateTime& dt, int first) { return (dt.Weekday() - first + 7) % 7 + 1; }

Variant Weekday(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  return Variant::Integer(static_cast<int16_t>(RelativeWeekday(At(m, v), FirstDay(m, a, 1, 1))));
}

int FullYear(int y) { return y >= 0 && y < 30 ? 2000 + y : y >= 30 && y < 100 ? 1900 + y : y; }

double SerialFromParts(int64_t y, int64_t mo, int64_t d) {
  int64_t m0 = mo - 1;
  y += m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
  m0 -= (m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12)) * 12;
  if (y < 100 || y > 9999) Throw(kInvalidCall);
  auto first = DateTime::FromParts(static_cast<int>(y), static_cast<int>(m0 + 1), 1);
  if (!first) Throw(kInvalidCall);
  double serial = first->days() + static_cast<double>(d - 1);
  if (!DateTime::FromSerial(serial)) Throw(kInvalidCall);
  return serial;
}

Variant DateSerial(Machine& m, Args a) {
  int y = FullYear(Long(m, Val(a[0])));
  return Variant::DateSerial(SerialFromParts(y, Long(m, Val(a[1])), Long(m, Val(a[2]))));
}

Variant TimeSerial(Machine& m, Args a) {
  int64_t total = static_cast<int64_t>(Long(m, Val(a[0]))) * 3600 +
                  static_cast<int64_t>(Long(m, Val(a[1]))) * 60 + Long(m, Val(a[2]));
  double serial = static_cast<double>(total) / 86400.0;
  if (serial < 0) {
    // Negative times count back from midnight: -1 hour is 23:00 of the day before.
    double day = std::floor(serial);
    serial = day - (serial - day);
  }
  return DateResult(serial);
}

Variant DateValue(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  double s = ToDateSerial(v, *m.locale);
  return Variant::DateSerial(std::trunc(s));
}

Variant TimeValue(Machine& m, Args a) {
  Variant v = Val(a[0]);
  if (v.IsNull()) return v;
  double s = ToDateSerial(v, *m.locale);
  return Variant::DateSerial(std::fabs(s - std::trunc(s)));
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval IntervalOf(Machine& m, const Variant& v) {
  std::string s = text::Fold(Text(m, Val(v)));
  if (s == "yyyy") return Interval::Year;
  if (s == "q") return Interval::Quarter;
  if (s == "m") return Interval::Month;
  if (s == "y") return Interval::DayOfYear;
  if (s == "d") return Interval::Day;
  if (s == "w") return Interval::Weekday;
  if (s == "ww") return Interval::Week;
  if (s == "h") return Interval::Hour;
  if (s == "n") return Interval::Minute;
  if (s == "s") return Interval::Second;
  Throw(kInvalidCall);
}

Variant DateAdd(Machine& m, Args a) {
  Interval iv = IntervalOf(m, a[0]);
  Variant nv = Val(a[1]), dv = Val(a[2]);
  if (nv.IsNull() || dv.IsNull()) return Variant::Null();
  double n = ToDouble(nv, *m.locale);
  double serial = ToDateSerial(dv, *m.locale);
  auto dt = DateTime::FromSerial(serial);
  if (!dt) Throw(kInvalidCall);
  int64_t k = static_cast<int64_t>(std::trunc(n));
  switch (iv) {
    case Interval::Year:
    case Interval::Quarter:
    case Interval::Month: {
      int64_t months = k * (iv == Interval::Year ? 12 : iv == Interval::Quarter ? 3 : 1);
      int64_t total = dt->Year() * 12 + (dt->Month() - 1) + months;
      if (total < 100 * 12 || total > 9999 * 12 + 11) Throw(kInvalidCall);
      return Variant::DateSerial(SerialOf(dt->AddMonths(static_cast<int>(months))));
    }
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: return DateResult(serial + static_cast<double>(k) * (serial < 0 ? 1 : 1));
    case Interval::Week: return DateResult(serial + 7.0 * static_cast<double>(k));
    case Interval::Hour:
    case Interval::Minute:
    case Interval::Second: {
      int64_t unit = iv == Interval::Hour ? 3600 : iv == Interval::Minute ? 60 : 1;
      double seconds = n * static_cast<double>(unit);
      int64_t total = static_cast<int64_t>(dt->days()) * 86400 + dt->seconds() +
                      static_cast<int64_t>(std::llround(seconds));
      int64_t days = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
      int64_t secs = total - days * 86400;
      return DateResult(SerialOf(DateTime::FromDaysSeconds(static_cast<int32_t>(days),
                                                            static_cast<int32_t>(secs))));
    }
  }
  return {};
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

Variant DateDiff(Machine& m, Args a) {
  Interval iv = IntervalOf(m, a[0]);
  Variant v1 = Val(a[1]), v2 = Val(a[2]);
  if (v1.IsNull() || v2.IsNull()) return Variant::Null();
  DateTime d1 = At(m, v1), d2 = At(m, v2);
  int first = FirstDay(m, a, 3, 1);
  int64_t r = 0;
  switch (iv) {
    case Interval::Year: r = d2.Year() - d1.Year(); break;
    case Interval::Quarter:
      r = (d2.Year() * 4 + (d2.Month() - 1) / 3) - (d1.Year() * 4 + (d1.Month() - 1) / 3);
      break;
    case Interval::Month: r = (d2.Year() * 12 + d2.Month()) - (d1.Year() * 12 + d1.Month()); break;
    case Interval::DayOfYear:
    case Interval::Day: r = d2.days() - d1.days(); break;
    case Interval::Weekday: r = (d2.days() - d1.days()) / 7; break;
    case Interval::Week: r = FloorDiv(d2.days() - first, 7) - FloorDiv(d1.days() - first, 7); break;
    case Interval::Hour:
      r = (int64_t{d2.days()} * 24 + d2.Hour()) - (int64_t{d1.days()} * 24 + d1.Hour());
      break;
    case Interval::Minute:
      r = (int64_t{d2.days()} * 1440 + d2.seconds() / 60) -
          (int64_t{d1.days()} * 1440 + d1.seconds() / 60);
      break;
    case Interval::Second:
      r = (int64_t{d2.days()} * 86400 + d2.seconds()) - (int64_t{d1.days()} * 86400 + d1.seconds());
      break;
  }
  return IntegerResult(r).type() == VarType::Double ? Variant::Double(static_cast<double>(r))
                                                    : Variant::Long(static_cast<int32_t>(r));
}

// First day of week 1 of `year` under the first-week rule.
int64_t Week1Start(int year, int first, int rule) {
  auto jan1 = DateTime::FromParts(year, 1, 1);
  int wd = RelativeWeekday(*jan1, first) - 1;  // 0: jan 1 is the first day of a week
  int64_t day = jan1->days();
  switch (rule) {
    case 2: return wd <= 3 ? day - wd : day + (7 - wd);
    case 3: return wd == 0 ? day : day + (7 - wd);
    default: return day - wd;
  }
}

int WeekOfYear(const DateTime& dt, int first, int rule) {
  int year = dt.Year();
  int64_t start = Week1Start(year, first, rule);
  if (dt.days() < start && year > 100) start = Week1Start(--year, first, rule);
  int week = static_cast<int>(FloorDiv(dt.days() - start, 7)) + 1;
  if (week >= 52 && year < 9999 && rule != 1) {
    if (dt.days() >= Week1Start(year + 1, first, rule)) return 1;
  }
  return week;
}

Variant DatePart(Machine& m, Args a) {
  Interval iv = IntervalOf(m, a[0]);
  Variant v = Val(a[1]);
  if (v.IsNull()) return v;
  DateTime dt = At(m, v);
  int first = FirstDay(m, a, 2, 1);
  int rule = LongOr(m, a, 3, 1);
  if (rule == 0) rule = m.locale->firstDayOfWeek == 2 ? 2 : 1;
  int r = 0;
  switch (iv) {
    case Interval::Year: r = dt.Year(); break;
    case Interval::Quarter: r = (dt.Month() - 1) / 3 + 1; break;
    case Interval::Month: r = dt.Month(); break;
    case Interval::DayOfYear: r = dt.DayOfYear(); break;
    case Interval::Day: r = dt.Day(); break;
    case Interval::Weekday: r = RelativeWeekday(dt, first); break;
    case Interval::Week: r = WeekOfYear(dt, first, rule); break;
    case Interval::Hour: r = dt.Hour(); break;
    case Interval::Minute: r = dt.Minute(); break;
    case Interval::Second: r = dt.Second(); break;
  }
  return Variant::Integer(static_cast<int16_t>(r));
}

Variant MonthName(Machine& m, Args a) {
  int month = Long(m, Val(a[0]));
  if (month < 1 || month > 12) Throw(kInvalidCall);
  bool abbreviate = !IsMissing(a, 1) && ToBoolean(Val(a[1]), *m.locale);
  const Locale& l = *m.locale;
  return Variant::String(abbreviate ? l.monthsShort[month - 1] : l.months[month - 1]);
}

Variant WeekdayName(Machine& m, Args a) {
  int w = Long(m, Val(a[0]));
  if (w < 1 || w > 7) Throw(kInvalidCall);
  bool abbreviate = !IsMissing(a, 1) && ToBoolean(Val(a[1]), *m.locale);
  int first = FirstDay(m, a, 2, 1);
  int index = (w - 1 + first - 1) % 7;
  const Locale& l = *m.locale;
  return Variant::String(abbreviate ? l.daysShort[index] : l.days[index]);
}

constexpr Builtin kList[] = {
    {"Now", 0, 0, Now},
    {"Date", 0, 0, Today},
    {"Time", 0, 0, TimeNow},
    {"Timer", 0, 0, Timer},
    {"Year", 1, 1, PartOf<&DateTime::Year>},
    {"Month", 1, 1, PartOf<&DateTime::Month>},
    {"Day", 1, 1, PartOf<&DateTime::Day>},
    {"Hour", 1, 1, PartOf<&DateTime::Hour>},
    {"Minute", 1, 1, PartOf<&DateTime::Minute>},
    {"Second", 1, 1, PartOf<&DateTime::Second>},
    {"Weekday", 1, 2, Weekday},
    {"DateSerial", 3, 3, DateSerial},
    {"TimeSerial", 3, 3, TimeSerial},
    {"DateValue", 1, 1, DateValue},
    {"TimeValue", 1, 1, TimeValue},
    {"DateAdd", 3, 3, DateAdd},
    {"DateDiff", 3, 5, DateDiff},
    {"DatePart", 2, 4, DatePart},
    {"MonthName", 1, 2, MonthName},
    {"WeekdayName", 1, 3, WeekdayName},
};

}  // namespace

std::span<const Builtin> Dates() { return kList; }

}  // namespace tillbook::vbscript::builtins
