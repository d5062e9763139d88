// Scripted stand-ins for the start-up windows and a temporary folder, shared by the tests of the
// application core and the start-up benchmark.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/startup.h"

namespace tillbook::core::testing {

// Answers from queues; an empty queue cancels (options, password, operator, identity). Every
// call is logged as one line.
class ScriptedWindows : public StartupWindows {
 public:
  std::deque<std::optional<std::string>> options;  // the working directory to choose
  std::deque<std::optional<PasswordEntry>> passwords;
  std::deque<std::optional<size_t>> operators;
  std::deque<std::optional<IdentityValues>> identities;
  std::vector<std::string> log;

  bool ShowOptions(Configuration& config) override {
    log.push_back("OPTIONS");
    auto dir = Pop(options);
    if (!dir) return false;
    config.RootDir = *dir;
    return true;
  }
  std::optional<PasswordEntry> AskPassword(bool application, bool allowChange) override {
    log.push_back(std::string("PASSWORD ") + (application ? "application" : "operator"));
    return Pop(passwords);
  }
  std::optional<size_t> ChooseOperator(const std::vector<std::string>& names) override {
    std::string line = "OPERATORS";
    for (const auto& n : names) line += " " + n;
    log.push_back(line);
    return Pop(operators);
  }
  bool EditIdentity(IdentityValues& values) override {
    log.push_back("IDENTITY");
    auto v = Pop(identities);
    if (!v) return false;
    for (const auto& [k, x] : *v) values[k] = x;
    return true;
  }
  void ShowMessage(const std::string& text) override { log.push_back("SHOW " + text); }
  void HideMessage() override { log.push_back("HIDE"); }

  size_t Count(const std::string& prefix) const {
    size_t n = 0;
    for (const auto& l : log) n += l.rfind(prefix, 0) == 0;
    return n;
  }

 private:
  template <typename T>
  static std::optional<T> Pop(std::deque<std::optional<T>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

inline PasswordEntry Typed(std::string password) {
  PasswordEntry e;
  e.password = std::move(password);
  return e;
}

inline PasswordEntry Changing(std::string password, std::string newPassword,
                              std::string confirmation) {
  PasswordEntry e;
  e.password = std::move(password);
  e.change = true;
  e.newPassword = std::move(newPassword);
  e.confirmation = std::move(confirmation);
  return e;
}

// A fresh folder removed at the end of the scope.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / name) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace tillbook::core::testing
