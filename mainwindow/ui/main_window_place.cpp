#include "mainwindow/ui/main_window_place.h"

#include <cmath>

#include "core/configuration.h"
#include "platform/settings.h"

namespace tillbook::ui {

namespace {
constexpr double kTwipsPerInch = 1440.0;

int Read(const platform::SettingsStore& store, const char* key, int fallback) {
  const auto v = store.Get(core::kSectionSettings, key);
  if (!v) return fallback;
  return static_cast<int>(core::NumberValue(*v));
}
}  // namespace

int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, double dpi) {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}

core::MainWindowState ReadMainWindowState(const platform::SettingsStore& store) {
  core::MainWindowState s;
  s.Left = Read(store, "MainLeft", s.Left);
  s.Top = Read(store, "MainTop", s.Top);
  s.Width = Read(store, "MainWidth", s.Width);
  s.Height = Read(store, "MainHeight", s.Height);
  s.State = Read(store, "MainState", s.State);
  if (s.State < 0 || s.State > 2) s.State = 0;
  s.Split = Read(store, "MainSplit", s.Split);
  return s;
}

}  // namespace tillbook::ui
