// The archive commands and the terminal's stand-in for the person.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/variant.h"
#include "cli/commands.h"
#include "cli/console_ui.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  std::ostringstream out_, err_;
};

TEST_F(CliTest, InitCreatesThenUpdatesTheArchive) {
  const std::string d = (dir_ / "negozio").string();
  ASSERT_EQ(InitCommand({d}, out_, err_), 0) << err_.str();
  EXPECT_TRUE(fs::exists(ArchivePath(d)));
  EXPECT_EQ(out_.str(), "Archivio creato: " + ArchivePath(d) + "\n");
  out_.str("");
  ASSERT_EQ(InitCommand({d}, out_, err_), 0) << err_.str();
  EXPECT_EQ(out_.str(), "Archivio aggiornato: " + ArchivePath(d) + "\n");
  out_.str("");
  ASSERT_EQ(InfoCommand({d}, out_, err_), 0) << err_.str();
  EXPECT_NE(out_.str().find("Tabelle: "), std::string::npos);
}

TEST_F(CliTest, BadArgumentsAndBadFilesFailWithAMessage) {
  EXPECT_EQ(InitCommand({}, out_, err_), 2);
  EXPECT_EQ(InfoCommand({"a", "b"}, out_, err_), 2);
  EXPECT_EQ(InfoCommand({(dir_ / "manca").string()}, out_, err_), 1);
  EXPECT_NE(err_.str().find("non esiste"), std::string::npos);
  // A file that is not an archive is refused, never overwritten.
  fs::create_directories(dir_);
  { std::ofstream(ArchivePath(dir_.string())) << "testo qualunque"; }
  err_.str("");
  EXPECT_EQ(InitCommand({dir_.string()}, out_, err_), 1);
  EXPECT_FALSE(err_.str().empty());
  std::ifstream in(ArchivePath(dir_.string()));
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "testo qualunque");
}

TEST(ConsoleUiTest, PrintsOneLinePerMessageAndAnswersFromTheQueue) {
  std::ostringstream err;
  ConsoleUi console(err, {false}, true);
  engine::UiServices& ui = console;
  using engine::Answer;
  using engine::Buttons;
  EXPECT_EQ(ui.MessageBox("Riga uno\r\nRiga due", Buttons::Ok), Answer::Ok);
  EXPECT_EQ(ui.MessageBox("Confermi ?", Buttons::YesNo), Answer::No);       // queued
  EXPECT_EQ(ui.MessageBox("Continuare ?", Buttons::OkCancel), Answer::Ok);  // default
  EXPECT_EQ(err.str(), "MSG Riga uno\\nRiga due\nMSG Confermi ?\nMSG Continuare ?\n");
}

// The query command on an archive with two customers.
class QueryCommandTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    archive_ = (dir_ / "negozio").string();
    ASSERT_EQ(InitCommand({archive_}, out_, err_), 0) << err_.str();
    engine::Connection connection;
    connection.Open(ArchivePath(archive_));
    engine::Database database(std::make_unique<data::DB>(data::TableSwitches{}), "Tillbook");
    database.Attach(connection);
    auto roma = connection.AddRow(
        "Comuni", {{"Descrizione", Variant::String("Roma")}, {"CAP", Variant::String("00100")}});
    ASSERT_TRUE(roma);
    ASSERT_TRUE(connection.AddRow("Clienti",
                                  {{"Codice", Variant::String("ROSSI")},
                                   {"RagioneSociale", Variant::String("Rossi Mario")},
                                   {"Città", Variant::Double(static_cast<double>(roma->Oid()))}}));
    ASSERT_TRUE(
        connection.AddRow("Clienti", {{"Codice", Variant::String("BIANCHI")},
                                      {"RagioneSociale", Variant::String("Bianchi\tSrl")}}));
    connection.Flush();
    out_.str("");
  }
  // Runs the query command on the archive; the output and messages go to out_ and err_.
  int Query(Args args) {
    out_.str("");
    err_.str("");
    args.insert(args.begin(), archive_);
    return QueryCommand(args, out_, err_);
  }
  std::string archive_;
};

TEST_F(QueryCommandTest, PrintsAHeaderLineAndOneLinePerRow) {
  const Args request = {"--table",  "Clienti",
                        "--fields", "Codice,RagioneSociale,Città.CAP AS CAP",
                        "--sort",   "Codice DESC"};
  ASSERT_EQ(Query(request), 0) << err_.str();
  // A tab inside a value would split its line: it is printed as a blank.
  EXPECT_EQ(out_.str(),
            "Codice\tRagioneSociale\tCAP\n"
            "ROSSI\tRossi Mario\t00100\n"
            "BIANCHI\tBianchi Srl\t\n");
  Args json = request;
  json.insert(json.end(), {"--format", "json", "--filter", "Città.CAP='00100'"});
  ASSERT_EQ(Query(json), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "[{\"Codice\":\"ROSSI\",\"RagioneSociale\":\"Rossi Mario\",\"CAP\":\"00100\"}]\n");
  // No rows: the header alone, or an empty array.
  ASSERT_EQ(Query({"--table", "Clienti", "--fields", "Codice", "--filter", "Codice='NESSUNO'"}), 0);
  EXPECT_EQ(out_.str(), "Codice\n");
  ASSERT_EQ(Query({"--table", "Clienti", "--filter", "Codice='NESSUNO'", "--format", "json"}), 0);
  EXPECT_EQ(out_.str(), "[]\n");
}

TEST_F(QueryCommandTest, RefusedRequestsExitWithStatusTwoAndTheMessage) {
  struct Case {
    Args args;
    const char* message;
  } cases[] = {
      {{"--table", "Clienti", "--filter", "Codice = 'x' OR (1=1"}, "Parentesi non chiusa"},
      {{"--table", "Clienti", "--filter", "Codce = 'ROSSI'"}, "Campo sconosciuto «Codce»"},
      {{"--table", "Clienti", "--sort", "Nessuno"}, "Campo sconosciuto «Nessuno»"},
      {{"--table", "Clienti", "--fields", "Codice,Left(Codice) AS Iniziale"}, "Left"},
      {{"--table", "Clienti", "--filter", "1=1; DROP TABLE Clienti"}, "«;»"},
      {{"--table", "Clienti", "--format", "xml"}, "Uso: tillbook-cli query"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Query(c.args), 2) << c.message;
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "") << c.message;
  }
}

TEST_F(QueryCommandTest, SmuggledStatementsNeverRun) {
  // Text inside a literal stays a value to compare, quotes doubled or not.
  for (const char* filter :
       {"Codice='x''; DROP TABLE Clienti; --'", "Codice=\"x\"\"; DELETE FROM Clienti; --\"",
        "RagioneSociale Like '*'' OR ''1''=''1*'"}) {
    EXPECT_EQ(Query({"--table", "Clienti", "--fields", "Codice", "--filter", filter}), 0)
        << filter << ": " << err_.str();
    EXPECT_EQ(out_.str(), "Codice\n") << filter;
  }
  EXPECT_EQ(Query({"--table", "Clienti", "--filter", "1=1; DROP TABLE Clienti"}), 2);
  ASSERT_EQ(Query({"--table", "Clienti", "--fields", "Codice", "--sort", "Codice"}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(), "Codice\nBIANCHI\nROSSI\n");
}

// Requests that once failed with the archive's error or printed nothing useful.
TEST_F(QueryCommandTest, DialectRequestsEndToEnd) {
  ASSERT_EQ(Query({"--table", "Clienti", "--fields", "Codice, 1 AS Uno", "--sort", "Codice",
                   "--format", "json"}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), "[{\"Codice\":\"BIANCHI\",\"Uno\":1},{\"Codice\":\"ROSSI\",\"Uno\":1}]\n");
  for (const char* fields : {"OID", "*,OID", "[OID]", "OID AS OID"}) {
    ASSERT_EQ(Query({"--table", "Clienti", "--fields", fields, "--filter", "Codice = 'ROSSI'",
                     "--format", "json"}),
              0)
        << fields << ": " << err_.str();
    EXPECT_NE(out_.str().find("\"OID\":"), std::string::npos) << fields << ": " << out_.str();
  }
  std::string chain = "Codice = 'x0'";
  for (int i = 1; i < 300; ++i) chain += " Or Codice = 'x" + std::to_string(i) + "'";
  ASSERT_EQ(Query({"--table", "Clienti", "--fields", "Codice", "--filter", chain + " Or OID > 0",
                   "--sort", "Codice"}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), "Codice\nBIANCHI\nROSSI\n");
  // The scrambled passwords are out of reach of every query text.
  ASSERT_EQ(Query({"--table", "Operatori", "--format", "json"}), 0) << err_.str();
  EXPECT_EQ(out_.str().find("Password"), std::string::npos) << out_.str();
  struct Case {
    Args args;
    const char* message;
  } refused[] = {
      {{"--table", "Clienti", "--filter", "RagioneSociale = 'Bar dell'Angolo'"}, "«dell''Angolo»"},
      {{"--table", "Clienti", "--sort", "1"}, "Un numero non indica una colonna"},
      {{"--table", "Clienti", "--fields", ","}, "Elenco dei campi vuoto"},
      {{"--table", "Clienti", "--filter", "(SELECT Max(Password) FROM Operatori) = ''"},
       "Campo sconosciuto «Password»"},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(Query(c.args), 2) << c.message;
    EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
  }
}

}  // namespace
}  // namespace tillbook::cli
