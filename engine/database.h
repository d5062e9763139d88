// Database: the program's table list bound to an archive. Attaching it to a connection compiles
// the table definitions, creates missing tables and columns, keeps each table's stored version
// and lets each created or changed table write its default rows and upgrade older data. It also
// keeps the archive's system values (the identity of the business, with captions).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/variant.h"
#include "engine/interfaces.h"

namespace tillbook::engine {

class Catalog;
class Connection;

// The archive's structure is behind the definitions and the connection cannot write it: a
// program that can write must update it first.
class ArchiveNeedsUpdate : public Error {
 public:
  using Error::Error;
};

class Database {
 public:
  Database(std::unique_ptr<itfDefDatabase> definition, std::string programName);
  ~Database();

  // Defines every table and brings the archive's structure up to the definitions, as one action:
  // on any failure the archive is left as it was. `structureChanged` forces the structure check of
  // every table even when its version did not change. An archive already in step is only read,
  // so attaching never waits for another workstation's write lock. Refuses, writing nothing, an
  // archive with a table stored by a newer program, and (ArchiveNeedsUpdate) an archive behind
  // the definitions on a connection that cannot write.
  void Attach(Connection& connection, bool structureChanged = false,
              itfProgress* progress = nullptr);
  const Catalog& catalog() const;
  const std::string& programName() const { return programName_; }

  // System values live in the archive, whatever the definitions: they need only the connection.
  static Variant GetSystemValue(Connection& connection, std::string_view key,
                                const Variant& fallback);
  static void SetSystemValue(Connection& connection, std::string_view key, std::string_view caption,
                             const Variant& value);
  static std::string GetSystemCaption(Connection& connection, std::string_view key);
  // The stored version of a table; 0 when it has none.
  static double StoredVersion(Connection& connection, std::string_view table);

  int AccessLevel = 0;

 private:
  std::unique_ptr<itfDefDatabase> definition_;
  std::string programName_;
  std::shared_ptr<const Catalog> catalog_;
};

}  // namespace tillbook::engine
