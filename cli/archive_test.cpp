// The archive commands facing damaged, newer, half-made and unreachable archives: exit statuses,
// Italian messages without technical detail, and files they refuse left as they were.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/testing/file_bytes.h"
#include "base/text.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"
#include "engine/dataset.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;
using tillbook::testing::Bytes;
using tillbook::testing::Write;

using Command = int (*)(const Args&, std::ostream&, std::ostream&);

class ArchiveCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tillbook-archive-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }
  // Runs a command; its output and messages are left in out_ and err_.
  int Run(Command command, const Args& args) {
    out_.str("");
    err_.str("");
    return command(args, out_, err_);
  }
  std::string MakeArchive(const std::string& name) {
    const std::string d = (dir_ / name).string();
    EXPECT_EQ(Run(InitCommand, {d}), 0) << err_.str();
    return d;
  }
  fs::path dir_;
  std::ostringstream out_, err_;
};

// Every message a person reads is Italian: no SQL, no SQLite wording, no English context.
void ExpectPlainItalian(const std::string& message) {
  for (const char* technical :
       {"SELECT", "INSERT", "PRAGMA", "BEGIN", "sqlite", "database", "Open of", "readonly", "("})
    EXPECT_EQ(message.find(technical), std::string::npos) << technical << " in: " << message;
}

TEST_F(ArchiveCommandTest, FilesThatAreNoArchiveAreRefusedAndLeftAsTheyWere) {
  const std::string good = MakeArchive("buono");
  const std::string archive = Bytes(ArchivePath(good));
  std::mt19937 random(11);
  std::string noise(8192, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"testo", "Codice;Descrizione\n", "non è un archivio del programma"},
      {"casuale", noise, "non è un archivio del programma"},
      {"troncato", archive.substr(0, archive.size() / 3), "danneggiato"},
  };
  const struct {
    Command command;
    Args extra;
  } commands[] = {{InitCommand, {}},
                  {InfoCommand, {}},
                  {QueryCommand, {"--table", "Operatori"}},
                  {SchemaCommand, {"--format", "json"}}};
  for (const Case& c : cases) {
    const std::string d = (dir_ / c.name).string();
    fs::create_directories(d);
    Write(ArchivePath(d), c.bytes);
    for (const auto& command : commands) {
      Args args{d};
      args.insert(args.end(), command.extra.begin(), command.extra.end());
      EXPECT_EQ(Run(command.command, args), 1) << c.name << " " << args.size();
      EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
      ExpectPlainItalian(err_.str());
      EXPECT_EQ(out_.str(), "");
      EXPECT_EQ(Bytes(ArchivePath(d)), c.bytes) << c.name;
    }
  }
  // A read command on an empty file leaves it empty (SQLite would write a header into it).
  const std::string empty = (dir_ / "vuoto").string();
  fs::create_directories(empty);
  Write(ArchivePath(empty), "");
  EXPECT_EQ(Run(InfoCommand, {empty}), 1);
  EXPECT_NE(err_.str().find("è vuoto"), std::string::npos) << err_.str();
  EXPECT_EQ(fs::file_size(ArchivePath(empty)), 0u);
}

TEST_F(ArchiveCommandTest, InitCompletesOrReplacesWhatAnInterruptedCreationLeft) {
  // An empty file, an SQLite file without tables, an archive with its system tables only.
  const std::string emptyFile = (dir_ / "vuoto").string();
  fs::create_directories(emptyFile);
  Write(ArchivePath(emptyFile), "");
  const std::string headerOnly = (dir_ / "intestazione").string();
  {
    sqlite3* db = nullptr;
    fs::create_directories(headerOnly);
    ASSERT_EQ(sqlite3_open(ArchivePath(headerOnly).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_GT(fs::file_size(ArchivePath(headerOnly)), 0u);
  }
  const std::string systemOnly = (dir_ / "sistema").string();
  fs::create_directories(systemOnly);
  engine::Connection().Create(ArchivePath(systemOnly));
  for (const std::string& d : {emptyFile, headerOnly, systemOnly}) {
    EXPECT_EQ(Run(InitCommand, {d}), 0) << d << ": " << err_.str();
    EXPECT_EQ(Run(InfoCommand, {d}), 0) << d << ": " << err_.str();
    EXPECT_NE(out_.str().find("Operatori"), std::string::npos) << out_.str();
  }
}

TEST_F(ArchiveCommandTest, ANewerArchiveIsRefusedByEveryCommandAndNotWritten) {
  const std::string d = MakeArchive("negozio");
  {
    engine::Connection c;
    c.Open(ArchivePath(d));
    c.Execute("UPDATE \"Sys_Tables\" SET \"Version\"=99 WHERE \"Name\"='Operatori'");
  }
  const std::string before = Bytes(ArchivePath(d));
  for (auto [command, args] :
       std::vector<std::pair<Command, Args>>{{InitCommand, {d}},
                                             {InitCommand, {d, "--set", "Use_Agenti=1"}},
                                             {InfoCommand, {d}},
                                             {QueryCommand, {d, "--table", "Operatori"}}}) {
    EXPECT_EQ(Run(command, args), 1) << args.size();
    EXPECT_NE(err_.str().find("creato da una versione più recente del programma"),
              std::string::npos)
        << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
  EXPECT_EQ(Bytes(ArchivePath(d)), before);
}

TEST_F(ArchiveCommandTest, ReadCommandsOnAnOutdatedArchiveAskForInit) {
  const std::string d = MakeArchive("negozio");
  // The archive without the agents' table, which this command's switch needs.
  EXPECT_EQ(Run(QueryCommand, {d, "--table", "Agenti", "--set", "Use_Agenti=1"}), 1);
  EXPECT_NE(err_.str().find("eseguire «tillbook-cli init " + d + "»"), std::string::npos)
      << err_.str();
  ASSERT_EQ(Run(InitCommand, {d, "--set", "Use_Agenti=1"}), 0) << err_.str();
  EXPECT_EQ(Run(QueryCommand, {d, "--table", "Agenti"}), 0) << err_.str();
}

TEST_F(ArchiveCommandTest, InfoAlignsTableNamesByCharactersNotBytes) {
  const std::string d = MakeArchive("negozio");
  ASSERT_EQ(Run(InfoCommand, {d}), 0) << err_.str();
  std::istringstream lines(out_.str());
  std::string line;
  int rows = 0;
  bool accented = false;
  while (std::getline(lines, line)) {
    const size_t at = line.find(" versione ");
    if (at == std::string::npos) continue;
    ++rows;
    accented = accented || line.rfind("Attività", 0) == 0;
    EXPECT_EQ(text::Length(line.substr(0, at)), 32u) << line;
  }
  EXPECT_GT(rows, 10);
  EXPECT_TRUE(accented) << out_.str();
}

TEST_F(ArchiveCommandTest, MessagesAreItalianAndTheDetailGoesOnlyToTheLog) {
  const std::string missing = (dir_ / "nessuno").string();
  EXPECT_EQ(Run(InfoCommand, {missing}), 1);
  EXPECT_EQ(err_.str(), "L'archivio " + ArchivePath(missing) + " non esiste.\n");
  const std::string log = (dir_ / "tillbook.log").string();
  setenv("TILLBOOK_LOG", log.c_str(), 1);
  EXPECT_EQ(Run(InfoCommand, {missing}), 1);
  EXPECT_EQ(Run(QueryCommand, {missing, "--table", "Operatori"}), 1);
  unsetenv("TILLBOOK_LOG");
  EXPECT_EQ(err_.str(), "L'archivio " + ArchivePath(missing) + " non esiste.\n");
  // Two lines of technical detail, one per failure, in the log only.
  const std::string logged = Bytes(log);
  EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 2) << logged;
  EXPECT_EQ(logged.rfind("tillbook-cli: ", 0), 0u) << logged;
}

TEST_F(ArchiveCommandTest, PathsThatCannotBeReachedGiveAnItalianMessage) {
  const std::string longName = (dir_ / std::string(300, 'n')).string();
  const std::string loop = (dir_ / "anello").string();
  fs::create_symlink(loop, loop);
  const std::string file = (dir_ / "file").string();
  Write(file, "x");
  struct Case {
    std::string dir;
    const char* message;
  } cases[] = {
      {longName, "è troppo lungo"},
      {loop, "collegamento simbolico che rimanda a sé stesso"},
      {file + "/sotto", "una sua parte non è una cartella"},
  };
  for (const Case& c : cases)
    for (Command command : {InitCommand, InfoCommand, SchemaCommand}) {
      EXPECT_EQ(Run(command, {c.dir}), 1) << c.message;
      EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    }
}

TEST_F(ArchiveCommandTest, FoldersAndFilesWithoutPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const std::string d = MakeArchive("negozio");
  const std::string path = ArchivePath(d);
  // A read-only file: reading works, writing says so plainly.
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(Run(InfoCommand, {d}), 0) << err_.str();
  EXPECT_EQ(Run(QueryCommand, {d, "--table", "Operatori"}), 0) << err_.str();
  EXPECT_EQ(Run(InitCommand, {d, "--set", "Use_Agenti=1"}), 1);
  EXPECT_EQ(err_.str(), "L'archivio è in sola lettura.\n");
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  // A read-only folder, with no work files left beside the archive.
  for (const char* side : {"-wal", "-shm"}) fs::remove(path + side);
  fs::permissions(d, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(Run(InfoCommand, {d}), 0) << err_.str();
  EXPECT_EQ(Run(InitCommand, {d, "--set", "Use_Agenti=1"}), 1);
  EXPECT_EQ(err_.str(), "L'archivio è in sola lettura.\n");
  // A folder that cannot be entered.
  fs::permissions(d, fs::perms::none, fs::perm_options::replace);
  for (Command command : {InitCommand, InfoCommand, SchemaCommand}) {
    EXPECT_EQ(Run(command, {d}), 1);
    EXPECT_NE(err_.str().find("Accesso negato"), std::string::npos) << err_.str();
  }
}

TEST_F(ArchiveCommandTest, StatusesTellAFailureOfTheArchiveFromAWrongRequest) {
  const std::string d = MakeArchive("negozio");
  struct Case {
    Command command;
    Args args;
    int status;
  } cases[] = {
      {QueryCommand, {d, "--table", "Inesistente"}, 2},
      {QueryCommand, {d, "--table", "Operatori", "--filter", "Nome ="}, 2},
      {SchemaCommand, {d, "--table", "Inesistente"}, 2},
      {QueryCommand, {(dir_ / "manca").string(), "--table", "Operatori"}, 1},
      {QueryCommand, {d, "--table"}, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.command, c.args), c.status) << c.args[1] << " " << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
}

// An archive whose "Comuni" rows span many pages, one page in the middle of them damaged.
class DamagedMidwayTest : public ArchiveCommandTest {
 protected:
  void SetUp() override {
    ArchiveCommandTest::SetUp();
    archive_ = MakeArchive("negozio");
    {
      engine::Connection c;
      c.Open(ArchivePath(archive_));
      engine::Database db(std::make_unique<data::DB>(), "Tillbook");
      db.Attach(c);
      ASSERT_TRUE(c.RunAction([&] {
        for (int i = 0; i < 3000; ++i) {
          char name[64];
          std::snprintf(name, sizeof name, "RIGA-%05d-%040d", i, i);
          if (!c.AddRow("Comuni", {{"Descrizione", Variant::String(name)}})) return false;
        }
        return true;
      }));
    }  // closed: everything in the file itself
    std::string bytes = Bytes(ArchivePath(archive_));
    // The page holding row 2000 among the table's leaves (not an index page naming it).
    size_t at = 0;
    size_t page = 0;
    while ((at = bytes.find("RIGA-02000", at)) != std::string::npos) {
      page = at / 4096;
      if (page > 0 && bytes[page * 4096] == 0x0D) break;
      ++at;
    }
    ASSERT_NE(at, std::string::npos);
    for (size_t i = 0; i < 64; ++i) bytes[page * 4096 + i] = static_cast<char>(0xEE);
    Write(ArchivePath(archive_), bytes);
  }
  std::string archive_;
};

TEST_F(DamagedMidwayTest, QueryPrintsNothingWhenReadingFailsAfterTheFirstRows) {
  {
    // The first rows can be read: the damage is met only midway through the listing.
    engine::Connection c;
    c.Open(ArchivePath(archive_), engine::Connection::Access::ReadOnly);
    engine::Database db(std::make_unique<data::DB>(), "Tillbook");
    db.Attach(c);
    engine::SelectRequest request;
    request.table = "Comuni";
    engine::DataSet ds(c, request);
    ds.First();
    EXPECT_FALSE(ds.ColValue("Descrizione").IsNull());
  }
  for (const char* format : {"tsv", "json"}) {
    EXPECT_EQ(Run(QueryCommand, {archive_, "--table", "Comuni", "--format", format}), 1) << format;
    EXPECT_EQ(out_.str(), "") << format;
    EXPECT_EQ(err_.str(), "L'archivio è danneggiato o non è un archivio valido.\n");
  }
}

TEST(CheckArgumentsTest, RefusesBytesThatAreNotUtf8AtTheDoor) {
  struct Case {
    std::vector<std::string> args;
    const char* problem;  // empty: accepted
  } cases[] = {
      {{"query", "negozio", "--filter", "Città='Forlì'"}, ""},
      {{"query", "negozio", "--table", "Clienti\xff"}, "L'argomento n. 4 non è testo valido"},
      {{"init", "negozio", "--set", "Use_Zone=\xc3"}, "L'argomento n. 4 non è testo valido"},
      {{"run", "prova.vbs", "ok", "\xed\xa0\x80"}, "L'argomento n. 4 non è testo valido"},
      {{"info", "neg\xc0\xafozio"}, "L'argomento n. 2 non è testo valido"},
  };
  for (const Case& c : cases) {
    const std::string problem = CheckArguments(c.args);
    if (*c.problem == '\0')
      EXPECT_EQ(problem, "");
    else
      EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
  }
  setenv("TILLBOOK_LOCK_WAIT", "cinque", 1);
  EXPECT_NE(CheckArguments({"info", "negozio"}).find("TILLBOOK_LOCK_WAIT"), std::string::npos);
  unsetenv("TILLBOOK_LOCK_WAIT");
}

}  // namespace
}  // namespace tillbook::cli
