#include "calc/rounding.h"

#include <cmath>
#include <cstdlib>

#include "base/error.h"
#include "core/configuration.h"

namespace tillbook::calc {
namespace {

// The multiple of `step` (ten-thousandths, > 0) nearest to `amount`, ties to the even multiple.
// Done on the integers so that a decimal tie (1.225 on a step of 0.05) is a tie, which the
// quotient of two doubles would not always see.
Money NearestMultiple(Money amount, int64_t step) {
  const int64_t a = amount.raw();
  int64_t q = a / step;
  const int64_t rest = a % step;  // same sign as a
  const int64_t twice = std::llabs(rest) * 2;
  if (twice > step || (twice == step && q % 2 != 0)) q += a < 0 ? -1 : 1;
  const __int128 product = static_cast<__int128>(q) * step;
  if (product > INT64_MAX || product < INT64_MIN)
    throw Error("Importo fuori dai limiti consentiti", "rounding overflow");
  return Money::FromRaw(static_cast<int64_t>(product));
}

}  // namespace

Money RoundCurrency(Money amount, bool convert, float factor, double conversionValue) {
  if (!(factor > 0)) throw Error("Arrotondamento non valido", "currency rounding factor <= 0");
  if (convert) amount = amount * conversionValue;
  // The factor arrives in single precision (0.1f is 0.10000000149...): the unit is taken back
  // to the nearest ten-thousandth, which for the decade factors is exact.
  const int64_t unit =
      Money::FromDouble(static_cast<double>(factor) * std::pow(10.0, -kCurrencyDecimals)).raw();
  if (unit <= 1) return amount;
  return NearestMultiple(amount, unit);
}

Money RoundPrice(Money amount, const core::Configuration& config) {
  Money step = Money::FromDouble(config.ValoreArrotondamento);
  for (const core::clsRoundItem& range : config.RoundRanges) {
    if (range.FromValue() <= amount && amount <= range.ToValue()) {
      step = range.RoundValue();
      break;
    }
  }
  if (step.IsZero()) return RoundCurrency(amount, false, kFactorPrice);
  // A negative step rounds as its magnitude: only the distance between multiples matters.
  if (step < Money()) step = -step;
  Money result = NearestMultiple(amount, step.raw());
  const Money magnitude = amount < Money() ? -amount : amount;
  const Money resultMagnitude = result < Money() ? -result : result;
  if (config.ArrotondaInEccesso && resultMagnitude < magnitude)
    result = result >= Money() ? result + step : result - step;
  return result;
}

double CalcPriceWithMarkup(double cost, double markup) {
  return RoundCurrency(Money::FromDouble(cost * (markup / 100 + 1)), false, kFactorPrice)
      .ToDouble();
}

double CalcMarkupPercent(Money cost, Money price) {
  if (cost.IsZero()) return 0;
  return (price - cost).ToDouble() * 100 / cost.ToDouble();
}

double CalcDiscountPercent(Money net, Money list) {
  if (net.IsZero() || list.IsZero()) return 0;
  return (list - net).ToDouble() * 100 / list.ToDouble();
}

}  // namespace tillbook::calc
