#include "wizard/drive_dialogs.h"

#include <algorithm>
#include <iterator>

#include "base/format.h"
#include "resource.h"

namespace tarn::wizard {
namespace {

char16_t UpperLetter(TextView path) {
  if (path.empty()) return u'?';
  const char16_t c = path[0];
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

bool DriveCountdown::Tick() {
  if (!running_) return false;
  ++ticks_;
  if (ticks_ < seconds_) return false;
  running_ = false;
  return true;
}

Text DriveCountdown::Line(TextView format) const {
  if (!running_) return {};
  return Format(format, {secondsLeft()});
}

Text VolumeEntry(TextView root, const std::optional<Text>& label) {
  return Text(root) + u" (" + (label ? *label : Text(u"?")) + u")";
}

MissingVolumeModel::MissingVolumeModel(const app::VolumeQuestion& question,
                                       std::vector<Text> entries)
    : path_(question.path), entries_(std::move(entries)), countdown_(question.timeoutSeconds) {}

char16_t MissingVolumeModel::driveLetter() const {
  return UpperLetter(path_);
}

DriveStep MissingVolumeModel::Choose() {
  if (selected_ >= entries_.size() || entries_[selected_].empty() || path_.empty()) {
    return DriveStep::kStay;
  }
  reply_ = {};
  reply_.answer = app::VolumeAnswer::Retry;
  reply_.path = path_;
  reply_.path[0] = UpperLetter(entries_[selected_]);
  reply_.rememberDrive = dontAskAgain_;
  return DriveStep::kEnd;
}

DriveStep MissingVolumeModel::Cancel() {
  reply_ = {};
  return DriveStep::kEnd;
}

DriveStep MissingVolumeModel::Tick() {
  return countdown_.Tick() ? Cancel() : DriveStep::kStay;
}

PartitionKind KindOfPartition(const platform::PartitionFacts& facts) {
  // Linux: file system, swap, LVM, RAID, /home, root (x86-64, ARM64).
  static constexpr TextView kLinuxTypes[] = {
      u"{0FC63DAF-8483-4772-8E79-3D69D8477DE4}", u"{0657FD6D-A4AB-43C4-84E5-0933C84B4F4F}",
      u"{E6D6D379-F507-44C2-A23C-238F2A3DF928}", u"{A19D880F-05FC-4D3B-A006-743F0F84911E}",
      u"{933AC7E1-2EB4-4F13-B844-0E14E2AEF915}", u"{4F68BCE3-E8CD-4DB1-96E7-FBCAF984B709}",
      u"{B921B045-1DF0-41C3-AF44-4C6F280D3FAE}"};
  // macOS (HFS+, APFS), FreeBSD (UFS, ZFS), Solaris/illumos (ZFS).
  static constexpr TextView kOtherTypes[] = {
      u"{48465300-0000-11AA-AA11-00306543ECAC}", u"{7C3457EF-0000-11AA-AA11-00306543ECAC}",
      u"{516E7CB6-6ECF-11D6-8FF8-00022D09712B}", u"{516E7CBA-6ECF-11D6-8FF8-00022D09712B}",
      u"{6A898CC3-1DD2-11B2-99A6-080020736631}"};
  static constexpr uint8_t kLinuxBytes[] = {0x82, 0x83, 0x85, 0x8E, 0xFD};
  static constexpr uint8_t kOtherBytes[] = {0xA5, 0xA6, 0xA9, 0xAF, 0xBF};
  if (facts.bitLocker) return PartitionKind::kBitLocker;
  const auto listed = [](const auto& list, const auto& value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
  };
  if (facts.gpt) {
    const Text type = ToUpper(facts.gptType);
    if (listed(kLinuxTypes, TextView(type))) return PartitionKind::kLinux;
    if (listed(kOtherTypes, TextView(type))) return PartitionKind::kOtherSystem;
    return PartitionKind::kBlank;
  }
  if (listed(kLinuxBytes, facts.mbrType)) return PartitionKind::kLinux;
  if (listed(kOtherBytes, facts.mbrType)) return PartitionKind::kOtherSystem;
  return PartitionKind::kBlank;
}

Text SizeText(uint64_t bytes) {
  static constexpr const char16_t* kUnits[] = {u"B", u"KB", u"MB", u"GB", u"TB", u"PB"};
  size_t unit = 0;
  uint64_t amount = bytes;
  // Whole numbers of at least 10 keep enough precision without a fraction.
  while (amount >= 10 * 1024 && unit + 1 < std::size(kUnits)) {
    amount = (amount + 512) / 1024;
    ++unit;
  }
  return DecimalText(static_cast<int64_t>(amount)) + u" " + kUnits[unit];
}

FormatDialogModel::FormatDialogModel(const app::VolumeQuestion& question)
    : path_(question.path), alternatePath_(question.path), countdown_(question.timeoutSeconds) {
  view_.promptTextId = IDS_FORMAT_PROMPT;
  Choose(FormatChoice::kFormat);
}

void FormatDialogModel::Describe(const std::optional<platform::PartitionFacts>& partition,
                                 const std::optional<Text>& label) {
  kind_ = partition ? KindOfPartition(*partition) : PartitionKind::kBlank;
  bytes_ = partition ? partition->bytes : 0;
  volumeLabel_ = label && !label->empty() ? *label : partition ? partition->gptName : Text();
  switch (kind_) {
    case PartitionKind::kBlank:
      view_.promptTextId = IDS_FORMAT_PROMPT;
      return;
    case PartitionKind::kBitLocker:
      view_.promptTextId = IDS_FORMAT_BITLOCKER_PROMPT;
      break;
    case PartitionKind::kLinux:
    case PartitionKind::kOtherSystem:
      view_.promptTextId = IDS_FORMAT_FOREIGN_PROMPT;
      break;
  }
  // Another system's data: formatting is offered, but not as the first choice.
  Choose(FormatChoice::kAlternatePath);
}

FormatDialogModel::Confirmation FormatDialogModel::confirmation() const {
  return {driveLetter(), bytes_ > 0 ? SizeText(bytes_) : Text(), volumeLabel_};
}

char16_t FormatDialogModel::driveLetter() const {
  return UpperLetter(path_);
}

void FormatDialogModel::Choose(FormatChoice choice) {
  if (view_.formatting) return;
  view_.choice = choice;
  view_.formatFieldsEnabled = choice == FormatChoice::kFormat;
  view_.pathEnabled = !view_.formatFieldsEnabled;
  view_.startTextId = view_.formatFieldsEnabled ? IDS_FORMAT_START : IDS_USE_PATH;
}

void FormatDialogModel::SelectFileSystem(size_t index) {
  fileSystem_ = index < std::size(kFileSystems) ? index : 0;
  view_.labelLimit = fileSystem_ == 0 ? 31 : 11;
  if (label_.size() > view_.labelLimit) label_.resize(view_.labelLimit);
}

DriveStep FormatDialogModel::Start() {
  if (view_.formatting) return DriveStep::kStay;
  if (view_.choice == FormatChoice::kAlternatePath) {
    return End(app::VolumeAnswer::Retry, alternatePath_);
  }
  // Whoever asked for the format is there to confirm it.
  countdown_.Stop();
  return DriveStep::kConfirmFormat;
}

DriveStep FormatDialogModel::ConfirmFormat(bool yes) {
  if (!yes || view_.formatting || view_.choice != FormatChoice::kFormat) return DriveStep::kStay;
  view_.formatting = true;
  view_.startEnabled = false;
  view_.formatFieldsEnabled = false;
  view_.pathEnabled = false;
  return DriveStep::kStartFormat;
}

platform::FormatRequest FormatDialogModel::formatRequest() const {
  Text label = label_.substr(0, view_.labelLimit);
  return {Text(1, driveLetter()) + u":\\", kFileSystems[fileSystem_], std::move(label)};
}

DriveStep FormatDialogModel::Ignore() {
  return view_.formatting ? DriveStep::kStay : End(app::VolumeAnswer::Ignore);
}

DriveStep FormatDialogModel::Cancel() {
  return view_.formatting ? DriveStep::kStay : End(app::VolumeAnswer::Cancel);
}

DriveStep FormatDialogModel::Tick() {
  return countdown_.Tick() ? Cancel() : DriveStep::kStay;
}

DriveStep FormatDialogModel::FormatEnded(WinError result) {
  if (!view_.formatting) return DriveStep::kStay;
  view_.formatting = false;
  view_.percent = 100;
  // Formatted or not, the worker looks at the drive again and asks anew
  // when it is still unusable.
  (void)End(app::VolumeAnswer::Retry);
  return result == kErrorSuccess ? DriveStep::kEnd : DriveStep::kShowFailure;
}

DriveStep FormatDialogModel::End(app::VolumeAnswer answer, Text path) {
  reply_ = {};
  reply_.answer = answer;
  reply_.path = std::move(path);
  return DriveStep::kEnd;
}

}  // namespace tarn::wizard
