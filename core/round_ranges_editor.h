// The rounding-ranges window's logic: it works on a copy of the program's ranges, checks each
// range typed before adding it, and replaces the program's ranges (and their settings) only on
// confirmation. The window only collects the three typed texts and shows the lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/configuration.h"

namespace tillbook::engine {
class UiServices;
}
namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::core {

class RoundRangesEditor {
 public:
  RoundRangesEditor(std::vector<clsRoundItem> ranges, engine::UiServices& ui)
      : ranges_(std::move(ranges)), ui_(ui) {}

  // Appends the range typed as text (decimal mark "," or "."). False after telling the person
  // why: a field empty or not a number ("Devi impostare i parametri di arrotondamento.") or a
  // lower bound above the upper one ("La fascia di prezzo non è valida."). Overlaps are accepted.
  bool Add(std::string_view from, std::string_view to, std::string_view step);
  // Removes the range at `index`; an index past the end changes nothing.
  void Remove(size_t index);

  // The copy stores the ranges into `config` and the settings. False (after saying why) when the
  // settings refuse them; nothing of `config` changes then.
  bool Confirm(platform::SettingsStore& store, Configuration& config);

  const std::vector<clsRoundItem>& ranges() const { return ranges_; }
  // "da  1,00  a  9,99   ->  0,05": the list's line for a range.
  static std::string Line(const clsRoundItem& range);
  std::vector<std::string> Lines() const;

 private:
  std::vector<clsRoundItem> ranges_;
  engine::UiServices& ui_;
};

}  // namespace tillbook::core
