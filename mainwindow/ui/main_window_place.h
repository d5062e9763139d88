// The main window's remembered place: read from section "Settings" with its defaults, and the
// conversion between the twips the settings hold and the screen's pixels.
#pragma once

#include "core/startup.h"

namespace tillbook::platform {
class SettingsStore;
}

namespace tillbook::ui {

// Twips are 1/1440 of an inch; `dpi` is the screen's logical dots per inch.
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

// "MainLeft", "MainTop" (default 1000), "MainWidth", "MainHeight" (6500), "MainState" (0),
// "MainSplit" (3500); an unreadable number reads as 0, a state outside 0..2 as 0.
core::MainWindowState ReadMainWindowState(const platform::SettingsStore& store);

}  // namespace tillbook::ui
