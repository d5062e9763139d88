#include "data/DettagliListinoArticoli.h"

#include "data/shapes_registries.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void DettagliListinoArticoli::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.7;
}

void DettagliListinoArticoli::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("PrezzoRiferimento", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Prezzo di riferimento per il calcolo del prezzo di vendita");
  d.AddField("TipoCalcolo", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true, "",
             "0|RICARICO PREDEFINITO LISTINO|1|RICARICO LISTINO IN SETTORE|2|RICARICO FISSO|3|"
             "IMPORTO FISSO|");
  d.AddField("PercentualeRicarico", FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Percentuale di ricarico");
  d.AddField("PrezzoVendita", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Prezzo di vendita dell'articolo per questo listino (IVA esclusa)");
  d.AddField("PrezzoFinale", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Prezzo di vendita finale unitario dell'articolo (IVA compresa)");

  shapes::AddPriceListOfMarkup(d);
  d.AddReference("IVA", "CodiciIva", false, false, "Codice", "Descrizione", 15);

  d.FieldOrder =
      "Listino,IVA,PrezzoRiferimento,TipoCalcolo,PercentualeRicarico,PrezzoVendita,PrezzoFinale";
}

}  // namespace tillbook::data
