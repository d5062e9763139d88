#include "data/Soggetti.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Soggetti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.6;
}

void Soggetti::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("RagioneSociale", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ragione Sociale, Denominazione o Cognome e Nome");
  d.AddField("Indirizzo", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo della sede o della residenza", "", "Indirizzo");
  d.AddField("IndirizzoSpedizione", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo per la spedizione della merce", "", "Spedizione");
  d.AddField("PartitaIva", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Dati Fiscali");
  d.AddField("CodiceFiscale", FieldType::Text, 16, "", "", kNotSet, kNotSet, kNotSet, true, "", "",
             "Dati Fiscali");
  d.AddField("Telefono", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nemero/i di telefono", "", "Recapiti");
  d.AddField("EMail", FieldType::Link, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo di posta elettronica", "", "Recapiti");
  d.AddField("Fax", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nemero/i di fax", "", "Recapiti");
  d.AddField("SitoInternet", FieldType::Link, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo del dominio o sito internet", "", "Recapiti");
  d.AddField("DettagliEsenzione", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "La dicitura verrà riportata in fattura", "", "Dati Fiscali");
  d.AddField("Contatto", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome o dati della persona da contattare se diversa dal soggetto", "", "Note");
  d.AddField("TotaleAcquistato", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale (lordo) degli acquisti effettuati al soggetto come fornitore", "",
             "Totali");
  d.AddField("TotaleVenduto", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale (lordo) delle vendite effettuate al soggetto come cliente", "",
             "Totali");
  d.AddField("ImportoSaldoIniziale", FieldType::Money, 0, "", "", 1, kNotSet, kNotSet, true,
             "Importo del saldo iniziale (lordo) relativo alla chiusura dell'anno o periodo "
             "precedente",
             "", "Totali");
  d.AddField("Note", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Note aggiuntive o informazioni rilevanti", "", "Note");

  shapes::AddTownReference(d, "Città", "Comune della sede o di residenza", "Indirizzo");
  shapes::AddTownReference(d, "CittàSpedizione", "Città di destinazione della merce", "Spedizione");
  if (switches().Use_Zone)
    d.AddReference("Zona", "ZoneGeografiche", false, false, "", "Descrizione", kNotSet, kNotSet,
                   kNotSet, "Zona di appartenenza");
  d.AddReference("Categoria", "CategorieSoggetti", false, false, "", "Descrizione");
  d.AddReference("Attività", "Attività", false, false, "", "Descrizione", kNotSet, kNotSet, kNotSet,
                 "Attività svolta");
  // Currencies stay in the archive either way; without them the reference is only hidden.
  d.AddReference("Valuta", "Valute", false, false, "Simbolo", "Descrizione,RapportoDiCambio",
                 kNotSet, switches().Use_Valuta ? 0 : 255, kNotSet, "Valuta utilizzata", -2, true,
                 "Note");
  d.AddReference("EsenzioneIVA", "EsenzioniIva", false, false, "", "Causale,Esenzione", kNotSet,
                 kNotSet, kNotSet, "Eventuale esenzione da IVA", -2, true, "Dati Fiscali");

  d.AddIndex("RagioneSociale", true, "Soggetto")
      .AddIndexField("Indirizzo")
      .AddIndexReference("Città");
  d.AddIndex("PartitaIva", false);
  d.AddIndex("CodiceFiscale", false);

  d.FieldOrder =
      "RagioneSociale,Categoria,Attività,Indirizzo,Città,IndirizzoSpedizione,CittàSpedizione,"
      "PartitaIva,CodiceFiscale,Telefono,EMail,Fax,SitoInternet,Contatto";
  if (switches().Use_Zone) d.FieldOrder += ",Zona";
  d.FieldOrder += ",Valuta,EsenzioneIVA,DettagliEsenzione";
}

}  // namespace tillbook::data
