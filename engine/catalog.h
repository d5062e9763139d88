// The compiled form of the table definitions: for each table its storage segments (the SQL
// tables that hold its columns), its columns by name, its references resolved to their target
// tables, and the tables that own its rows. Built once when a database is attached; rows, data
// sets and the query translator read it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/text.h"
#include "base/variant.h"
#include "engine/definition.h"
#include "engine/interfaces.h"

namespace tillbook::engine {

struct TableInfo;

struct ColumnInfo {
  enum class Kind { Field, Reference, OwnerLink, BaseLink };
  std::string name;  // SQL column name
  Kind kind = Kind::Field;
  FieldType type = FieldType::Integer;  // references and links: Integer
  const FieldDef* field = nullptr;
  const ReferenceDef* reference = nullptr;
  Variant initial;  // value of a new row
  bool notNull = false;
};

// One SQL table: a table's own columns (with LinkToBase, base columns live in the base's segment).
struct SegmentInfo {
  std::string table;  // SQL table name
  std::vector<ColumnInfo> columns;
  bool autoIncrement = true;  // false for a derived segment sharing its base's row id
  std::unordered_map<std::string, int, text::NoCaseHash, text::NoCaseEqual> byName;
  int Find(std::string_view column) const;
};

struct ColumnRef {
  int segment = -1;  // index into TableInfo::segments
  int column = -1;
  bool valid() const { return segment >= 0; }
};

struct ReferenceInfo {
  const ReferenceDef* def = nullptr;
  const TableInfo* declaredIn = nullptr;
  TableInfo* target = nullptr;
  RefKind kind = RefKind::Single;
  ColumnRef column;         // single kinds: the "OID_" column
  std::string ownerColumn;  // owned list: the owner-link column in the target's own segment
  std::string linkTable;    // list: the link table
};

struct OwnerInfo {
  TableInfo* owner = nullptr;  // the table declaring the owned list
  const ReferenceInfo* reference = nullptr;
  int column = -1;  // owner-link column index in this table's own segment
};

struct TableInfo {
  std::string name;
  std::unique_ptr<itfDefTable> cls;
  std::unique_ptr<TableDef> def;
  itfSetData* hooks = nullptr;
  TableInfo* base = nullptr;
  bool linkToBase = true;
  std::unique_ptr<SegmentInfo> own;
  std::vector<SegmentInfo*> segments;  // base chain first, own last
  int baseLinkColumn = -1;             // LinkToBase false: "OID_<base>" in own segment
  std::vector<std::string> columnOrder;  // logical names: fields then single references
  std::unordered_map<std::string, ColumnRef, text::NoCaseHash, text::NoCaseEqual> columns;
  std::vector<std::unique_ptr<ReferenceInfo>> references;  // declaration order, base first
  std::unordered_map<std::string, ReferenceInfo*, text::NoCaseHash, text::NoCaseEqual> refByName;
  std::vector<OwnerInfo> owners;
  std::vector<TableInfo*> derived;  // tables extending this one with LinkToBase
  std::vector<const ReferenceInfo*> listedBy;  // lists (not owned) that can hold rows of this table

  ColumnRef FindColumn(std::string_view name) const;
  const ReferenceInfo* FindReference(std::string_view name) const;
  const ColumnInfo& Column(ColumnRef c) const { return segments[c.segment]->columns[c.column]; }
  bool IsA(const TableInfo* other) const;  // same table or extends it (any kind)
};

class Catalog {
 public:
  // Compiles the definitions the table classes give. Throws Error on an inconsistent definition
  // (unknown referenced table, duplicate names, a base table declared after its derived table).
  explicit Catalog(DatabaseDef& tables);

  const TableInfo* Find(std::string_view table) const;
  TableInfo* Find(std::string_view table);
  const std::vector<std::unique_ptr<TableInfo>>& tables() const { return tables_; }

  // The query translator's view of these definitions, built on first use and kept with them.
  mutable std::shared_ptr<void> translatorView;

 private:
  void Compile(TableInfo& t);
  void ResolveReferences(TableInfo& t);
  std::vector<std::unique_ptr<TableInfo>> tables_;
  std::unordered_map<std::string, TableInfo*, text::NoCaseHash, text::NoCaseEqual> byName_;
};

// The value a new row takes for a field: its declared default converted to the field's type, or
// the type's empty value (empty text, 0, false) for a not-null field, Null otherwise.
Variant InitialValue(const FieldDef& f);
// `v` converted to the storage type of the field (texts parsed with '.' decimals and ISO or Jet
// dates). Throws Error naming the field when it does not convert.
Variant CoerceToField(const ColumnInfo& column, const Variant& v);

}  // namespace tillbook::engine
