// Rounding of amounts: the archive currency's rounding (to cents, or a decade finer or coarser
// through a factor) and the shop's price rounding (a general step, price ranges with their own
// step, rounding by excess), plus the markup and discount percentages prices are built from.
#pragma once

#include "base/money.h"

namespace tillbook::core {
struct Configuration;
}

namespace tillbook::calc {

// The archive currency has two decimals: its smallest unit is 0.01.
inline constexpr int kCurrencyDecimals = 2;

// Factors the calculations pass to RoundCurrency.
inline constexpr float kFactorPrice = 1.0f;       // prices and totals: cents
inline constexpr float kFactorVat = 0.1f;         // VAT amounts: thousandths
inline constexpr float kFactorUnitCost = 0.001f;  // unit costs and charge shares: finer than money

// `amount` (first multiplied by `conversionValue` when `convert`) rounded to the nearest
// multiple of factor x 0.01, ties to the even multiple. A unit finer than a ten-thousandth
// leaves the amount as it is. Throws Error when the factor is not positive.
Money RoundCurrency(Money amount, bool convert, float factor, double conversionValue = 1.0);

// The price rounding: the step is that of the first rounding range holding `amount` (bounds
// inclusive, signed), else "ValoreArrotondamento"; a zero step means the currency rounding.
// Otherwise the nearest multiple of the step (ties to the even multiple), moved one step away
// from zero when rounding by excess left it smaller in magnitude than `amount`.
Money RoundPrice(Money amount, const core::Configuration& config);

// cost x (1 + markup / 100), rounded as a price in the currency (no price rounding).
double CalcPriceWithMarkup(double cost, double markup);
// (price - cost) x 100 / cost, unrounded; 0 when cost is 0.
double CalcMarkupPercent(Money cost, Money price);
// (list - net) x 100 / list, unrounded; 0 when either is 0.
double CalcDiscountPercent(Money net, Money list);

}  // namespace tillbook::calc
