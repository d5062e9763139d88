// The per-user settings store: string values addressed by section and key, keys and sections
// matched without regard to case, kept in the order they were first written. MemorySettings
// holds them in memory (tests, tools); IniSettings keeps them in a UTF-8 INI file and rewrites it
// whole after every change through a temporary file and a rename, so a crash while saving never
// leaves half a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tillbook::platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text; nullopt when the key is absent.
  virtual std::optional<std::string> Get(std::string_view section, std::string_view key) const = 0;
  // Stores `value` (kept as the text it is). Throws Error for a key or value the store cannot
  // hold (empty key, a line break, "=" or a bracket in a key) or a file that cannot be written.
  virtual void Set(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Removes the key; an absent key is not a failure.
  virtual void Delete(std::string_view section, std::string_view key) = 0;
  // The keys of a section with their values, in stored order.
  virtual std::vector<std::pair<std::string, std::string>> Entries(
      std::string_view section) const = 0;

  // The stored text, or `fallback` when absent.
  std::string GetOr(std::string_view section, std::string_view key,
                    std::string_view fallback) const {
    auto v = Get(section, key);
    return v ? *v : std::string(fallback);
  }
};

class MemorySettings : public SettingsStore {
 public:
  std::optional<std::string> Get(std::string_view section, std::string_view key) const override;
  void Set(std::string_view section, std::string_view key, std::string_view value) override;
  void Delete(std::string_view section, std::string_view key) override;
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const override;

  // The whole store in INI form ("[Section]" lines, then "key=value" lines).
  std::string ToIni() const;

  // A line of INI text that could not be read; the lines after it are still read.
  struct Problem {
    int line;
    std::string text;  // Italian, for the person
  };
  // Replaces the contents with what `ini` says. Returns the lines it could not read.
  std::vector<Problem> ParseIni(std::string_view ini);

 protected:
  // Called after every change.
  virtual void Changed() {}

 private:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
  };
  Section* Find(std::string_view section);
  const Section* Find(std::string_view section) const;
  std::vector<Section> sections_;
};

class IniSettings : public MemorySettings {
 public:
  // Reads `path` when it exists (a missing file is an empty store). Throws Error when it exists
  // but cannot be read; lines it cannot understand are kept in problems() and skipped.
  explicit IniSettings(std::string path);
  const std::string& path() const { return path_; }
  const std::vector<Problem>& problems() const { return problems_; }
  // Each problem as "Impostazioni FILE, riga N: ..." for a message or a log.
  std::vector<std::string> ProblemMessages() const;

  // Writes the file now (every change already does).
  void Save();

 protected:
  void Changed() override;

 private:
  std::string path_;
  std::vector<Problem> problems_;
};

// Where the person's settings live: TILLBOOK_SETTINGS when set, else
// $XDG_CONFIG_HOME/Tillbook/Tillbook.ini, else ~/.config/Tillbook/Tillbook.ini.
std::string DefaultSettingsPath();

}  // namespace tillbook::platform
