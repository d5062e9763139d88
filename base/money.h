// Money: an exact amount counting ten-thousandths in a signed 64-bit integer. Sums and
// differences are exact (overflow is an error, never a wrap); products and quotients go through
// doubles and come back rounded to the nearest ten-thousandth with ties to even.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tillbook {

class Money {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Money() = default;
  static constexpr Money FromRaw(int64_t tenThousandths) { return Money(tenThousandths); }
  // Whole currency units (euro), exact.
  static Money FromUnits(int64_t units);
  // Nearest ten-thousandth of x, ties to even, judged on the shortest decimal text of x (so
  // 0.00005 is a tie and 2.675 rounds as the decimal 2.675). Throws Error when out of range or
  // not finite.
  static Money FromDouble(double x);
  // Exact decimal text: optional sign, digits, optional '.' or ',' and up to any number of
  // decimals (beyond four they round half-even). No thousands separators. nullopt when malformed.
  static std::optional<Money> Parse(std::string_view text);

  constexpr int64_t raw() const { return raw_; }
  double ToDouble() const { return static_cast<double>(raw_) / kScale; }
  // Plain text with '.' and only the decimals needed ("12.5", "-0.0001", "3").
  std::string ToString() const;
  // Fixed decimals (0..4), half-even, with the given decimal mark; no thousands separators.
  std::string ToFixed(int decimals, char decimalMark = '.') const;

  constexpr bool IsZero() const { return raw_ == 0; }

  Money operator+(Money other) const;
  Money operator-(Money other) const;
  Money operator-() const;
  Money& operator+=(Money other) { return *this = *this + other; }
  Money& operator-=(Money other) { return *this = *this - other; }
  // Through doubles, rounded back as FromDouble does.
  Money operator*(double factor) const { return FromDouble(ToDouble() * factor); }
  Money operator/(double divisor) const { return FromDouble(ToDouble() / divisor); }
  // Quotient of two amounts as a double (a quantity or a ratio).
  double operator/(Money other) const { return ToDouble() / other.ToDouble(); }

  constexpr auto operator<=>(const Money&) const = default;

 private:
  constexpr explicit Money(int64_t raw) : raw_(raw) {}
  int64_t raw_ = 0;
};

// x rounded to n decimals (n may be negative: tens, hundreds...), ties to even, judged on the
// shortest decimal text of x so that decimal ties are ties.
double HalfEven(double x, int n);
// An amount rounded to n decimals (0..4), ties to even, exactly.
Money HalfEven(Money x, int n);

}  // namespace tillbook
