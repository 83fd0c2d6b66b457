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
  ASSERT_EQ(model.Start(), DriveStep::kConfirmFormat) << "a format is asked once more";
  EXPECT_FALSE(model.countdown().running());
  ASSERT_EQ(model.ConfirmFormat(false), DriveStep::kStay);
  EXPECT_FALSE(model.view().formatting) << "No formats nothing";
  ASSERT_EQ(model.Start(), DriveStep::kConfirmFormat);
  ASSERT_EQ(model.ConfirmFormat(true), DriveStep::kStartFormat);
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
    ASSERT_EQ(again.Start(), DriveStep::kConfirmFormat);
    ASSERT_EQ(again.ConfirmFormat(true), DriveStep::kStartFormat);
    EXPECT_EQ(again.FormatEnded(c.result), c.step) << "result " << c.result;
    EXPECT_EQ(again.reply().answer, VolumeAnswer::Retry);
    EXPECT_EQ(ToUtf8(again.reply().path), "");
  }
}

TEST(FormatDialog, AnotherSystemsPartitionIsNamedAndNotOfferedFirst) {
  struct Row {
    platform::PartitionFacts facts;
    PartitionKind kind;
    uint32_t prompt;
  };
  const Text linuxGpt = u"{0fc63daf-8483-4772-8e79-3d69d8477de4}";
  const Text basicData = u"{EBD0A0A2-B9E5-4433-87C0-68B6B72699C7}";
  const Row rows[] = {
      {{1ull << 30, false, {}, {}, 0x07, false}, PartitionKind::kBlank, IDS_FORMAT_PROMPT},
      {{1ull << 30, false, {}, {}, 0x83, false}, PartitionKind::kLinux, IDS_FORMAT_FOREIGN_PROMPT},
      {{1ull << 30, false, {}, {}, 0x8E, false}, PartitionKind::kLinux, IDS_FORMAT_FOREIGN_PROMPT},
      {{1ull << 30, true, linuxGpt, u"home", 0, false},
       PartitionKind::kLinux,
       IDS_FORMAT_FOREIGN_PROMPT},
      {{1ull << 30, true, basicData, {}, 0, false}, PartitionKind::kBlank, IDS_FORMAT_PROMPT},
      {{1ull << 30, false, {}, {}, 0xA5, false},
       PartitionKind::kOtherSystem,
       IDS_FORMAT_FOREIGN_PROMPT},
      {{1ull << 30, true, basicData, {}, 0, true},
       PartitionKind::kBitLocker,
       IDS_FORMAT_BITLOCKER_PROMPT},
  };
  for (const Row& row : rows) {
    FormatDialogModel model(Question(VolumeProblem::Unformatted, 0));
    model.Describe(row.facts, std::nullopt);
    SCOPED_TRACE(ToUtf8(row.facts.gptType) + " " + std::to_string(row.facts.mbrType));
    EXPECT_EQ(model.partitionKind(), row.kind);
    EXPECT_EQ(model.view().promptTextId, row.prompt);
    EXPECT_EQ(model.view().choice, row.kind == PartitionKind::kBlank
                                       ? FormatChoice::kFormat
                                       : FormatChoice::kAlternatePath);
  }
  FormatDialogModel unread(Question(VolumeProblem::Unformatted, 0));
  unread.Describe(std::nullopt, std::nullopt);
  EXPECT_EQ(unread.view().promptTextId, IDS_FORMAT_PROMPT) << "nothing known: a plain format";
}

TEST(FormatDialog, TheConfirmationNamesSizeAndLabel) {
  FormatDialogModel model(Question(VolumeProblem::Unformatted, 0));
  model.Describe(platform::PartitionFacts{500107862016ull, true, u"{x}", u"Data", 0, false},
                 std::nullopt);
  FormatDialogModel::Confirmation facts = model.confirmation();
  EXPECT_EQ(ToUtf8(Text(1, facts.letter) + u"|" + facts.size + u"|" + facts.label), "X|466 GB|Data")
      << "the partition's name stands in for a label the volume can't give";
  model.Describe(platform::PartitionFacts{}, Text(u"BACKUP"));
  facts = model.confirmation();
  EXPECT_EQ(ToUtf8(facts.size + u"|" + facts.label), "|BACKUP") << "no size known: none named";
  EXPECT_EQ(ToUtf8(SizeText(512ull << 20)), "512 MB");
  EXPECT_EQ(ToUtf8(SizeText(12ull << 40)), "12 TB");
  EXPECT_EQ(ToUtf8(SizeText(9ull << 30)), "9216 MB");
}

}  // namespace
}  // namespace tarn::wizard
