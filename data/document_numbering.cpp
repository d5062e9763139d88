#include "data/document_numbering.h"

#include <cstdint>
#include <string>

#include "base/date.h"
#include "base/variant.h"
#include "engine/connection.h"
#include "engine/dataset.h"
#include "engine/jet/jet_literal.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::data::numbering {

namespace {

// Held while Renumber writes "Numero", so the write is not taken for a given number.
constexpr std::string_view kNumbering = "Setting_Numero";
// Held by a document being created from given values once it was given its number.
constexpr std::string_view kGivenNumber = "Given_Numero";

Variant Id(int64_t oid) {
  return Variant::Double(static_cast<double>(oid));
}

// The documents sharing the numbering of `doc`, less `doc` itself.
std::string NumberingFilter(const DocumentInfo& info, const engine::Row& doc) {
  std::string filter =
      jet::JetFilter("AnnoRiferimento = {} AND Archiviato = {} AND OID <> {}",
                     {doc.Get("AnnoRiferimento"), Variant::Boolean(doc.Get("Archiviato").ToBool()),
                      Id(doc.Oid())});
  if (info.kind == DocumentKind::Sale)
    filter +=
        jet::JetFilter(" AND OID_TipoDocumento = {}", {Id(doc.ReferenceOid("TipoDocumento"))});
  return filter;
}

int64_t NextNumber(const DocumentInfo& info, const engine::Row& doc) {
  const Variant highest =
      engine::Aggregate(doc.connection(), info.header, engine::AggregateKind::Max, "Numero",
                        NumberingFilter(info, doc));
  return (highest.IsNull() || highest.IsEmpty() ? 0 : highest.ToInt64()) + 1;
}

std::string RenumberQuestion(const DocumentInfo& info, const engine::Row& doc) {
  const bool sale = info.kind == DocumentKind::Sale;
  return std::string("Questa operazione può comportare la variazione del progressivo ") +
         (sale ? "documento [" : "ordine [") + std::to_string(doc.Get("Numero").ToInt64()) +
         "], proseguire solo se si è sicuri...";
}

}  // namespace

bool IsNumbered(const DocumentInfo& info) {
  return info.kind == DocumentKind::Sale || info.kind == DocumentKind::CustomerOrder ||
         info.kind == DocumentKind::SupplierOrder;
}

void TakeYearOfDate(engine::Row& doc) {
  const Variant date = doc.Get("Data");
  if (date.IsNull() || date.IsEmpty()) return;
  const int year = date.ToDateTime().Year();
  if (doc.Get("AnnoRiferimento").ToInt64() != year) doc.Set("AnnoRiferimento", Variant::Long(year));
}

void NoteGivenNumber(engine::Row& doc) {
  if (doc.IsGuarded(kNumbering) || !doc.IsCreating() || doc.IsPending()) return;
  doc.TryGuard(kGivenNumber);
}

void Renumber(const DocumentInfo& info, engine::Row& doc, engine::UiServices& ui) {
  if (!IsNumbered(info)) return;
  if (info.kind == DocumentKind::Sale && doc.ReferenceOid("TipoDocumento") == 0) return;
  // Imports and editors that create a document with its number keep it; a person's new
  // document (waiting for its save) is numbered like a stored one, without the question.
  if (doc.IsCreating() && !doc.IsPending() && doc.IsGuarded(kGivenNumber)) return;
  const bool stored = !doc.IsCreating();
  if (stored && !ui.AskYesNo(RenumberQuestion(info, doc))) return;
  engine::Row::Guard numbering(doc, kNumbering);
  // The lookup below writes the document's new year, type or state to the archive first; its
  // old number could collide there with a document of the new numbering, so it waits on the
  // document's own (negative, unique) row id until the new number is known.
  if (stored) doc.Set("Numero", Variant::Long(static_cast<int32_t>(-doc.Oid())));
  doc.Set("Numero", Variant::Long(static_cast<int32_t>(NextNumber(info, doc))));
}

bool WarnIncoherentNumber(const engine::Row& sale, engine::UiServices& ui) {
  const int64_t type = sale.ReferenceOid("TipoDocumento");
  const int64_t number = sale.Get("Numero").ToInt64();
  const Variant date = sale.Get("Data");
  if (type == 0 || number <= 0 || date.IsNull() || date.IsEmpty()) return false;
  const DateTime day = date.ToDateTime().DatePart();
  const std::string same =
      jet::JetFilter("OID_TipoDocumento = {} AND AnnoRiferimento = {} AND OID <> {} AND Numero > 0",
                     {Id(type), sale.Get("AnnoRiferimento"), Id(sale.Oid())});

  struct Probe {
    const char* condition;
    const char* sort;
    const char* date;
    const char* number;
  } probes[] = {
      {" AND Data > {} AND Numero < {}", "Data, Numero", "con data successiva [",
       "ha un progressivo precedente ["},
      {" AND Data < {} AND Numero > {}", "Data DESC, Numero DESC", "con data precedente [",
       "ha un progressivo successivo ["},
  };
  for (const Probe& p : probes) {
    engine::DataSet other(
        sale.connection(),
        engine::SelectRequest{
            "Vendite",
            same + jet::JetFilter(p.condition, {Variant::Date(day), Variant::Long(number)}),
            "Numero,Data", p.sort});
    if (other.IsEOF()) continue;
    const std::string otherNumber = std::to_string(other.ColValue("Numero").ToInt64());
    const std::string text = "Il progressivo corrente [" + std::to_string(number) +
                             "] non è coerente perchè il documento [" +
                             sale.Reference("TipoDocumento")->Get("Descrizione").ToText() + " N. " +
                             otherNumber + "] " + p.date +
                             other.ColValue("Data").ToDateTime().ToItalian(false) + "] " +
                             p.number + otherNumber + "]";
    ui.MessageBox(text, engine::Buttons::Ok, engine::Icon::Exclamation, 0, "< ATTENZIONE >");
    return true;
  }
  return false;
}

}  // namespace tillbook::data::numbering
