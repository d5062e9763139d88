#include "core/round_ranges_editor.h"

#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "engine/ui_services.h"
#include "platform/settings.h"

namespace tillbook::core {

namespace {

std::optional<Money> Typed(std::string_view text) {
  const std::string_view trimmed = text::Trim(text);
  if (trimmed.empty()) return std::nullopt;
  return Money::Parse(trimmed);
}

// Money as the window's mask shows it: two decimals and the Italian decimal comma.
std::string Shown(Money m) {
  return m.ToFixed(2, ',');
}

}  // namespace

bool RoundRangesEditor::Add(std::string_view from, std::string_view to, std::string_view step) {
  const auto f = Typed(from), t = Typed(to), s = Typed(step);
  if (!f || !t || !s) {
    ui_.Warn("Devi impostare i parametri di arrotondamento.");
    return false;
  }
  if (*f > *t) {
    ui_.Warn("La fascia di prezzo non è valida.");
    return false;
  }
  ranges_.emplace_back(*f, *t, *s);
  return true;
}

void RoundRangesEditor::Remove(size_t index) {
  if (index < ranges_.size()) ranges_.erase(ranges_.begin() + static_cast<long>(index));
}

bool RoundRangesEditor::Confirm(platform::SettingsStore& store, Configuration& config) {
  try {
    SaveRoundRanges(store, ranges_);
  } catch (const Error& e) {
    ui_.Warn(e.message());
    return false;
  }
  config.RoundRanges = ranges_;
  return true;
}

std::string RoundRangesEditor::Line(const clsRoundItem& range) {
  return "da  " + Shown(range.FromValue()) + "  a  " + Shown(range.ToValue()) + "   ->  " +
         Shown(range.RoundValue());
}

std::vector<std::string> RoundRangesEditor::Lines() const {
  std::vector<std::string> lines;
  for (const auto& r : ranges_) lines.push_back(Line(r));
  return lines;
}

}  // namespace tillbook::core
