// Passwords: the application password file "prtct1.sys" in the program's folder, and the checks
// of the password window (what it compares, what it says, when it accepts a new password). The
// window only collects the typed texts and shows again while a check refuses.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tillbook::engine {
class UiServices;
}

namespace tillbook::core {

inline constexpr std::string_view kPasswordFileName = "prtct1.sys";

// The application password, unscrambled; empty when the file is missing or empty.
std::string ReadApplicationPassword(const std::string& path);
// Replaces the file: deleted, written again scrambled, then made read-only. Throws Error.
void WriteApplicationPassword(const std::string& path, std::string_view plain);

// What the person typed in the password window.
struct PasswordEntry {
  std::string password;
  bool change = false;  // the new-password box is ticked
  std::string newPassword;
  std::string confirmation;
};

class PasswordCheck {
 public:
  // `expected` is the plain password to match; `store` writes a new password (it may throw
  // Error, which refuses the change with its message).
  PasswordCheck(std::string expected, engine::UiServices& ui,
                std::function<void(const std::string&)> store)
      : expected_(std::move(expected)), ui_(ui), store_(std::move(store)) {}

  // True when the entry is accepted (and a requested change stored); false after telling the
  // person why, with the window to stay open.
  bool Submit(const PasswordEntry& entry);

  bool Changed() const { return changed_; }
  const std::string& Password() const { return password_; }  // the new one, when Changed()

 private:
  std::string expected_;
  engine::UiServices& ui_;
  std::function<void(const std::string&)> store_;
  bool changed_ = false;
  std::string password_;
};

}  // namespace tillbook::core
