#include "data/Operatori.h"

#include "engine/row.h"

namespace tillbook::data {

namespace {
// "LivelloAccesso" of an administrator, as the default row "Amministratore".
constexpr int64_t kAdministratorLevel = 1;
}  // namespace

using engine::FieldType;
using engine::kNotSet;

void Operatori::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 1.2;
}

void Operatori::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Nome", FieldType::Text, 64, "", "", 1);
  d.AddField("Password", FieldType::Text, 32, "", "", kNotSet, 15).secret = true;
  d.AddField("LivelloAccesso", FieldType::Integer, 0, "", "", 15, kNotSet, kNotSet, true, "",
             "SIMPLE_ACCESS");
  d.AddIndex("Nome", true);
}

void Operatori::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                                bool created) {
  // The first row is the administrator: start-up logs in as the operator with key 1.
  if (created)
    AddRows(table, {{{"Nome", Text("Amministratore")}, {"LivelloAccesso", Int(1)}},
                    {{"Nome", Text("Operatore")}}});
}

// A new operator has no password and the plain access level.
void Operatori::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  row.Set("Password", Text(""));
  row.Set("LivelloAccesso", Int(0));
}

// Someone must always be able to manage the operators.
void Operatori::itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) {
  if (row.Get("LivelloAccesso").ToInt64() == kAdministratorLevel)
    reply.Refuse("Non è possibile eliminare l'utente Amministratore.");
}

}  // namespace tillbook::data
