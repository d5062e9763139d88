#include "platform/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "platform/environment.h"

namespace tillbook::platform {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tillbook-files-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string In(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// The message of the Error `body` throws; empty when it throws none.
template <class Body>
std::string MessageOf(Body&& body) {
  try {
    body();
  } catch (const Error& e) {
    return e.message();
  }
  return {};
}

TEST_F(FilesTest, PathsThatCannotBeExaminedAreExplainedInItalian) {
  std::ofstream(In("file")) << "x";
  fs::create_symlink(In("anello"), In("anello"));
  struct Case {
    std::string path;
    const char* message;
  } cases[] = {
      {In(std::string(300, 'a')), "è troppo lungo"},
      {In("anello") + "/Tillbook.mdb", "collegamento simbolico che rimanda a sé stesso"},
      {In("file") + "/Tillbook.mdb", "una sua parte non è una cartella"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(MessageOf([&] { Examine(c.path); }).find(c.message), std::string::npos) << c.path;
    EXPECT_NE(MessageOf([&] { MakeDirectories(c.path); }).find(c.message), std::string::npos)
        << c.path;
  }
  EXPECT_EQ(Examine(In("manca")), PathKind::Missing);
  EXPECT_EQ(Examine(In("file")), PathKind::File);
  EXPECT_EQ(Examine(dir_.string()), PathKind::Directory);
  EXPECT_EQ(Examine("/dev/null"), PathKind::Other);
}

TEST(PathProblemTest, EverySystemErrorGetsASentence) {
  struct Case {
    std::errc error;
    const char* message;
  } cases[] = {
      {std::errc::permission_denied, "Accesso negato a /a/b: mancano i permessi necessari."},
      {std::errc::read_only_file_system, "/a/b si trova su un disco in sola lettura."},
      {std::errc::no_space_on_device, "Spazio su disco esaurito per /a/b."},
      {std::errc::no_such_file_or_directory, "/a/b non esiste."},
      {std::errc::io_error, "Impossibile accedere a /a/b."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PathProblem("/a/b", std::make_error_code(c.error)), c.message);
}

TEST_F(FilesTest, RenamingNeverReplacesAnExistingFile) {
  std::ofstream(In("nuovo")) << "nuovo";
  std::ofstream(In("esistente")) << "vecchio";
  EXPECT_FALSE(RenameNoReplace(In("nuovo"), In("esistente")));
  std::ifstream kept(In("esistente"));
  std::string content;
  kept >> content;
  EXPECT_EQ(content, "vecchio");
  EXPECT_TRUE(RenameNoReplace(In("nuovo"), In("libero")));
  EXPECT_FALSE(fs::exists(In("nuovo")));
  EXPECT_TRUE(fs::exists(In("libero")));
  RemoveFile(In("libero"));
  RemoveFile(In("libero"));  // already gone: not a failure
  EXPECT_FALSE(fs::exists(In("libero")));
  EXPECT_EQ(ReadHead(In("esistente"), 3), "vec");
  EXPECT_EQ(FileSize(In("esistente")), 7u);
}

TEST(ProcessTest, TellsARunningProcess) {
  EXPECT_TRUE(ProcessIsRunning(CurrentProcessId()));
  EXPECT_FALSE(ProcessIsRunning(0));
  EXPECT_FALSE(ProcessIsRunning(-5));
}

TEST(LockWaitTest, ReadsSecondsFromTheEnvironment) {
  struct Case {
    const char* value;
    long milliseconds;  // -1: refused; -2: not set
  } cases[] = {
      {nullptr, -2}, {"", -2},    {"5", 5000}, {"0.25", 250}, {"0", 0},
      {"-1", -1},    {"tre", -1}, {"2s", -1},  {"1e9", -1},   {"nan", -1},
  };
  for (const Case& c : cases) {
    if (c.value)
      setenv("TILLBOOK_LOCK_WAIT", c.value, 1);
    else
      unsetenv("TILLBOOK_LOCK_WAIT");
    if (c.milliseconds == -1) {
      EXPECT_THROW(LockWaitFromEnvironment(), Error) << c.value;
    } else {
      const auto wait = LockWaitFromEnvironment();
      EXPECT_EQ(wait.has_value(), c.milliseconds >= 0) << (c.value ? c.value : "unset");
      if (wait) EXPECT_EQ(wait->count(), c.milliseconds) << c.value;
    }
  }
  unsetenv("TILLBOOK_LOCK_WAIT");
}

}  // namespace
}  // namespace tillbook::platform
