// tillbook-cli run: scripts with WScript, the archive's data sets, questions answered from the
// command line, errors with their script line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

class RunTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("tillbook-run-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    std::ostringstream out, err;
    ASSERT_EQ(InitCommand({(dir_ / "negozio").string()}, out, err), 0) << err.str();
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  int Run(const std::string& source, Args extra = {}) {
    const fs::path script = dir_ / "prova.vbs";
    std::ofstream(script) << source;
    Args args{script.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    out_.str("");
    err_.str("");
    return RunCommand(args, out_, err_);
  }
  static std::string Archive() { return (dir_ / "negozio").string(); }

  static fs::path dir_;
  std::ostringstream out_, err_;
};

fs::path RunTest::dir_;

TEST_F(RunTest, EchoArgumentsAndQuit) {
  EXPECT_EQ(Run("WScript.Echo \"a\", 1.5, True, #03/05/2024#, Null\n"
                "WScript.Echo WScript.Arguments.Count & \":\" & WScript.Arguments(1)\n"
                "For Each a In WScript.Arguments: WScript.Echo a: Next\n"
                "WScript.Quit 7\nWScript.Echo \"mai\"\n",
                {"uno", "due"}),
            7);
  EXPECT_EQ(out_.str(), "a 1,5 True 05/03/2024 \n2:due\nuno\ndue\n");
}

TEST_F(RunTest, QuestionsTakeTheGivenAnswersThenTheDefault) {
  const std::string script =
      "WScript.Echo MsgBox(\"Uno\", vbYesNo), MsgBox(\"Due\" & vbCrLf & \"righe\", vbYesNo), "
      "MsgBox(\"Tre\", vbOKCancel), MsgBox(\"Avviso\")\n";
  EXPECT_EQ(Run(script, {"--answers", "no,yes"}), 0);
  EXPECT_EQ(out_.str(), "7 6 1 1\n");
  EXPECT_EQ(err_.str(), "MSG Uno\nMSG Due\\nrighe\nMSG Tre\nMSG Avviso\n");
  EXPECT_EQ(Run(script, {"--default-answer", "no"}), 0);
  EXPECT_EQ(out_.str(), "7 7 2 1\n");
}

TEST_F(RunTest, ReadsAndWritesTheArchiveThroughDataSets) {
  const std::string script =
      "Set ds = Database.OpenTable(\"Causali\", \"Reso And Not InConto\", \"\", \"Descrizione\")\n"
      "WScript.Echo ds.RowCount(True)\n"
      "Do While Not ds.RowInvalid\n"
      "  WScript.Echo ds.ColValue(\"Descrizione\"), ds.FormattedColValue(\"Abilitato\")\n"
      "  ds.ColValue(\"Abilitato\") = False\n"
      "  ds.RowNext\n"
      "Loop\n";
  ASSERT_EQ(Run(script, {"--archive", Archive()}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "2\nNOTA DI CREDITO Sì\nRESO Sì\n");
  ASSERT_EQ(Run("Set ds = Database.OpenTable(\"Causali\", \"Not Abilitato\")\n"
                "WScript.Echo ds.RowCount(True)\n",
                {"--archive", Archive()}),
            0);
  EXPECT_EQ(out_.str(), "2\n");  // stored: a second run sees them
}

// New rows of a script take the defaults of the person's settings file, as in the desktop
// program: here a code length of 3 for customers.
TEST_F(RunTest, NewRowsTakeTheDefaultsOfTheSettingsFile) {
  const fs::path settings = dir_ / "Tillbook.ini";
  std::ofstream(settings) << "[Configuration]\nProgrLen_ClientiForn=3\n";
  ::setenv("TILLBOOK_SETTINGS", settings.c_str(), 1);
  const int status = Run(
      "Set c = Database.OpenTable(\"Clienti\")\n"
      "c.AddRow\n"
      "WScript.Echo c.ColValue(\"Codice\")\n",
      {"--archive", Archive()});
  ::unsetenv("TILLBOOK_SETTINGS");
  ASSERT_EQ(status, 0) << err_.str();
  EXPECT_EQ(out_.str(), "001\n");
}

// A change a table refuses is an error the script can catch; the row keeps its value and the
// refusal is shown as a message.
TEST_F(RunTest, RefusedChangeIsACatchableScriptError) {
  const std::string script =
      "Set ds = Database.OpenTable(\"Comuni\", \"\", \"\", \"Descrizione\")\n"
      "ds.RowFirst\n"
      "On Error Resume Next\n"
      "ds.ColValue(\"Descrizione\") = \"Nuova\"\n"
      "WScript.Echo Err.Number, Err.Description\n"
      "Err.Clear\n"
      "WScript.Echo \"[\" & ds.ColValue(\"Descrizione\") & \"]\"\n";
  ASSERT_EQ(Run(script, {"--archive", Archive()}), 0) << err_.str();
  EXPECT_EQ(out_.str(), "3426 Non è possibile modificare questo elemento\n[]\n");
  EXPECT_EQ(err_.str(), "MSG Non è possibile modificare questo elemento\n");
  // Without On Error the script stops with the refusal's text and its line.
  EXPECT_EQ(Run("Set ds = Database.OpenTable(\"Comuni\", \"\", \"\", \"Descrizione\")\n"
                "ds.RowFirst\nds.ColValue(\"Descrizione\") = \"Nuova\"\n",
                {"--archive", Archive()}),
            3);
  EXPECT_EQ(err_.str(), "MSG Non è possibile modificare questo elemento\n"
                        "Non è possibile modificare questo elemento\nLinea VB: 3\n");
}

TEST_F(RunTest, AReferenceTakesTheTextItShowsWhenNoCodeNamesIt) {
  const std::string script =
      "Set v = Database.OpenTable(\"Vendite\")\n"
      "v.AddRow\n"
      "v.ColValue(\"TipoDocumento\") = \"FATTURA\"\n"
      "v.Save\n"
      "Set t = Database.OpenTable(\"TipiDocumento\", \"Descrizione='FATTURA'\")\n"
      "WScript.Echo v.ColValue(\"TipoDocumento\") = t.ColValue(\"OID\"), v.ColValue(\"Numero\")\n"
      "Set p = Database.OpenTable(\"PagamentiCliente\")\n"
      "p.AddRow\n"
      "p.ColValue(\"TipoPagamento\") = \"RI.BA. 30/60/90\"\n"
      "WScript.Echo p.ColValue(\"NumeroRate\")\n"
      "On Error Resume Next\n"
      "v.ColValue(\"TipoDocumento\") = \"NESSUNO\"\n"
      "WScript.Echo Err.Description\n";
  ASSERT_EQ(Run(script, {"--archive", Archive()}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "True 1\n3\nNessun elemento di TipiDocumento con Descrizione = NESSUNO.\n");
}

TEST_F(RunTest, ErrorsCarryTheScriptLineAndStatus3) {
  EXPECT_EQ(Run("x = 1\n\ny = x / 0\n"), 3);
  EXPECT_EQ(err_.str(), "Divisione per zero\nLinea VB: 3\n");
  EXPECT_EQ(Run("If True Then\n"), 3);
  EXPECT_NE(err_.str().find("Linea VB: "), std::string::npos);
  // The sandbox: nothing outside what the program hands in.
  EXPECT_EQ(Run("Set f = CreateObject(\"Scripting.FileSystemObject\")\n"), 3);
  EXPECT_EQ(Run("Set d = Database.OpenTable(\"Causali\")\n"), 3);  // no archive given
  EXPECT_EQ(Run("Set d = Database.OpenTable(\"Causali\", \"Reso =\")\n", {"--archive", Archive()}),
            3);
  EXPECT_NE(err_.str().find("Espressione incompleta"), std::string::npos) << err_.str();
  EXPECT_EQ(Run("WScript.Echo 1\n", {"--answers", "forse"}), 2);
  EXPECT_EQ(RunCommand({(dir_ / "manca.vbs").string()}, out_, err_), 1);
}

TEST_F(RunTest, RefusesWhatIsNotAScriptText) {
  // A folder or a missing file is a file problem (status 1), not wrong usage.
  EXPECT_EQ(RunCommand({dir_.string()}, out_, err_), 1);
  EXPECT_EQ(err_.str(),
            "Impossibile leggere lo script " + dir_.string() + ": è una cartella, non un file.\n");
  err_.str("");
  EXPECT_EQ(RunCommand({(dir_ / "manca.vbs").string()}, out_, err_), 1);
  EXPECT_NE(err_.str().find("il file non esiste"), std::string::npos) << err_.str();
  // Text that is not UTF-8 (here Windows-1252 "è") is refused at the door, naming its line
  // as the interpreter counts lines.
  const std::string script = (dir_ / "prova.vbs").string();
  struct Case {
    const char* name;
    std::string source;
    int line;
  } cases[] = {
      {"LF", "x = 1\ny = \"caff\xe8\"\n", 2},
      {"CR LF", "x = 1\r\ny = 2\r\nz = \"\xe8\"\r\n", 3},
      {"lone CR", "x = 1\ry = 2\r\xff", 3},
      {"cut sequence", "WScript.Echo \"\xc3\"", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.source), 1) << c.name;
    EXPECT_EQ(err_.str(), "Lo script " + script + " non è testo UTF-8 valido (linea " +
                              std::to_string(c.line) + "): salvarlo con la codifica UTF-8.\n")
        << c.name;
    EXPECT_EQ(out_.str(), "") << c.name;  // nothing ran
  }
  // A byte order mark at the start is accepted and skipped.
  EXPECT_EQ(Run("\xEF\xBB\xBFWScript.Echo \"caffè\"\r\n"), 0) << err_.str();
  EXPECT_EQ(out_.str(), "caffè\n");
}

TEST_F(RunTest, TimeoutStopsAnEndlessScript) {
  // Not even On Error Resume Next keeps it going.
  EXPECT_EQ(Run("n = 0\nOn Error Resume Next\nDo\n  n = n + 1\nLoop\n", {"--timeout", "1"}), 3);
  EXPECT_EQ(err_.str(), "Esecuzione interrotta: superato il tempo massimo di 1 s\nLinea VB: 3\n");
  EXPECT_EQ(Run("Function F(n)\n  F = F(n)\nEnd Function\nOn Error Resume Next\nWhile True\n"
                "  x = F(1)\nWend\n",
                {"--timeout", "0.5"}),
            3);
  EXPECT_NE(err_.str().find("tempo massimo di 0.5 s"), std::string::npos) << err_.str();
  // A script that ends in time is not touched, and does not wait for the timer.
  EXPECT_EQ(Run("WScript.Echo 1\n", {"--timeout", "600"}), 0);
  EXPECT_EQ(out_.str(), "1\n");
  for (const char* wrong : {"0", "-1", "abc", "1s"}) {
    EXPECT_EQ(Run("WScript.Echo 1\n", {"--timeout", wrong}), 2) << wrong;
    EXPECT_NE(err_.str().find("Tempo massimo non valido"), std::string::npos) << wrong;
  }
}

}  // namespace
}  // namespace tillbook::cli
