// Repair: the compacted archive keeps every row and takes the original's place; a failure at any
// step leaves the original file byte for byte as it was and says which files exist.
#include "platform/testing/file_bytes.h"
#include "core/repair.h"

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
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::core {
namespace {

namespace fs = std::filesystem;
using tillbook::testing::Bytes;
using testing::TempFolder;

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
      {"damaged copy", [] {}, "controllo",
       [&](std::string_view step) {
         if (step != "controllo") return;
         std::fstream f(copy, std::ios::in | std::ios::out | std::ios::binary);
         // Pages in the middle: the file still opens, only a full read finds the damage.
         f.seekp(static_cast<std::streamoff>(fs::file_size(copy) / 2));
         f << std::string(8192, '\x5A');
       },
       "La copia compattata del database è danneggiata.\nFile presenti: Tillbook.mdb, "
       "Tillbook.mdb.NEW."},
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
