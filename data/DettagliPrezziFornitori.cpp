#include "data/DettagliPrezziFornitori.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void DettagliPrezziFornitori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.2;
}

void DettagliPrezziFornitori::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("CodiceArticolo", FieldType::Text, 32, "Articoli.Codice");
  d.AddField("PrezzoAcquisto", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Prezzo unitario (ultimo) di acquisto dell'articolo (IVA esclusa)");
  d.AddField("PrezzoAcquistoMedio", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Prezzo medio calcolato sui totali del fornitore per l'articolo");
  d.AddField("QuantitàTotaleCarichi", FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
             "Quantità totale dei carichi (considera sia i D.D.T che le Forniture)");
  d.AddField("ImportoTotale", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo totale delle forniture (non considera i D.D.T.)");
  d.AddField("ImportoTotaleOneri", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Costo totale relativo alle spese di trasporto, bancarie, etc. (IVA esclusa)");

  d.AddReference("Fornitore", "Fornitori", false, false, "Codice", "RagioneSociale", kNotSet,
                 kNotSet, 15);

  // Indexed on its link column: the index's only item is the reference.
  d.AddIndex("", false).AddIndexReference("Fornitore");
}

}  // namespace tillbook::data
