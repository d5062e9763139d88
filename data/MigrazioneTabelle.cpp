#include "data/MigrazioneTabelle.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void MigrazioneTabelle::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.9;
  d.TableOptions = 1;
}

void MigrazioneTabelle::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("NomeDestinazione", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome della tabella destinazione");
  d.AddField("QueryOrigine", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome della tabella di origine, criteri di ricerca (dopo WHERE) o intera query "
             "(SELECT)");
  d.AddField("NomeOriginePrimaria", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome della tabella primaria di origine, necessaria per il formato KesDBMS");
  d.AddField("IndiceSequenza", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Definisce la sequenza di elaborazione", "", "Opzioni");
  d.AddField("TipoAggiornamento", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Tipo di elaborazione per l'aggiornamento dei dati",
             "0|AGGIORNAMENTO COMPLETO|1|DIFFERENZIALE CON DATA RIPARTENZA", "Ripartenza");
  d.AddField("IDDataRipartenzaQuery", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Identificativo della data da sostituire nella query per la ripartenza (formato "
             "yyyy/mm/dd)",
             "", "Ripartenza");
  d.AddField("ScriptDataRipartenzaVB", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice Script (VB) per eventuali modifiche alla data ripartenza", "", "Ripartenza");
  d.AddField("ScriptFiltroVB", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice Script (VB) per eventuale filtro sui dati", "", "Filtro");
  d.AddField("IgnoraIncompleti", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica di ignorare elementi incompleti", "", "Opzioni");
  d.AddField("IgnoraErrori", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica di ignorare elementi che riportano errori", "", "Opzioni");
  d.AddField("Disabilitato", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica di non considerare l'importazione di questo elemento", "", "Opzioni");
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Eventuali note aggiuntive", "", "Note");

  d.AddReference("Campi", "MigrazioneCampi", true, true, "", "NomeDestinazione,NomeOrigine",
                 kNotSet, kNotSet, kNotSet, "", -2, true, "Campi");

  d.AddIndex("NomeDestinazione", true);
  d.AddIndex("IndiceSequenza", false);
  d.AddIndex("NomeOriginePrimaria", false);
}

}  // namespace tillbook::data
