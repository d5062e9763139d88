// Shapes several registry and code tables share: the code, payment references and attachments of
// the subject tables, the town reference, the price-list markup rows, the default VAT code of
// departments and sectors, and the tables keyed by a unique "Descrizione".
#pragma once

#include <string>
#include <vector>

#include "engine/connection.h"
#include "engine/definition.h"

namespace tillbook::data::shapes {

// "Codice" of a subject table (customers, suppliers, agents, carriers): text 16, unique.
void AddSubjectCode(engine::TableDef& d, std::string description);
// The usual payment type and the bank of customers and suppliers, in the "Pagamento" group.
void AddPaymentReferences(engine::TableDef& d);
// The owned list "Documenti" of files attached to a subject.
void AddAttachedDocuments(engine::TableDef& d);
// A single reference to a town of `Comuni` showing its name, postal code, province and nation.
void AddTownReference(engine::TableDef& d, std::string name, std::string description,
                      std::string group);
// "IVAPredefinita": the VAT code new articles of a department or sector start with.
void AddDefaultVat(engine::TableDef& d);
// "Listino" of a personalised markup row (read-only once chosen) and its index.
void AddPriceListOfMarkup(engine::TableDef& d);
// "Descrizione" text of `size` characters with a unique index: the key of the small code tables.
void AddUniqueDescription(engine::TableDef& d, int size, std::string description = {});

// Adds those of `rows` whose `keyField` value the table does not hold yet: default rows that a
// later version introduced, written again when an older table is upgraded. A row the table
// refuses throws Error.
void AddMissingRows(engine::Table& table, const std::string& keyField,
                    const std::vector<engine::FieldValues>& rows);

}  // namespace tillbook::data::shapes
