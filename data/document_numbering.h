// The progressive numbers of sales and orders: the year a document counts in, the next number of
// its numbering (sales: per document type, year and archived state; orders: per year and
// archived state), and the coherence warning of a sale's number against its dates. Used by the
// document checks only.
#pragma once

#include "data/document_kinds.h"

namespace tillbook::engine {
class Row;
class UiServices;
}  // namespace tillbook::engine

namespace tillbook::data::numbering {

// Whether documents of this kind carry a progressive number the hooks keep.
bool IsNumbered(const DocumentInfo& info);

// "AnnoRiferimento" takes the year of "Data" when it differs (the change renumbers through the
// document's own hooks).
void TakeYearOfDate(engine::Row& doc);

// Gives the document the next number of its numbering: one more than the highest "Numero" of
// the other documents sharing it. Nothing happens for a sale without a document type, nor for a
// document being created from given values that was given its number. A stored document first
// asks whether the number may change; a No keeps it.
void Renumber(const DocumentInfo& info, engine::Row& doc, engine::UiServices& ui);

// Notes that "Numero" was written by someone other than Renumber while the document is being
// created from given values, so that its number is kept.
void NoteGivenNumber(engine::Row& doc);

// The warning, titled "< ATTENZIONE >", about a sale whose number disagrees with its date: a
// sale of the same type and year with a later date and a lower number, or an earlier date and a
// higher one. Shows it and returns true when there is one.
bool WarnIncoherentNumber(const engine::Row& sale, engine::UiServices& ui);

}  // namespace tillbook::data::numbering
