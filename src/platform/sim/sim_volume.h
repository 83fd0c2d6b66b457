// The storage behind one volume of the simulated file system: either a tree
// in memory or a real host folder. Paths are the names below the volume's
// root, already split and normalised; the file system does the Windows rule
// checks and asks the store only for plain operations.
#pragma once

#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace tarn::sim {

using Names = std::vector<Text>;

class VolumeStore {
 public:
  virtual ~VolumeStore() = default;

  // Attributes, size and times; kErrorFileNotFound when the last name is
  // missing, kErrorPathNotFound when a folder on the way is missing or a file.
  [[nodiscard]] virtual Result<platform::FileInfo> Stat(const Names& names) = 0;
  // Precondition: `names` is an existing file.
  [[nodiscard]] virtual Result<std::vector<uint8_t>> Read(const Names& names) = 0;
  // Precondition: `names` is an existing file.
  [[nodiscard]] virtual Result<std::unique_ptr<platform::ReadableFile>> Open(
      const Names& names) = 0;
  // Creates the file (its folder exists) or truncates it, or appends to it.
  [[nodiscard]] virtual WinError Write(const Names& names, std::span<const uint8_t> bytes,
                                       bool append, platform::FileTime now) = 0;
  // Precondition: the parent folder exists and the name is free.
  [[nodiscard]] virtual WinError MakeDirectory(const Names& names, platform::FileTime now) = 0;
  // Precondition: an existing, empty folder / an existing file.
  [[nodiscard]] virtual WinError RemoveDirectory(const Names& names) = 0;
  [[nodiscard]] virtual WinError RemoveFile(const Names& names) = 0;
  // Precondition: an existing folder. Entries in the order the system lists them.
  [[nodiscard]] virtual Result<std::vector<platform::DirectoryEntry>> List(const Names& names) = 0;
  // Precondition: `from` exists, `to`'s folder exists and its name is free.
  [[nodiscard]] virtual WinError Rename(const Names& from, const Names& to) = 0;
  [[nodiscard]] virtual WinError SetAttributes(const Names& names, uint32_t attributes) = 0;
  [[nodiscard]] virtual WinError SetTimes(const Names& names, platform::FileTime creation,
                                          platform::FileTime lastWrite) = 0;
};

[[nodiscard]] std::unique_ptr<VolumeStore> MakeMemoryVolume(platform::FileTime now);
[[nodiscard]] std::unique_ptr<VolumeStore> MakeHostVolume(std::filesystem::path root);

}  // namespace tarn::sim
