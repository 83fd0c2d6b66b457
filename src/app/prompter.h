// The questions the installation asks a person while it works, each with a
// time-out so that an unattended run never waits. The user interface shows
// them as dialogs; an unattended run and the tests answer them in code.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace tarn::app {

// Why a folder's drive can't be used.
enum class VolumeProblem {
  // The drive letter names no volume.
  Missing,
  // The volume is there but carries no file system the system recognises.
  Unformatted,
};

enum class VolumeAnswer {
  // Look at the drive again; the path may have been changed.
  Retry,
  // Quick-format the volume as the answer says, then look again.
  Format,
  // Go on as if the drive were fine.
  Ignore,
  // Give up on this path (also what an expired countdown means).
  Cancel,
};

struct VolumeQuestion {
  VolumeProblem problem = VolumeProblem::Missing;
  // The path whose drive is asked about.
  Text path;
  // Seconds before the question answers Cancel by itself; 0 waits for a person.
  uint32_t timeoutSeconds = 0;
};

struct VolumeReply {
  VolumeAnswer answer = VolumeAnswer::Cancel;
  // With Retry: the path to use from now on (another drive letter or an
  // alternate path); empty keeps the asked path.
  Text path;
  // With Retry after Missing: every later path on the missing drive is moved
  // to the new path's drive without asking.
  bool rememberDrive = false;
  // With Format: "NTFS" or "FAT32", and the volume label.
  Text fileSystem;
  Text label;
};

// Seconds a question waits when an automatic start or end is armed.
inline constexpr uint32_t kUnattendedQuestionSeconds = 10;

class Prompter {
 public:
  virtual ~Prompter() = default;
  [[nodiscard]] virtual VolumeReply AskVolume(const VolumeQuestion& question) = 0;
};

// The answers nobody is there to give: every question ends as its countdown
// would, with Cancel, at once.
class UnattendedPrompter final : public Prompter {
 public:
  [[nodiscard]] VolumeReply AskVolume(const VolumeQuestion&) override { return {}; }
};

}  // namespace tarn::app
