#include "data/Articoli.h"

#include "base/error.h"
#include "calc/prices.h"

#include "engine/connection.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Articoli::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Articoli";
  d.Version = 5.3;
}

void Articoli::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Descrizione", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione dell'articolo");
  d.AddField("DescrizioneBreve", FieldType::Text, 24, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione breve per reports o registratori di cassa");
  d.AddField("Codice", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice dell'articolo", "", "Codici");
  d.AddField("CodiceAggiuntivo", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice aggiuntivo dell'articolo", "", "Codici");
  d.AddField("CodiceRapido", FieldType::Text, 8, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice rapido o mnemonico dell'articolo", "", "Codici");
  d.AddField("Dettagli", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione estesa e dettagliata dell'articolo");
  d.AddField("PrezzoAcquisto", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Prezzo unitario (ultimo) di acquisto dell'articolo (IVA esclusa)", "", "Prezzi");
  d.AddField("CostoOneriUnitario", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Costo unitario degli oneri calcolato sulla giacenza delle forniture, incide sul "
             "prezzo di vendita (IVA esclusa)",
             "", "Prezzi");
  d.AddField("PercentualeRicarico", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ricarico applicato al prezzo di acquisto per il calcolo del prezzo di vendita", "",
             "Prezzi");
  d.AddField("PrezzoVendita", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Prezzo di vendita unitario dell'articolo (IVA esclusa)", "", "Prezzi");
  d.AddField("PrezzoFinale", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Prezzo di vendita finale unitario dell'articolo (IVA compresa)", "", "Prezzi");
  d.AddField("PrezzoAcquistoMedio", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Calcolato sulle variazioni del prezzo di acquisto, incide sul prezzo di vendita", "",
             "Prezzi");
  d.AddField("Quantità", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Quantità dell'articolo in carico nel magazzino (giacenza)", "", "Quantità");
  d.AddField("ScortaMinima", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Valore minimo per la segnalazione del sotto scorta (per eventuale riordino)", "",
             "Quantità");
  if (switches().Use_Ordini) {
    d.AddField("QuantitàInOrdineClienti", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
               "Quantità dell'articolo in ordine dai Clienti", "", "Quantità");
    d.AddField("QuantitàInOrdineFornitori", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet,
               true, "Quantità dell'articolo in ordine ai Fornitori", "", "Quantità");
    d.AddField("QuantitàFinale", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
               "Quantità finale dell'articolo considerando la giacenza e gli ordini", "",
               "Quantità");
  }
  d.AddField("ImportoTotaleOneri", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale delle forniture per l'articolo");
  d.AddField("QuantitàTotaleScarichi", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
             "Quantità totale scaricata (considera sia i D.D.T. che le Vendite)", "", "Totali");
  d.AddField("ImportoTotaleVendite", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale delle vendite per l'articolo (non considera i D.D.T.)", "", "Totali");
  d.AddField("QuantitàTotaleCarichi", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
             "Quantità totale caricata (considera sia i D.D.T. che le Forniture)", "", "Totali");
  d.AddField("ImportoTotaleForniture", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale delle forniture per l'articolo (non considera i D.D.T.)", "",
             "Totali");
  d.AddField("DataInserimento", FieldType::DateTime, 0, "", "", 15, kNotSet, kNotSet, true,
             "Data di inserimento dell'articolo nell'archivio", "", "Date");
  d.AddField("DataModifica", FieldType::DateTime, 0, "", "", 15, kNotSet, kNotSet, true,
             "Data ultima modifica dell'articolo", "", "Date");
  d.AddField("DataUltimaFornitura", FieldType::DateTime, 0, "", "", 15, kNotSet, kNotSet, false,
             "Data ultimo carico dell'articolo", "", "Date");
  d.AddField("DataUltimaVendita", FieldType::DateTime, 0, "", "", 15, kNotSet, kNotSet, false,
             "Data ultimo scarico dell'articolo", "", "Date");
  d.AddField("File", FieldType::FileList, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Files o immagini associate all'articolo", "", "Altro");
  d.AddField("FileAnteprima", FieldType::FileList, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Immagini di anteprima associate all'articolo", "", "Altro");
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Note aggiuntive", "", "Altro");

  d.AddReference("Settore", "Settori", false, false, "Codice", "Descrizione,Reparto");
  d.AddReference("IVA", "CodiciIva", false, false, "Codice", "Descrizione");
  d.AddReference("Deposito", "Depositi", false, false, "Codice", "Deposito", kNotSet, kNotSet,
                 kNotSet, "Deposito / Magazzino di appartenenza");
  d.AddReference("UnitaMisura", "UnitaMisura", false, false, "Codice", "Descrizione");
  d.AddReference("ListiniPersonalizzati", "DettagliListinoArticoli", true, true, "",
                 "Listino,PercentualeRicarico,PrezzoVendita,PrezzoFinale", kNotSet, kNotSet,
                 kNotSet,
                 "Listini personalizzati per l'articolo, hanno precedenza rispetto a quelli del "
                 "settore",
                 0, true, "Listini");
  d.AddReference("DatiFornitori", "DettagliPrezziFornitori", true, true, "",
                 "Fornitore,PrezzoAcquisto,QuantitàTotaleCarichi", kNotSet, kNotSet, kNotSet, "", 0,
                 true, "Prezzi");
  d.AddReference("CodiciCorrelati", "CodiciCorrelati", true, false, "Codice", "Note", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "Codici");

  // The same code may exist once per deposit.
  d.AddIndex("Codice", true, "InxArticoli").AddIndexReference("Deposito");
  d.AddIndex("CodiceAggiuntivo", false);
  d.AddIndex("CodiceRapido", false);
  d.AddIndex("Descrizione", false);

  d.FieldOrder =
      "Descrizione,DescrizioneBreve,Dettagli,Deposito,Codice,CodiceRapido,CodiceAggiuntivo,"
      "Settore,IVA,PrezzoAcquisto,PrezzoAcquistoMedio,CostoOneriUnitario,PercentualeRicarico,"
      "PrezzoVendita,PrezzoFinale,ListiniPersonalizzati,Quantità,ScortaMinima,";
  if (switches().Use_Ordini)
    d.FieldOrder += "QuantitàInOrdineClienti,QuantitàInOrdineFornitori,QuantitàFinale,";
  d.FieldOrder +=
      "ImportoTotaleOneri,QuantitàTotaleCarichi,ImportoTotaleForniture,QuantitàTotaleScarichi,"
      "ImportoTotaleVendite,UnitaMisura,DatiFornitori,File,FileAnteprima,Note";
}

void Articoli::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  for (const char* counter :
       {"Quantità", "ScortaMinima", "QuantitàInOrdineClienti", "QuantitàInOrdineFornitori",
        "QuantitàFinale", "ImportoTotaleOneri", "QuantitàTotaleScarichi", "ImportoTotaleVendite",
        "QuantitàTotaleCarichi", "ImportoTotaleForniture"})
    if (Has(row, counter)) row.Set(counter, Int(0));
  row.Set("DataInserimento", Variant::Date(Today()));
  engine::Connection& c = row.connection();
  if (switches().ProgrLen_Articoli > 0)
    row.Set("Codice", Text(NextCode(c, "Articoli", switches().ProgrLen_Articoli)));
  if (!switches().Default_UnitaMisura.empty())
    row.SetReferenceOid("UnitaMisura",
                        FirstOid(c, "UnitaMisura", "Codice", Text(switches().Default_UnitaMisura)));
  if (!switches().Default_CodiceIVA.empty())
    row.SetReferenceOid("IVA",
                        FirstOid(c, "CodiciIva", "Codice", Text(switches().Default_CodiceIVA)));
}

// Documents already written name the article by its code: renaming it is the person's call.
void Articoli::itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                              const Variant& newValue, engine::HookReply& reply) {
  TableClass::itfSetData_OnBeforeUpdateField(row, field, newValue, reply);
  if (reply.cancelled() || field != "Codice" || row.IsCreating()) return;
  reply.Ask(
      "La variazione del Codice interno potrebbe causare problemi nell'identificazione di "
      "eventuali movimentazioni già effettuate per questo Articolo, continuare ?");
}

void Articoli::itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) {
  TableClass::itfSetData_OnUpdateRow(row, reply);
  if (!reply.cancelled()) row.Set("DataModifica", Variant::Date(Today()));
}

namespace {

constexpr std::string_view kMarkupFromPrice = "Updating_PrezzoVendita";
constexpr std::string_view kFinalFromPrice = "Updating_PrezzoFinale";

Money MoneyField(const engine::Row& row, std::string_view field) {
  const Variant v = row.Get(field);
  return v.IsNull() || v.IsEmpty() ? Money() : v.ToMoney();
}
double NumberField(const engine::Row& row, std::string_view field) {
  const Variant v = row.Get(field);
  return v.IsNull() || v.IsEmpty() ? 0 : v.ToDouble();
}
calc::ArticleCosts CostsOf(const engine::Row& row) {
  return {MoneyField(row, "PrezzoAcquisto"), MoneyField(row, "PrezzoAcquistoMedio"),
          MoneyField(row, "CostoOneriUnitario")};
}
double VatRate(const engine::Row& row) {
  auto vat = row.Reference("IVA");
  return vat ? NumberField(*vat, "Percentuale") : 0;
}
void Write(engine::Row& row, std::string_view field, const Variant& value) {
  if (!row.Set(field, value))
    throw Error("Impossibile aggiornare «" + std::string(field) + "» dell'articolo.",
                "price rules");
}

}  // namespace

void Articoli::itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                        engine::HookReply&) {
  const core::Configuration& config = switches().config;
  if (field == "PrezzoVendita") {
    const Money price = MoneyField(row, "PrezzoVendita");
    {
      engine::Row::Guard guard(row, kMarkupFromPrice);
      if (auto markup = calc::MarkupForSalePrice(CostsOf(row), price,
                                                 NumberField(row, "PercentualeRicarico"), config))
        Write(row, "PercentualeRicarico", Variant::Double(*markup));
    }
    engine::Row::Guard guard(row, kFinalFromPrice);
    Write(row, "PrezzoFinale",
          Variant::Currency(Money::FromDouble(calc::CalcFinalFromSalePrice(price, VatRate(row)))));
    return;
  }
  if (field == "PrezzoFinale") {
    if (row.IsGuarded(kFinalFromPrice)) return;
    const Money net = Money::FromDouble(
        calc::CalcNetFromFinalPrice(MoneyField(row, "PrezzoFinale"), VatRate(row)));
    if (MoneyField(row, "PrezzoVendita") != net)
      Write(row, "PrezzoVendita", Variant::Currency(net));
    return;
  }
  const bool costs = field == "PrezzoAcquistoMedio" || field == "CostoOneriUnitario";
  if ((costs || field == "PercentualeRicarico") && !row.IsGuarded(kMarkupFromPrice)) {
    const calc::ArticleCosts c = CostsOf(row);
    if (c.PrezzoAcquistoMedio.raw() != 0 || c.CostoOneriUnitario.raw() != 0)
      Write(row, "PrezzoVendita",
            Variant::Currency(Money::FromDouble(calc::CalcSalePriceFromMarkup(
                c, NumberField(row, "PercentualeRicarico"), config))));
  }
  if (costs && !row.IsCreating()) {
    const Money reference =
        MoneyField(row, "PrezzoAcquistoMedio") + MoneyField(row, "CostoOneriUnitario");
    for (engine::Row& list : row.List("ListiniPersonalizzati")) {
      Write(list, "PrezzoRiferimento", Variant::Currency(reference));
      list.Save();
    }
  }
  if (field == "PrezzoAcquisto" && !row.IsEmpty("PrezzoAcquisto") &&
      MoneyField(row, "PrezzoAcquistoMedio").raw() == 0)
    Write(row, "PrezzoAcquistoMedio", row.Get("PrezzoAcquisto"));
  KeepFinalQuantity(row, field);
}

}  // namespace tillbook::data
