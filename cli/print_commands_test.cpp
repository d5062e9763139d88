// tillbook-cli layout, print and labels through the program itself: a layout file imported and
// exported back byte for byte, a report recorded (positions checked) and written as a PDF (read
// back with pdftotext), labels placed after skipped ones, and the refusals with their statuses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/table_switches.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"

extern char** environ;

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Lines of a list of banks: name at each row, and the count in the totals mask.
constexpr const char* kReportFile =
    "'#ReportName=Elenco banche\r\n"
    "'#ReportGroup=Banche\r\n"
    "'#BackImageFile=\r\n"
    "'#BottomImageBorder=0\r\n"
    "'#Columns=1\r\n"
    "'#ReportHeight=100\r\n"
    "'#ReportWidth=200\r\n"
    "'#ReportTop=5\r\n"
    "'#ReportLeft=5\r\n"
    "'#ReportRowsDim=5\r\n"
    "'#ReportRowsTop=20\r\n"
    "'#ReportRowsBottom=60\r\n"
    "'#HorizontalOrientation=False\r\n"
    "Function PrintReportRow(dsRow, prn, nRow)\r\n"
    "  prn.TxtOut 0, 0, dsRow.ColValue(\"Nome\")\r\n"
    "  PrintReportRow = True\r\n"
    "End Function\r\n"
    "Function PrintReportMask(ds, prn, bTotal)\r\n"
    "  If bTotal Then prn.TxtOut 0, 0, \"Banche stampate\"\r\n"
    "  PrintReportMask = True\r\n"
    "End Function\r\n";

constexpr const char* kLabelFile =
    "'#Columns=2\r\n"
    "'#LabelHeight=30,5\r\n"
    "'#LabelWidth=100\r\n"
    "'#LabelTop=10\r\n"
    "'#LabelLeft=5\r\n"
    "'#HorizontalOrientation=Falso\r\n"
    "'#EnableLabelAlignment=Vero\r\n"
    "'#CopyNumber=1\r\n"
    "Function PrintLabel(ds, prn)\r\n"
    "  prn.TxtOut 0, 0, ds.ColValue(\"Nome\")\r\n"
    "  PrintLabel = True\r\n"
    "End Function";

class PrintCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook-print-cli-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ::setenv("TILLBOOK_SETTINGS", (dir_ / "Tillbook.ini").c_str(), 1);
    archive_ = (dir_ / "shop").string();
    ASSERT_EQ(Cli({"init", archive_, "--set", "EnableGenericLabel=true"}), 0) << err_;
    engine::Connection c;
    c.Open(ArchivePath(archive_));
    engine::Database db(std::make_unique<data::DB>(core::StoredSwitches(c)), "Tillbook");
    db.Attach(c);
    for (const char* name : {"Cassa Gamma", "Banca Alfa", "Banca Beta"})
      c.AddRow("Banche", {{"Nome", Variant::String(name)}});
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program; its exit status, with its outputs in out_ and err_.
  int Cli(std::vector<std::string> args) {
    std::vector<std::string> all{TILLBOOK_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = (dir_ / "stdout").string(), err = (dir_ / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
      waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    out_ = Slurp(out);
    err_ = Slurp(err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  void ImportReport(const std::string& text = kReportFile) {
    Write(Path("in.vbs"), text);
    ASSERT_EQ(Cli({"layout", "import", archive_, Path("in.vbs"), "--table", "Banche"}), 0) << err_;
  }
  std::vector<std::string> Print(std::vector<std::string> extra) {
    std::vector<std::string> args{"print",    archive_,     "--table", "Banche",
                                  "--filter", "Nome <> ''", "--sort",  "Nome"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  fs::path dir_;
  std::string archive_, out_, err_;
};

// The system's print service stands in as a script named lp first on PATH: it keeps the document
// it was given and its arguments, and refuses a printer called "Spenta".
TEST_F(PrintCliTest, APrinterGetsTheFinishedDocumentThroughThePrintService) {
  ImportReport();
  fs::create_directories(dir_ / "bin");
  Write(dir_ / "bin" / "lp",
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + Path("lp.args") +
            "\"\nfor a; do last=$a; [ \"$a\" = Spenta ] && exit 1; done\n/bin/cp \"$last\" \"" +
            Path("printed.pdf") + "\"\n");
  fs::permissions(dir_ / "bin" / "lp", fs::perms::owner_all);
  const std::string path = ::getenv("PATH");
  ::setenv("PATH", (dir_ / "bin").c_str(), 1);

  EXPECT_EQ(Cli(Print({"--printer", "Laser ufficio"})), 0) << err_;
  EXPECT_EQ(Slurp(Path("lp.args")).substr(0, 32), "-s\n-t\nTillbook\n-d\nLaser ufficio\n");
  ASSERT_TRUE(fs::exists(Path("printed.pdf")));
  ::setenv("PATH", path.c_str(), 1);
  ASSERT_EQ(std::system(("pdftotext " + Path("printed.pdf") + " " + Path("printed.txt")).c_str()),
            0);
  EXPECT_NE(Slurp(Path("printed.txt")).find("Banca Beta"), std::string::npos);

  ::setenv("PATH", (dir_ / "bin").c_str(), 1);
  EXPECT_EQ(Cli(Print({"--printer", "Spenta"})), 1);
  EXPECT_NE(err_.find("La stampante «Spenta» non ha accettato la stampa."), std::string::npos)
      << err_;
  ::setenv("PATH", (dir_ / "nothing").c_str(), 1);
  EXPECT_EQ(Cli(Print({"--printer", ""})), 1);
  EXPECT_NE(err_.find("Impossibile stampare sulla stampante predefinita: il servizio di stampa "
                      "del sistema (lp) non è disponibile."),
            std::string::npos)
      << err_;
  ::setenv("PATH", path.c_str(), 1);
  for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
    EXPECT_EQ(entry.path().filename().string().find("tillbook-stampa-"), std::string::npos);
}

TEST_F(PrintCliTest, LayoutFileImportedThenExportedIsTheSameBytes) {
  ImportReport();
  EXPECT_EQ(out_, "Prospetto di stampa importato: Elenco banche\n");
  ASSERT_EQ(Cli({"layout", "export", archive_, "--table", "Banche", "--name", "Elenco banche",
                 Path("out.vbs")}),
            0)
      << err_;
  EXPECT_EQ(Slurp(Path("out.vbs")), kReportFile);
  // An existing file is replaced only when the question is answered yes.
  EXPECT_EQ(Cli({"layout", "export", archive_, "--table", "Banche", "--name", "Elenco banche",
                 Path("out.vbs")}),
            1);
  EXPECT_EQ(err_, "MSG Il file esiste già...\\n\\nVuoi sostituirlo ?\nOperazione annullata.\n");

  Write(Path("labels.vbs"), kLabelFile);
  ASSERT_EQ(Cli({"layout", "import", archive_, Path("labels.vbs"), "--table", "Banche"}), 0)
      << err_;
  EXPECT_EQ(Cli({"layout", "export", archive_, "--table", "Banche", Path("labels-out.vbs")}), 0);
  // Written back without regard to the regional settings.
  std::string expected = kLabelFile;
  expected.replace(expected.find("30,5"), 4, "30.5");
  expected.replace(expected.find("Falso"), 5, "False");
  expected.replace(expected.find("Vero"), 4, "True");
  EXPECT_EQ(Slurp(Path("labels-out.vbs")), expected);
}

TEST_F(PrintCliTest, RecordedReportPlacesEveryRowAndTheTotals) {
  ImportReport();
  ASSERT_EQ(Cli(Print({"--record", Path("out.txt")})), 0) << err_;
  const std::string recorded = Slurp(Path("out.txt"));
  EXPECT_NE(recorded.find("Text\t5.00\t25.00\tBanca Alfa\n"), std::string::npos) << recorded;
  EXPECT_NE(recorded.find("Text\t5.00\t30.00\tBanca Beta\n"), std::string::npos);
  EXPECT_NE(recorded.find("Text\t5.00\t35.00\tCassa Gamma\n"), std::string::npos);
  EXPECT_NE(recorded.find("Text\t5.00\t5.00\tBanche stampate\n"), std::string::npos);

  ASSERT_EQ(Cli(Print({"--rows", "1", "--copies", "2", "--record", Path("two.txt")})), 0);
  const std::string two = Slurp(Path("two.txt"));
  EXPECT_EQ(two.find("Banca Beta"), std::string::npos);
  EXPECT_NE(two.find("Banca Alfa"), two.rfind("Banca Alfa"));  // once per copy
}

TEST_F(PrintCliTest, PdfReadsBackAsText) {
  if (std::system("command -v pdftotext > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdftotext is not installed";
  ImportReport();
  ASSERT_EQ(Cli(Print({"--pdf", Path("out.pdf")})), 0) << err_;
  const std::string command =
      "pdftotext -layout " + Path("out.pdf") + " " + Path("out-pdf.txt") + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string text = Slurp(Path("out-pdf.txt"));
  for (const char* name : {"Banca Alfa", "Banca Beta", "Cassa Gamma", "Banche stampate"})
    EXPECT_NE(text.find(name), std::string::npos) << name << " in:\n" << text;
  EXPECT_LT(text.find("Banca Alfa"), text.find("Cassa Gamma"));
}

TEST_F(PrintCliTest, FailuresLeaveNoOutputAndSayWhy) {
  EXPECT_EQ(Cli(Print({"--record", Path("none.txt")})), 1);
  EXPECT_NE(err_.find("MSG Report non trovato/i\\n\\nConfigurare almeno un Report per i dati "
                      "<Banche / Conti Bancari>..."),
            std::string::npos)
      << err_;
  std::string failing = kReportFile;
  failing.replace(failing.find("dsRow.ColValue(\"Nome\")"), 22, "dsRow.ColValue(\"Nessuno\")");
  ImportReport(failing);
  EXPECT_EQ(Cli(Print({"--pdf", Path("bad.pdf")})), 1);
  EXPECT_NE(err_.find("Prospetto di stampa: Elenco banche\nMSG Errore nel codice di stampa per il "
                      "(1) record: "),
            std::string::npos)
      << err_;
  EXPECT_NE(err_.find("Linea VB: 2"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(Path("bad.pdf")));
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos);

  EXPECT_EQ(Cli(Print({})), 2);
  EXPECT_EQ(Cli(Print({"--rows", "2", "--test", "--record", Path("x.txt")})), 2);
  EXPECT_EQ(Cli({"print", archive_, "--table", "Banche", "--filter", "Nome = ", "--record",
                 Path("x.txt")}),
            2);
  Write(Path("plain.vbs"), "Function PrintLabel(ds, prn)\r\nEnd Function\r\n");
  EXPECT_EQ(Cli({"layout", "import", archive_, Path("plain.vbs"), "--table", "Banche"}), 1);
  EXPECT_NE(err_.find("Il file non contiene le impostazioni"), std::string::npos) << err_;
}

TEST_F(PrintCliTest, LabelsOnePerRowAfterTheSkippedPlaces) {
  Write(Path("labels.vbs"), kLabelFile);
  ASSERT_EQ(Cli({"layout", "import", archive_, Path("labels.vbs"), "--table", "Banche"}), 0);
  ASSERT_EQ(Cli({"labels", archive_, "--table", "Banche", "--filter", "Nome LIKE 'Banca*'",
                 "--quantity", "2", "--skip", "1", "--record", Path("labels.txt")}),
            0)
      << err_;
  std::vector<std::string> texts;
  std::istringstream lines(Slurp(Path("labels.txt")));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("Text\t", 0) == 0) texts.push_back(line);
  // Two across: the skipped place is the first; then right, next row left, right, and so on.
  const std::vector<std::string> expected = {
      "Text\t105.00\t10.00\tBanca Alfa", "Text\t5.00\t40.50\tBanca Alfa",
      "Text\t105.00\t40.50\tBanca Beta", "Text\t5.00\t71.00\tBanca Beta"};
  EXPECT_EQ(texts, expected);
}

}  // namespace
}  // namespace tillbook::cli
