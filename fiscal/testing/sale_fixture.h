// An archive with departments, sectors and articles for receipt tests, and sales built row by
// row as the sales editor builds them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "data/DB.h"
#include "data/TableClass.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/row.h"
#include "engine/ui_services.h"

namespace tillbook::fiscal::testing {

using data::Amount;
using data::Num;
using data::Text;
using engine::Row;

class SaleArchive {
 public:
  explicit SaleArchive(const std::string& name) {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-fiscal-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    connection_ = std::make_unique<engine::Connection>();
    connection_->Create((dir_ / "Tillbook.mdb").string());
    connection_->SetUi(&ui_);
    ui_.SetDefaultAnswer(engine::Answer::Yes);
    database_ =
        std::make_unique<engine::Database>(std::make_unique<data::DB>(data::TableSwitches{}), "T");
    database_->Attach(*connection_);
  }
  ~SaleArchive() {
    database_.reset();
    connection_.reset();
    std::filesystem::remove_all(dir_);
  }

  engine::Connection& conn() { return *connection_; }
  std::string folder() const { return dir_.string(); }

  Row Add(const char* table, const engine::FieldValues& values) {
    auto row = conn().AddRow(table, values);
    EXPECT_TRUE(row.has_value()) << table;
    return *row;
  }
  // An article on a sector of a department with register code `code`.
  Row Article(const std::string& articleCode, int code, const std::string& department = "") {
    const std::string name = department.empty() ? "Reparto " + std::to_string(code) : department;
    Row reparto = Add("Reparti", {{"Descrizione", Text(name)}, {"CodiceCassa", Num(code)}});
    Row settore = Add("Settori", {{"Codice", Text("S" + articleCode)},
                                  {"Descrizione", Text("Settore " + articleCode)}});
    EXPECT_TRUE(settore.SetReferenceOid("Reparto", reparto.Oid()));
    Row article = Add("Articoli", {{"Codice", Text(articleCode)}});
    EXPECT_TRUE(article.SetReferenceOid("Settore", settore.Oid()));
    return *conn().GetRow("Articoli", article.Oid());
  }
  Row Sale() { return Add("Vendite", {}); }
  // A stock row: `quantity` pieces at `price` each, described `description`.
  Row Line(Row& sale, const Row& article, const std::string& description, double quantity,
           const char* price) {
    auto row = sale.AddListRowFrom("Dettagli", article);
    EXPECT_TRUE(row.has_value());
    EXPECT_TRUE(row->Set("Descrizione", Text(description)));
    EXPECT_TRUE(row->Set("QuantitàScarico", Num(quantity)));
    EXPECT_TRUE(row->Set("PrezzoUnitario", Amount(price)));
    return *row;
  }
  Row Fetch(const Row& row) { return *conn().GetRow(row.TableName(), row.Oid()); }

 private:
  std::filesystem::path dir_;
  engine::ScriptedUi ui_;
  std::unique_ptr<engine::Connection> connection_;
  std::unique_ptr<engine::Database> database_;
};

}  // namespace tillbook::fiscal::testing
