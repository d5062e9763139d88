// The rules of the document headers and rows that are not amounts: numbering and its coherence
// warning, the follow-ups of the party and of the document type, the refusals ("Evaso" by hand,
// a load without its number), the questions before deleting an associated document, the
// warnings of a return and of a transported quantity lowered under what was invoiced, and the
// attached-file patterns. The document table classes call these around their own amounts.
#pragma once

#include <string>
#include <string_view>

#include "base/variant.h"
#include "data/document_kinds.h"

namespace tillbook::engine {
class HookReply;
class Row;
}  // namespace tillbook::engine

namespace tillbook::data {
struct TableSwitches;
}

namespace tillbook::data::checks {

// Headers. Each runs before the table's amounts; a refusal or a No stops the change there.
void HeaderNew(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc);
void HeaderBeforeField(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc,
                       std::string_view field, const Variant& newValue, engine::HookReply& reply);
void HeaderAfterField(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc,
                      std::string_view field, engine::HookReply& reply);
void HeaderAfterReference(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc,
                          std::string_view reference, const engine::Row* referenced,
                          engine::HookReply& reply);
void HeaderSave(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc,
                engine::HookReply& reply);
void HeaderDelete(const DocumentInfo& info, const TableSwitches& s, engine::Row& doc,
                  engine::HookReply& reply);

// Rows (article rows and free rows alike).
void RowBeforeField(const DocumentInfo& info, const TableSwitches& s, engine::Row& row,
                    std::string_view field, const Variant& newValue, engine::HookReply& reply);
void RowAfterField(const DocumentInfo& info, const TableSwitches& s, engine::Row& row,
                   std::string_view field, engine::HookReply& reply);
void RowSave(const DocumentInfo& info, const TableSwitches& s, engine::Row& row,
             engine::HookReply& reply);

// The file-name pattern the attached files of `field` of `row` follow, for the data panels that
// list them: an article's "File" is <folder>/<code>_*.* and its "FileAnteprima"
// <folder>/<code>_s_*.*; a sale's "File" is <folder>/<yyyymmdd>_<number>_<document type>_*.* and
// an order's <folder>/<yyyymmdd>_<number>_*.*. The folder is "RootDir" of the options, else the
// archive's own folder. Empty for any other table or field.
std::string AttachedFilesPattern(const TableSwitches& s, const engine::Row& row,
                                 std::string_view field);
// `text` usable inside a file name: the characters file systems refuse or read as wildcards
// (\ / : * ? " < > | and control characters) become "_"; blanks around are dropped.
std::string FileNameSafe(std::string_view text);

}  // namespace tillbook::data::checks
