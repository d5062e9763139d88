#include "data/TabProspettiStampa.h"

#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void TabProspettiStampa::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Prospetti di Stampa";
  d.Version = 1.5;
  d.TableOptions = 15;
}

void TabProspettiStampa::itfDefTable_DefineStructure(engine::TableDef& d) {
  auto mm = [&](const char* name, const char* description) {
    d.AddField(name, FieldType::Millimetres, 0, "", "", kNotSet, kNotSet, kNotSet, true,
               description);
  };
  d.AddField("NomeTabellaOrigine", FieldType::Text, 64);
  d.AddField("NomeReference", FieldType::Text, 64);
  d.AddField("NomeProspetto", FieldType::Text, 64);
  d.AddField("NomeGruppo", FieldType::Text, 64);
  d.AddField("NomeStampante", FieldType::Text, 64);
  d.AddField("RichiediSelezioneStampante", FieldType::YesNo);
  d.AddField("NumeroColonne", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero di moduli (colonne) contenuti in ogni foglio (copie multiple)");
  mm("AltezzaModulo", "Altezza del modulo espresso in millimetri");
  mm("LarghezzaModulo", "Larghezza del modulo espresso in millimetri");
  mm("MargineSuperiore", "Margine superiore del foglio espresso in millimetri");
  mm("MargineSinistro", "Margine sinistro del foglio espresso in millimetri");
  mm("MargineSuperioreRighe",
     "Margine superiore di inizio righe dettaglio rispetto all'inizio modulo espresso in "
     "millimetri");
  mm("MargineInferioreRighe",
     "Margine inferiore di fine righe dettaglio rispetto all'inizio modulo espresso in "
     "millimetri");
  mm("AltezzaRigheDettaglio", "Altezza di ogni riga di dettaglio espressa in millimetri");
  d.AddField("ImmagineSfondo", FieldType::ImageFile, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Nome completo del file contenente l'immmagine di sfondo (carta intestata)");
  mm("MargineInferioreSfondo", "Bordo inferiore per l'immagine di sfondo espresso in millimetri");
  d.AddField("OrientamentoOrizzontale", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet,
             true, "Orienta i moduli orizzontalmente (ruota di 90 gradi)");
  d.AddField("IstruzioniStampa", FieldType::Memo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice di stampa in linguaggio VB Script");

  // One layout per source table, reference path and name. "NomeReference" is a text field, so
  // it is indexed as a field: as a reference item it would have no link column to index.
  d.AddIndex("NomeTabellaOrigine", true, "Report")
      .AddIndexField("NomeReference")
      .AddIndexField("NomeProspetto");
}

void TabProspettiStampa::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetEmptyFields(row);
}

}  // namespace tillbook::data
