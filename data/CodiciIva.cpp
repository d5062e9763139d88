#include "data/CodiciIva.h"

#include "engine/connection.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void CodiciIva::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Codici Iva";
  d.Version = 1.4;
}

void CodiciIva::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Codice", FieldType::Text, 16);
  d.AddField("Descrizione", FieldType::Text, 255);
  d.AddField("Percentuale", FieldType::Number, 0, "", "", 15, kNotSet, 1);
  d.AddField("CodiceCassaPredefinito", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet,
             true, "Codice del reparto predefinito nel registratore di cassa");
  d.AddIndex("Codice", true);
  d.AddIndex("Descrizione", false);
  d.AddIndex("Percentuale", false);
}

void CodiciIva::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                                bool created) {
  if (created)
    AddRows(
        table,
        {{{"Codice", Text("00")},
          {"Descrizione", Text("Fuori campo IVA")},
          {"Percentuale", Num(0)}},
         {{"Codice", Text("IVA20")}, {"Descrizione", Text("IVA al 20%")}, {"Percentuale", Num(20)}},
         {{"Codice", Text("IVA10")}, {"Descrizione", Text("IVA al 10%")}, {"Percentuale", Num(10)}},
         {{"Codice", Text("IVA04")}, {"Descrizione", Text("IVA al 4%")}, {"Percentuale", Num(4)}}});
}

namespace {
// Marks, between the change and the save, that the register code changed.
constexpr std::string_view kCodeChanged = "CodiceCassaPredefinito_Variato";
}  // namespace

void CodiciIva::itfSetData_OnUpdateField(engine::Row& row, std::string_view field,
                                         engine::HookReply&) {
  if (field == "CodiceCassaPredefinito" && !row.IsCreating()) row.Mark(kCodeChanged);
}

// The departments using this VAT code may take its new register code; a No keeps theirs and
// still saves the code.
void CodiciIva::itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) {
  if (!row.TakeMark(kCodeChanged)) return;
  const auto answer = reply.ui().MessageBox(
      "Il Codice Cassa Predefinito è stato variato, vuoi impostarlo in tutti i reparti correlati?",
      engine::Buttons::YesNo, engine::Icon::Question, 0, {});
  if (answer != engine::Answer::Yes) return;
  engine::Connection& c = row.connection();
  const Variant code = row.Get("CodiceCassaPredefinito");
  for (int64_t id : c.FindOids("Reparti", "IVAPredefinita", Variant::Double(row.Oid())))
    if (auto department = c.GetRow("Reparti", id)) department->Set("CodiceCassa", code);
}

}  // namespace tillbook::data
