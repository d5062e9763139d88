#include "data/PrimaNota.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void PrimaNota::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 3.2;
  d.TableOptions = 1;
  d.FieldOrder =
      "DataInserimento,Tipo,ImportoMovimento,DataMovimento,Descrizione,Soggetto,ImportoDareAvere";
}

void PrimaNota::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("DataInserimento", FieldType::Date, 0, "", "", 15, kNotSet, 1, true, "", "", "");
  // Entries are positive codes, exits negative: the sign of "ImportoDareAvere" follows the code.
  d.AddField("Tipo", FieldType::Integer, 0, "", "", 15, kNotSet, 1, true, "",
             "1|ENTRATA (dare)|-1|USCITA (avere)|2|ENTRATA FUORI CASSA|-2|USCITA FUORI CASSA|", "");
  d.AddField("ImportoMovimento", FieldType::Money, 0, "", "", 15, kNotSet, 1, true,
             "Importo dell'operazione, deve essere positivo", "", "");
  d.AddField("DataMovimento", FieldType::Date, 0, "", "", 15, kNotSet, 1, true, "", "", "");
  d.AddField("Descrizione", FieldType::Text, 127, "", "", 15, kNotSet, 1, true,
             "Descrizione dell'operazione", "", "");
  d.AddField("ImportoDareAvere", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo positivo o negativo in relazione al tipo operazione", "", "");
  d.AddField("Note", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "");

  d.AddReference("Soggetto", "Soggetti", false, false, "", "RagioneSociale", 15, kNotSet, 1,
                 "Eventuale soggetto legato al movimento", -2, false, "");

  d.AddIndex("DataInserimento", false);
  d.AddIndex("DataMovimento", false);
  d.AddIndex("DataInserimento", true, "InxMovimenti")
      .AddIndexReference("Soggetto")
      .AddIndexField("DataMovimento")
      .AddIndexField("Tipo")
      .AddIndexField("Descrizione");
}

void PrimaNota::itfSetData_OnSelect(engine::SelectRequest& request) {
  if (request.sort.empty()) request.sort = "DataInserimento,DataMovimento,Tipo,Descrizione";
}

}  // namespace tillbook::data
