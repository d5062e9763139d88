#include "base/money.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "base/error.h"

namespace tillbook {
namespace {

constexpr char kOutOfRange[] = "Importo fuori dai limiti consentiti";
// Script error number for an overflow, so that scripts see the familiar code.
constexpr int kOverflowNumber = 6;

[[noreturn]] void ThrowOutOfRange(std::string detail) {
  throw Error(kOutOfRange, std::move(detail), kOverflowNumber);
}

// A decimal number as digits and a power of ten: value = digits * 10^exponent. Rounding works on
// this text form so that a decimal tie (2.675, 0.00005) is a tie even when the binary double
// nearest to it is not.
struct Decimal {
  bool negative = false;
  std::string_view digits;  // no leading zeros; empty means zero
  int64_t exponent = 0;
};

// Shortest round-trip text of a finite x in scientific form, split into digits and exponent.
// `buffer` holds the digits the result points into.
Decimal DecimalOf(double x, char (&buffer)[64]) {
  Decimal d;
  d.negative = std::signbit(x);
  char text[64];
  auto [end, ec] =
      std::to_chars(text, text + sizeof text, std::fabs(x), std::chars_format::scientific);
  // "d.ddde+XX": collect the mantissa digits, then read the exponent.
  size_t count = 0;
  const char* p = text;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') buffer[count++] = *p;
  }
  int exp10 = 0;
  if (p != end) {
    ++p;
    if (*p == '+') ++p;
    std::from_chars(p, end, exp10);
  }
  std::string_view digits(buffer, count);
  while (!digits.empty() && digits.back() == '0') {  // "1e+02" style zeros carry no weight
    digits.remove_suffix(1);
  }
  if (digits.empty()) return d;  // zero
  d.digits = digits;
  d.exponent = exp10 - static_cast<int64_t>(digits.size() - 1);
  return d;
}

// The magnitude of d times 10^places rounded to an integer, half to even. Returns false when the
// result would exceed `limit`.
bool ScaleHalfEven(const Decimal& d, int64_t places, uint64_t limit, uint64_t* result) {
  const std::string_view digits = d.digits;
  const int64_t shift = d.exponent + places;
  const int64_t count = static_cast<int64_t>(digits.size());
  // Digits that stay in the integer part; the rest decide the rounding.
  const int64_t keep = shift >= 0 ? count : count + shift;
  uint64_t value = 0;
  for (int64_t i = 0; i < keep; ++i) {
    const unsigned digit = static_cast<unsigned>(digits[i] - '0');
    if (value > (limit - digit) / 10) return false;
    value = value * 10 + digit;
  }
  for (int64_t i = 0; shift > 0 && i < shift; ++i) {
    if (value > limit / 10) return false;
    value *= 10;
  }
  if (keep < count && keep >= 0) {
    const char first = digits[keep];
    bool up = first > '5';
    if (first == '5') {
      const bool exactHalf = digits.find_first_not_of('0', keep + 1) == std::string_view::npos;
      up = !exactHalf || (value % 2 == 1);
    }
    if (up) {
      if (value == limit) return false;
      ++value;
    }
  }
  // keep < 0: every digit lies below a tenth of the last kept place, so the value rounds to 0.
  *result = value;
  return true;
}

constexpr uint64_t kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
constexpr uint64_t kMaxNegative = kMaxPositive + 1;

int64_t SignedFrom(bool negative, uint64_t magnitude) {
  if (!negative) return static_cast<int64_t>(magnitude);
  return magnitude == kMaxNegative ? std::numeric_limits<int64_t>::min()
                                   : -static_cast<int64_t>(magnitude);
}

std::string DoubleText(double x) {
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, x);
  return std::string(text, end);
}

}  // namespace

Money Money::FromUnits(int64_t units) {
  int64_t raw;
  if (__builtin_mul_overflow(units, kScale, &raw)) ThrowOutOfRange(std::to_string(units));
  return Money(raw);
}

Money Money::FromDouble(double x) {
  if (!std::isfinite(x)) ThrowOutOfRange("not a finite number: " + DoubleText(x));
  char buffer[64];
  const Decimal d = DecimalOf(x, buffer);
  uint64_t magnitude = 0;
  if (!ScaleHalfEven(d, 4, d.negative ? kMaxNegative : kMaxPositive, &magnitude)) {
    ThrowOutOfRange(DoubleText(x));
  }
  return Money(SignedFrom(d.negative, magnitude));
}

std::optional<Money> Money::Parse(std::string_view text) {
  Decimal d;
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    d.negative = text[pos] == '-';
    ++pos;
  }
  // Integer and decimal digits go into one digit string; the exponent places the mark.
  std::string digits;
  bool seenMark = false;
  bool seenDigit = false;
  int64_t decimals = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c >= '0' && c <= '9') {
      seenDigit = true;
      if (digits.empty() && c == '0') {
        if (seenMark) ++decimals;
        continue;
      }
      digits.push_back(c);
      if (seenMark) ++decimals;
    } else if ((c == '.' || c == ',') && !seenMark) {
      seenMark = true;
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  d.digits = digits;
  d.exponent = -decimals;
  uint64_t magnitude = 0;
  if (!ScaleHalfEven(d, 4, d.negative ? kMaxNegative : kMaxPositive, &magnitude)) {
    return std::nullopt;
  }
  return Money(SignedFrom(d.negative && magnitude != 0, magnitude));
}

std::string Money::ToString() const {
  std::string text = ToFixed(4);
  const size_t mark = text.find('.');
  size_t end = text.find_last_not_of('0');
  if (end == mark) --end;
  text.resize(end + 1);
  return text;
}

std::string Money::ToFixed(int decimals, char decimalMark) const {
  if (decimals < 0) decimals = 0;
  if (decimals > 4) decimals = 4;
  const int64_t rounded = HalfEven(*this, decimals).raw();
  const uint64_t magnitude =
      rounded < 0 ? 0 - static_cast<uint64_t>(rounded) : static_cast<uint64_t>(rounded);
  std::string text = rounded < 0 ? "-" : "";
  text += std::to_string(magnitude / kScale);
  if (decimals > 0) {
    std::string fraction = std::to_string(magnitude % kScale + kScale).substr(1);  // 4 digits
    text += decimalMark;
    text.append(fraction, 0, decimals);
  }
  return text;
}

Money Money::operator+(Money other) const {
  int64_t raw;
  if (__builtin_add_overflow(raw_, other.raw_, &raw)) {
    ThrowOutOfRange(ToString() + " + " + other.ToString());
  }
  return Money(raw);
}

Money Money::operator-(Money other) const {
  int64_t raw;
  if (__builtin_sub_overflow(raw_, other.raw_, &raw)) {
    ThrowOutOfRange(ToString() + " - " + other.ToString());
  }
  return Money(raw);
}

Money Money::operator-() const {
  if (raw_ == std::numeric_limits<int64_t>::min()) ThrowOutOfRange("-(" + ToString() + ")");
  return Money(-raw_);
}

double HalfEven(double x, int n) {
  if (!std::isfinite(x) || x == 0) return x;
  char buffer[64];
  const Decimal d = DecimalOf(x, buffer);
  if (d.exponent + n >= 0) return x;  // already has no more than n decimals
  // At most 17 significant digits survive, so the rounded integer always fits.
  uint64_t scaled = 0;
  ScaleHalfEven(d, n, std::numeric_limits<uint64_t>::max(), &scaled);
  if (scaled == 0) return 0.0;
  // The nearest double to the decimal scaled * 10^-n, read back by the correctly rounded parser.
  std::string text = (d.negative ? "-" : "") + std::to_string(scaled) + "e" + std::to_string(-n);
  double result = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), result);
  // Only rounding the largest doubles up to the next power of ten leaves the double range.
  if (parsed.ec == std::errc::result_out_of_range) return std::copysign(HUGE_VAL, x);
  return result;
}

Money HalfEven(Money x, int n) {
  if (n >= 4) return x;
  // 10^(4-n) exceeds any amount once n < -15: every amount is then below half a unit.
  if (n < -15) return Money();
  __int128 unit = 1;
  for (int i = n; i < 4; ++i) unit *= 10;
  const __int128 raw = x.raw();
  __int128 quotient = raw / unit;
  const __int128 remainder = raw % unit;  // same sign as raw
  const __int128 twice = (remainder < 0 ? -remainder : remainder) * 2;
  if (twice > unit || (twice == unit && quotient % 2 != 0)) quotient += raw < 0 ? -1 : 1;
  const __int128 result = quotient * unit;
  if (result > std::numeric_limits<int64_t>::max() ||
      result < std::numeric_limits<int64_t>::min()) {
    ThrowOutOfRange("HalfEven(" + x.ToString() + ", " + std::to_string(n) + ")");
  }
  return Money::FromRaw(static_cast<int64_t>(result));
}

}  // namespace tillbook
