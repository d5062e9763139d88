// The archive commands and the terminal's stand-in for the person.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "cli/console_ui.h"

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

}  // namespace
}  // namespace tillbook::cli
