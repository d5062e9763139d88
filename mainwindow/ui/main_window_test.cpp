#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>

#include "core/configuration.h"
#include "core/testing/scripted_windows.h"
#include "core/ui/frmMessage.h"
#include "core/ui/qt_startup_windows.h"
#include "core/ui/qt_ui_services.h"
#include "mainwindow/ui/frmMain.h"
#include "mainwindow/ui/main_window_place.h"
#include "platform/settings.h"

namespace tillbook::ui {
namespace {

TEST(MainWindowPlace, TwipsAndPixels) {
  struct Case {
    int twips;
    double dpi;
    int pixels;
  };
  const Case cases[] = {{1440, 96, 96},   {6500, 96, 433}, {1000, 96, 67},
                        {3500, 144, 350}, {0, 96, 0},      {-1440, 96, -96}};
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " @" << c.dpi;
    // Back to twips within one pixel's worth.
    EXPECT_NEAR(PixelsToTwips(c.pixels, c.dpi), c.twips, 1440 / c.dpi) << c.twips;
  }
}

TEST(MainWindowPlace, ReadsTheSettingsWithTheirDefaults) {
  platform::MemorySettings store;
  core::MainWindowState s = ReadMainWindowState(store);
  EXPECT_EQ(std::tie(s.Left, s.Top, s.Width, s.Height, s.State, s.Split),
            std::make_tuple(1000, 1000, 6500, 6500, 0, 3500));
  store.Set("settings", "mainleft", "2000");  // case does not matter
  store.Set("Settings", "MainWidth", "abc");
  store.Set("Settings", "MainState", "7");
  store.Set("Settings", "MainSplit", "4200.7");
  s = ReadMainWindowState(store);
  EXPECT_EQ(s.Left, 2000);
  EXPECT_EQ(s.Width, 0);
  EXPECT_EQ(s.State, 0);
  EXPECT_EQ(s.Split, 4200);
}

struct Shell {
  core::testing::TempFolder folder{"tillbook_ui_main"};
  platform::MemorySettings settings;
  frmMessage message;
  QtUiServices ui{message};
  QtStartupWindows windows{settings, ui, message};
  core::Startup startup{settings, ui, windows, folder.str(), folder.str()};
};

// The place is written in twips at closing and the next window opens there.
TEST(frmMain, ClosingRemembersThePlaceTheNextWindowTakes) {
  Shell shell;
  const double dpi = 96;  // the offscreen screen's
  // The splitter's handle takes its width from the panes, so a pane may differ by that much.
  const int kHandleSlack = 8;
  shell.settings.Set("Settings", "MainLeft", "1500");
  shell.settings.Set("Settings", "MainTop", "1200");
  shell.settings.Set("Settings", "MainWidth", "9000");
  shell.settings.Set("Settings", "MainHeight", "7200");
  shell.settings.Set("Settings", "MainSplit", "3000");
  {
    frmMain window(shell.startup, shell.ui, shell.windows, shell.settings);
    window.ShowAtRememberedPlace();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.geometry(), QRect(TwipsToPixels(1500, dpi), TwipsToPixels(1200, dpi),
                                       TwipsToPixels(9000, dpi), TwipsToPixels(7200, dpi)));
    EXPECT_NEAR(window.splitter()->sizes().front(), TwipsToPixels(3000, dpi), kHandleSlack);
    window.setGeometry(QRect(150, 120, 500, 400));
    // Dragged by the person, as the settings only remember a move of theirs.
    QSplitterHandle* handle = window.splitter()->handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    const int target = 250 - window.splitter()->sizes().front();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(target, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(target, 0));
    ASSERT_NEAR(window.splitter()->sizes().front(), 250, kHandleSlack);
    window.close();
  }
  EXPECT_EQ(shell.settings.Get("Settings", "MainState"), std::optional<std::string>("0"));
  EXPECT_EQ(shell.settings.Get("Settings", "MainLeft"),
            std::optional<std::string>(std::to_string(PixelsToTwips(150, dpi))));
  EXPECT_EQ(shell.settings.Get("Settings", "MainWidth"),
            std::optional<std::string>(std::to_string(PixelsToTwips(500, dpi))));
  const int split =
      static_cast<int>(core::NumberValue(*shell.settings.Get("Settings", "MainSplit")));
  EXPECT_NEAR(split, PixelsToTwips(250, dpi), PixelsToTwips(kHandleSlack, dpi));
  EXPECT_NE(split, 3000);
  frmMain again(shell.startup, shell.ui, shell.windows, shell.settings);
  again.ShowAtRememberedPlace();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
  EXPECT_EQ(again.geometry(), QRect(150, 120, 500, 400));
  EXPECT_NEAR(again.splitter()->sizes().front(), 250, kHandleSlack);
  again.close();
}

// A window left where it opened writes back the twips it read, not the same place rounded
// through pixels (1000 twips are 66.7 pixels at 96 dpi).
TEST(frmMain, AnUnmovedWindowKeepsItsTwips) {
  Shell shell;
  shell.settings.Set("Settings", "MainLeft", "1000");
  shell.settings.Set("Settings", "MainSplit", "3500");
  {
    frmMain window(shell.startup, shell.ui, shell.windows, shell.settings);
    window.ShowAtRememberedPlace();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.close();
  }
  for (auto [key, value] :
       {std::pair{"MainLeft", "1000"}, std::pair{"MainTop", "1000"}, std::pair{"MainWidth", "6500"},
        std::pair{"MainHeight", "6500"}, std::pair{"MainSplit", "3500"}})
    EXPECT_EQ(shell.settings.Get("Settings", key), std::optional<std::string>(value)) << key;
}

// Keyboard first: every command of the menus has a mnemonic unique in its menu, and the main
// commands a shortcut.
TEST(frmMain, EveryCommandHasAMnemonicOrAShortcut) {
  Shell shell;
  frmMain window(shell.startup, shell.ui, shell.windows, shell.settings);
  QStringList menuKeys;
  for (QAction* top : window.menuBar()->actions()) {
    const QString title = top->text();
    const int amp = title.indexOf('&');
    ASSERT_GE(amp, 0) << title.toStdString();
    EXPECT_FALSE(menuKeys.contains(title.at(amp + 1).toLower())) << title.toStdString();
    menuKeys << title.at(amp + 1).toLower();
    QStringList keys;
    for (QAction* a : top->menu()->actions()) {
      if (a->isSeparator()) continue;
      const int i = a->text().indexOf('&');
      EXPECT_TRUE(i >= 0 || !a->shortcut().isEmpty()) << a->text().toStdString();
      if (i < 0) continue;
      const QChar key = a->text().at(i + 1).toLower();
      EXPECT_FALSE(keys.contains(key)) << a->text().toStdString();
      keys << key;
    }
  }
  for (const char* name : {"mnuOptions", "mnuExit", "mnuChangeOperator", "mnuIdentity"})
    EXPECT_FALSE(window.action(name)->shortcut().isEmpty()) << name;
  EXPECT_EQ(window.windowTitle(), "Tillbook");
}

}  // namespace
}  // namespace tillbook::ui
