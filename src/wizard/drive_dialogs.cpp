#include "wizard/drive_dialogs.h"

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

FormatDialogModel::FormatDialogModel(const app::VolumeQuestion& question)
    : path_(question.path), alternatePath_(question.path), countdown_(question.timeoutSeconds) {
  Choose(FormatChoice::kFormat);
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
  countdown_.Stop();
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
