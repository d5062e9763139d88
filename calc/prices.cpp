#include "calc/prices.h"

#include "calc/rounding.h"
#include "core/configuration.h"

namespace tillbook::calc {

double CalcSalePriceFromMarkup(const ArticleCosts& article, double markup,
                               const core::Configuration& config) {
  if (article.PrezzoAcquistoMedio.IsZero() && article.PrezzoAcquisto.IsZero() &&
      article.CostoOneriUnitario.IsZero())
    return 0;
  const Money base =
      article.PrezzoAcquistoMedio.IsZero() ? article.PrezzoAcquisto : article.PrezzoAcquistoMedio;
  const Money marked = base * (markup / 100 + 1);
  return RoundPrice(marked + article.CostoOneriUnitario, config).ToDouble();
}

std::optional<double> MarkupForSalePrice(const ArticleCosts& article, Money prezzoVendita,
                                         double storedMarkup, const core::Configuration& config) {
  if (article.PrezzoAcquistoMedio.IsZero() || prezzoVendita.IsZero()) return std::nullopt;
  const double m = CalcMarkupPercent(article.PrezzoAcquistoMedio, prezzoVendita);
  if (storedMarkup == m) return std::nullopt;
  // A markup that rounds to the typed price stays: a rounded price must not rewrite the markup
  // the person chose.
  if (Money::FromDouble(CalcSalePriceFromMarkup(article, storedMarkup, config)) == prezzoVendita)
    return std::nullopt;
  return HalfEven(m, 4);
}

double CalcNetFromFinalPrice(Money prezzoFinale, double rate) {
  if (prezzoFinale.IsZero()) return 0;
  return RoundCurrency(prezzoFinale / (1 + rate / 100), false, kFactorPrice).ToDouble();
}

double CalcFinalFromSalePrice(Money prezzoVendita, double rate) {
  if (prezzoVendita.IsZero()) return 0;
  return RoundCurrency(prezzoVendita * (1 + rate / 100), false, kFactorPrice).ToDouble();
}

double GetListPrice(const ListPriceSources& s, const core::Configuration& config) {
  if (!s.hasList) return 0;
  if (s.personalPrice) return s.personalPrice->ToDouble();
  if (s.isBaseList) return s.articleSalePrice.ToDouble();
  if (!s.hasSector) return 0;
  const double markup = s.sectorMarkup ? *s.sectorMarkup : s.listDefaultMarkup;
  return CalcSalePriceFromMarkup(s.costs, markup, config);
}

double GetSupplierPurchasePrice(Money articlePrice, std::optional<Money> supplierPrice) {
  if (supplierPrice && *supplierPrice > Money()) return supplierPrice->ToDouble();
  return articlePrice.ToDouble();
}

Money CalcRowVat(Money amount, double rate) {
  return RoundCurrency(Money::FromDouble(amount.ToDouble() * rate / 100), false, kFactorVat);
}

double CalcDefaultVat(Money amount, std::optional<double> defaultRate) {
  if (!defaultRate) return 0;
  return CalcRowVat(amount, *defaultRate).ToDouble();
}

double CalcQuantityFromAmount(Money amount, Money unitPrice, bool unitAllowsDecimals) {
  double q = 0;
  if (unitPrice > Money()) q = amount / unitPrice;
  return HalfEven(q, unitAllowsDecimals ? 3 : 0);
}

std::optional<AverageCost> UpdateAveragePurchaseCost(const AverageCost& article,
                                                     const PurchaseMovement& m, bool reverse) {
  if (!(m.rowUnitPrice > Money()) || !(m.rowQuantity > 0)) return std::nullopt;
  const Money price = m.rowUnitPrice;
  const Money avg =
      article.PrezzoAcquistoMedio.IsZero() ? article.PrezzoAcquisto : article.PrezzoAcquistoMedio;
  Money updated;
  if (m.stock <= 0 || avg.IsZero()) {
    updated = price;
  } else if (!reverse) {
    // The stock before the load at the old average, plus the load at its price.
    if (m.stock <= m.rowQuantity) {
      updated = price;
    } else {
      const Money before = avg * (m.stock - m.moved);
      updated = Money::FromDouble(before.ToDouble() + m.moved * price.ToDouble()) / m.stock;
    }
  } else {
    const Money before = avg * (m.stock + m.moved);
    updated = Money::FromDouble(before.ToDouble() - m.moved * price.ToDouble()) / m.stock;
  }
  if (updated.IsZero()) return std::nullopt;
  AverageCost result = article;
  if (result.PrezzoAcquisto.IsZero())
    result.PrezzoAcquisto = RoundCurrency(price, false, kFactorUnitCost);
  result.PrezzoAcquistoMedio = RoundCurrency(updated, false, kFactorUnitCost);
  return result;
}

Money UpdateUnitChargeCost(Money unitChargeCost, Money charge, double moved, double stock,
                           bool reverse) {
  Money updated;
  if (reverse) {
    if (stock > 0) updated = (unitChargeCost * (stock + moved) - charge) / stock;
  } else if (stock > moved) {
    updated = (unitChargeCost * (stock - moved) + charge) / stock;
  } else if (moved > 0) {
    updated = charge / moved;
  }
  return RoundCurrency(updated, false, kFactorUnitCost);
}

std::string PadText(std::string_view text, int length) {
  if (length <= 0) return {};
  // Counts characters, not bytes: a UTF-8 sequence is a lead byte and its continuation bytes.
  size_t end = 0;
  int count = 0;
  while (end < text.size() && count < length) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    ++count;
  }
  std::string out(text.substr(0, end));
  out.append(static_cast<size_t>(length - count), ' ');
  return out;
}

bool IsReverseMovement(bool reso, bool inConto) {
  return reso != inConto;
}

bool CheckCustomerBaseList(const core::Configuration& config, std::string_view listDescription,
                           double listMarkup) {
  return config.Notify_ListinoRicarico && listDescription == kBaseListDescription &&
         listMarkup == 0;
}

}  // namespace tillbook::calc
