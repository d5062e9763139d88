// What the translator knows about the archive's tables: their declared fields and references,
// inheritance, which tables own which, and where each column is stored. The record engine
// implements it from its table definitions; tests use MemoryCatalog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tillbook::jet {

enum class RefKind { Single, OwnedSingle, List, OwnedList };

inline bool IsList(RefKind k) {
  return k == RefKind::List || k == RefKind::OwnedList;
}

struct FieldInfo {
  std::string name;
  int typeCode = 0;  // the declaration type codes: 0..8 texts, 11/12 integers, 14 yes/no, ...
  bool nullable = false;
  // A secret (a scrambled password): stored and read by the engine's rows, but out of reach of
  // every query text, as if the table had no such field.
  bool secret = false;
};

struct ReferenceInfo {
  std::string name;
  std::string target;  // referenced table
  RefKind kind = RefKind::Single;
  std::string keyField;                  // empty: the row identifier
  std::vector<std::string> shownFields;  // empty items of the declaration dropped
};

// One table as declared: only its own fields and references; inherited ones are found through
// baseTable.
struct TableInfo {
  std::string name;
  std::string baseTable;   // empty: none
  bool linkToBase = true;  // false: the table stores copies of the base columns
  std::vector<FieldInfo> fields;
  std::vector<ReferenceInfo> references;
};

// A table that holds rows of another in an owned reference.
struct OwnerInfo {
  std::string ownerTable;  // the table declaring the owned reference
  std::string reference;
  bool single = false;  // owned single: the link "OID_"+reference is a column of the owner
  // Owned list: the column of the owned rows' table holding the owner's OID.
  std::string ownerColumn;
};

class Catalog {
 public:
  virtual ~Catalog() = default;

  // The table named `name` without regard to case, or null.
  virtual const TableInfo* FindTable(std::string_view name) const = 0;
  // Every owned reference whose rows are in `table`.
  virtual std::vector<OwnerInfo> Owners(std::string_view table) const = 0;

  // The SQL table that stores `column` ("OID", a field, "OID_"+single reference, or the base
  // link "OID_"+base table) for rows of `table`. The default follows the engine's layout: with
  // LinkToBase the declaring table's own SQL table, otherwise copies in the derived table.
  virtual std::string StorageTable(std::string_view table, std::string_view column) const;
  // Column of an owned list's rows holding the owner's OID.
  virtual std::string OwnerColumn(std::string_view declaringTable,
                                  std::string_view reference) const;
  // Link table (columns "OID_Owner", "OID_Item") of a list that is not owned.
  virtual std::string ListTable(std::string_view declaringTable, std::string_view reference) const;
};

// Where a name was found on a table or one of its bases.
struct FieldHit {
  const FieldInfo* field = nullptr;
  const TableInfo* declaredIn = nullptr;
};
struct ReferenceHit {
  const ReferenceInfo* reference = nullptr;
  const TableInfo* declaredIn = nullptr;
};

// The table and its bases, nearest first.
std::vector<const TableInfo*> BaseChain(const Catalog& catalog, const TableInfo& table);
// The tables whose rows are the same rows as `table` (itself and the LinkToBase bases).
std::vector<const TableInfo*> IdentityChain(const Catalog& catalog, const TableInfo& table);
// Secret fields are never found, nor listed by AllFields.
FieldHit FindField(const Catalog& catalog, const TableInfo& table, std::string_view name);
// Single references are inherited from every base; lists only through LinkToBase bases, because
// copied rows do not carry the base row's lists.
ReferenceHit FindReference(const Catalog& catalog, const TableInfo& table, std::string_view name);
// Every field, then every reference, of the table and its bases in declaration order (bases
// first), as the table's own columns are presented.
std::vector<FieldHit> AllFields(const Catalog& catalog, const TableInfo& table);
std::vector<ReferenceHit> AllReferences(const Catalog& catalog, const TableInfo& table);
// The base table a LinkToBase-false table keeps a link to ("OID_"+name), or null.
const TableInfo* CopiedBase(const Catalog& catalog, const TableInfo& table);

}  // namespace tillbook::jet
