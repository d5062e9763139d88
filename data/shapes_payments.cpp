#include "data/shapes_payments.h"

#include <string>

#include "engine/definition.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void AddPaymentFields(engine::TableDef& d, std::string_view startDateDescription,
                      bool insertionReadOnly) {
  d.AddField("Documento", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero o identificativo del documento", "", "");
  d.AddField("DataDocumento", FieldType::Date, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Data del documento", "", "");
  d.AddField("Importo", FieldType::Money, 0, "", "", 1, kNotSet, 0, true, "", "", "");
  d.AddField("DataDecorrenzaPagamento", FieldType::Date, 0, "", "", kNotSet, kNotSet, kNotSet,
             false, std::string(startDateDescription), "", "");
  d.AddField("NumeroRate", FieldType::SmallInteger, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero di rate per i tipi di pagamento dilazionati", "", "");
  d.AddField("Saldato", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
             "Indica che il pagamento è stato completamente saldato", "", "");
  d.AddField("ImportoDaPagare", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo non ancora pagato", "", "");
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "");
  d.AddField("DataInserimento", FieldType::DateTime, 0, "", "", insertionReadOnly ? 15 : kNotSet,
             kNotSet, kNotSet, true, "", "", "");
  d.AddField("Contabilizza", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
             "Indica che si tratta di un'operazione da contabilizzare", "", "PrimaNota");
}

void AddInstalmentFields(engine::TableDef& d, std::string_view paidDescription, bool tracksUnpaid) {
  d.AddField("NumeroRata", FieldType::Integer, 0, "", "", 15, kNotSet, kNotSet, true,
             "Numero della rata nei casi di dilazionamento", "", "");
  d.AddField("Importo", FieldType::Money, 0, "", "", 1, kNotSet, 0, true, "", "", "");
  d.AddField("Modalità", FieldType::Integer, 0, "", "", 1, kNotSet, kNotSet, true,
             "Modalità di pagamento",
             "1|Contanti|2|Assegno|3|Carta di Credito|4|POS|5|Bonifico|6|RiBA|0|Altro", "");
  d.AddField("Tipo", FieldType::Integer, 0, "", "", 1, kNotSet, kNotSet, true,
             "Tipo dell'operazione relativa al pagamento",
             "1|Saldo|2|Rata|3|Acconto/Anticipo|4|Appendice/Variazione|0|Altro", "");
  d.AddField("DataScadenza", FieldType::Date, 0, "", "", 1, kNotSet, kNotSet, false,
             "Scadenza del pagamento", "", "");
  d.AddField("Pagato", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
             std::string(paidDescription), "", "");
  if (tracksUnpaid) {
    d.AddField("DaVerificare", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
               "Indica che il pagamento è da verificare per eventuale insoluto", "", "");
    d.AddField("Insoluto", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
               "Indica che il pagamento risulta insoluto", "", "");
  }
  // Its help text is deliberately the due date's.
  d.AddField("DataOperazione", FieldType::DateTime, 0, "", "", 1, kNotSet, kNotSet, false,
             "Scadenza del pagamento", "", "");
  d.AddField("Note", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "");
  d.AddField("Contabilizza", FieldType::YesNo, 0, "", "", 15, kNotSet, kNotSet, true,
             "Indica che si tratta di un'operazione da contabilizzare", "", "PrimaNota");
  d.AddField("DataInserimento", FieldType::Date, 0, "", "", 15, kNotSet, kNotSet, true,
             "Data di riferimento relativa alla richiesta di pagamento", "", "");
  d.AddField("Numero", FieldType::Integer, 0, "", "", kNotSet, 15, kNotSet, true,
             "Numero progressivo dell'operazione (annuale)", "", "");
}

void AddCashBookMovement(engine::TableDef& d, std::string_view name, std::string_view description) {
  d.AddReference(std::string(name), "PrimaNota", false, true, "", ",Tipo,ImportoDareAvere", 15,
                 kNotSet, kNotSet, std::string(description), -2, false, "PrimaNota");
}

}  // namespace tillbook::data
