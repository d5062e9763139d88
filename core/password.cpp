#include "core/password.h"

#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "base/error.h"
#include "core/scramble.h"
#include "engine/ui_services.h"
#include "platform/files.h"

namespace tillbook::core {

std::string ReadApplicationPassword(const std::string& path) {
  if (platform::Examine(path) == platform::PathKind::Missing) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) platform::ThrowPathError(path, {errno, std::generic_category()});
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return Unscramble(bytes.str());
}

void WriteApplicationPassword(const std::string& path, std::string_view plain) {
  // The old file is read-only: it is removed rather than overwritten.
  platform::RemoveFile(path);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) platform::ThrowPathError(path, {errno, std::generic_category()});
    out << Scramble(plain);
    out.flush();
    if (!out) platform::ThrowPathError(path, {errno, std::generic_category()});
  }
  ::chmod(path.c_str(), S_IRUSR | S_IRGRP | S_IROTH);
}

bool PasswordCheck::Submit(const PasswordEntry& entry) {
  // Compared in scrambled form, as stored; upper and lower case differ.
  if (Scramble(entry.password) != Scramble(expected_)) {
    ui_.Beep();
    ui_.Warn(
        "La password non è corretta.\n\nFare attenzione all'utilizzo delle maiuscole/minuscole");
    return false;
  }
  if (!entry.change) return true;
  if (entry.newPassword != entry.confirmation) {
    ui_.Warn("La password di conferma non corrisponde...");
    return false;
  }
  try {
    if (store_) store_(entry.newPassword);
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return false;
  }
  changed_ = true;
  password_ = entry.newPassword;
  ui_.Inform(entry.newPassword.empty()
                 ? "La password e' stata modificata.\n\nNOTA: Senza password sono disattivate "
                   "tutte le restrizioni di accesso."
                 : "La password e' stata modificata.");
  return true;
}

}  // namespace tillbook::core
