#include "data/TableClass.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "engine/catalog.h"
#include "engine/dataset.h"
#include "engine/row.h"
#include "platform/clock.h"

namespace tillbook::data {

Variant Amount(std::string_view decimal) {
  auto m = Money::Parse(decimal);
  if (!m) throw Error("Importo non valido: " + std::string(decimal) + ".", "Amount");
  return Variant::Currency(*m);
}

Variant TableClass::RowId(engine::Connection& connection, std::string_view table,
                          std::string_view field, const Variant& value) {
  auto ids = connection.FindOids(table, field, value);
  if (ids.empty())
    throw Error("Riga predefinita mancante in " + std::string(table) + ": " + value.ToText() + ".",
                "RowId");
  return Variant::Double(static_cast<double>(ids.front()));
}

void TableClass::AddRows(engine::Table& table, std::initializer_list<engine::FieldValues> rows) {
  for (const auto& row : rows)
    if (!table.AddRow(row))
      throw Error("Impossibile scrivere le righe predefinite della tabella " + table.Name() + ".",
                  "default row refused");
}

std::string DocumentChoiceFilter(std::string_view reference, DocumentScope scope) {
  if (reference == "Causale") return "Abilitato=True";
  if (reference != "TipoDocumento") return {};
  switch (scope) {
    case DocumentScope::Sale:
      return "Abilitato=True AND Ambito<>2";
    case DocumentScope::Load:
      return "Abilitato=True AND (Ambito=0 OR Ambito=2)";
    case DocumentScope::Other:
      break;
  }
  return "Abilitato=True";
}

void TableClass::KeepFinalQuantity(engine::Row& row, std::string_view field) const {
  if (!switches().Use_Ordini || !Has(row, "QuantitàFinale")) return;
  if (field != "Quantità" && field != "QuantitàInOrdineClienti" &&
      field != "QuantitàInOrdineFornitori")
    return;
  const auto number = [&](std::string_view f) {
    const Variant v = row.Get(f);
    return v.IsNull() || v.IsEmpty() ? 0.0 : v.ToDouble();
  };
  if (!row.Set("QuantitàFinale",
               Variant::Double(number("Quantità") - number("QuantitàInOrdineClienti") +
                               number("QuantitàInOrdineFornitori"))))
    throw Error("Impossibile aggiornare la quantità finale.", "QuantitàFinale");
}

DateTime TableClass::Today() {
  return platform::CurrentClock().Today();
}

bool TableClass::Has(const engine::Row& row, std::string_view name) {
  return row.table().FindColumn(name).valid();
}

int64_t TableClass::FirstOid(engine::Connection& connection, std::string_view table,
                             std::string_view field, const Variant& value) {
  const auto ids = connection.FindOids(table, field, value);
  return ids.empty() ? 0 : ids.front();
}

std::string TableClass::NextCode(engine::Connection& connection, std::string_view table,
                                 int digits) {
  uint64_t highest = 0;
  engine::DataSet codes(connection, engine::SelectRequest{std::string(table), "", "Codice", ""});
  codes.ForEachRow([&](const std::vector<Variant>& values) {
    const std::string code = values.front().ToText();
    if (static_cast<int>(code.size()) == digits &&
        code.find_first_not_of("0123456789") == std::string::npos)
      highest = std::max<uint64_t>(highest, std::stoull(code));
    return true;
  });
  std::string next = std::to_string(highest + 1);
  if (static_cast<int>(next.size()) < digits) next.insert(0, digits - next.size(), '0');
  return next;
}

void TableClass::SetEmptyFields(engine::Row& row) {
  using engine::FieldType;
  for (const engine::FieldDef& f : row.table().def->fields()) {
    switch (f.type) {
      case FieldType::Date:
      case FieldType::DateTime:
        break;
      case FieldType::YesNo:
        row.Set(f.name, Flag(false));
        break;
      default:
        row.Set(f.name, engine::IsTextType(f.type) ? Text("") : Int(0));
    }
  }
}

void TableClass::SetSubjectDefaults(engine::Row& row, const TableSwitches& settings) {
  engine::Connection& c = row.connection();
  if (Has(row, "PercentualeSconto")) row.Set("PercentualeSconto", Num(0));
  // "None" is the placeholder row of each code table.
  if (Has(row, "BancaDiAppoggio"))
    row.SetReferenceOid("BancaDiAppoggio", FirstOid(c, "Banche", "Nome", Text("")));
  if (Has(row, "TipoPagamentoAbituale"))
    row.SetReferenceOid("TipoPagamentoAbituale",
                        FirstOid(c, "TipiPagamento", "Descrizione", Text("")));
  if (settings.ProgrLen_ClientiForn > 0)
    row.Set("Codice", Text(NextCode(c, row.TableName(), settings.ProgrLen_ClientiForn)));
  if (Has(row, "ListinoPredefinito"))
    row.SetReferenceOid("ListinoPredefinito",
                        FirstOid(c, "Listini", "Descrizione", Text("< BASE >")));
  if (settings.Use_Agenti && Has(row, "Agente"))
    row.SetReferenceOid("Agente", FirstOid(c, "Agenti", "Codice", Text("00")));
}

void TableClass::SetDocumentDefaults(engine::Row& row) {
  if (Has(row, "Data")) row.Set("Data", Variant::Date(Today()));
  for (const char* flag : {"IVAEsente", "Archiviato", "BollaDoganale"})
    if (Has(row, flag)) row.Set(flag, Flag(false));
  for (const char* text : {"Riferimento", "File", "Note"})
    if (Has(row, text)) row.Set(text, Text(""));
  engine::Connection& c = row.connection();
  if (Has(row, "Causale"))
    if (int64_t reason = FirstOid(c, "Causali", "Descrizione", Text("Vendita")))
      row.SetReferenceOid("Causale", reason);
  if (Has(row, "Operatore") && !c.Operator.empty())
    if (int64_t op = FirstOid(c, "Operatori", "Nome", Text(c.Operator)))
      row.SetReferenceOid("Operatore", op);
}

void TableClass::SetDocumentRowDefaults(engine::Row& row) {
  if (Has(row, "PercentualeSconto")) row.Set("PercentualeSconto", Num(0));
  if (Has(row, "Riferimento")) row.Set("Riferimento", Text(""));
}

void TableClass::TakeDocumentExemption(engine::Row& row, const engine::Row& document) {
  if (Has(row, "IVAEsente") && Has(document, "IVAEsente"))
    row.Set("IVAEsente", document.Get("IVAEsente"));
}

const ProtectedRow* TableClass::ProtectionOf(const engine::Row& row) const {
  if (protected_.empty() || row.IsCreating()) return nullptr;
  for (const ProtectedRow& p : protected_) {
    const bool match = p.value.empty() ? row.IsEmpty(p.key)
                                       : text::NoCaseEqual{}(row.Get(p.key).ToText(), p.value);
    if (match) return &p;
  }
  return nullptr;
}

void TableClass::itfSetData_OnBeforeUpdateField(engine::Row& row, std::string_view field,
                                                const Variant&, engine::HookReply& reply) {
  const ProtectedRow* p = ProtectionOf(row);
  if (p && (p->everyField || text::NoCaseEqual{}(field, p->key))) reply.Refuse(p->changeMessage);
}

void TableClass::itfSetData_OnDeleteRow(engine::Row& row, engine::HookReply& reply) {
  if (ProtectionOf(row)) reply.Refuse(kNotDeletable);
}

void TableClass::itfSetData_OnUpdateRow(engine::Row& row, engine::HookReply& reply) {
  const ProtectedRow* p = ProtectionOf(row);
  if (p && p->atSave) reply.Refuse(p->changeMessage);
}

}  // namespace tillbook::data
