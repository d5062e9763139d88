#include "data/TabStampaEtichette.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TabStampaEtichette::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Stampe di Etichette";
  d.Version = 1.5;
  d.TableOptions = 255;
}

void TabStampaEtichette::itfDefTable_DefineStructure(engine::TableDef& d) {
  auto mm = [&](const char* name, const char* description) {
    d.AddField(name, FieldType::Millimetres, 0, "", "", kNotSet, kNotSet, kNotSet, true,
               description);
  };
  d.AddField("NomeTabellaOrigine", FieldType::Text, 64);
  d.AddField("NomeStampante", FieldType::Text, 64);
  d.AddField("RichiediSelezioneStampante", FieldType::YesNo);
  d.AddField("NumeroColonne", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero di colonne delle etichette per ogni riga");
  mm("AltezzaEtichetta", "Altezza di ogni etichetta espressa in millimetri");
  mm("LarghezzaEtichetta", "Larghezza di ogni etichetta espressa in millimetri");
  mm("MargineSuperiore", "Margine superiore del foglio di inizio etichette espresso in millimetri");
  mm("MargineSinistro", "Margine sinistro del foglio di inizio etichette espresso in millimetri");
  d.AddField("IstruzioniStampa", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice di stampa in linguaggio VB Script");
  d.AddField("OrientamentoOrizzontale", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet,
             true, "Orienta i moduli orizzontalmente (ruota di 90 gradi)");
  d.AddField("AbilitaPosizionamento", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Richiede all'utente il numero di eventuali etichette da saltare");
  // The description repeats the one above: it is what the field has always shown.
  d.AddField("NumeroCopie", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Richiede all'utente il numero di eventuali etichette da saltare");
  d.AddIndex("NomeTabellaOrigine", true);
}

}  // namespace tillbook::data
