// The script language's conversions between subtypes: numbers and dates to text and back under
// a Locale, the rounding of the integer conversions, truth of conditions. All of them throw
// RuntimeError with the script error numbers (13 for text that is no number, 94 for Null, 6
// for a value out of range).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/variant.h"

namespace tillbook::vbscript {

struct Locale;

// Object values read where a value is needed give their default member, recursively; Nothing
// is error 91. Other values are returned as they are.
Variant ValueOf(const Variant& v);

// Boolean, Byte, Integer, Long, Single, Double, Currency, Date.
inline bool IsNumberType(VarType t) {
  return (t >= VarType::Integer && t <= VarType::Date) || t == VarType::Boolean ||
         t == VarType::Byte;
}

// Half to even at the integer: 0.5 -> 0, 1.5 -> 2, -2.5 -> -2.
double RoundHalfEven(double x);

// `significant` digits at most, no trailing zeros, scientific ("1E+15", "1,5E-07") outside
// the range where the plain form is used.
std::string FormatFloat(double x, int significant, char decimal);

// CStr: Empty "", Boolean "True"/"False", numbers and dates as the locale writes them; Null is
// error 94, an array 13.
std::string ToText(const Variant& v, const Locale& locale);
// As ToText but Null gives "" (the '&' operator and string functions use it).
std::string ToTextOrEmpty(const Variant& v, const Locale& locale);

// Text to a number as the locale reads it: blanks around, a sign, digits with the thousands
// separator between them, one decimal separator, an exponent, or &H / &O forms.
bool ParseNumber(std::string_view s, const Locale& locale, double& out);

// Numeric conversions of any value (Empty 0, Boolean -1/0, Date its serial, String parsed).
double ToDouble(const Variant& v, const Locale& locale);
int32_t ToLong(const Variant& v, const Locale& locale);    // half-even, error 6 outside Long
int16_t ToInteger(const Variant& v, const Locale& locale);  // half-even, error 6 outside Integer
uint8_t ToByte(const Variant& v, const Locale& locale);
Money ToCurrency(const Variant& v, const Locale& locale);
bool ToBoolean(const Variant& v, const Locale& locale);  // CBool; Null is error 94
// Truth of an If or loop condition: as CBool, but Null and Empty are False.
bool IsTrue(const Variant& v, const Locale& locale);
// Date serial of any value (numbers are serials, text is parsed as the locale writes dates).
double ToDateSerial(const Variant& v, const Locale& locale);

// Dates to text: short date alone when there is no time, the time alone on day 0, otherwise
// both.
std::string DateText(double serial, const Locale& locale);
std::string ShortDateText(double serial, const Locale& locale);
std::string LongTimeText(double serial, const Locale& locale);
// Dates from text: the locale's day/month order (swapped when the first reading is no date),
// yyyy-mm-dd, month names, an optional time with optional AM/PM, a time alone.
bool ParseDate(std::string_view s, const Locale& locale, double& serial);

// A Variant holding a number of the narrowest of Integer, Long or Double that holds x.
Variant IntegerResult(int64_t x);

}  // namespace tillbook::vbscript
