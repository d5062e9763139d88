// Table definitions in the declaration vocabulary table classes use: identity, fields with type
// codes, references of four kinds, indexes, field order. A table class fills a TableDef when the
// engine asks; the engine turns it into storage, rows and data sets.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <deque>
#include <vector>

namespace tillbook::engine {

// Type codes of fields; persisted in table definitions, never renumber.
enum class FieldType : int {
  Text = 0,
  FileName = 2,
  ImageFile = 3,
  FileOrImage = 4,
  FileList = 5,
  Link = 6,
  Code = 7,
  Memo = 8,
  Integer = 11,
  SmallInteger = 12,
  YesNo = 14,
  Millimetres = 15,
  Number = 16,
  Date = 17,
  DateTime = 19,
  Money = 20,
};

bool IsTextType(FieldType t);
bool IsValidFieldType(int code);

// Presentation attribute value meaning "not set".
inline constexpr int kNotSet = -100;

struct FieldDef {
  std::string name;
  FieldType type = FieldType::Text;
  int size = 0;
  std::string source;
  std::string defaultValue;  // as text; empty: none
  int a1 = kNotSet;          // read-only mask
  int a2 = kNotSet;          // hide mask
  int a3 = kNotSet;
  bool notNull = true;
  std::string description;
  std::string valueList;  // "code|label|code|label"
  std::string group;
  // A secret (a scrambled password): rows read and write it, but no query text (filter, field
  // list, sort, sub-select) can reach it.
  bool secret = false;
};

enum class RefKind { Single, OwnedSingle, List, OwnedList };

struct ReferenceDef {
  std::string name;
  std::string table;  // referenced table
  bool list = false;
  bool owned = false;
  std::string keyField;     // empty: the row identifier
  std::string shownFields;  // comma list
  int a1 = kNotSet;
  int a2 = kNotSet;
  int a3 = kNotSet;
  std::string description;
  int mode = -2;
  bool notNull = true;
  std::string group;

  RefKind kind() const {
    return list ? (owned ? RefKind::OwnedList : RefKind::List)
                : (owned ? RefKind::OwnedSingle : RefKind::Single);
  }
};

struct IndexDef {
  struct Item {
    std::string name;
    bool isReference = false;
  };
  std::string name;
  bool unique = false;
  std::vector<Item> items;

  IndexDef& AddIndexField(std::string field) {
    items.push_back({std::move(field), false});
    return *this;
  }
  IndexDef& AddIndexReference(std::string reference) {
    items.push_back({std::move(reference), true});
    return *this;
  }
};

// One table's definition. Declared items keep their declaration order.
class TableDef {
 public:
  explicit TableDef(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }

  // Identity.
  std::string Caption;
  std::string BaseTable;
  double Version = 1.0;
  int TableOptions = 0;
  bool LinkToBase = true;
  // Comma list of field and reference names fixing the order of presentation.
  std::string FieldOrder;

  FieldDef& AddField(std::string name, FieldType type, int size = 0, std::string source = {},
                     std::string defaultValue = {}, int a1 = kNotSet, int a2 = kNotSet,
                     int a3 = kNotSet, bool notNull = true, std::string description = {},
                     std::string valueList = {}, std::string group = {});
  ReferenceDef& AddReference(std::string name, std::string table, bool list, bool owned,
                             std::string keyField = {}, std::string shownFields = {},
                             int a1 = kNotSet, int a2 = kNotSet, int a3 = kNotSet,
                             std::string description = {}, int mode = -2, bool notNull = true,
                             std::string group = {});
  // The index starts with `firstField` (a field name; use AddIndexReference for references).
  IndexDef& AddIndex(std::string firstField, bool unique, std::string name = {});

  const std::deque<FieldDef>& fields() const { return fields_; }
  const std::deque<ReferenceDef>& references() const { return references_; }
  const std::deque<IndexDef>& indexes() const { return indexes_; }
  const FieldDef* FindField(std::string_view name) const;
  const ReferenceDef* FindReference(std::string_view name) const;

 private:
  std::string name_;
  std::deque<FieldDef> fields_;
  std::deque<ReferenceDef> references_;
  std::deque<IndexDef> indexes_;
};

}  // namespace tillbook::engine
