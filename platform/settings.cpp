#include "platform/settings.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/error.h"
#include "base/text.h"
#include "platform/files.h"

namespace tillbook::platform {

namespace {

void CheckName(std::string_view what, std::string_view name) {
  if (text::Trim(name).empty()) throw Error("Il nome di " + std::string(what) + " è vuoto.");
  if (name.find_first_of("\r\n=[]") != std::string_view::npos)
    throw Error("Il nome di " + std::string(what) + " \"" + std::string(name) +
                "\" contiene un carattere non ammesso.");
}

}  // namespace

MemorySettings::Section* MemorySettings::Find(std::string_view section) {
  for (auto& s : sections_)
    if (text::EqualNoCase(s.name, section)) return &s;
  return nullptr;
}

const MemorySettings::Section* MemorySettings::Find(std::string_view section) const {
  return const_cast<MemorySettings*>(this)->Find(section);
}

std::optional<std::string> MemorySettings::Get(std::string_view section,
                                               std::string_view key) const {
  if (const Section* s = Find(section))
    for (const auto& [k, v] : s->entries)
      if (text::EqualNoCase(k, key)) return v;
  return std::nullopt;
}

void MemorySettings::Set(std::string_view section, std::string_view key, std::string_view value) {
  CheckName("sezione", section);
  CheckName("chiave", key);
  if (value.find_first_of("\r\n") != std::string_view::npos)
    throw Error("Il valore di " + std::string(key) + " non può andare a capo.");
  if (!text::IsValidUtf8(value))
    throw Error("Il valore di " + std::string(key) + " non è un testo valido.");
  // A change the file could not take is not kept in memory either.
  auto before = sections_;
  Section* s = Find(section);
  if (!s) s = &sections_.emplace_back(Section{std::string(section), {}});
  bool found = false;
  for (auto& [k, v] : s->entries)
    if (text::EqualNoCase(k, key)) {
      v = value;
      found = true;
      break;
    }
  if (!found) s->entries.emplace_back(std::string(key), std::string(value));
  try {
    Changed();
  } catch (...) {
    sections_ = std::move(before);
    throw;
  }
}

void MemorySettings::Delete(std::string_view section, std::string_view key) {
  Section* s = Find(section);
  if (!s) return;
  auto before = sections_;
  const auto removed = std::erase_if(
      s->entries, [&](const auto& entry) { return text::EqualNoCase(entry.first, key); });
  if (removed == 0) return;
  try {
    Changed();
  } catch (...) {
    sections_ = std::move(before);
    throw;
  }
}

std::vector<std::pair<std::string, std::string>> MemorySettings::Entries(
    std::string_view section) const {
  if (const Section* s = Find(section)) return s->entries;
  return {};
}

std::string MemorySettings::ToIni() const {
  std::string out;
  for (const auto& s : sections_) {
    if (s.entries.empty()) continue;
    if (!out.empty()) out += '\n';
    out += '[' + s.name + "]\n";
    for (const auto& [k, v] : s.entries) out += k + '=' + v + '\n';
  }
  return out;
}

// Lines: "[Section]", "key=value" (the value is everything after the first "=", blanks
// included), blank lines and comments starting with ";" or "#". Anything else is a problem of
// that line only.
std::vector<MemorySettings::Problem> MemorySettings::ParseIni(std::string_view ini) {
  sections_.clear();
  std::vector<Problem> problems;
  Section* current = nullptr;
  int number = 0;
  size_t pos = 0;
  if (ini.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // a byte-order mark some editors add
  while (pos < ini.size()) {
    size_t end = ini.find('\n', pos);
    if (end == std::string_view::npos) end = ini.size();
    std::string_view line = ini.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view trimmed = text::Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (!text::IsValidUtf8(line)) {
      problems.push_back({number, "testo non valido (non UTF-8)"});
      continue;
    }
    if (trimmed[0] == '[') {
      if (trimmed.back() != ']' || text::Trim(trimmed.substr(1, trimmed.size() - 2)).empty()) {
        problems.push_back({number, "intestazione di sezione incompleta"});
        current = nullptr;  // its keys must not land in the section before
        continue;
      }
      const std::string name(text::Trim(trimmed.substr(1, trimmed.size() - 2)));
      current = Find(name);
      if (!current) current = &sections_.emplace_back(Section{name, {}});
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      problems.push_back({number, "manca il carattere ="});
      continue;
    }
    const std::string key(text::Trim(line.substr(0, eq)));
    if (key.empty()) {
      problems.push_back({number, "manca il nome della chiave"});
      continue;
    }
    if (!current) {
      problems.push_back({number, "chiave fuori da una sezione"});
      continue;
    }
    const std::string value(line.substr(eq + 1));
    bool found = false;
    for (auto& [k, v] : current->entries)
      if (text::EqualNoCase(k, key)) {
        v = value;  // a repeated key: the last one wins, as when it is written twice
        found = true;
      }
    if (!found) current->entries.emplace_back(key, value);
  }
  return problems;
}

IniSettings::IniSettings(std::string path) : path_(std::move(path)) {
  if (Examine(path_) == PathKind::Missing) return;
  std::ifstream in(path_, std::ios::binary);
  if (!in) ThrowPathError(path_, {errno, std::generic_category()});
  std::ostringstream bytes;
  bytes << in.rdbuf();
  problems_ = ParseIni(bytes.str());
}

std::vector<std::string> IniSettings::ProblemMessages() const {
  std::vector<std::string> out;
  for (const auto& p : problems_)
    out.push_back("Impostazioni " + path_ + ", riga " + std::to_string(p.line) + ": " + p.text +
                  ".");
  return out;
}

void IniSettings::Changed() {
  Save();
}

void IniSettings::Save() {
  namespace fs = std::filesystem;
  const fs::path target(path_);
  if (target.has_parent_path()) MakeDirectories(target.parent_path().string());
  const std::string temp = path_ + ".tmp" + std::to_string(CurrentProcessId());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) ThrowPathError(temp, {errno, std::generic_category()});
    out << ToIni();
    out.flush();
    if (!out) {
      const std::error_code error{errno, std::generic_category()};
      RemoveFile(temp);
      ThrowPathError(path_, error);
    }
  }
  try {
    SyncFile(temp);
    std::error_code error;
    fs::rename(temp, target, error);
    if (error) ThrowPathError(path_, error);
    SyncDirectory(target.has_parent_path() ? target.parent_path().string() : ".");
  } catch (...) {
    RemoveFile(temp);
    throw;
  }
}

std::string DefaultSettingsPath() {
  if (const char* own = std::getenv("TILLBOOK_SETTINGS"); own && *own) return own;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : ".") + "/.config";
  }
  return base + "/Tillbook/Tillbook.ini";
}

}  // namespace tillbook::platform
