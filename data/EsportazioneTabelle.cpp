#include "data/EsportazioneTabelle.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void EsportazioneTabelle::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.3;
}

void EsportazioneTabelle::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("NomeTabella", FieldType::Text, 64);
  d.AddField("FileDestinazione", FieldType::FileName, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome del file destinazione");
  d.AddField("FiltroDati", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Criterio di selezione dei dati (es.: Cliente = 'ROSSI')", "", "Filtro");
  d.AddField("AccodaDati", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica di aggiungere i dati se il file esiste, altrimenti sovrascrive");
  d.AddField("IndiceSequenza", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Definisce la sequenza di elaborazione");
  d.AddField("ScriptVB", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice di composizione dati di esportazione", "", "Script");
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Eventuali note aggiuntive", "", "Note");
  d.AddIndex("NomeTabella", true);
}

}  // namespace tillbook::data
