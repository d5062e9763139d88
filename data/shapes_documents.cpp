#include "data/shapes_documents.h"

#include <string>

#include "engine/definition.h"

namespace tillbook::data {

using engine::FieldType;
using engine::kNotSet;

namespace {

std::string ToString(std::string_view s) {
  return std::string(s);
}

}  // namespace

void AddDocumentNumbering(engine::TableDef& d) {
  d.AddField("Data", FieldType::Date, 0, "", "", kNotSet, kNotSet, kNotSet, true, "", "", "");
  d.AddField("AnnoRiferimento", FieldType::Integer, 0, "", "", 15, kNotSet, kNotSet, true,
             "Anno di riferimento per la numerazione progressiva", "", "");
  d.AddField("Numero", FieldType::Integer, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Numero progressivo dell'operazione (annuale)", "", "");
}

void AddDocumentTotals(engine::TableDef& d, std::string_view group,
                       std::string_view totalDescription, bool totalComputed) {
  d.AddField("ImportoTotale", FieldType::Money, 0, "", "", totalComputed ? 15 : kNotSet, kNotSet,
             kNotSet, true, ToString(totalDescription), "", ToString(group));
  d.AddField("ImportoTotaleIVA", FieldType::Money, 0, "", "", 15, kNotSet, kNotSet, true,
             "Importo IVA relativo al totale", "", ToString(group));
}

void AddDocumentCharges(engine::TableDef& d) {
  static constexpr std::string_view kCharges[][2] = {
      {"ImportoSpeseTrasporto", "Importo relativo alle spese di trasporto (IVA esclusa)"},
      {"ImportoSpeseImballaggio", "Importo relativo alle spese di imballaggio (IVA esclusa)"},
      {"ImportoSpeseBancarie", "Importo relativo alle spese bancarie (IVA esclusa)"},
      {"ImportoSpeseAssicurative", "Importo relativo alle spese assicurative (IVA esclusa)"},
      {"ImportoSpeseBolli", "Importo relativo alle spese dei bolli (IVA esclusa)"},
      {"ImportoTotaleOneri", "Importo totale relativo agli oneri (IVA esclusa)"},
  };
  for (const auto& [name, description] : kCharges)
    d.AddField(ToString(name), FieldType::Money, 0, "", "", kNotSet, kNotSet, kNotSet, true,
               ToString(description), "", "Oneri");
}

void AddDocumentFiles(engine::TableDef& d) {
  d.AddField("File", FieldType::FileList, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             "Files o immagini associate al documento", "", "Info");
}

void AddDocumentArchived(engine::TableDef& d) {
  d.AddField("Archiviato", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
             "Indica che l'operazione è stata correttamente completata e archiviata", "", "Info");
}

void AddDocumentOperator(engine::TableDef& d) {
  d.AddReference("Operatore", "Operatori", false, false, "", "Nome", 15, kNotSet, kNotSet,
                 "Operatore che ha eseguito l'operazione", -2, true, "Info");
}

void AddDocumentRowLists(engine::TableDef& d, const DocumentRowLists& lists, bool freeRowsShown) {
  d.AddReference("Dettagli", ToString(lists.articleRows), true, true, "Codice",
                 ToString(lists.articleShown), kNotSet, kNotSet, kNotSet, "", -2, true, "Dettagli");
  d.AddReference("DettagliLiberi", ToString(lists.freeRows), true, true, "",
                 ToString(lists.freeShown), kNotSet, freeRowsShown ? 0 : 15, kNotSet, "", -2, true,
                 "Dettagli");
}

void DeclareArticleRows(engine::TableDef& d, double version, std::string_view caption) {
  d.Caption = ToString(caption);
  d.BaseTable = "Articoli";
  d.Version = version;
  d.LinkToBase = false;
}

void DeclareFreeRows(engine::TableDef& d, double version, std::string_view caption) {
  d.Caption = ToString(caption);
  d.BaseTable = "ArticoliLiberi";
  d.Version = version;
  d.LinkToBase = false;
}

void AddRowAmounts(engine::TableDef& d, const RowAmounts& row) {
  auto amount = [&](const char* name, int a1, std::string_view description) {
    d.AddField(name, FieldType::Money, 0, "", "", a1, kNotSet, kNotSet, true, ToString(description),
               "", "");
  };
  auto discount = [&] {
    d.AddField("PercentualeSconto", FieldType::Number, 0, "", "0.0", 1, kNotSet, kNotSet, true,
               "Sconto applicato", "", "");
  };

  d.AddField(ToString(row.quantity), FieldType::Number, 0, "", "", kNotSet, kNotSet, kNotSet, true,
             ToString(row.quantityDescription), "", "");
  if (!row.fulfilled.empty())
    d.AddField(ToString(row.fulfilled), FieldType::Number, 0, "", "", 15, kNotSet, kNotSet, true,
               ToString(row.fulfilledDescription), "", "");
  if (row.side == RowSide::Customer) {
    amount("PrezzoUnitario", kNotSet, row.unitPriceDescription);
    discount();
    amount("PrezzoUnitarioFinale", kNotSet,
           "Prezzo di vendita unitario finale dell'articolo (IVA compresa)");
  } else {
    amount("PrezzoListino", kNotSet, "Prezzo di acquisto di listino dell'articolo (IVA esclusa)");
    discount();
    amount("PrezzoUnitario", kNotSet, row.unitPriceDescription);
  }
  amount("ImportoListino", 15, row.listAmountDescription);
  amount("Importo", 15, row.amountDescription);
  amount("ImportoIVA", 15, "Importo IVA relativo al totale della riga");
  amount("ImportoFinale", row.finalAmountReadOnly,
         "Importo finale della riga compreso (Importo + IVA)");
  if (row.chargeShare)
    amount("ImportoParzialeOneri", 15,
           "Importo delle spese relative al dettaglio corrente (netto)");
  if (row.referenceDescription)
    d.AddField("Riferimento", FieldType::Text, 127, "", "", kNotSet, kNotSet, kNotSet, true,
               ToString(*row.referenceDescription), "", "");
  d.AddField("IVAEsente", FieldType::YesNo, 0, "", "", 1, kNotSet, kNotSet, true,
             "Inibisce il calcolo dell'IVA per i casi di esenzione", "", "");
}

void AddOrderTerms(engine::TableDef& d) {
  d.AddReference("Causale", "Causali", false, false, "", "Descrizione", kNotSet, kNotSet, kNotSet,
                 "", -2, true, "Operazione");
  d.AddReference("TipoPagamento", "TipiPagamento", false, false, "Codice", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "Tipo di pagamento per l'Ordine", -2, true, "Pagamento");
  d.AddReference("BancaDiAppoggio", "Banche", false, false, "Nome", "Agenzia", kNotSet, kNotSet,
                 kNotSet, "Banca di appoggio", -2, true, "Pagamento");
  d.AddReference("TipoPorto", "TipiPorto", false, false, "", "Descrizione", kNotSet, kNotSet,
                 kNotSet, "Definisce chi paga il trasporto", -2, true, "Evasione");
  d.AddReference("DocumentiRichiesti", "TipiAllegato", true, false, "", "Descrizione", kNotSet,
                 kNotSet, kNotSet, "", -2, true, "Riferimenti");
}

}  // namespace tillbook::data
