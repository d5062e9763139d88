// The archive file itself: what opening refuses (and never writes), creation that is whole or
// absent, tables stored by a newer program, read-only opening, readers beside a writer and a
// writer waiting for another.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/testing/file_bytes.h"
#include "base/error.h"
#include "engine/dataset.h"
#include "engine/test/fixture.h"

namespace tillbook::engine::test {
namespace {

namespace fs = std::filesystem;
using tillbook::testing::Bytes;
using tillbook::testing::Write;
using Access = Connection::Access;

// Runs SQL on a file through SQLite alone, as another tool would.
void RawSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

bool HasLogContent(const std::string& path) {
  return fs::exists(path + "-wal") && fs::file_size(path + "-wal") > 0;
}

// The message of the Error `body` throws; fails the test when it throws none.
template <class Body>
std::string MessageOf(Body&& body) {
  try {
    body();
  } catch (const Error& e) {
    return e.message();
  }
  ADD_FAILURE() << "no error";
  return {};
}

TEST_F(ArchiveTest, OpeningRefusesFilesThatAreNoArchiveAndLeavesThemAsTheyWere) {
  Add("TArticoli", {{"Codice", S("A1")}});
  conn_.reset();  // everything into the file
  const std::string archive = Bytes(path_);
  std::mt19937 random(7);
  std::string noise(5000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  const std::string foreign = (dir_ / "estraneo.db").string();
  RawSql(foreign, "CREATE TABLE Clienti (Nome TEXT); INSERT INTO Clienti VALUES ('Rossi');");
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"vuoto", "", "è vuoto: non è un archivio del programma"},
      {"testo", "Codice;Descrizione\nA1;Vite\n", "non è un archivio del programma"},
      {"casuale", noise, "non è un archivio del programma"},
      {"troncato", archive.substr(0, archive.size() / 2), "danneggiato"},
      {"estraneo", Bytes(foreign), "non è un archivio del programma"},
  };
  for (const Case& c : cases) {
    const std::string file = (dir_ / (std::string(c.name) + ".mdb")).string();
    Write(file, c.bytes);
    for (Access access : {Access::ReadWrite, Access::ReadOnly}) {
      Connection connection;
      const std::string message = MessageOf([&] { connection.Open(file, access); });
      EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
      EXPECT_FALSE(connection.IsOpen()) << c.name;
      EXPECT_EQ(Bytes(file), c.bytes) << c.name;
    }
  }
}

TEST_F(ArchiveTest, TablesStoredByANewerProgramAreRefusedAndNothingIsWritten) {
  Reopen(TestOptions{.articoliColore = true});  // TArticoli at version 2, with "Colore"
  ASSERT_DOUBLE_EQ(Database::StoredVersion(conn(), "TArticoli"), 2);
  conn_.reset();
  const std::string before = Bytes(path_);
  for (Access access : {Access::ReadWrite, Access::ReadOnly}) {
    Connection older;
    older.Open(path_, access);
    Database definitions(MakeTestDatabase(), "Tillbook");
    const std::string message = MessageOf([&] { definitions.Attach(older); });
    EXPECT_NE(message.find("creato da una versione più recente del programma"), std::string::npos)
        << message;
    EXPECT_NE(message.find("TArticoli"), std::string::npos) << message;
    EXPECT_DOUBLE_EQ(Database::StoredVersion(older, "TArticoli"), 2);
    // Forcing the structure check changes nothing either.
    EXPECT_THROW(definitions.Attach(older, true), Error);
  }
  EXPECT_EQ(Bytes(path_), before);
  EXPECT_FALSE(HasLogContent(path_));
}

TEST_F(ArchiveTest, AReadOnlyConnectionReadsAndRefusesToWrite) {
  const auto art = Add("TArticoli", {{"Codice", S("A1")}});
  conn_.reset();
  const std::string before = Bytes(path_);
  Connection reader(&ui_);
  reader.Open(path_, Access::ReadOnly);
  EXPECT_TRUE(reader.readOnly());
  Database definitions(MakeTestDatabase(), "Tillbook");
  definitions.Attach(reader);
  EXPECT_EQ(reader.GetRow("TArticoli", art.Oid())->Get("Codice").AsString(), "A1");
  EXPECT_EQ(MessageOf([&] {
              reader.AddRow("TArticoli", {{"Codice", S("A2")}});
            }),
            "L'archivio è in sola lettura.");
  // Definitions ahead of the archive cannot be brought in without writing.
  Database newer(MakeTestDatabase(TestOptions{.articoliColore = true}), "Tillbook");
  EXPECT_THROW(newer.Attach(reader), ArchiveNeedsUpdate);
  reader.Close();
  EXPECT_EQ(Bytes(path_), before);
}

// Another workstation holds the write lock with changes not yet committed, while `during`
// runs.
template <class During>
void WhileAnotherWrites(Connection& writer, During&& during) {
  ASSERT_TRUE(writer.RunAction([&] {
    EXPECT_TRUE(writer.AddRow("TArticoli", {{"Codice", Variant::String("IN-CORSO")}}));
    writer.Flush();
    during();
    return true;
  }));
}

TEST_F(ArchiveTest, ReadersBesideAWriterReadAtOnceAndSeeOnlyCommittedRows) {
  const int64_t before = conn().Count("TArticoli");
  WhileAnotherWrites(conn(), [&] {
    for (Access access : {Access::ReadOnly, Access::ReadWrite}) {
      Connection reader;
      reader.SetLockWait(std::chrono::milliseconds(0));  // any wait would fail at once
      reader.Open(path_, access);
      Database definitions(MakeTestDatabase(), "Tillbook");
      definitions.Attach(reader);
      EXPECT_EQ(reader.Count("TArticoli"), before);
      SelectRequest request;
      request.table = "TArticoli";
      request.filter = "Codice='IN-CORSO'";
      DataSet ds(reader, request);
      EXPECT_EQ(ds.RowCount(), 0);
    }
  });
}

TEST_F(ArchiveTest, ASecondWriterWaitsTheSetTimeWithProgressThenGivesUp) {
  const auto wait = std::chrono::milliseconds(300);
  WhileAnotherWrites(conn(), [&] {
    ScriptedUi person;
    Connection second(&person);
    second.SetLockWait(wait);
    second.Open(path_);
    Database definitions(MakeTestDatabase(), "Tillbook");
    definitions.Attach(second);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MessageOf([&] {
                second.AddRow("TArticoli", {{"Codice", S("ALTRO")}});
              }),
              "L'archivio è in uso da un'altra postazione, riprovare fra qualche istante.");
    EXPECT_GE(std::chrono::steady_clock::now() - start, wait);
    ASSERT_GE(person.log().size(), 2u);
    EXPECT_EQ(person.log().front().rfind("PROGRESS L'archivio è in uso", 0), 0u)
        << person.log().front();
    EXPECT_EQ(person.log().back(), "PROGRESS END");

    // Stop gives up before the time is over.
    ScriptedUi impatient;
    impatient.StopProgressAt(2);
    second.SetUi(&impatient);
    second.SetLockWait(std::chrono::minutes(10));
    const auto stopped = std::chrono::steady_clock::now();
    EXPECT_THROW(second.AddRow("TArticoli", {{"Codice", S("ALTRO")}}), Error);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::minutes(5));
    EXPECT_EQ(impatient.log().back(), "PROGRESS END");
  });
  // Once the lock is free the same writer goes through.
  Connection later;
  later.Open(path_);
  Database definitions(MakeTestDatabase(), "Tillbook");
  definitions.Attach(later);
  EXPECT_TRUE(later.AddRow("TArticoli", {{"Codice", S("DOPO")}}));
}

TEST_F(ArchiveTest, AReadTransactionSeesOneStateOfTheArchive) {
  Connection reader;
  reader.Open(path_);
  Database definitions(MakeTestDatabase(), "Tillbook");
  definitions.Attach(reader);
  const int64_t before = reader.Count("TArticoli");
  {
    ReadTransaction read(reader);
    EXPECT_EQ(reader.Count("TArticoli"), before);
    Add("TArticoli", {{"Codice", S("NUOVO")}});
    EXPECT_EQ(reader.Count("TArticoli"), before);
    EXPECT_EQ(MessageOf([&] {
                reader.AddRow("TArticoli", {{"Codice", S("X")}});
              }),
              "Impossibile modificare l'archivio durante una lettura.");
  }
  EXPECT_EQ(reader.Count("TArticoli"), before + 1);
}

TEST_F(ArchiveTest, AnArchiveInStepIsNotWrittenWhenAttached) {
  conn_.reset();
  const std::string before = Bytes(path_);
  Connection again;
  again.Open(path_);
  Database definitions(MakeTestDatabase(), "Tillbook");
  definitions.Attach(again);
  again.Close();
  EXPECT_EQ(Bytes(path_), before);
  EXPECT_FALSE(HasLogContent(path_));
}

// A child process that has ended: its id names no running process.
long EndedProcessId() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

TEST_F(ArchiveTest, ACreationAppearsWholeUnderItsNameOrNotAtAll) {
  const std::string path = (dir_ / "nuovo.mdb").string();
  const std::string staging = Connection::StagingPath(path);
  // What creations of ended processes left is cleared; a running one's files are not touched.
  const std::string stale = path + ".nuovo-" + std::to_string(EndedProcessId());
  const std::string running = path + ".nuovo-" + std::to_string(getppid());
  for (const std::string& f : {stale, stale + "-wal", running}) Write(f, "x");
  {
    Connection creating;
    creating.BeginCreate(path);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(stale + "-wal"));
    EXPECT_TRUE(fs::exists(running));
    Database definitions(MakeTestDatabase(), "Tillbook");
    definitions.Attach(creating);
    creating.Close();  // given up before the end: nothing stays
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(staging));

  Connection creating;
  creating.BeginCreate(path);
  Database definitions(MakeTestDatabase(), "Tillbook");
  definitions.Attach(creating);
  ASSERT_TRUE(creating.AddRow("TArticoli", {{"Codice", S("PRIMO")}}));
  creating.FinishCreate();
  EXPECT_EQ(creating.path(), path);
  for (const char* side : {"", "-journal", "-wal", "-shm"})
    EXPECT_FALSE(fs::exists(staging + side)) << side;
  // The file holds everything by itself, in the WAL journal (header bytes 18 and 19).
  const std::string bytes = Bytes(path);
  ASSERT_GT(bytes.size(), 20u);
  EXPECT_EQ(bytes[18], 2);
  EXPECT_EQ(bytes[19], 2);
  EXPECT_EQ(creating.FindOids("TArticoli", "Codice", S("PRIMO")).size(), 1u);
  EXPECT_THROW(Connection().Create(path), Error);
}

TEST_F(ArchiveTest, ALogLeftByAnEarlierFileOfTheSameNameIsNotReadIntoANewArchive) {
  // An archive with committed changes still in its log, copied while open, as a file deleted
  // by hand would leave its log behind.
  Add("TArticoli", {{"Codice", S("VECCHIO")}});
  ASSERT_TRUE(HasLogContent(path_));
  const std::string path = (dir_ / "nuovo.mdb").string();
  fs::copy_file(path_ + "-wal", path + "-wal");
  Connection fresh;
  fresh.Create(path);
  Database definitions(MakeTestDatabase(), "Tillbook");
  definitions.Attach(fresh);
  EXPECT_TRUE(fresh.FindOids("TArticoli", "Codice", S("VECCHIO")).empty());
  EXPECT_EQ(fresh.Count("TArticoli"), 1);  // the placeholder article alone
}

TEST_F(ArchiveTest, InspectTellsAnUnfinishedCreationFromAnythingElse) {
  const std::string empty = (dir_ / "vuoto.mdb").string();
  Write(empty, "");
  const std::string noTables = (dir_ / "senza-tabelle.mdb").string();
  RawSql(noTables, "PRAGMA journal_mode=WAL");
  const std::string text = (dir_ / "testo.mdb").string();
  Write(text, "testo");
  struct Case {
    std::string path;
    Connection::FileState state;
  } cases[] = {
      {(dir_ / "manca.mdb").string(), Connection::FileState::Missing},
      {empty, Connection::FileState::Unfinished},
      {noTables, Connection::FileState::Unfinished},
      {text, Connection::FileState::Other},
      {path_, Connection::FileState::Other},
      {dir_.string(), Connection::FileState::Other},
  };
  for (const Case& c : cases) EXPECT_EQ(Connection::Inspect(c.path), c.state) << c.path;
  EXPECT_EQ(Bytes(empty), "");
}

}  // namespace
}  // namespace tillbook::engine::test
