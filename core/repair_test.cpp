// Repair: the compacted archive keeps every row and takes the original's place; a failure at any
// step leaves the original file byte for byte as it was and says which files exist.
#include "core/repair.h"
#include "platform/testing/file_bytes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "base/error.h"
#include "core/startup.h"
#include "core/testing/scripted_windows.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/internal/session.h"
#include "engine/internal/sqlite.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::core {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using tillbook::testing::Bytes;

class RepairTest : public ::testing::Test {
 protected:
  RepairTest()
      : dir_("tillbook_repair_" + std::to_string(::getpid())), path_(dir_ / "Tillbook.mdb") {}

  // An archive with a few thousand articles, half of them deleted so compaction has work.
  void MakeArchive() {
    engine::Connection c;
    c.BeginCreate(path_);
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    c.FinishCreate();
    c.Execute("CREATE TABLE Prova (x TEXT)");
    c.Execute(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000) "
        "INSERT INTO Prova SELECT printf('riga %d %s', i, hex(randomblob(40))) FROM n");
    c.Execute("DELETE FROM Prova WHERE rowid % 2 = 0");
    engine::Database::SetSystemValue(c, "SYS_Name", "NOME", Variant::String("Bottega"));
  }
  int64_t Rows(const std::string& path) {
    engine::Connection c;
    c.Open(path, engine::Connection::Access::ReadOnly);
    engine::Database db(std::make_unique<data::DB>(), "tillbook");
    db.Attach(c);
    return c.Count("Operatori") * 100000 +
           (engine::Database::GetSystemValue(c, "SYS_Name", Variant::Null()).ToText() == "Bottega");
  }

  TempFolder dir_;
  std::string path_;
};

TEST_F(RepairTest, CompactsKeepingEveryRowAndLeavesNoOtherFile) {
  MakeArchive();
  const int64_t before = Rows(path_);
  const auto sizeBefore = fs::file_size(path_);
  CompactArchive(path_);
  EXPECT_EQ(Rows(path_), before);
  EXPECT_LT(fs::file_size(path_), sizeBefore);
  EXPECT_FALSE(fs::exists(path_ + ".NEW"));
  EXPECT_FALSE(fs::exists(path_ + "._"));
}

TEST_F(RepairTest, AFailureAtAnyStepLeavesTheOriginalUntouched) {
  struct Case {
    const char* name;
    std::function<void()> prepare;
    const char* failAt;  // the step that fails, "" for none
    std::function<void(std::string_view)> onStep;
    const char* message;  // the cause and the files present
  };
  const std::string copy = path_ + ".NEW";
  const Case cases[] = {
      {"copy name held by a folder",
       [&] { fs::create_directories(copy + "/dentro"); },
       "",
       {},
       "File presenti: Tillbook.mdb, Tillbook.mdb.NEW."},
      {"left-over of an interrupted repair",
       [&] { std::ofstream(path_ + "._") << "x"; },
       "",
       {},
       "lasciato da un ripristino interrotto: va controllato prima di ripetere.\nFile presenti: "
       "Tillbook.mdb, Tillbook.mdb._."},
      {"failure before the swap", [] {}, "sostituzione",
       [](std::string_view step) {
         if (step == "sostituzione") throw Error("Interrotto.");
       },
       "Interrotto.\nFile presenti: Tillbook.mdb, Tillbook.mdb.NEW."},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_.str());
    fs::create_directories(dir_.str());
    MakeArchive();
    const std::string original = Bytes(path_);
    c.prepare();
    try {
      CompactArchive(path_, c.onStep);
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const Error& e) {
      EXPECT_NE(e.message().find(c.message), std::string::npos) << c.name << ": " << e.message();
    }
    EXPECT_EQ(Bytes(path_), original) << c.name;
  }
}

// Where the rows of the archive's biggest table sit in `copy`: the page size and the number of
// a leaf page in the middle of the table.
std::pair<int64_t, int64_t> MiddlePageOfBiggestTable(const std::string& copy) {
  engine::Connection c;
  c.Open(copy, engine::Connection::Access::ReadOnly);
  sqlite3* db = c.session().db().handle();
  engine::internal::Statement size(db, "PRAGMA page_size");
  EXPECT_TRUE(size.Step());
  engine::internal::Statement biggest(
      db, "SELECT name FROM dbstat GROUP BY name ORDER BY count(*) DESC LIMIT 1");
  EXPECT_TRUE(biggest.Step());
  EXPECT_EQ(biggest.Text(0), "Prova");
  engine::internal::Statement leaves(
      db, "SELECT pageno FROM dbstat WHERE name = 'Prova' AND pagetype = 'leaf' ORDER BY pageno");
  std::vector<int64_t> pages;
  while (leaves.Step()) pages.push_back(leaves.Int(0));
  EXPECT_GT(pages.size(), 10u);
  return {size.Int(0), pages.empty() ? 1 : pages[pages.size() / 2]};
}

TEST_F(RepairTest, ACopyChangedAfterTheCompactionIsRefused) {
  struct Case {
    const char* name;
    // Damages the copy, given its page size and a page in the middle of the biggest table.
    std::function<void(const std::string& copy, int64_t pageSize, int64_t page)> damage;
  };
  auto overwrite = [](const std::string& copy, int64_t at, const std::string& bytes) {
    std::fstream f(copy, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    f << bytes;
  };
  const Case cases[] = {
      // One letter of a row's text: the page stays well formed, only its content changed.
      {"one byte of a row",
       [&](const std::string& copy, int64_t pageSize, int64_t page) {
         const int64_t at = page * pageSize - 10;  // the cells fill the page from its end
         std::string b = Bytes(copy).substr(static_cast<size_t>(at), 1);
         overwrite(copy, at, std::string(1, static_cast<char>(b[0] ^ 1)));
       }},
      {"a whole page",
       [&](const std::string& copy, int64_t pageSize, int64_t page) {
         overwrite(copy, (page - 1) * pageSize, std::string(pageSize, '\x5A'));
       }},
      {"the last page cut off",
       [](const std::string& copy, int64_t pageSize, int64_t) {
         fs::resize_file(copy, fs::file_size(copy) - static_cast<uintmax_t>(pageSize));
       }},
      {"a page added",
       [](const std::string& copy, int64_t pageSize, int64_t) {
         std::ofstream(copy, std::ios::binary | std::ios::app) << std::string(pageSize, '\0');
       }},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_.str());
    fs::create_directories(dir_.str());
    MakeArchive();
    const std::string original = Bytes(path_);
    const std::string copy = path_ + ".NEW";
    try {
      CompactArchive(path_, [&](std::string_view step) {
        if (step != "controllo") return;
        const auto [pageSize, page] = MiddlePageOfBiggestTable(copy);
        c.damage(copy, pageSize, page);
      });
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.message(),
                "La copia compattata del database è danneggiata.\nFile presenti: Tillbook.mdb, "
                "Tillbook.mdb.NEW.")
          << c.name;
    }
    EXPECT_TRUE(Bytes(path_) == original) << c.name << ": the original changed";
  }
}

// The check SQLite reads the whole file with, for a copy whose pages were not fingerprinted.
TEST_F(RepairTest, TheWholeFileCheckRefusesADamagedPageOnly) {
  MakeArchive();
  const std::string copy = dir_ / "copia.mdb";
  {
    engine::Connection c;
    c.Open(path_);
    c.Execute("VACUUM INTO '" + copy + "'");
  }
  EXPECT_NO_THROW(internal::CheckWholeCopy(copy));
  const auto [pageSize, page] = MiddlePageOfBiggestTable(copy);
  {
    std::fstream f(copy, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((page - 1) * pageSize);
    f << std::string(pageSize, '\x5A');
  }
  try {
    internal::CheckWholeCopy(copy);
    FAIL() << "accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.message(), "La copia compattata del database è danneggiata.");
  }
}

// The copy's name reaches SQLite as a URI: characters with a meaning there stay in the name.
TEST_F(RepairTest, AFolderNameWithUriCharactersLeavesNoStrayFile) {
  const fs::path folder = dir_ / "negozio?a=1#b%20c";
  fs::create_directories(folder);
  path_ = (folder / "Tillbook.mdb").string();
  MakeArchive();
  const int64_t before = Rows(path_);
  CompactArchive(path_);
  EXPECT_EQ(Rows(path_), before);
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir_.str()))
    names.push_back(fs::relative(entry.path(), dir_.str()).string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"negozio?a=1#b%20c", "negozio?a=1#b%20c/Tillbook.mdb"}));
}

TEST_F(RepairTest, MissingArchiveIsRefused) {
  try {
    CompactArchive(path_);
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(e.message().find("File presenti: nessuno."), std::string::npos) << e.message();
  }
}

TEST_F(RepairTest, TheCommandAsksCompactsReopensAndSaysSo) {
  MakeArchive();
  platform::MemorySettings settings;
  settings.Set("Configuration", "RootDir", dir_.str());
  engine::ScriptedUi ui;
  testing::ScriptedWindows windows;
  TempFolder runtime("tillbook_repair_run_" + std::to_string(::getpid()));
  Startup s(settings, ui, windows, dir_.str(), runtime.str());
  windows.operators = {0};
  ASSERT_TRUE(s.Main());
  ASSERT_TRUE(s.Activate());
  ui.QueueAnswer(engine::Answer::Cancel);
  EXPECT_FALSE(s.Repair());
  ui.QueueAnswer(engine::Answer::Ok);
  ASSERT_TRUE(s.Repair());
  EXPECT_EQ(ui.log().back(), "MSG Recupero completato");
  EXPECT_EQ(ui.log()[ui.log().size() - 2],
            "ASK Questa funzione tenta il recupero del database...\n\nIn caso di errore uscire "
            "da tutti i terminali, riavviare l'applicazione e ripetere l'operazione.\n\n"
            "Continuare ? -> Ok");
  ASSERT_NE(s.connection(), nullptr);
  EXPECT_EQ(s.connection()->Operator, "Amministratore");
  EXPECT_GT(s.connection()->Count("Operatori"), 0);
  EXPECT_TRUE(std::find(windows.log.begin(), windows.log.end(),
                        "SHOW Ripristino Database in corso...") != windows.log.end());
}

}  // namespace
}  // namespace tillbook::core
