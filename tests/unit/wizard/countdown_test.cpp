#include "wizard/countdown.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/install_config.h"

namespace tarn::wizard {
namespace {

CountdownSettings Armed(bool start, uint32_t startMs, bool end, uint32_t endMs) {
  CountdownSettings settings;
  settings.autoStart = start;
  settings.autoStartDelayMs = startMs;
  settings.autoEnd = end;
  settings.autoEndDelayMs = endMs;
  settings.beep = true;
  settings.beepIntervalMs = 5000;
  return settings;
}

TEST(Countdown, ArmsFromTheConfigurationAndTheEndWinsTheDisplay) {
  app::InstallConfig config;
  config.AutoInstallEnabled = true;
  config.AutoInstallDelay = 15000;
  config.AutoExitEnabled = true;
  config.AutoExitDelay = -4000;  // a negative number of seconds counts as none
  config.BeepEnabled = true;
  config.BeepInterval = 0;  // no interval: no beeping
  const Countdown countdown(CountdownFromConfig(config));
  EXPECT_TRUE(countdown.autoStartArmed());
  EXPECT_TRUE(countdown.autoEndArmed());
  EXPECT_EQ(countdown.autoStartDelayMs(), 15000u);
  EXPECT_EQ(countdown.autoEndDelayMs(), 0u);
  EXPECT_EQ(countdown.remainingMs(), 0u) << "the end's delay is the one displayed";
  EXPECT_FALSE(countdown.beeping());
}

TEST(Countdown, TicksShowTheWholeSecondsLeftAndNeverGoBelowZero) {
  Countdown countdown(Armed(true, 3000, false, 0));
  std::vector<uint32_t> shown;
  for (int tick = 0; tick < 4; ++tick) shown.push_back(countdown.Tick());
  EXPECT_EQ(shown, (std::vector<uint32_t>{2, 1, 0, 0}));
  EXPECT_EQ(countdown.remainingMs(), 0u);
  EXPECT_TRUE(countdown.displayed()) << "the display lasts until a page acts or it is stopped";
}

TEST(Countdown, StopEndsEverythingForTheRestOfTheRun) {
  Countdown countdown(Armed(true, 10000, true, 20000));
  countdown.Stop();
  countdown.Stop();
  EXPECT_FALSE(countdown.autoStartArmed());
  EXPECT_FALSE(countdown.autoEndArmed());
  EXPECT_FALSE(countdown.displayed());
  EXPECT_FALSE(countdown.beeping());
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoStart, true), CountdownAction::kNothing);
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoEnd, true), CountdownAction::kNothing);
}

TEST(Countdown, APageTimerActsOnlyWhileItsPageIsShown) {
  Countdown countdown(Armed(true, 10000, true, 20000));
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoStart, false), CountdownAction::kNothing);
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoEnd, false), CountdownAction::kNothing);
  EXPECT_TRUE(countdown.autoStartArmed() && countdown.autoEndArmed())
      << "a timer of a page not shown changes nothing";
}

TEST(Countdown, TheAutomaticStartDisarmsTheEndAndGoesOnAtOnceOnLaterPages) {
  Countdown countdown(Armed(true, 10000, true, 20000));
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoStart, true), CountdownAction::kStartInstallation);
  EXPECT_FALSE(countdown.autoEndArmed());
  EXPECT_FALSE(countdown.displayed());
  EXPECT_FALSE(countdown.beeping());
  EXPECT_TRUE(countdown.autoStartArmed());
  EXPECT_EQ(countdown.autoStartDelayMs(), 0u);
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoEnd, true), CountdownAction::kNothing);
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoStart, true), CountdownAction::kStartInstallation);
}

TEST(Countdown, TheAutomaticEndStopsEverything) {
  Countdown countdown(Armed(true, 10000, true, 20000));
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoEnd, true), CountdownAction::kEndWizard);
  EXPECT_FALSE(countdown.autoStartArmed());
  EXPECT_FALSE(countdown.displayed());
  EXPECT_EQ(countdown.Fire(PageTimer::kAutoStart, true), CountdownAction::kNothing);
}

TEST(Countdown, ShellWindowsStayOffWhileTheWizardMayGoOnByItself) {
  struct Row {
    bool start;
    bool end;
    bool stopped;
    bool startFired;
    bool allowed;
  } rows[] = {
      {false, false, false, false, true}, {true, false, false, false, false},
      {false, true, false, false, false}, {true, true, true, false, true},
      {true, false, false, true, false},  // the start goes on at once on the next page
  };
  for (const Row& row : rows) {
    Countdown countdown(Armed(row.start, 1000, row.end, 2000));
    if (row.stopped) countdown.Stop();
    if (row.startFired) (void)countdown.Fire(PageTimer::kAutoStart, true);
    EXPECT_EQ(countdown.ShellWindowsAllowed(), row.allowed)
        << row.start << row.end << row.stopped << row.startFired;
  }
}

}  // namespace
}  // namespace tarn::wizard
