#include "data/Banche.h"

#include "data/shapes_registries.h"
#include "engine/row.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

void Banche::itfDefTable_DefineIdentity(engine::TableDef& d) {
  d.Caption = "Banche / Conti Bancari";
  d.Version = 2.2;
}

void Banche::itfDefTable_DefineStructure(engine::TableDef& d) {
  d.AddField("Nome", FieldType::Text, 127);
  d.AddField("Agenzia", FieldType::Text, 64);
  d.AddField("Indirizzo", FieldType::Text, 64);
  d.AddField("BancaPropria", FieldType::YesNo, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Selezionare per la propria Banca");
  d.AddField("ABI", FieldType::Text, 16);
  d.AddField("CAB", FieldType::Text, 16);
  d.AddField("NumeroConto", FieldType::Text, 16);
  d.AddField("CIN", FieldType::Text, 16);
  d.AddField("CodiceSwift", FieldType::Text, 32, "", "", kNotSet, kNotSet, kNotSet, true,
             "Coordinate internazionali");
  d.AddField("CodiceIBAN", FieldType::Text, 64, "", "", kNotSet, kNotSet, kNotSet, true,
             "Codice standard internazionale (International Bank Account Number)");
  d.AddField("Telefono", FieldType::Text, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numeri di telefono della Banca");
  d.AddField("SitoInternet", FieldType::Link, 255, "", "", kNotSet, kNotSet, kNotSet, true,
             "Sito della Banca");
  d.AddField("File", FieldType::FileList, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Files o immagini associate alla banca");
  d.AddField("Note", FieldType::Text, 128);

  shapes::AddTownReference(d, "Città", "", "");

  d.AddIndex("Nome", true, "InxBanche")
      .AddIndexField("Agenzia")
      .AddIndexField("ABI")
      .AddIndexField("CAB")
      .AddIndexField("NumeroConto")
      .AddIndexField("CIN")
      .AddIndexField("CodiceSwift")
      .AddIndexField("CodiceIBAN");
  d.AddIndex("BancaPropria", false, "InxBancheProprie")
      .AddIndexField("Nome")
      .AddIndexField("Agenzia");

  d.FieldOrder = "Nome,Agenzia,Indirizzo,Città";
}

void Banche::itfSetData_OnUpdatedTableStruct(engine::Table& table, engine::Connection&, double,
                                             bool created) {
  if (created)
    AddRows(table, {{{"Nome", Text("")},
                     {"Agenzia", Text("")},
                     {"ABI", Text("")},
                     {"CAB", Text("")},
                     // No town: a reference is emptied with Null, not with an empty text.
                     {"Città", Variant::Null()}}});
}

void Banche::itfSetData_OnNewRow(engine::Row& row, engine::HookReply&) {
  SetEmptyFields(row);
}

}  // namespace tillbook::data
