// An archive in a fresh temporary folder with the test tables attached and a scripted person.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/catalog.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/test/test_tables.h"
#include "engine/ui_services.h"

namespace tillbook::engine::test {

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tillbook-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "Tillbook.mdb").string();
    StructLog().clear();
    conn_ = std::make_unique<Connection>(&ui_);
    conn_->Create(path_);
    Attach();
  }
  void TearDown() override {
    conn_.reset();
    std::filesystem::remove_all(dir_);
  }
  void Attach(TestOptions o = {}) {
    db_ = std::make_unique<Database>(MakeTestDatabase(o), "Tillbook");
    db_->Attach(*conn_);
  }
  void Reopen(TestOptions o = {}) {
    conn_ = std::make_unique<Connection>(&ui_);
    conn_->Open(path_);
    Attach(o);
  }
  Connection& conn() { return *conn_; }
  Row Add(const std::string& table, const FieldValues& values) {
    auto r = conn_->AddRow(table, values);
    EXPECT_TRUE(r.has_value());
    return *r;
  }
  static Variant S(const char* s) { return Variant::String(s); }
  static Variant D(double d) { return Variant::Double(d); }
  static Variant M(const char* s) { return Variant::Currency(*Money::Parse(s)); }

  ScriptedUi ui_;
  std::filesystem::path dir_;
  std::string path_;
  std::unique_ptr<Connection> conn_;
  std::unique_ptr<Database> db_;
};

}  // namespace tillbook::engine::test
