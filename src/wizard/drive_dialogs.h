// The two drive questions as models: the missing-volume dialog (choose
// another drive letter) and the format dialog (quick-format the volume or
// give another path). Both count down when the question has a time-out; the
// windows pass the ticks, clicks and the format's outcome in.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/prompter.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace tarn::wizard {

// A question's countdown: it runs while nobody has touched the dialog.
class DriveCountdown {
 public:
  // `seconds` 0: no countdown at all.
  explicit DriveCountdown(uint32_t seconds) : seconds_(seconds), running_(seconds > 0) {}
  [[nodiscard]] bool running() const { return running_; }
  [[nodiscard]] uint32_t secondsLeft() const { return seconds_ - ticks_; }
  // One second has passed; true when this tick ran the countdown out.
  [[nodiscard]] bool Tick();
  // A key or a click: the countdown ends for good.
  void Stop() { running_ = false; }
  // The countdown line from `format` (one integer: seconds left); empty when
  // the countdown is not running.
  [[nodiscard]] Text Line(TextView format) const;

 private:
  uint32_t seconds_;
  uint32_t ticks_ = 0;
  bool running_;
};

// What the partition of a volume without a recognised file system is.
enum class PartitionKind {
  kBlank,        // a Windows partition, or nothing tells otherwise
  kLinux,        // a Linux file system, swap, LVM or RAID member
  kBitLocker,    // a BitLocker volume Windows can't open (locked)
  kOtherSystem,  // another operating system's (BSD, macOS, Solaris)
};

// Judges the partition type and BitLocker's signature.
[[nodiscard]] PartitionKind KindOfPartition(const platform::PartitionFacts& facts);

// A size for people, in whole units of 1024 so that no decimal separator
// depends on the language: "512 MB", "466 GB", "12 TB" (at least 10 of a unit).
[[nodiscard]] Text SizeText(uint64_t bytes);

// What the window does after an event.
enum class DriveStep {
  kStay,
  // End the dialog with reply().
  kEnd,
  // Run the format of formatRequest() on its own thread.
  kStartFormat,
  // Tell the user that the format failed, then end with reply().
  kShowFailure,
  // Ask once more, naming the drive (confirmation()); the answer goes to
  // ConfirmFormat.
  kConfirmFormat,
};

// "D:\\ (Label)" for a volume, "D:\\ (?)" when its label can't be read.
[[nodiscard]] Text VolumeEntry(TextView root, const std::optional<Text>& label);

class MissingVolumeModel {
 public:
  // `entries` are the volume list's lines (VolumeEntry); the first is selected.
  MissingVolumeModel(const app::VolumeQuestion& question, std::vector<Text> entries);
  [[nodiscard]] const std::vector<Text>& entries() const { return entries_; }
  [[nodiscard]] DriveCountdown& countdown() { return countdown_; }
  // The upper-case drive letter asked about.
  [[nodiscard]] char16_t driveLetter() const;
  void Select(size_t index) { selected_ = index; }
  void SetDontAskAgain(bool on) { dontAskAgain_ = on; }
  // Choose: another drive for the path; stays when no volume is selected.
  [[nodiscard]] DriveStep Choose();
  // Cancel, Escape, Close.
  [[nodiscard]] DriveStep Cancel();
  // A second passed: ends with Cancel when the countdown runs out.
  [[nodiscard]] DriveStep Tick();
  [[nodiscard]] const app::VolumeReply& reply() const { return reply_; }

 private:
  Text path_;
  std::vector<Text> entries_;
  DriveCountdown countdown_;
  size_t selected_ = 0;
  bool dontAskAgain_ = false;
  app::VolumeReply reply_;
};

enum class FormatChoice { kFormat, kAlternatePath };

// What the format dialog's controls show.
struct FormatView {
  FormatChoice choice = FormatChoice::kFormat;
  bool formatting = false;
  // Label and file system go with kFormat, the path field with kAlternatePath.
  bool formatFieldsEnabled = true;
  bool pathEnabled = false;
  bool startEnabled = true;
  // The start button's text: the format or the use-path text.
  uint32_t startTextId = 0;
  // The prompt: the drive has no file system, holds another system's
  // partition, or is a locked BitLocker volume (each with the drive letter;
  // the second also with the system's name).
  uint32_t promptTextId = 0;
  // 31 for NTFS, 11 for FAT32.
  size_t labelLimit = 31;
  uint32_t percent = 0;
};

class FormatDialogModel {
 public:
  // The file systems offered, the first selected.
  static constexpr const char16_t* kFileSystems[] = {u"NTFS", u"FAT32"};

  explicit FormatDialogModel(const app::VolumeQuestion& question);
  // What Windows told of the volume (either may be missing): its partition
  // and its label. Another system's partition, or BitLocker's, is named in
  // the prompt, and the dialog starts on the alternate path instead.
  void Describe(const std::optional<platform::PartitionFacts>& partition,
                const std::optional<Text>& label);
  [[nodiscard]] PartitionKind partitionKind() const { return kind_; }
  // The drive as the confirmation names it: its size (empty when unknown)
  // and its label (the volume's, else the GPT partition's name; empty for
  // none).
  struct Confirmation {
    char16_t letter = 0;
    Text size;
    Text label;
  };
  [[nodiscard]] Confirmation confirmation() const;
  [[nodiscard]] const FormatView& view() const { return view_; }
  [[nodiscard]] DriveCountdown& countdown() { return countdown_; }
  [[nodiscard]] char16_t driveLetter() const;
  [[nodiscard]] const Text& alternatePath() const { return alternatePath_; }
  void Choose(FormatChoice choice);
  void SelectFileSystem(size_t index);
  void SetLabel(Text label) { label_ = std::move(label); }
  void SetAlternatePath(Text path) { alternatePath_ = std::move(path); }
  // The start button: asks for the confirmation of a format
  // (kConfirmFormat), or ends with the typed path.
  [[nodiscard]] DriveStep Start();
  // The confirmation's answer: yes begins the format (kStartFormat); no
  // leaves the dialog as it was.
  [[nodiscard]] DriveStep ConfirmFormat(bool yes);
  // The volume to format: always the drive asked about.
  [[nodiscard]] platform::FormatRequest formatRequest() const;
  // Ignore; stays while formatting.
  [[nodiscard]] DriveStep Ignore();
  // Cancel, Escape, Close; stay while formatting.
  [[nodiscard]] DriveStep Cancel();
  [[nodiscard]] DriveStep Tick();
  void Progress(uint32_t percent) { view_.percent = percent > 100 ? 100 : percent; }
  // The format thread has returned `result`: the drive is looked at again.
  [[nodiscard]] DriveStep FormatEnded(WinError result);
  [[nodiscard]] const app::VolumeReply& reply() const { return reply_; }

 private:
  [[nodiscard]] DriveStep End(app::VolumeAnswer answer, Text path = {});

  Text path_;
  Text alternatePath_;
  Text label_;
  size_t fileSystem_ = 0;
  PartitionKind kind_ = PartitionKind::kBlank;
  uint64_t bytes_ = 0;
  Text volumeLabel_;
  DriveCountdown countdown_;
  FormatView view_;
  app::VolumeReply reply_;
};

}  // namespace tarn::wizard
