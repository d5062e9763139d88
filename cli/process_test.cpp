// tillbook-cli as a process: killed at any moment of creating an archive, reading beside
// another process that holds the write lock, refusing what is wrong before any command runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "platform/testing/file_bytes.h"
#include "cli/commands.h"
#include "data/DB.h"
#include "engine/connection.h"
#include "engine/database.h"

extern char** environ;

namespace tillbook::cli {
namespace {

namespace fs = std::filesystem;
using tillbook::testing::Bytes;

// One run of the program with its output and messages in files of `dir`.
class Process {
 public:
  Process(const fs::path& dir, const std::vector<std::string>& args,
          const std::vector<std::string>& env = {})
      : out_((dir / "out.txt").string()), err_((dir / "err.txt").string()) {
    std::vector<std::string> all{TILLBOOK_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = env;
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Process() {
    if (!waited_) Kill();
  }
  void Kill() {
    kill(pid_, SIGKILL);
    Wait();
  }
  // The exit status; -1 when a signal ended the process.
  int Wait() {
    if (!waited_) {
      waitpid(pid_, &status_, 0);
      waited_ = true;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }
  std::string out() const { return Bytes(out_); }
  std::string err() const { return Bytes(err_); }

 private:
  std::string out_, err_;
  pid_t pid_ = 0;
  int status_ = 0;
  bool waited_ = false;
};

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tillbook-process-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(ProcessTest, InitKilledAtAnyMomentLeavesNoArchiveOrAWholeOne) {
  // How long a creation takes here, to spread the kills over it.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Process(dir_, {"init", (dir_ / "misura").string()}).Wait(), 0);
  const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  std::mt19937 random(2024);
  std::uniform_int_distribution<long> delay(0, duration.count() * 6 / 5);
  int cutOff = 0;
  for (int i = 0; i < 20; ++i) {
    const std::string d = (dir_ / ("negozio" + std::to_string(i))).string();
    {
      Process init(dir_, {"init", d});
      std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
      init.Kill();
      if (init.Wait() == -1) ++cutOff;
    }
    std::ostringstream out, err;
    if (fs::exists(ArchivePath(d)))
      EXPECT_EQ(InfoCommand({d}, out, err), 0) << "kill " << i << ": " << err.str();
    EXPECT_EQ(InitCommand({d}, out, err), 0) << "kill " << i << ": " << err.str();
    EXPECT_EQ(InfoCommand({d}, out, err), 0) << "kill " << i << ": " << err.str();
    // What the killed creation left under its temporary name is gone.
    if (fs::exists(d))
      for (const auto& entry : fs::directory_iterator(d))
        EXPECT_EQ(entry.path().filename().string().find(".nuovo-"), std::string::npos)
            << entry.path();
  }
  EXPECT_GT(cutOff, 0);
}

TEST_F(ProcessTest, ReadersGoOnWhileAnotherProcessWritesAndASecondWriterGivesUp) {
  const std::string d = (dir_ / "negozio").string();
  {
    std::ostringstream out, err;
    ASSERT_EQ(InitCommand({d}, out, err), 0) << err.str();
  }
  engine::Connection writer;
  writer.Open(ArchivePath(d));
  engine::Database db(std::make_unique<data::DB>(), "Tillbook");
  db.Attach(writer);
  const std::vector<std::string> noWait{"TILLBOOK_LOCK_WAIT=0"};
  ASSERT_TRUE(writer.RunAction([&] {
    EXPECT_TRUE(writer.AddRow("Operatori", {{"Nome", Variant::String("In corso")}}));
    writer.Flush();
    Process query(dir_, {"query", d, "--table", "Operatori", "--fields", "Nome", "--sort", "Nome"},
                  noWait);
    EXPECT_EQ(query.Wait(), 0) << query.err();
    EXPECT_EQ(query.out(), "Nome\nAmministratore\nOperatore\n");
    Process info(dir_, {"info", d}, noWait);
    EXPECT_EQ(info.Wait(), 0) << info.err();
    Process schema(dir_, {"schema", d, "--table", "Operatori", "--format", "json"}, noWait);
    EXPECT_EQ(schema.Wait(), 0) << schema.err();
    Process init(dir_, {"init", d, "--set", "Use_Agenti=1"}, {"TILLBOOK_LOCK_WAIT=0.3"});
    EXPECT_EQ(init.Wait(), 1);
    EXPECT_EQ(init.err(),
              "L'archivio è in uso da un'altra postazione, riprovare fra qualche istante.\n");
    return true;
  }));
}

TEST_F(ProcessTest, WhatIsWrongBeforeAnyCommandRunsIsWrongUsage) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> env;
    const char* message;
  } cases[] = {
      {{"query", dir_.string(), "--table", "Clienti\xff"}, {}, "L'argomento n. 4"},
      {{"run", "prova.vbs", "\xc3"}, {}, "L'argomento n. 3"},
      {{"info", dir_.string()}, {"TILLBOOK_LOCK_WAIT=-1"}, "TILLBOOK_LOCK_WAIT"},
  };
  for (const Case& c : cases) {
    Process p(dir_, c.args, c.env);
    EXPECT_EQ(p.Wait(), 2) << c.message;
    EXPECT_NE(p.err().find(c.message), std::string::npos) << p.err();
    EXPECT_EQ(p.out(), "");
  }
}

}  // namespace
}  // namespace tillbook::cli
