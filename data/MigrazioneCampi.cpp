#include "data/MigrazioneCampi.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void MigrazioneCampi::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.3;
  d.TableOptions = 1;
}

void MigrazioneCampi::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("NomeDestinazione", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome della tabella destinazione");
  d.AddField("NomeOrigine", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome della tabella origine, può essere vuoto se impostato mediante script");
  d.AddField("ScriptVB", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice Script (VB) per eventuale elaborazione valore campo");
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Eventuali note aggiuntive");
  d.AddIndex("NomeDestinazione", false);
}

}  // namespace tillbook::data
