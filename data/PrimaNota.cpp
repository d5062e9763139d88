#include "data/PrimaNota.h"

#include "calc/payments.h"
#include "engine/row.h"

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

void PrimaNota::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  row.Set("DataInserimento", Variant::Date(Today()));
  row.Set("Note", Text(""));
}

void PrimaNota::itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                               const Variant& newValue, engine::HookReply& reply) {
  TableClass::itfSetData_OnBeforeUpdateField(row, field, newValue, reply);
  if (reply.cancelled() || field != "ImportoMovimento") return;
  if (!newValue.IsNull() && !newValue.IsEmpty() && newValue.ToMoney().raw() < 0)
    reply.Refuse("L'importo del movimento in Prima Nota deve essere positivo");
}

void PrimaNota::itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                         engine::HookReply&) {
  if (field != "Tipo" && field != "ImportoMovimento") return;
  const Variant tipo = row.Get("Tipo"), amount = row.Get("ImportoMovimento");
  const bool empty = amount.IsNull() || amount.IsEmpty();
  const Money signed_ = calc::SignedMovementAmount(
      tipo.IsNull() || tipo.IsEmpty() ? 0 : static_cast<int>(tipo.ToInt64()),
      empty ? Money() : amount.ToMoney());
  row.Set("ImportoDareAvere", Variant::Currency(signed_));
}

}  // namespace tillbook::data
