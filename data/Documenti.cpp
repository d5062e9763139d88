#include "data/Documenti.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Documenti::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.1;
}

void Documenti::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Data", FieldType::Date, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Data di inserimento o data di riferimento");
  d.AddField("NomeSottoCartella", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome della sotto-cartella contenente il/i file/s da gestire");
  d.AddField("File", FieldType::FileOrImage, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "File o Immagine del documento");
  d.AddField("Note", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
             "Note o informazioni aggiuntive");
}

}  // namespace tillbook::data
