#include "data/TipiPagamento.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TipiPagamento::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Version = 2;
}

void TipiPagamento::itfDefTable_DefineStructure(engine::TableDef& d) {
  shapes::AddUniqueDescription(d, 127);
  d.AddField("Codice", FieldType::Code, 8, "", "", kNotSet, kNotSet, kNotSet, false,
             "Codice del pagamento (opzionale)");
  d.AddField("Modalità", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Modalità di saldo del pagamento",
             "1|Immediato|2|A Scadenza|3|Dilazionato|4|Tramite Banca|5|Vendite Bancarie "
             "(RiBa)|0|Altro");
  d.AddField("FineMese", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Il pagamento e le eventuali rate vengono posticipate fine mese");
  d.AddField("NumeroRate", FieldType::SmallInteger, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero di rate per i tipi di pagamento dilazionati");
  d.AddField("GiorniIntervalloIniziale", FieldType::SmallInteger, 0, "", "", kNotSet, kNotSet,
             kNotSet, true, "Giorni che intercorrono per la scadenza della prima rata");
  d.AddField("GiorniIntervalloRate", FieldType::SmallInteger, 0, "", "", kNotSet, kNotSet, kNotSet,
             true,
             "Giorni che intercorrono tra le scadenze delle rate (o per quelle successive "
             "all'intervallo iniziale)");
  d.AddField("ImportoSpeseBancarie", FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Importo per eventuali spese bancarie (IVA esclusa)");
  d.AddField("ImpostaDaVerificare", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Indica di impostare i dettagli/rate pagati da verificare");
  d.AddIndex("Codice", false);
}

void TipiPagamento::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&,
                                                    double, bool created) {
  if (!created) return;
  AddRows(table, {{{"Descrizione", Text("CONTANTI")}, {"Modalità", Int(1)}, {"NumeroRate", Int(1)}},
                  {{"Descrizione", Text("BONIFICO")},
                   {"Modalità", Int(4)},
                   {"FineMese", Flag(true)},
                   {"NumeroRate", Int(1)}},
                  {{"Descrizione", Text("RI.BA. 30/60/90")},
                   {"Modalità", Int(5)},
                   {"FineMese", Flag(true)},
                   {"GiorniIntervalloRate", Int(30)},
                   {"NumeroRate", Int(3)}},
                  {{"Descrizione", Text("RI.BA. 60/90")},
                   {"Modalità", Int(5)},
                   {"FineMese", Flag(true)},
                   {"GiorniIntervalloIniziale", Int(90)},
                   {"GiorniIntervalloRate", Int(30)},
                   {"NumeroRate", Int(3)}},
                  {{"Descrizione", Text("ALTRO")}, {"Modalità", Int(0)}, {"NumeroRate", Int(1)}}});
}

void TipiPagamento::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetEmptyFields(row);
}

}  // namespace tillbook::data
