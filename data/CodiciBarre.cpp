#include "data/CodiciBarre.h"

namespace tillbook::data {

using engine::FieldType;

void CodiciBarre::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Codici a Barre";
  d.Version = 1.2;
}

void CodiciBarre::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("PrefissoCodice", FieldType::Text, 1);
  d.AddField("PosizioneCodice", FieldType::Integer);
  d.AddField("LunghezzaCodice", FieldType::Integer);
  d.AddField("PosizioneQuantita", FieldType::Integer);
  d.AddField("LunghezzaQuantita", FieldType::Integer);
  d.AddField("PosizioneImporto", FieldType::Integer);
  d.AddField("LunghezzaImporto", FieldType::Integer);
  d.AddField("ConversioneValuta", FieldType::YesNo);
  d.AddField("CoefficienteValuta", FieldType::Number);
  d.AddIndex("PrefissoCodice", true);
}

void CodiciBarre::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  // A new layout reads a plain EAN-13 article code from the first character and carries
  // neither a quantity nor an amount until those positions are given.
  row.Set("PrefissoCodice", Text(""));
  row.Set("PosizioneCodice", Int(1));
  row.Set("LunghezzaCodice", Int(13));
  row.Set("PosizioneQuantita", Int(0));
  row.Set("LunghezzaQuantita", Int(0));
  row.Set("PosizioneImporto", Int(0));
  row.Set("LunghezzaImporto", Int(0));
  row.Set("ConversioneValuta", Flag(false));
  row.Set("CoefficienteValuta", Num(0));
}

}  // namespace tillbook::data
