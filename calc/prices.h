// Prices of an article and of a document row: the sale price from cost and markup, net and
// final prices through the VAT rate, the unit price a document's price list gives a row, the
// VAT of an amount, the quantity an amount buys, the moving average purchase cost and the unit
// charge cost. Each operation takes the values it reads as plain values, so a hook, a tool or a
// test calls it without an archive; the caller reads the fields and writes the results back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/money.h"

namespace tillbook::core {
struct Configuration;
}

namespace tillbook::calc {

// The three costs of an article a sale price is built from.
struct ArticleCosts {
  Money PrezzoAcquisto;       // last purchase price
  Money PrezzoAcquistoMedio;  // moving average purchase cost
  Money CostoOneriUnitario;   // average extra cost per unit
};

// The price rounding of (average cost, else last purchase price) marked up, plus the unit
// charge cost, which is not marked up. 0 when all three costs are 0.
double CalcSalePriceFromMarkup(const ArticleCosts& article, double markup,
                               const core::Configuration& config);
// "PrezzoFinale" without VAT at `rate` percent (0 when the article has no VAT code), rounded to
// the cent; 0 when the final price is 0.
double CalcNetFromFinalPrice(Money prezzoFinale, double rate);
// "PrezzoVendita" with VAT at `rate` percent, rounded to the cent; 0 when the price is 0.
double CalcFinalFromSalePrice(Money prezzoVendita, double rate);

// The markup to store after "PrezzoVendita" changed on an article: nullopt (the stored one
// stays) unless both the average cost and the price are set, the stored markup is not the
// price's markup over the average cost, and the stored markup does not already give the
// price; then the price's markup to four decimals.
std::optional<double> MarkupForSalePrice(const ArticleCosts& article, Money prezzoVendita,
                                         double storedMarkup, const core::Configuration& config);

// What a document's price list offers for a row's article, read by the caller from the
// document, its list, the article and its sector.
struct ListPriceSources {
  bool hasList = false;                // the document exists and names a "Listino"
  std::optional<Money> personalPrice;  // the article's "ListiniPersonalizzati" row for the list
  bool isBaseList = false;             // the list's "Descrizione" is "< BASE >"
  Money articleSalePrice;              // the article's "PrezzoVendita"
  bool hasSector = false;              // the article has a "Settore"
  std::optional<double> sectorMarkup;  // the sector's "ListiniPredefiniti" markup for the list
  double listDefaultMarkup = 0;        // the list's "PercentualeRicaricoPredefinito"
  ArticleCosts costs;
};
inline constexpr std::string_view kBaseListDescription = "< BASE >";

// The row's unit sale price: the personalised price, else the article's price on the base
// list, else the article's costs marked up by the sector's (or the list's) markup; 0 without a
// list, or without a sector on a list that is neither personalised nor the base.
double GetListPrice(const ListPriceSources& sources, const core::Configuration& config);

// The article's "PrezzoAcquisto", or the price of the document's supplier among the article's
// "DatiFornitori" when there is one above 0.
double GetSupplierPurchasePrice(Money articlePrice, std::optional<Money> supplierPrice);

// VAT at `rate` percent of `amount`, rounded to the thousandth.
Money CalcRowVat(Money amount, double rate);
// The VAT of a document charge at the default VAT code's rate; nullopt when "Default_CodiceIVA"
// names no code, which gives 0 (the caller shows kNoDefaultVatMessage and goes on).
double CalcDefaultVat(Money amount, std::optional<double> defaultRate);
inline constexpr std::string_view kNoDefaultVatMessage =
    "E' necessario impostare l'IVA predefinita nei parametri generali";

// amount / unit price, to three decimals when the unit allows decimals, else to a whole number
// (ties to even); 0 when the unit price is not positive. The purchase side passes the row's
// "PrezzoAcquisto" as the price and gets the same rule.
double CalcQuantityFromAmount(Money amount, Money unitPrice, bool unitAllowsDecimals);

// The article and row values the moving average purchase cost follows.
struct PurchaseMovement {
  Money rowUnitPrice;      // the row's "PrezzoUnitario"
  double rowQuantity = 0;  // the row's quantity field
  double moved = 0;        // the quantity that entered (or, reversed, left) the stock
  double stock = 0;        // the article's "Quantità", already updated for the row
};
struct AverageCost {
  Money PrezzoAcquisto;
  Money PrezzoAcquistoMedio;
};
// The article's purchase prices after a load row entered (or, `reverse`, left) the stock;
// nullopt when nothing changes (no price or quantity on the row, or a zero result).
// The caller takes the row guard "Updating_PrezzoAcquisto" around it and writes the result.
std::optional<AverageCost> UpdateAveragePurchaseCost(const AverageCost& article,
                                                     const PurchaseMovement& movement,
                                                     bool reverse);
// The article's new "CostoOneriUnitario" after a load row with the charge share `charge` and
// quantity `moved` entered (or, `reverse`, left) a stock that is now `stock`.
Money UpdateUnitChargeCost(Money unitChargeCost, Money charge, double moved, double stock,
                           bool reverse);

// The first `length` characters of `text`, padded with spaces to `length`.
std::string PadText(std::string_view text, int length);

// A return reverses the stock movement, an operation on account also does, and a return of
// goods given on account restores the normal direction.
bool IsReverseMovement(bool reso, bool inConto);

// Whether setting a customer whose default list is `listDescription` with markup `listMarkup`
// asks kBaseListQuestion: only with "Notify_ListinoRicarico", on the base list without markup.
bool CheckCustomerBaseList(const core::Configuration& config, std::string_view listDescription,
                           double listMarkup);
inline constexpr std::string_view kBaseListQuestion =
    "< ATTENZIONE >\rIl listino di BASE impostato nel Cliente risulta senza ricarico "
    "predefinito\r\rAggiornare il Listino nel Cliente ?";

}  // namespace tillbook::calc
