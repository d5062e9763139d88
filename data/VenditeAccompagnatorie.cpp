#include "data/VenditeAccompagnatorie.h"

#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void VenditeAccompagnatorie::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Fatture / Vendite Accompagnatorie";
  d.BaseTable = "Vendite";
  d.Version = 1.3;
  d.FieldOrder =
      "AMezzo,Vettore,SecondoVettore,TipoPorto,Destinazione,IndirizzoDestinazione,"
      "CittàDestinazione,NumeroColli,AspettoBeni,PesoComplessivo";
}

void VenditeAccompagnatorie::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Destinazione", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Ragione Sociale o Denominazione della destinazione se differente dalla Sede", "",
             "Destinazione");
  d.AddField("IndirizzoDestinazione", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indirizzo per la spedizione della merce", "", "Destinazione");
  d.AddField("Spedito", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Segnala se la spedizione è stata effettuata", "", "Spedizione");
  d.AddField("DataSpedizione", FieldType::DateTime, 0, "", "", kNotSet, kNotSet, kNotSet, false,
             "Data / Ora della spedizione", "", "Spedizione");
  d.AddField("NumeroColli", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero dei colli complessivi", "", "Beni");
  d.AddField("PesoComplessivo", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Peso complessivo (espresso in Kg)", "", "Beni");

  d.AddReference("CittàDestinazione", "Comuni", false, false, "", "Descrizione,CAP,Provincia",
                 kNotSet, kNotSet, kNotSet, "Città di destinazione della merce", -2, true,
                 "Destinazione");
  d.AddReference("AMezzo", "TipiSoggettiTrasorto", false, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "Spedizione");
  d.AddReference("Vettore", "Vettori", false, false, "", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "Vettore o primo vettore se ne sono previsti più di uno", -2, true,
                 "Vettori");
  d.AddReference("SecondoVettore", "Vettori", false, false, "", "RagioneSociale", kNotSet, kNotSet,
                 kNotSet, "Secondo vettore se previsto", -2, true, "Vettori");
  d.AddReference("TipoPorto", "TipiPorto", false, false, "", "Descrizione", kNotSet, kNotSet,
                 kNotSet, "Definisce chi paga il trasporto", -2, true, "Spedizione");
  d.AddReference("AspettoBeni", "TipiAspettoBeni", false, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "Aspetto esteriore dei beni", -2, true, "Beni");
}

void VenditeAccompagnatorie::itfSetData_OnSelectReference(engine::Row&, std::string_view reference,
                                                          std::string& filter) {
  filter = DocumentChoiceFilter(reference, DocumentScope::Sale);
}

void VenditeAccompagnatorie::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "*,Numero,Cliente";
}

}  // namespace tillbook::data
