// One profile file read once and answered from memory, for a reader that
// asks many keys of it at once (the settings at start): through the profile
// functions every key would read the file again.
#pragma once

#include <optional>

#include "platform/profile_document.h"
#include "platform/profile_files.h"

namespace tarn::platform {

class FileSystem;

class ProfileSnapshot final : public ProfileFiles {
 public:
  // Reads `file` through `files` now, in the ANSI code page `ansiCodePage`
  // (the system's, as the profile functions read it). Reads of that file are
  // answered from this copy; other files, every write, and every read when
  // the file could not be read go to `system`. `system` and `files` outlive
  // the snapshot.
  ProfileSnapshot(ProfileFiles& system, FileSystem& files, TextView file, uint32_t ansiCodePage);

  [[nodiscard]] ProfileBuffer GetString(TextView file, TextView section, TextView key,
                                        TextView defaultValue, uint32_t capacity) override;
  [[nodiscard]] int32_t GetInt(TextView file, TextView section, TextView key,
                               int32_t defaultValue) override;
  [[nodiscard]] ProfileBuffer GetSection(TextView file, TextView section,
                                         uint32_t capacity) override;
  [[nodiscard]] ProfileBuffer GetSectionNames(TextView file, uint32_t capacity) override;
  [[nodiscard]] std::optional<std::vector<uint8_t>> GetStruct(TextView file, TextView section,
                                                              TextView key, uint32_t size) override;
  [[nodiscard]] WinError WriteString(TextView file, TextView section, std::optional<TextView> key,
                                     std::optional<TextView> value) override;
  [[nodiscard]] WinError WriteStruct(TextView file, TextView section, TextView key,
                                     const std::vector<uint8_t>& bytes) override;

 private:
  // The copy when `file` is the snapshot's file and it was read.
  [[nodiscard]] const ProfileDocument* CopyOf(TextView file) const;

  ProfileFiles& system_;
  Text file_;
  std::optional<ProfileDocument> document_;
};

}  // namespace tarn::platform
