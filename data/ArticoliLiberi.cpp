#include "data/ArticoliLiberi.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void ArticoliLiberi::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Articoli Liberi / Servizi";
  d.Version = 2.1;
}

void ArticoliLiberi::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Descrizione", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Descrizione dell'articolo");
  d.AddField("PrezzoAcquisto", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ultimo prezzo netto (unitario) di acquisto (IVA esclusa)");
  d.AddField("PrezzoVendita", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ultimo prezzo di vendita (unitario, IVA esclusa)");
  d.AddField("Quantità", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Quantità identificata in carico (giacenza)");
  if (switches().Use_Ordini) {
    d.AddField("QuantitàFinale", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
               "Quantità finale considerando la giacenza e gli ordini");
    d.AddField("QuantitàInOrdineClienti", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
               "Quantità in ordine dai Clienti");
    d.AddField("QuantitàInOrdineFornitori", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet,
               true, "Quantità in ordine ai Fornitori");
  }
  d.AddField("QuantitàTotaleScarichi", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
             "Quantità totale scaricata (considera sia i D.D.T. che le Vendite)", "", "Totali");
  d.AddField("ImportoTotaleVendite", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale delle vendite per l'articolo (non considera i D.D.T.)", "", "Totali");
  d.AddField("QuantitàTotaleCarichi", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
             "Quantità totale caricata (considera sia i D.D.T. che le Forniture)", "", "Totali");
  d.AddField("ImportoTotaleForniture", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale delle forniture per l'articolo (non considera i D.D.T.)", "",
             "Totali");

  d.AddReference("IVA", "CodiciIva", false, false, "Codice", "Descrizione");
  d.AddReference("UnitaMisura", "UnitaMisura", false, false, "Codice", "Descrizione");

  d.AddIndex("Descrizione", true);
}

void ArticoliLiberi::itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                              engine::HookReply&) {
  KeepFinalQuantity(row, field);
}

}  // namespace tillbook::data
