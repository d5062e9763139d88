// Tables opened without a sort read their rows in their default order: where that order is a
// list of the table's own fields an index serves it, so a grid on a million sale rows reads
// its first page, and its last, without sorting the whole table for every page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/DB.h"
#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/ui_services.h"

namespace tillbook::data {
namespace {

constexpr const char* kSaleRows = "DettagliVendite";
constexpr const char* kSaleRowsOrder = "IX_DettagliVendite_Ordine_Riferimento";

class OrderIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-order-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "Tillbook.mdb").string();
    conn_ = std::make_unique<engine::Connection>(&ui_);
    conn_->Create(path_);
    Attach();
  }
  void TearDown() override {
    db_.reset();
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }
  void Attach() {
    db_ = std::make_unique<engine::Database>(std::make_unique<DB>(), "Tillbook");
    db_->Attach(*conn_);
  }
  void Reopen() {
    db_.reset();
    conn_ = std::make_unique<engine::Connection>(&ui_);
    conn_->Open(path_);
    Attach();
  }
  engine::internal::SqliteDb& Sql() {
    conn_->session().Flush();
    return conn_->session().db();
  }
  std::vector<std::string> Strings(const std::string& sql) {
    engine::internal::Statement st(Sql().handle(), sql);
    std::vector<std::string> out;
    while (st.Step()) out.push_back(st.Text(0));
    return out;
  }
  bool HasIndex(const std::string& name) {
    return !Strings("SELECT name FROM sqlite_master WHERE type='index' AND name='" + name + "'")
                .empty();
  }
  // The plan of one page of `table` as a grid opened without a sort reads it, one line per step;
  // `fromEnd`: a page of the second half, read in the opposite order.
  std::string PagePlan(const std::string& table, bool fromEnd = false) {
    engine::SelectRequest request{table, "", "", ""};
    conn_->Table(table).hooks->itfSetData_OnSelect(request);
    const engine::CompiledQuery q =
        engine::DefaultQueryCompiler().Compile(conn_->catalog(), request);
    engine::internal::Statement st(
        Sql().handle(),
        "EXPLAIN QUERY PLAN " + (fromEnd ? q.reverseSql : q.sql) + " LIMIT 200 OFFSET 400");
    for (size_t i = 0; i < q.params.size(); ++i) st.Bind(static_cast<int>(i) + 1, q.params[i]);
    std::string plan;
    while (st.Step()) plan += st.Text(3) + "\n";
    return plan;
  }
  void AddSaleRows(const std::vector<std::string>& references) {
    for (const std::string& r : references)
      conn_->Execute("INSERT INTO DettagliVendite (Codice, Riferimento) VALUES ('A', '" + r + "')");
  }
  // The references of the sale rows as a data set opened without a sort reads them.
  std::vector<std::string> References() {
    engine::DataSet ds(*conn_, engine::SelectRequest{kSaleRows, "", "Riferimento", ""});
    std::vector<std::string> out;
    for (ds.First(); !ds.IsEOF(); ds.Next()) out.push_back(ds.ColValue(0).ToText());
    return out;
  }

  engine::ScriptedUi ui_;
  std::filesystem::path dir_;
  std::string path_;
  std::unique_ptr<engine::Connection> conn_;
  std::unique_ptr<engine::Database> db_;
};

TEST_F(OrderIndexTest, SaleRowsPagesFollowAnIndexInTheirDefaultOrder) {
  ASSERT_TRUE(HasIndex(kSaleRowsOrder));
  const std::string plan = PagePlan(kSaleRows);
  EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
  EXPECT_NE(plan.find(kSaleRowsOrder), std::string::npos) << plan;
  const std::string end = PagePlan(kSaleRows, true);
  EXPECT_EQ(end.find("TEMP B-TREE"), std::string::npos) << end;
  EXPECT_NE(end.find(kSaleRowsOrder), std::string::npos) << end;

  // The index sorts as the sort itself (the archive's order for texts), which a read that may
  // use no index gives; equal references in the order the rows were added.
  AddSaleRows({"b", "A", "é", "a", "B", "e", "m", "m"});
  EXPECT_EQ(References(),
            Strings("SELECT Riferimento FROM DettagliVendite NOT INDEXED ORDER BY Riferimento "
                    "COLLATE JET_SORT, OID"));
  engine::DataSet ds(*conn_, engine::SelectRequest{kSaleRows, "Riferimento = 'm'", "", ""});
  ASSERT_EQ(ds.RowCount(), 2);
  ds.First();
  const int64_t first = ds.CurrentOid();
  ds.Next();
  EXPECT_LT(first, ds.CurrentOid());
}

TEST_F(OrderIndexTest, EveryDefaultOrderIndexServesItsTablesPages) {
  const std::vector<std::string> indexes = Strings(
      "SELECT name FROM sqlite_master WHERE type='index' AND name LIKE 'IX\\_%\\_Ordine%' "
      "ESCAPE '\\'");
  ASSERT_FALSE(indexes.empty());
  int checked = 0;
  for (const auto& t : conn_->catalog().tables()) {
    const std::string prefix = "IX_" + t->own->table + "_Ordine_";
    bool indexed = false;
    for (const std::string& name : indexes) indexed |= name.rfind(prefix, 0) == 0;
    if (!indexed) continue;
    ++checked;
    for (const bool fromEnd : {false, true}) {
      const std::string plan = PagePlan(t->name, fromEnd);
      EXPECT_EQ(plan.find("USE TEMP B-TREE FOR ORDER BY"), std::string::npos) << t->name << "\n"
                                                                              << plan;
    }
  }
  EXPECT_EQ(checked, static_cast<int>(indexes.size()));
}

TEST_F(OrderIndexTest, AnOlderArchiveGetsTheIndexWhenUpgraded) {
  AddSaleRows({"z", "m", "a"});
  // An archive made before the default order was indexed.
  conn_->Execute(std::string("DROP INDEX \"") + kSaleRowsOrder + "\"");
  ASSERT_FALSE(HasIndex(kSaleRowsOrder));
  EXPECT_NE(PagePlan(kSaleRows).find("USE TEMP B-TREE FOR ORDER BY"), std::string::npos);

  Reopen();
  EXPECT_TRUE(HasIndex(kSaleRowsOrder));
  EXPECT_EQ(PagePlan(kSaleRows).find("TEMP B-TREE"), std::string::npos);
  EXPECT_EQ(References(), (std::vector<std::string>{"a", "m", "z"}));

  // In step with the definitions again: opening it once more writes nothing.
  const auto version = Strings("PRAGMA schema_version");
  Reopen();
  EXPECT_EQ(Strings("PRAGMA schema_version"), version);
}

}  // namespace
}  // namespace tillbook::data
