#include "wizard/drive_dialogs.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "resource.h"

namespace tarn::wizard {
namespace {

using app::VolumeAnswer;
using app::VolumeProblem;
using app::VolumeQuestion;

VolumeQuestion Question(VolumeProblem problem, uint32_t seconds) {
  return {problem, u"x:\\Users\\anna", seconds};
}

TEST(DriveCountdown, CountsDownAndEndsWithCancel) {
  MissingVolumeModel model(Question(VolumeProblem::Missing, 3), {u"C:\\ (System)"});
  const std::string lines[] = {"3 left", "2 left", "1 left"};
  for (const std::string& expected : lines) {
    EXPECT_EQ(ToUtf8(model.countdown().Line(u"%d left")), expected);
    ASSERT_EQ(model.countdown().running() ? model.Tick() : DriveStep::kEnd,
              expected == "1 left" ? DriveStep::kEnd : DriveStep::kStay)
        << "at " << expected;
  }
  EXPECT_EQ(model.reply().answer, VolumeAnswer::Cancel);
  EXPECT_EQ(ToUtf8(model.countdown().Line(u"%d left")), "");
}

TEST(DriveCountdown, StoppedOrUnarmedCountdownNeverEnds) {
  FormatDialogModel stopped(Question(VolumeProblem::Unformatted, 2));
  stopped.countdown().Stop();
  FormatDialogModel unarmed(Question(VolumeProblem::Unformatted, 0));
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(stopped.Tick(), DriveStep::kStay);
    EXPECT_EQ(unarmed.Tick(), DriveStep::kStay);
  }
  EXPECT_EQ(ToUtf8(stopped.countdown().Line(u"%d")), "");
}

TEST(MissingVolume, ChosenDriveReplacesTheLetterAndMayBeRemembered) {
  MissingVolumeModel model(Question(VolumeProblem::Missing, 10),
                           {VolumeEntry(u"C:\\", u"System"), VolumeEntry(u"d:\\", std::nullopt)});
  EXPECT_EQ(model.driveLetter(), u'X');
  EXPECT_EQ(ToUtf8(model.entries()[1]), "d:\\ (?)");
  model.Select(1);
  model.SetDontAskAgain(true);
  ASSERT_EQ(model.Choose(), DriveStep::kEnd);
  EXPECT_EQ(model.reply().answer, VolumeAnswer::Retry);
  EXPECT_EQ(ToUtf8(model.reply().path), "D:\\Users\\anna");
  EXPECT_TRUE(model.reply().rememberDrive);
  EXPECT_EQ(model.Cancel(), DriveStep::kEnd);
  EXPECT_EQ(model.reply().answer, VolumeAnswer::Cancel);
  EXPECT_FALSE(model.reply().rememberDrive);
}

TEST(FormatDialog, TypedPathCountsOnlyWhenTheDialogEndsWithIt) {
  FormatDialogModel model(Question(VolumeProblem::Unformatted, 0));
  EXPECT_EQ(model.view().startTextId, static_cast<uint32_t>(IDS_FORMAT_START));
  model.Choose(FormatChoice::kAlternatePath);
  model.SetAlternatePath(u"C:\\Elsewhere");
  EXPECT_EQ(model.view().startTextId, static_cast<uint32_t>(IDS_USE_PATH));
  EXPECT_TRUE(model.view().pathEnabled);
  EXPECT_EQ(model.Ignore(), DriveStep::kEnd);
  EXPECT_EQ(model.reply().answer, VolumeAnswer::Ignore);
  EXPECT_EQ(ToUtf8(model.reply().path), "");
  ASSERT_EQ(model.Start(), DriveStep::kEnd);
  EXPECT_EQ(model.reply().answer, VolumeAnswer::Retry);
  EXPECT_EQ(ToUtf8(model.reply().path), "C:\\Elsewhere");
}

TEST(FormatDialog, FormatsTheAskedDriveAndEndsOnlyWhenTheFormatReturns) {
  FormatDialogModel model(Question(VolumeProblem::Unformatted, 10));
  model.Choose(FormatChoice::kAlternatePath);
  model.SetAlternatePath(u"C:\\Elsewhere");
  model.Choose(FormatChoice::kFormat);
  model.SelectFileSystem(1);
  model.SetLabel(u"ELEVENCHARSX");
  ASSERT_EQ(model.Start(), DriveStep::kStartFormat);
  EXPECT_FALSE(model.countdown().running());
  const platform::FormatRequest request = model.formatRequest();
  EXPECT_EQ(ToUtf8(request.root + u"|" + request.fileSystem + u"|" + request.label),
            "X:\\|FAT32|ELEVENCHARS");
  for (int i = 0; i < 12; ++i) EXPECT_EQ(model.Tick(), DriveStep::kStay);
  EXPECT_EQ(model.Cancel(), DriveStep::kStay);
  EXPECT_EQ(model.Ignore(), DriveStep::kStay);
  EXPECT_EQ(model.Start(), DriveStep::kStay);
  model.Progress(40);
  EXPECT_EQ(model.view().percent, 40u);
  struct Case {
    WinError result;
    DriveStep step;
  };
  for (const Case c : {Case{0, DriveStep::kEnd}, Case{126, DriveStep::kShowFailure}}) {
    FormatDialogModel again(Question(VolumeProblem::Unformatted, 0));
    ASSERT_EQ(again.Start(), DriveStep::kStartFormat);
    EXPECT_EQ(again.FormatEnded(c.result), c.step) << "result " << c.result;
    EXPECT_EQ(again.reply().answer, VolumeAnswer::Retry);
    EXPECT_EQ(ToUtf8(again.reply().path), "");
  }
}

}  // namespace
}  // namespace tarn::wizard
