#include "base/date.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace tillbook {
namespace {

DateTime D(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
  auto date = DateTime::FromParts(y, m, d, hh, mm, ss);
  EXPECT_TRUE(date.has_value()) << y << "-" << m << "-" << d;
  return date.value_or(DateTime());
}

TEST(DateTimeTest, SerialDaysOfKnownDates) {
  struct Case {
    int y, m, d;
    int32_t days;
    int weekday;
  };
  const Case cases[] = {
      {1899, 12, 30, 0, 7},       {1899, 12, 31, 1, 1},   {1900, 1, 1, 2, 2},
      {1900, 3, 1, 61, 5},        {2000, 1, 1, 36526, 7}, {2024, 1, 1, 45292, 2},
      {2024, 2, 29, 45351, 5},    {1899, 12, 29, -1, 6},  {100, 1, 1, -657434, 6},
      {9999, 12, 31, 2958465, 6}, {1970, 1, 1, 25569, 5},
  };
  for (const auto& c : cases) {
    const DateTime date = D(c.y, c.m, c.d);
    EXPECT_EQ(date.days(), c.days) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(date.Weekday(), c.weekday) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(date.Year(), c.y);
    EXPECT_EQ(date.Month(), c.m);
    EXPECT_EQ(date.Day(), c.d);
  }
  EXPECT_EQ(DateTime().ToIsoDate(), "1899-12-30");
}

TEST(DateTimeTest, PartsRoundTripOverManyYears) {
  // Every 97th day from year 100 to 9999 comes back from its parts and its serial.
  for (int32_t days = -657434; days <= 2958465; days += 97) {
    const DateTime date = DateTime::FromDaysSeconds(days, 45296);
    const auto again = DateTime::FromParts(date.Year(), date.Month(), date.Day(), 12, 34, 56);
    ASSERT_TRUE(again.has_value()) << days;
    ASSERT_EQ(*again, date);
    ASSERT_EQ(DateTime::FromSerial(date.ToSerial()), date) << days;
  }
}

TEST(DateTimeTest, FromPartsRefusesImpossibleDates) {
  struct Case {
    int y, m, d, hh, mm, ss;
  };
  const Case cases[] = {
      {2024, 2, 30, 0, 0, 0}, {2023, 2, 29, 0, 0, 0}, {1900, 2, 29, 0, 0, 0},
      {2024, 13, 1, 0, 0, 0}, {2024, 0, 1, 0, 0, 0},  {2024, 4, 31, 0, 0, 0},
      {2024, 1, 0, 0, 0, 0},  {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0},
      {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, 0, 60, 0}, {2024, 1, 1, 0, 0, 60},
      {2024, 1, 1, -1, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(DateTime::FromParts(c.y, c.m, c.d, c.hh, c.mm, c.ss).has_value())
        << c.y << "-" << c.m << "-" << c.d << " " << c.hh << ":" << c.mm << ":" << c.ss;
  }
  EXPECT_TRUE(DateTime::FromParts(2000, 2, 29).has_value());
  EXPECT_TRUE(DateTime::FromParts(2024, 12, 31, 23, 59, 59).has_value());
}

TEST(DateTimeTest, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(DateTime::IsLeapYear(2024));
  EXPECT_TRUE(DateTime::IsLeapYear(2000));
  EXPECT_FALSE(DateTime::IsLeapYear(1900));
  EXPECT_FALSE(DateTime::IsLeapYear(2023));
  const int lengths2024[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(DateTime::DaysInMonth(2024, m), lengths2024[m - 1]);
  EXPECT_EQ(DateTime::DaysInMonth(2023, 2), 28);
}

TEST(DateTimeTest, SerialNormalisesLikeDateSerial) {
  struct Case {
    int y, m, d;
    const char* iso;
  };
  const Case cases[] = {
      {2024, 3, 0, "2024-02-29"},  {2023, 3, 0, "2023-02-28"},   {2023, 2, 29, "2023-03-01"},
      {2024, 13, 1, "2025-01-01"}, {2024, 0, 1, "2023-12-01"},   {2024, -1, 15, "2023-11-15"},
      {2024, 1, -1, "2023-12-30"}, {2024, 25, 1, "2026-01-01"},  {2024, 1, 366, "2024-12-31"},
      {2000, 1, 1, "2000-01-01"},  {1899, 12, 30, "1899-12-30"}, {9999, 12, 31, "9999-12-31"},
      {100, 1, 1, "0100-01-01"},   {2024, -23, 1, "2022-01-01"},
  };
  for (const auto& c : cases) {
    const auto date = DateTime::Serial(c.y, c.m, c.d);
    ASSERT_TRUE(date.has_value()) << c.iso;
    EXPECT_EQ(date->ToIsoDate(), c.iso);
  }
  EXPECT_EQ(DateTime::Serial(2000, 1, 1)->ToSerial(), 36526);
  EXPECT_FALSE(DateTime::Serial(100, 1, 0).has_value());
  EXPECT_FALSE(DateTime::Serial(9999, 13, 1).has_value());
  EXPECT_FALSE(DateTime::Serial(99, 1, 1).has_value());
}

TEST(DateTimeTest, SerialFractionsAreTimesOfDay) {
  struct Case {
    double serial;
    const char* iso;
  };
  const Case cases[] = {
      {0.0, "1899-12-30 00:00:00"},
      {1.5, "1899-12-31 12:00:00"},
      {-1.25, "1899-12-29 06:00:00"},
      {-0.5, "1899-12-30 12:00:00"},
      {36526.75, "2000-01-01 18:00:00"},
      {45292.0 + 13.0 / 24 + 5.0 / 1440, "2024-01-01 13:05:00"},
      {1.0 - 1e-7, "1899-12-31 00:00:00"},  // rounds to the next midnight
      {45292.0 + 0.4 / 86400, "2024-01-01 00:00:00"},
      {45292.0 + 0.6 / 86400, "2024-01-01 00:00:01"},
  };
  for (const auto& c : cases) {
    const auto date = DateTime::FromSerial(c.serial);
    ASSERT_TRUE(date.has_value()) << c.iso;
    EXPECT_EQ(date->ToIso(), c.iso);
  }
  EXPECT_EQ(DateTime::FromSerial(-1.25)->ToSerial(), -1.25);
  EXPECT_FALSE(DateTime::FromSerial(-657435.0).has_value());
  EXPECT_FALSE(DateTime::FromSerial(2958466.0).has_value());
  EXPECT_FALSE(DateTime::FromSerial(1e300).has_value());
  EXPECT_FALSE(DateTime::FromSerial(std::numeric_limits<double>::quiet_NaN()).has_value());
}

TEST(DateTimeTest, AddMonthsClampsToTheMonthLength) {
  struct Case {
    DateTime from;
    int months;
    const char* iso;
  };
  const Case cases[] = {
      {D(2024, 1, 31), 1, "2024-02-29"},        {D(2023, 1, 31), 1, "2023-02-28"},
      {D(2010, 1, 31), -1, "2009-12-31"},       {D(2010, 1, 31), 3, "2010-04-30"},
      {D(2024, 2, 29), 12, "2025-02-28"},       {D(2024, 2, 29), 48, "2028-02-29"},
      {D(2024, 12, 15), 1, "2025-01-15"},       {D(2024, 1, 15), -13, "2022-12-15"},
      {D(2024, 5, 31, 8, 30), 0, "2024-05-31"},
  };
  for (const auto& c : cases) {
    const DateTime result = c.from.AddMonths(c.months);
    EXPECT_EQ(result.ToIsoDate(), c.iso) << c.from.ToIso() << " + " << c.months;
    EXPECT_EQ(result.seconds(), c.from.seconds());
  }
  EXPECT_THROW(D(9999, 12, 1).AddMonths(1), Error);
  EXPECT_THROW(D(100, 1, 1).AddMonths(-1), Error);
}

TEST(DateTimeTest, DayAndSecondArithmetic) {
  EXPECT_EQ(D(2024, 2, 28).AddDays(1).ToIsoDate(), "2024-02-29");
  EXPECT_EQ(D(2024, 3, 1).AddDays(-1).ToIsoDate(), "2024-02-29");
  EXPECT_EQ(D(2023, 12, 31, 23, 59, 59).AddSeconds(1).ToIso(), "2024-01-01 00:00:00");
  EXPECT_EQ(D(2024, 1, 1).AddSeconds(-1).ToIso(), "2023-12-31 23:59:59");
  EXPECT_EQ(D(2024, 1, 1, 12).AddSeconds(-86400 * 2 - 1).ToIso(), "2023-12-30 11:59:59");
  EXPECT_EQ(DateTime().AddSeconds(-1).ToIso(), "1899-12-29 23:59:59");
  EXPECT_THROW(D(9999, 12, 31).AddDays(1), Error);
  EXPECT_THROW(D(100, 1, 1).AddSeconds(-1), Error);
  EXPECT_THROW(D(2024, 1, 1).AddDays(INT64_MAX), Error);
  EXPECT_EQ(D(2024, 2, 10, 9, 15).EndOfMonth().ToIso(), "2024-02-29 09:15:00");
  EXPECT_EQ(D(2023, 12, 31).EndOfMonth().ToIsoDate(), "2023-12-31");
  EXPECT_EQ(D(2024, 12, 31).DayOfYear(), 366);
  EXPECT_EQ(D(2023, 3, 1).DayOfYear(), 60);
  EXPECT_EQ(D(2024, 1, 1, 13, 5, 9).DatePart(), D(2024, 1, 1));
  EXPECT_LT(D(2024, 1, 1, 0, 0, 1), D(2024, 1, 1, 0, 0, 2));
  EXPECT_LT(D(1899, 12, 29, 23), D(1899, 12, 30));
}

TEST(DateTimeTest, TextForms) {
  const DateTime afternoon = D(2024, 1, 5, 13, 5, 9);
  const DateTime midnight = D(2024, 1, 5);
  EXPECT_EQ(afternoon.ToIso(), "2024-01-05 13:05:09");
  EXPECT_EQ(afternoon.ToJetLiteral(), "#01/05/2024 13:05:09#");
  EXPECT_EQ(midnight.ToJetLiteral(), "#01/05/2024#");
  EXPECT_EQ(afternoon.ToItalian(), "05/01/2024 13:05:09");
  EXPECT_EQ(afternoon.ToItalian(false), "05/01/2024");
  EXPECT_EQ(midnight.ToItalian(), "05/01/2024");
  EXPECT_EQ(D(100, 3, 4).ToIso(), "0100-03-04 00:00:00");
}

struct ParseCase {
  const char* text;
  const char* iso;  // nullptr: refused
};

void ExpectParses(std::optional<DateTime> (*parse)(std::string_view),
                  std::initializer_list<ParseCase> cases) {
  for (const auto& c : cases) {
    const auto date = parse(c.text);
    if (c.iso == nullptr) {
      EXPECT_FALSE(date.has_value()) << '"' << c.text << "\" gave " << date->ToIso();
    } else {
      ASSERT_TRUE(date.has_value()) << '"' << c.text << '"';
      EXPECT_EQ(date->ToIso(), c.iso) << '"' << c.text << '"';
    }
  }
}

TEST(DateTimeTest, ParseIso) {
  ExpectParses(DateTime::ParseIso, {
                                       {"2024-01-05", "2024-01-05 00:00:00"},
                                       {"2024-01-05 13:05:09", "2024-01-05 13:05:09"},
                                       {"2024-01-05T13:05:09", "2024-01-05 13:05:09"},
                                       {"2024-01-05 13:05", "2024-01-05 13:05:00"},
                                       {"2024-02-29", "2024-02-29 00:00:00"},
                                       {"2023-02-29", nullptr},
                                       {"2024-1-5", nullptr},
                                       {"24-01-05", nullptr},
                                       {"2024-01-05 ", nullptr},
                                       {"2024-01-05 25:00:00", nullptr},
                                       {"2024-01-05X13:05:09", nullptr},
                                       {"2024-01-05 13:05:09.5", nullptr},
                                       {"", nullptr},
                                   });
}

TEST(DateTimeTest, ParseJetIsMonthFirst) {
  ExpectParses(DateTime::ParseJet, {
                                       {"#1/15/2024#", "2024-01-15 00:00:00"},
                                       {"01/15/2024", "2024-01-15 00:00:00"},
                                       {"#1/15/2024 13:05:00#", "2024-01-15 13:05:00"},
                                       {"#1/15/2024 13:05#", "2024-01-15 13:05:00"},
                                       {"#1/15/2024 1:05:00 PM#", "2024-01-15 13:05:00"},
                                       {"#1/15/2024 12:05 am#", "2024-01-15 00:05:00"},
                                       {"#10-05-25#", "2025-10-05 00:00:00"},
                                       {"#2/29/2024#", "2024-02-29 00:00:00"},
                                       {"02/30/2024", nullptr},
                                       {"15/01/2024", nullptr},
                                       {"#1/15/2024", nullptr},
                                       {"1/15-2024", nullptr},
                                       {"#1/15/2024 13:05:00 PM#", nullptr},
                                       {"#1/15/2024 13:5#", nullptr},
                                       {"##", nullptr},
                                   });
}

TEST(DateTimeTest, ParseItalianIsDayFirst) {
  ExpectParses(DateTime::ParseItalian, {
                                           {"05/01/2024", "2024-01-05 00:00:00"},
                                           {"5/1/2024 13:05", "2024-01-05 13:05:00"},
                                           {"05/01/2024 13:05:09", "2024-01-05 13:05:09"},
                                           {"05.01.2024", "2024-01-05 00:00:00"},
                                           {"5-1-24", "2024-01-05 00:00:00"},
                                           {"31/12/29", "2029-12-31 00:00:00"},
                                           {"01/01/30", "1930-01-01 00:00:00"},
                                           {"29/02/2023", nullptr},
                                           {"01/13/2024", nullptr},
                                           {"05/01.2024", nullptr},
                                           {"05/01/2024 1:05 PM", nullptr},
                                           {"05/01/2024x", nullptr},
                                           {"05/01/20245", nullptr},
                                       });
}

}  // namespace
}  // namespace tillbook
