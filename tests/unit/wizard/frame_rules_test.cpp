#include "wizard/frame_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/text.h"
#include "platform/sim/machine.h"
#include "wizard/frame_settings.h"
#include "wizard/osd_text.h"

namespace tarn::wizard {
namespace {

struct StartRow {
  app::WizardPage start;
  std::vector<int> pages;
  size_t expected;
};

TEST(FrameRules, StartPageSkipsToTheNextPagePresent) {
  const StartRow rows[] = {
      {app::kSettingsPage, {129, 113, 130, 131}, 0},
      {app::kSoftwarePage, {129, 113, 130, 131}, 2},
      {app::kStatusPage, {129, 113, 130, 131}, 3},
      {app::kSoftwarePage, {129, 131}, 1},  // no software page: the status page
      {app::kAccountsPage, {129, 130, 131}, 1},
      {app::kStatusPage, {129, 130}, 0},  // nothing follows: the first page
      {app::kSettingsPage, {}, 0},
  };
  for (const StartRow& row : rows) {
    EXPECT_EQ(StartPagePosition(row.start, row.pages), row.expected)
        << "start " << row.start << " with " << row.pages.size() << " pages";
  }
}

TEST(FrameRules, NoCancelRefusesEveryCancelAndAKeyStopsTheCountdown) {
  CountdownSettings settings;
  settings.autoEnd = true;
  settings.autoEndDelayMs = 5000;
  Countdown countdown(settings);
  for (FrameInput input :
       {FrameInput::kEscapeKey, FrameInput::kCloseCommand, FrameInput::kCancelCommand}) {
    EXPECT_TRUE(ReactToInput(input, true, countdown).refuse) << static_cast<int>(input);
    EXPECT_FALSE(ReactToInput(input, false, countdown).refuse) << static_cast<int>(input);
  }
  EXPECT_TRUE(ReactToInput(FrameInput::kKeyDown, false, countdown).stopCountdown);
  EXPECT_TRUE(ReactToInput(FrameInput::kEscapeKey, true, countdown).stopCountdown);
  EXPECT_FALSE(ReactToInput(FrameInput::kKeyDown, true, countdown).refuse);
  EXPECT_TRUE(ReactToInput(FrameInput::kDisplayTimer, false, countdown).displayTick);
  for (FrameInput input : {FrameInput::kCloseCommand, FrameInput::kCancelCommand}) {
    EXPECT_TRUE(ReactToInput(input, false, countdown).stopCountdown)
        << static_cast<int>(input) << ": the question must not be overtaken by the countdown";
    EXPECT_FALSE(ReactToInput(input, true, countdown).stopCountdown)
        << static_cast<int>(input) << ": a refused cancel leaves an unattended run alone";
  }
  countdown.Stop();
  EXPECT_FALSE(ReactToInput(FrameInput::kKeyDown, false, countdown).stopCountdown);
  const FrameReaction tick = ReactToInput(FrameInput::kDisplayTimer, false, countdown);
  EXPECT_TRUE(!tick.displayTick && tick.killTimer) << "a stopped display's timer is killed";
}

TEST(FrameRules, OnlyFinishAllowsTheRestart) {
  EXPECT_EQ(OutcomeOfSheet(1), startup::WizardOutcome::kFinished);
  EXPECT_EQ(OutcomeOfSheet(0), startup::WizardOutcome::kCancelled);
  EXPECT_EQ(OutcomeOfSheet(2), startup::WizardOutcome::kCancelled);
}

TEST(OsdText, CountsDownFromASecondShortOfTheDelay) {
  CountdownSettings settings;
  settings.autoStart = true;
  settings.autoStartDelayMs = 10000;
  Countdown countdown(settings);
  EXPECT_EQ(ToUtf8(OsdText(u"%d", countdown.Tick())), "9");
  EXPECT_EQ(ToUtf8(OsdText(u"%d", countdown.Tick())), "8");
}

TEST(OsdText, EmptyWrongAndLongFormats) {
  EXPECT_EQ(OsdText(u"", 5), u"");
  EXPECT_EQ(ToUtf8(OsdText(u"%s left %d", 5)), "%s left %d")
      << "the one number belongs to the first conversion; a mismatch stays literal";
  EXPECT_EQ(ToUtf8(OsdText(u"%d%% %i", 5)), "5% %i");
  EXPECT_EQ(OsdText(Text(300, u'x'), 5).size(), kOsdTextCapacity);
  EXPECT_EQ(OsdFormatOrDefault(u"", u"%d s"), u"%d s");
  EXPECT_EQ(OsdFormatOrDefault(u"%d!", u"%d s"), u"%d!");
}

constexpr char16_t kIni[] = u"C:\\setup\\install.ini";

TEST(FrameSettings, TheOuterSizeSavedOpensTheSameSizeAndTheWorkAreaLimitsIt) {
  sim::Machine machine;
  platform::ProfileFiles& profiles = *machine.platform().profiles;
  ASSERT_TRUE(machine.files().PutTextFile(
      kIni, "[settings]\r\ndimension.width=5000\r\ndimension.height=80%\r\n"));
  const Size opened = OpeningSize(profiles, kIni, {1024, 768}, {500, 400}, {1024, 738});
  EXPECT_EQ(opened.width, 1024) << "never wider than the work area";
  EXPECT_EQ(opened.height, 614);

  EXPECT_FALSE(SaveClosingSize(profiles, kIni, {700, 500})) << "dimension.update is not set";
  ASSERT_TRUE(machine.files().PutTextFile(kIni, "[settings]\r\ndimension.update=1\r\n"));
  EXPECT_EQ(OpeningSize(profiles, kIni, {1024, 768}, {500, 400}, {1024, 738}).width, 500)
      << "an empty setting keeps the current size";
  ASSERT_TRUE(SaveClosingSize(profiles, kIni, {700, 500}));
  const Size reopened = OpeningSize(profiles, kIni, {1024, 768}, {500, 400}, {1024, 738});
  EXPECT_EQ(reopened.width, 700);
  EXPECT_EQ(reopened.height, 500);
}

}  // namespace
}  // namespace tarn::wizard
