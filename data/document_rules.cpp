#include "data/document_rules.h"

#include <cmath>
#include <optional>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "calc/archive_prices.h"
#include "calc/documents.h"
#include "calc/fulfilment.h"
#include "calc/prices.h"
#include "calc/rounding.h"
#include "data/document_checks.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::data {

using engine::HookReply;
using engine::Row;

const DocumentInfo& InfoOf(DocumentKind kind) {
  static const DocumentInfo infos[] = {
      {DocumentKind::Sale, "Vendite", "QuantitàScarico", "", "Cliente", true},
      {DocumentKind::Load, "Forniture", "QuantitàCarico", "", "Fornitore", false},
      {DocumentKind::CustomerOrder, "OrdiniClienti", "QuantitàOrdine", "QuantitàScaricata",
       "Cliente", true},
      {DocumentKind::SupplierOrder, "OrdiniFornitori", "QuantitàOrdine", "QuantitàCaricata",
       "Fornitore", false},
      {DocumentKind::CustomerTransport, "TrasportiClienti", "QuantitàTrasporto",
       "QuantitàScaricata", "Cliente", true},
      {DocumentKind::SupplierTransport, "TrasportiFornitori", "QuantitàTrasporto",
       "QuantitàCaricata", "Fornitore", false},
  };
  return infos[static_cast<int>(kind)];
}

namespace {

constexpr std::string_view kCharges[] = {"ImportoSpeseTrasporto", "ImportoSpeseImballaggio",
                                         "ImportoSpeseBancarie", "ImportoSpeseAssicurative",
                                         "ImportoSpeseBolli"};
// Marks a load whose charges or total changed since it was last saved: its charges are spread
// over the rows again at the next save of the archived load.
constexpr std::string_view kChargesChanged = "Oneri_Variati";
// Held while the final unit price follows the row's amounts: only a final price typed by the
// person moves the discount or the unit price.
constexpr std::string_view kFollowingAmount = "Refresh_PrezzoUnitarioFinale";

bool IsNothing(const Variant& v) {
  return v.IsNull() || v.IsEmpty();
}
Money MoneyOf(const Variant& v) {
  return IsNothing(v) ? Money() : v.ToMoney();
}
double NumberOf(const Variant& v) {
  if (IsNothing(v) || (v.IsString() && v.AsString().empty())) return 0;
  return v.ToDouble();
}
bool FlagOf(const Variant& v) {
  return !IsNothing(v) && v.ToBool();
}
Money MoneyOf(const Row& r, std::string_view f) {
  return MoneyOf(r.Get(f));
}
double NumberOf(const Row& r, std::string_view f) {
  return NumberOf(r.Get(f));
}
bool FlagOf(const Row& r, std::string_view f) {
  return FlagOf(r.Get(f));
}
bool Has(const Row& r, std::string_view f) {
  return r.table().FindColumn(f).valid();
}

bool Is(std::string_view a, std::string_view b) {
  return text::NoCaseEqual{}(a, b);
}

void Write(Row& row, std::string_view field, const Variant& value) {
  if (!row.Set(field, value))
    throw Error("Impossibile aggiornare «" + std::string(field) + "» in " + row.TableName() + ".",
                "derived value refused");
}
void WriteMoney(Row& row, std::string_view field, Money value) {
  Write(row, field, Variant::Currency(value));
}
void AddMoney(Row& row, std::string_view field, Money delta) {
  if (delta.raw() == 0 || !Has(row, field)) return;
  WriteMoney(row, field, MoneyOf(row, field) + delta);
}
void AddNumber(Row& row, std::string_view field, double delta) {
  if (delta == 0 || !Has(row, field)) return;
  Write(row, field, Variant::Double(NumberOf(row, field) + delta));
}

// The rate of the default VAT code for the charges; tells the person once per change when the
// code is missing.
std::optional<double> ChargesVatRate(Row& doc, const TableSwitches& s, bool needed) {
  if (!needed) return std::nullopt;
  auto rate = calc::DefaultVatRate(doc.connection(), s.config);
  if (!rate)
    doc.connection().ui().MessageBox(calc::kNoDefaultVatMessage, engine::Buttons::Ok,
                                     engine::Icon::Critical);
  return rate;
}

calc::DocumentCharges ChargesOf(const Row& doc) {
  calc::DocumentCharges c;
  c.ImportoSpeseTrasporto = MoneyOf(doc, "ImportoSpeseTrasporto");
  c.ImportoSpeseImballaggio = MoneyOf(doc, "ImportoSpeseImballaggio");
  c.ImportoSpeseAssicurative = MoneyOf(doc, "ImportoSpeseAssicurative");
  c.ImportoSpeseBolli = MoneyOf(doc, "ImportoSpeseBolli");
  c.ImportoSpeseBancarie = MoneyOf(doc, "ImportoSpeseBancarie");
  return c;
}

calc::DocumentTotals TotalsOf(const Row& doc) {
  return {MoneyOf(doc, "ImportoTotale"), MoneyOf(doc, "ImportoTotaleIVA")};
}
void WriteTotals(Row& doc, const calc::DocumentTotals& t) {
  WriteMoney(doc, "ImportoTotale", t.ImportoTotale);
  WriteMoney(doc, "ImportoTotaleIVA", t.ImportoTotaleIVA);
}

// Each charge taken out of or put back into the totals with its own VAT.
void ApplyCharges(Row& doc, const TableSwitches& s, bool remove) {
  const calc::DocumentCharges charges = ChargesOf(doc);
  const bool exempt = FlagOf(doc, "IVAEsente");
  const auto rate = ChargesVatRate(doc, s, !exempt && charges.Total().raw() != 0);
  calc::DocumentTotals totals = TotalsOf(doc);
  calc::ApplyDocumentCharges(totals, charges, exempt, remove, rate);
  WriteTotals(doc, totals);
}

// ---- rows ------------------------------------------------------------------------------------

// What a row counts in its article's stock: the moved quantity of sales and loads, the part of
// an order or transport document that later documents have not drawn yet.
double PendingOf(const DocumentInfo& info, double quantity, double fulfilled) {
  return info.fulfilled.empty() ? quantity : quantity - fulfilled;
}

struct RowValues {
  double quantity = 0, fulfilled = 0;
  Money importo, importoIva, chargeShare;
};
RowValues ValuesOf(const DocumentInfo& info, const Row& row) {
  RowValues v;
  v.quantity = NumberOf(row, info.quantity);
  if (!info.fulfilled.empty()) v.fulfilled = NumberOf(row, info.fulfilled);
  v.importo = MoneyOf(row, "Importo");
  v.importoIva = MoneyOf(row, "ImportoIVA");
  if (Has(row, "ImportoParzialeOneri")) v.chargeShare = MoneyOf(row, "ImportoParzialeOneri");
  return v;
}

// The row's stock quantity moved into the article's counters.
void MoveStock(const DocumentInfo& info, const TableSwitches& s, Row& article, double pending) {
  if (pending == 0) return;
  switch (info.kind) {
    case DocumentKind::Sale:
    case DocumentKind::CustomerTransport:
      AddNumber(article, "QuantitàTotaleScarichi", pending);
      AddNumber(article, "Quantità", -pending);
      break;
    case DocumentKind::Load:
    case DocumentKind::SupplierTransport:
      AddNumber(article, "QuantitàTotaleCarichi", pending);
      AddNumber(article, "Quantità", pending);
      break;
    case DocumentKind::CustomerOrder:
      if (s.Use_Ordini) AddNumber(article, "QuantitàInOrdineClienti", pending);
      break;
    case DocumentKind::SupplierOrder:
      if (s.Use_Ordini) AddNumber(article, "QuantitàInOrdineFornitori", pending);
      break;
  }
}

// The supplier row of the article's per-supplier data, made when missing.
std::optional<Row> SupplierData(Row& article, int64_t supplier) {
  if (supplier == 0) return std::nullopt;
  for (Row& r : article.List("DatiFornitori"))
    if (r.ReferenceOid("Fornitore") == supplier) return r;
  auto made = article.AddListRow("DatiFornitori");
  if (!made || !made->SetReferenceOid("Fornitore", supplier))
    throw Error("Impossibile registrare i dati del fornitore dell'articolo.", "DatiFornitori");
  return made;
}

bool KeepsSupplierData(const DocumentInfo& info, const Row& article) {
  return (info.kind == DocumentKind::Load || info.kind == DocumentKind::SupplierTransport) &&
         article.table().FindReference("DatiFornitori") != nullptr;
}

int64_t SupplierOf(const DocumentInfo& info, const Row& row) {
  if (info.party != "Fornitore") return 0;
  auto doc = row.Parent(info.header);
  return doc ? doc->ReferenceOid("Fornitore") : 0;
}

// Adds `sign` times the difference between `after` and `before` of a row to its supplier's data.
void MoveSupplierData(const DocumentInfo& info, Row& article, int64_t supplier,
                      const RowValues& before, const RowValues& after) {
  if (!KeepsSupplierData(info, article) || supplier == 0) return;
  const double moved = PendingOf(info, after.quantity, after.fulfilled) -
                       PendingOf(info, before.quantity, before.fulfilled);
  const bool load = info.kind == DocumentKind::Load;
  const Money importo = load ? after.importo - before.importo : Money();
  const Money share = load ? after.chargeShare - before.chargeShare : Money();
  if (moved == 0 && importo.raw() == 0 && share.raw() == 0) return;
  Row::Guard guard(article, "Update_DatiFornitore");
  auto data = SupplierData(article, supplier);
  if (!data) return;
  AddNumber(*data, "QuantitàTotaleCarichi", moved);
  AddMoney(*data, "ImportoTotale", importo);
  AddMoney(*data, "ImportoTotaleOneri", share);
}

// Moves the difference between two states of a row into its header, article and supplier data.
void MoveContribution(const DocumentInfo& info, const TableSwitches& s, Row& row,
                      const RowValues& before, const RowValues& after, bool header = true,
                      bool article = true) {
  if (header)
    if (auto doc = row.Parent(info.header)) {
      AddMoney(*doc, "ImportoTotale", after.importo - before.importo);
      AddMoney(*doc, "ImportoTotaleIVA", after.importoIva - before.importoIva);
    }
  if (!article) return;
  auto base = row.BaseRow();
  if (!base) return;
  MoveStock(info, s, *base,
            PendingOf(info, after.quantity, after.fulfilled) -
                PendingOf(info, before.quantity, before.fulfilled));
  if (info.kind == DocumentKind::Sale)
    AddMoney(*base, "ImportoTotaleVendite", after.importo - before.importo);
  if (info.kind == DocumentKind::Load) {
    AddMoney(*base, "ImportoTotaleForniture", after.importo - before.importo);
    AddMoney(*base, "ImportoTotaleOneri", after.chargeShare - before.chargeShare);
  }
  MoveSupplierData(info, *base, SupplierOf(info, row), before, after);
}

// The load row's article cost after its quantity entered (or, reversed, left) the stock.
void UpdateCosts(const DocumentInfo& info, Row& row, bool reverse, std::string_view field = {}) {
  if (info.kind != DocumentKind::Load && info.kind != DocumentKind::SupplierTransport) return;
  auto article = row.BaseRow();
  if (!article || !Has(*article, "PrezzoAcquistoMedio")) return;
  const double quantity = NumberOf(row, info.quantity);
  const double stock = NumberOf(*article, "Quantità");
  const bool all = field.empty() || field == info.quantity;
  if (all || field == "PrezzoUnitario") {
    Row::Guard guard(row, "Updating_PrezzoAcquisto");
    if (guard) {
      calc::PurchaseMovement m{MoneyOf(row, "PrezzoUnitario"), quantity, quantity, stock};
      calc::AverageCost cost{MoneyOf(*article, "PrezzoAcquisto"),
                             MoneyOf(*article, "PrezzoAcquistoMedio")};
      if (auto next = calc::UpdateAveragePurchaseCost(cost, m, reverse)) {
        WriteMoney(*article, "PrezzoAcquisto", next->PrezzoAcquisto);
        WriteMoney(*article, "PrezzoAcquistoMedio", next->PrezzoAcquistoMedio);
      }
    }
  }
  if (!(all || field == "ImportoParzialeOneri")) return;
  if (!Has(row, "ImportoParzialeOneri") || !Has(*article, "CostoOneriUnitario")) return;
  WriteMoney(
      *article, "CostoOneriUnitario",
      calc::UpdateUnitChargeCost(MoneyOf(*article, "CostoOneriUnitario"),
                                 MoneyOf(row, "ImportoParzialeOneri"), quantity, stock, reverse));
}

// The supplier's last price follows the net price of its load rows.
void WriteSupplierPrice(const DocumentInfo& info, Row& row) {
  if (info.kind != DocumentKind::Load || MoneyOf(row, "PrezzoUnitario").raw() == 0) return;
  auto article = row.BaseRow();
  if (!article || !KeepsSupplierData(info, *article)) return;
  Row::Guard guard(*article, "Update_DatiFornitore");
  if (auto data = SupplierData(*article, SupplierOf(info, row)))
    WriteMoney(*data, "PrezzoAcquisto", MoneyOf(row, "PrezzoUnitario"));
}

bool MovesCosts(const DocumentInfo& info, std::string_view field) {
  return (info.kind == DocumentKind::Load || info.kind == DocumentKind::SupplierTransport) &&
         (field == info.quantity || field == "PrezzoUnitario" || field == "ImportoParzialeOneri");
}

std::string BaseLinkName(const Row& row) {
  const engine::TableInfo& t = row.table();
  if (!t.base || t.linkToBase || t.baseLinkColumn < 0) return {};
  return t.own->columns[t.baseLinkColumn].name;
}

// A stored row counts; a row waiting for its first save does not yet.
bool Counts(const Row& row) {
  return !row.IsPending() && row.IsValid();
}

}  // namespace

// ---- headers ---------------------------------------------------------------------------------

void DocumentHeaderTable::itfSetData_OnNewRow(Row& row, HookReply&) {
  SetDocumentDefaults(row);
  for (std::string_view f :
       {"ImportoTotale", "ImportoTotaleIVA", "ImportoTotaleOneri", "ImportoRitenute"})
    if (Has(row, f)) row.Set(f, Variant::Currency(Money()));
  for (std::string_view f : kCharges)
    if (Has(row, f)) row.Set(f, Variant::Currency(Money()));
  for (std::string_view f : {"Evaso", "DistribuisciCostoOneri"})
    if (Has(row, f)) row.Set(f, Flag(false));
  checks::HeaderNew(info_, switches(), row);
}

void DocumentHeaderTable::itfSetData_OnBeforeUpdateField(Row& row, std::string_view field,
                                                         const Variant& newValue,
                                                         HookReply& reply) {
  TableClass::itfSetData_OnBeforeUpdateField(row, field, newValue, reply);
  if (reply.cancelled()) return;
  checks::HeaderBeforeField(info_, switches(), row, field, newValue, reply);
  if (reply.cancelled()) return;
  if (field == "ImportoTotaleOneri") {
    const Money before = MoneyOf(row, field), after = MoneyOf(newValue);
    const bool exempt = FlagOf(row, "IVAEsente");
    calc::DocumentTotals totals = TotalsOf(row);
    const auto rate =
        ChargesVatRate(row, switches(), !exempt && (before.raw() != 0 || after.raw() != 0));
    calc::RemoveChargesTotal(totals, before, exempt, rate);
    calc::AddChargesTotal(totals, after, exempt, rate);
    WriteTotals(row, totals);
  } else if (field == "IVAEsente") {
    ApplyCharges(row, switches(), true);
  }
  if (field == "ImportoTotale" || field == "ImportoTotaleOneri" ||
      field == "DistribuisciCostoOneri")
    row.Mark(kChargesChanged);
}

void DocumentHeaderTable::itfSetData_OnUpdateField(Row& row, std::string_view field,
                                                   HookReply& reply) {
  checks::HeaderAfterField(info_, switches(), row, field, reply);
  if (reply.cancelled()) return;
  for (std::string_view charge : kCharges)
    if (field == charge) {
      WriteMoney(row, "ImportoTotaleOneri", ChargesOf(row).Total());
      return;
    }
  if (field == "IVAEsente") {
    const Variant exempt = Flag(FlagOf(row, "IVAEsente"));
    for (std::string_view list : {"Dettagli", "DettagliLiberi"})
      if (row.table().FindReference(list))
        for (Row& r : row.List(list))
          if (Has(r, "IVAEsente") && FlagOf(r, "IVAEsente") != FlagOf(exempt))
            Write(r, "IVAEsente", exempt);
    ApplyCharges(row, switches(), false);
  } else if (field == "ImportoTotale" && info_.kind == DocumentKind::Sale &&
             Has(row, "ImportoRitenute")) {
    engine::Connection& c = row.connection();
    const std::string category =
        engine::Database::GetSystemValue(c, "SYS_Category", Variant::String("")).ToText();
    const std::string taxes =
        engine::Database::GetSystemValue(c, "SYS_Taxes", Variant::String("")).ToText();
    if (auto withheld = calc::CalcImportoRitenute(MoneyOf(row, "ImportoTotale"), category, taxes))
      WriteMoney(row, "ImportoRitenute", *withheld);
  }
}

namespace {

const calc::FulfilmentLink* LinkFor(const DocumentInfo& info, const Row& item) {
  for (const calc::FulfilmentLink& link : calc::FulfilmentLinks())
    if (link.drawn == info.header && item.As(link.drawing)) return &link;
  return nullptr;
}

bool IsAssociation(std::string_view reference) {
  return reference == "VenditeAssociate" || reference == "FornitureAssociate" ||
         reference == "TrasportiAssociati";
}

// The order or transport document takes (or gives back) what an associated document drew, and
// "Evaso" follows.
void Associate(const DocumentInfo& info, const TableSwitches& s, Row& doc, const Row& item,
               bool remove) {
  const calc::FulfilmentLink* link = LinkFor(info, item);
  if (!link) return;
  const Row drawing = *item.As(link->drawing);
  bool complete = calc::UpdateOrderFulfilment(doc, drawing, *link, false, remove);
  if (s.Use_NoMagazzino && doc.table().FindReference("DettagliLiberi"))
    complete = calc::UpdateOrderFulfilment(doc, drawing, *link, true, remove) && complete;
  if (Has(doc, "Evaso") && FlagOf(doc, "Evaso") != complete) {
    Row::Guard guard(doc, kSettingEvaso);
    Write(doc, "Evaso", Flag(complete));
  }
}

// The rows of a supplier document move their per-supplier data to the new supplier.
void MoveRowsSupplier(const DocumentInfo& info, Row& doc, int64_t supplier, bool remove) {
  if (supplier == 0 || !doc.table().FindReference("Dettagli")) return;
  for (Row& r : doc.List("Dettagli")) {
    auto article = r.BaseRow();
    if (!article) continue;
    const RowValues values = ValuesOf(info, r);
    MoveSupplierData(info, *article, supplier, remove ? values : RowValues{},
                     remove ? RowValues{} : values);
  }
}

}  // namespace

void DocumentHeaderTable::itfSetData_OnBeforeUpdateReference(Row& row, std::string_view reference,
                                                             const Row* referenced,
                                                             HookReply& reply) {
  if (IsAssociation(reference)) {
    if (referenced) Associate(info_, switches(), row, *referenced, true);
    return;
  }
  if (reference == "Fornitore" && !row.IsCreating())
    MoveRowsSupplier(info_, row, row.ReferenceOid("Fornitore"), true);
  (void)reply;
}

void DocumentHeaderTable::itfSetData_OnUpdateReference(Row& row, std::string_view reference,
                                                       const Row* referenced, HookReply& reply) {
  if (IsAssociation(reference)) {
    if (referenced) Associate(info_, switches(), row, *referenced, false);
    return;
  }
  checks::HeaderAfterReference(info_, switches(), row, reference, referenced, reply);
  if (reply.cancelled()) return;
  if (reference == "Fornitore" && !row.IsCreating())
    MoveRowsSupplier(info_, row, row.ReferenceOid("Fornitore"), false);
}

void DocumentHeaderTable::itfSetData_OnUpdateRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnUpdateRow(row, reply);
  if (reply.cancelled()) return;
  checks::HeaderSave(info_, switches(), row, reply);
  if (reply.cancelled()) return;
  const bool spreads =
      info_.kind == DocumentKind::Load || info_.kind == DocumentKind::SupplierTransport;
  if (!spreads || !FlagOf(row, "Archiviato") || row.IsPending()) return;
  if (!row.TakeMark(kChargesChanged)) return;
  Row::Guard guard(row, "CalcOneriParziali");
  if (!guard) return;
  std::vector<Row> rows = row.List("Dettagli");
  std::vector<Money> amounts;
  for (const Row& r : rows) amounts.push_back(MoneyOf(r, "Importo"));
  const std::vector<Money> shares =
      calc::CalcOneriParziali(FlagOf(row, "DistribuisciCostoOneri"), MoneyOf(row, "ImportoTotale"),
                              MoneyOf(row, "ImportoTotaleOneri"), amounts);
  for (size_t i = 0; i < rows.size(); ++i) {
    WriteMoney(rows[i], "ImportoParzialeOneri", shares[i]);
    if (!rows[i].Save())
      throw Error("Impossibile salvare la quota degli oneri di una riga.", "CalcOneriParziali");
  }
}

void DocumentHeaderTable::itfSetData_OnDeleteRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnDeleteRow(row, reply);
  if (reply.cancelled()) return;
  checks::HeaderDelete(info_, switches(), row, reply);
}

// ---- rows ------------------------------------------------------------------------------------

void DocumentRowTable::itfSetData_OnNewRow(Row& row, HookReply&) {
  SetDocumentRowDefaults(row);
  for (std::string_view f :
       {"ImportoListino", "Importo", "ImportoIVA", "ImportoFinale", "ImportoParzialeOneri"})
    if (Has(row, f)) row.Set(f, Variant::Currency(Money()));
}

void DocumentRowTable::itfSetData_OnSetParent(Row& child, const Row& parent) {
  TakeDocumentExemption(child, parent);
}

namespace {

// A change that moves the article's costs takes the row's whole contribution out before it and
// puts it back after, so the costs see the stock without the row and then with it. The changes
// the rules make in between (the amounts following a new quantity) find the contribution out and
// leave it alone; the field that took it out puts it back.
constexpr std::string_view kOut = "Contributo_Sospeso";
std::string OutFor(std::string_view field) {
  return std::string(kOut) + ":" + std::string(field);
}

}  // namespace

void DocumentRowTable::itfSetData_OnBeforeUpdateField(Row& row, std::string_view field,
                                                      const Variant& newValue, HookReply& reply) {
  TableClass::itfSetData_OnBeforeUpdateField(row, field, newValue, reply);
  if (reply.cancelled()) return;
  checks::RowBeforeField(info_, switches(), row, field, newValue, reply);
  if (reply.cancelled() || !Counts(row) || row.IsGuarded(kOut)) return;
  const std::string link = BaseLinkName(row);
  const bool relink = !link.empty() && field == link;
  if (relink || MovesCosts(info_, field)) {
    row.TryGuard(kOut);
    row.TryGuard(OutFor(field));
    // The row leaves its article (or its stock, for a moment).
    MoveContribution(info_, switches(), row, ValuesOf(info_, row), {}, !relink, true);
    if (MovesCosts(info_, info_.quantity)) UpdateCosts(info_, row, true, relink ? "" : field);
    return;
  }
  const bool counted = field == info_.quantity || field == info_.fulfilled || field == "Importo" ||
                       field == "ImportoIVA";
  if (!counted) return;
  const RowValues before = ValuesOf(info_, row);
  RowValues after = before;
  if (field == info_.quantity)
    after.quantity = NumberOf(newValue);
  else if (field == info_.fulfilled)
    after.fulfilled = NumberOf(newValue);
  else if (field == "Importo")
    after.importo = MoneyOf(newValue);
  else
    after.importoIva = MoneyOf(newValue);
  MoveContribution(info_, switches(), row, before, after);
}

void DocumentRowTable::itfSetData_OnUpdateField(Row& row, std::string_view field,
                                                HookReply& reply) {
  const std::string link = BaseLinkName(row);
  const bool relink = !link.empty() && field == link;
  if (!relink) {
    if (info_.customerSide)
      CustomerRules(row, field, reply);
    else
      SupplierRules(row, field);
    VatRules(row, field);
  }
  if (row.IsGuarded(OutFor(field))) {
    row.ReleaseGuard(OutFor(field));
    row.ReleaseGuard(kOut);
    MoveContribution(info_, switches(), row, {}, ValuesOf(info_, row), !relink, true);
    if (MovesCosts(info_, info_.quantity)) UpdateCosts(info_, row, false, relink ? "" : field);
  }
  if (!relink) checks::RowAfterField(info_, switches(), row, field, reply);
}

void DocumentRowTable::CustomerRules(Row& row, std::string_view field, HookReply& reply) {
  const core::Configuration& config = switches().config;
  if (field == "PrezzoUnitario" && config.ImportoMaxArticolo > 0) {
    const double price = NumberOf(row, "PrezzoUnitario");
    if (price > 0 && price > config.ImportoMaxArticolo)
      reply.ui().MessageBox("Importo Articolo superiore al massimo consentito (" +
                                Variant::Double(config.ImportoMaxArticolo).ToText() + ")",
                            engine::Buttons::Ok, engine::Icon::Exclamation);
  }
  if (field == "PrezzoVendita" && !freeRows_ && row.BaseRow())
    WriteMoney(row, "PrezzoUnitario",
               Money::FromDouble(calc::GetListPrice(row, info_.header, config)));
  if (field == info_.quantity || field == "PrezzoUnitario" || field == "PercentualeSconto") {
    Row::Guard guard(row, "Calculate_ImportoVendita");
    if (guard) {
      calc::SaleRow amounts;
      if (!IsNothing(row.Get(info_.quantity))) amounts.quantity = NumberOf(row, info_.quantity);
      amounts.PrezzoUnitario = MoneyOf(row, "PrezzoUnitario");
      amounts.PercentualeSconto = NumberOf(row, "PercentualeSconto");
      amounts.ImportoListino = MoneyOf(row, "ImportoListino");
      amounts.Importo = MoneyOf(row, "Importo");
      calc::Calculate_ImportoVendita(amounts, config);
      WriteMoney(row, "ImportoListino", amounts.ImportoListino);
      WriteMoney(row, "Importo", amounts.Importo);
    }
  }
  if (field == "ImportoFinale" && Has(row, "PrezzoUnitarioFinale")) {
    // Written by the rules, so not a final price typed by the person.
    Row::Guard guard(row, kFollowingAmount);
    if (auto unit =
            calc::FinalUnitPrice(MoneyOf(row, "ImportoFinale"), NumberOf(row, info_.quantity)))
      WriteMoney(row, "PrezzoUnitarioFinale", *unit);
  }
  if (field == "PrezzoUnitarioFinale" && !row.IsGuarded("Calculate_ImportoVendita") &&
      !row.IsGuarded(kFollowingAmount)) {
    Row::Guard guard(row, "Refresh_PercentualeScontoDettScarico");
    if (!guard) return;
    calc::FinalPriceRow r;
    if (auto vat = row.Reference("IVA")) r.vatRate = NumberOf(*vat, "Percentuale");
    r.PrezzoUnitarioFinale = MoneyOf(row, "PrezzoUnitarioFinale");
    r.PrezzoUnitario = MoneyOf(row, "PrezzoUnitario");
    r.PercentualeSconto = NumberOf(row, "PercentualeSconto");
    calc::Refresh_PercentualeScontoDettScarico(r);
    WriteMoney(row, "PrezzoUnitario", r.PrezzoUnitario);
    Write(row, "PercentualeSconto", Variant::Double(r.PercentualeSconto));
  }
}

void DocumentRowTable::SupplierRules(Row& row, std::string_view field) {
  if (field == "PrezzoAcquisto" && !freeRows_ && !row.IsGuarded("Updating_PrezzoAcquisto") &&
      !row.IsGuarded("Calculate_ImportoAcquisto") && Has(row, "PrezzoListino")) {
    std::optional<Money> supplierPrice;
    if (auto article = row.BaseRow()) {
      const int64_t supplier = SupplierOf(info_, row);
      if (supplier != 0 && article->table().FindReference("DatiFornitori"))
        for (const Row& d : article->List("DatiFornitori"))
          if (d.ReferenceOid("Fornitore") == supplier) supplierPrice = MoneyOf(d, "PrezzoAcquisto");
    }
    WriteMoney(row, "PrezzoListino",
               Money::FromDouble(
                   calc::GetSupplierPurchasePrice(MoneyOf(row, "PrezzoAcquisto"), supplierPrice)));
  }
  if (field == info_.quantity || field == "PrezzoListino" || field == "PercentualeSconto") {
    Row::Guard guard(row, "Calculate_ImportoAcquisto");
    if (guard) {
      calc::PurchaseRow amounts;
      if (!IsNothing(row.Get(info_.quantity))) amounts.quantity = NumberOf(row, info_.quantity);
      amounts.PrezzoListino = MoneyOf(row, "PrezzoListino");
      amounts.PercentualeSconto = NumberOf(row, "PercentualeSconto");
      amounts.ImportoListino = MoneyOf(row, "ImportoListino");
      amounts.Importo = MoneyOf(row, "Importo");
      amounts.PrezzoUnitario = MoneyOf(row, "PrezzoUnitario");
      calc::Calculate_ImportoAcquisto(amounts);
      WriteMoney(row, "ImportoListino", amounts.ImportoListino);
      WriteMoney(row, "Importo", amounts.Importo);
      WriteMoney(row, "PrezzoUnitario", amounts.PrezzoUnitario);
    }
  }
  if ((field == "PrezzoListino" || field == "PrezzoUnitario") &&
      !row.IsGuarded("Calculate_ImportoAcquisto") && MoneyOf(row, "PrezzoUnitario").raw() > 0) {
    const Money net = MoneyOf(row, "PrezzoUnitario"), list = MoneyOf(row, "PrezzoListino");
    if (list.raw() == 0) {
      Write(row, "PercentualeSconto", Variant::Double(0));
      WriteMoney(row, "PrezzoListino", net);
    } else {
      const double discount = calc::CalcDiscountPercent(net, list);
      // A list price typed gives back the discount it came from, save for the last digits.
      if (std::fabs(discount - NumberOf(row, "PercentualeSconto")) > 1e-6)
        Write(row, "PercentualeSconto", Variant::Double(discount));
    }
  }
  if (field == "PrezzoUnitario" && Counts(row)) WriteSupplierPrice(info_, row);
}

void DocumentRowTable::VatRules(Row& row, std::string_view field) {
  if (field == "IVAEsente" || field == "Importo") {
    const double quantity = NumberOf(row, info_.quantity);
    const Money amount = MoneyOf(row, "Importo");
    if (field == "Importo" && quantity == 0 && amount.raw() != 0 && !freeRows_) {
      const Money price = MoneyOf(row, info_.customerSide ? "PrezzoUnitario" : "PrezzoAcquisto");
      bool decimals = false;
      if (auto unit = row.Reference("UnitaMisura")) decimals = FlagOf(*unit, "Decimali");
      if (price.raw() > 0) {
        const double derived = calc::CalcQuantityFromAmount(amount, price, decimals);
        if (derived != 0) Write(row, info_.quantity, Variant::Double(derived));
      }
    }
    if (FlagOf(row, "IVAEsente")) {
      WriteMoney(row, "ImportoIVA", Money());
    } else {
      double rate = 0;
      if (auto vat = row.Reference("IVA")) rate = NumberOf(*vat, "Percentuale");
      WriteMoney(row, "ImportoIVA", calc::CalcRowVat(MoneyOf(row, "Importo"), rate));
    }
  }
  if (field == "ImportoIVA" || field == "Importo")
    WriteMoney(row, "ImportoFinale", MoneyOf(row, "Importo") + MoneyOf(row, "ImportoIVA"));
}

void DocumentRowTable::itfSetData_OnUpdateReference(Row& row, std::string_view reference,
                                                    const Row*, HookReply&) {
  // A new VAT code gives the row its VAT again.
  if (reference == "IVA") VatRules(row, "IVAEsente");
}

void DocumentRowTable::itfSetData_OnUpdateRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnUpdateRow(row, reply);
  if (reply.cancelled()) return;
  checks::RowSave(info_, switches(), row, reply);
  if (reply.cancelled() || !row.IsPending()) return;
  // First save: the row now counts everywhere it belongs, and a new movement stamps its date.
  if (info_.kind == DocumentKind::Sale && Has(row, "DataUltimaVendita"))
    Write(row, "DataUltimaVendita", Variant::Date(Today()));
  if (info_.kind == DocumentKind::Load && Has(row, "DataUltimaFornitura"))
    Write(row, "DataUltimaFornitura", Variant::Date(Today()));
  MoveContribution(info_, switches(), row, {}, ValuesOf(info_, row));
  if (MovesCosts(info_, info_.quantity)) UpdateCosts(info_, row, false);
  WriteSupplierPrice(info_, row);
}

void DocumentRowTable::itfSetData_OnDeleteRow(Row& row, HookReply& reply) {
  TableClass::itfSetData_OnDeleteRow(row, reply);
  if (reply.cancelled() || !Counts(row)) return;
  // Leaving the stock first, so the article's cost sees the stock without the row.
  const RowValues values = ValuesOf(info_, row);
  MoveContribution(info_, switches(), row, values, {});
  if (MovesCosts(info_, info_.quantity)) UpdateCosts(info_, row, true);
}

}  // namespace tillbook::data
