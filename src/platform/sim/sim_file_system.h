// A simulated file system with Windows path rules: drive letters and UNC
// roots, either separator, names that compare ignoring case, attributes,
// sizes and times. A volume may instead stand for a real host folder, so
// native tools can work on actual files through the same interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

inline constexpr WinError kErrorInvalidName = 123;
inline constexpr WinError kErrorSharingViolation = 32;
inline constexpr WinError kErrorNotSameDevice = 17;
inline constexpr WinError kErrorCantResolveFilename = 1921;

inline constexpr uint32_t kDriveRemovable = 2;
inline constexpr uint32_t kDriveFixed = 3;
inline constexpr uint32_t kDriveRemote = 4;
inline constexpr uint32_t kDriveCdRom = 5;

// An absolute path taken apart: the volume root ("C:" or "\\server\share",
// upper-cased as the key of the volume) and the names below it, with "." and
// ".." already applied.
struct ParsedPath {
  Text root;
  std::vector<Text> names;
};

class VolumeStore;

class SimFileSystem : public platform::FileSystem {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // A machine with a fixed drive C: whose current directory is "C:\".
  SimFileSystem();
  ~SimFileSystem() override;

  // ---- Set-up for tests and tools ----

  // Adds an empty volume. `root` is a drive ("D:" or "D:\") or a share
  // ("\\server\share"); shares get kDriveRemote regardless of `driveType`.
  void AddVolume(TextView root, uint32_t driveType = kDriveFixed);
  // Lets a real host folder stand for `root` (a drive or share); every
  // operation below that root reaches the host files. Replaces any volume of
  // that root. Names are matched against host names ignoring case.
  void MountHostFolder(TextView root, const std::filesystem::path& hostPath,
                       uint32_t driveType = kDriveFixed);
  // Creates every missing folder of `path`; false when a file is in the way
  // or the volume does not exist.
  bool MakeDirectories(TextView path);
  // Writes a file, creating its folders first.
  bool PutFile(TextView path, std::span<const uint8_t> bytes);
  bool PutTextFile(TextView path, std::string_view utf8);
  // Sets the times of an existing file or folder (not on host volumes).
  bool SetTimes(TextView path, platform::FileTime creation, platform::FileTime lastWrite);
  // The time stamped on files created or written from now on.
  void SetClock(platform::FileTime now) { now_ = now; }
  // Makes `path` absolute against the current directory and applies "." and
  // ".."; kErrorInvalidName for characters no name may hold, kErrorPathNotFound
  // for an empty path, kErrorBadNetPath for an incomplete UNC root.
  [[nodiscard]] Result<ParsedPath> Locate(TextView path) const;

  // ---- platform::FileSystem ----
  [[nodiscard]] uint32_t GetAttributes(TextView path) override;
  [[nodiscard]] WinError SetAttributes(TextView path, uint32_t attributes) override;
  [[nodiscard]] Result<platform::FileInfo> GetInfo(TextView path) override;
  [[nodiscard]] Result<std::vector<uint8_t>> ReadAll(TextView path) override;
  [[nodiscard]] Result<std::unique_ptr<platform::ReadableFile>> OpenForReading(
      TextView path) override;
  [[nodiscard]] WinError WriteAll(TextView path, std::span<const uint8_t> bytes) override;
  [[nodiscard]] Result<std::unique_ptr<platform::WritableFile>> CreateAlways(
      TextView path, bool writeThrough) override;
  [[nodiscard]] Result<std::unique_ptr<platform::WritableFile>> CreateNew(
      TextView path, bool writeThrough) override;
  [[nodiscard]] Result<std::unique_ptr<platform::WritableFile>> OpenToAppend(
      TextView path, bool writeThrough) override;
  [[nodiscard]] WinError CreateDirectory(TextView path) override;
  [[nodiscard]] WinError RemoveDirectory(TextView path) override;
  [[nodiscard]] WinError DeleteFile(TextView path) override;
  [[nodiscard]] WinError CopyFile(TextView from, TextView to, bool failIfExists) override;
  [[nodiscard]] WinError MoveFile(TextView from, TextView to) override;
  // A folder at `to` is never replaced (access denied, as on Windows).
  [[nodiscard]] WinError ReplaceFile(TextView from, TextView to) override;
  [[nodiscard]] Result<std::vector<platform::DirectoryEntry>> ListDirectory(
      TextView folder) override;
  [[nodiscard]] Text CurrentDirectory() override;
  [[nodiscard]] WinError SetCurrentDirectory(TextView path) override;
  [[nodiscard]] uint32_t DriveType(TextView root) override;
  [[nodiscard]] std::vector<Text> LogicalDrives() override;

  // Volumes and formatting.

  // Adds a volume without a file system: its root answers
  // kErrorUnrecognizedVolume and nothing can be stored on it until formatted.
  void AddUnformattedVolume(TextView root, uint32_t driveType = kDriveFixed);
  // Takes the volume of a drive away, as when a disk is removed.
  void RemoveVolume(TextView root);
  void SetVolumeLabel(TextView root, TextView label);
  // What DescribePartition answers for the volume; by default an MBR
  // partition of type 7 (NTFS/exFAT) of 64 GiB.
  void SetPartitionFacts(TextView root, const platform::PartitionFacts& facts);
  // The file system a volume reports; new volumes say "NTFS", removable ones
  // "FAT32", as they come from the shop.
  void SetVolumeFileSystem(TextView root, TextView fileSystem);
  // Whether FormatVolume finds a formatter (Wine has none).
  void SetFormatterPresent(bool present) { formatterPresent_ = present; }
  [[nodiscard]] WinError VolumeState(TextView root) override;
  [[nodiscard]] Result<Text> VolumeLabel(TextView root) override;
  [[nodiscard]] Result<platform::PartitionFacts> DescribePartition(TextView root) override;
  // Volumes are drives and shares only (nothing is mounted on a folder).
  [[nodiscard]] Result<platform::VolumeFacts> DescribeVolume(TextView path) override;
  [[nodiscard]] WinError FormatVolume(const platform::FormatRequest& request,
                                      const platform::FormatProgress& progress) override;

  // ---- Reparse points, owners and access lists ----
  // Set-up: makes `link` (its parent exists, the name is free) a junction to
  // the folder `target`. Paths through the link reach the target; the link
  // itself reports kFileAttributeReparsePoint, lists the target's entries
  // and is removed by RemoveDirectory without touching the target.
  bool MakeJunction(TextView link, TextView target);
  // Set-up: a compatibility junction as Windows 10/11 leaves them for
  // programs that still use the old names ("Documents and Settings",
  // "My Documents", ...): hidden and system, paths through it reach the
  // target, but listing the link itself is refused (kErrorAccessDenied), as
  // their access list denies Everyone the listing of that folder.
  bool MakeCompatibilityJunction(TextView link, TextView target);
  // Entries without an owner of their own are owned by Administrators; an
  // entry without its own access list inherits the inheritable entries of
  // the nearest folder above that has one.
  [[nodiscard]] WinError SetOwner(TextView path, const platform::Sid& owner) override;
  [[nodiscard]] WinError SetAccessList(TextView path,
                                       std::span<const platform::AccessEntry> entries) override;
  [[nodiscard]] WinError CreateProtectedDirectory(
      TextView path, std::span<const platform::AccessEntry> entries) override;
  [[nodiscard]] Result<platform::Sid> GetOwner(TextView path) override;
  [[nodiscard]] Result<std::vector<platform::AccessEntry>> GetAccessList(TextView path) override;

 private:
  class SimWritableFile;
  struct Volume;

  // Makes `store` the volume of `root` (a drive or share), replacing any
  // volume there; shares get kDriveRemote. Does nothing when `root` does not
  // parse as a path.
  void PutVolume(TextView root, uint32_t driveType, std::unique_ptr<VolumeStore> store);
  Volume* FindVolume(const Text& root);
  // Attributes, size and times of `path`, with the system's error codes.
  Result<platform::FileInfo> StatParsed(const ParsedPath& path);
  // kErrorSuccess when the folder that would hold `path` exists.
  WinError CheckParent(const ParsedPath& path);
  WinError WriteParsed(const ParsedPath& path, std::span<const uint8_t> bytes, bool append);
  WinError CopyParsed(const ParsedPath& from, const ParsedPath& to);

  struct Security {
    std::optional<platform::Sid> owner;
    std::optional<std::vector<platform::AccessEntry>> entries;
  };
  // The target of a junction at `path`, when there is one.
  [[nodiscard]] const ParsedPath* JunctionAt(const ParsedPath& path) const;
  // Forgets the junction and security of a removed entry.
  void Forget(const ParsedPath& path);

  std::map<Text, std::unique_ptr<Volume>> volumes_;
  // By the upper-cased path text.
  std::map<Text, ParsedPath> junctions_;
  // Junctions (by the same key) whose own listing is denied.
  std::set<Text> unlistable_;
  std::map<Text, Security> security_;
  ParsedPath current_;
  platform::FileTime now_ = 133000000000000000ULL;
  bool formatterPresent_ = true;
  // A volume of `root` whether formatted or not.
  Volume* FindAnyVolume(const Text& root);
  // The volume key of a drive root given as "D:", "D:\\" or a longer path.
  std::optional<Text> DriveKey(TextView root) const;
  FaultGate faults_;
};

// The text of a parsed path ("C:\a\b", "\\srv\share\a").
[[nodiscard]] Text JoinPath(const ParsedPath& path);

}  // namespace tarn::sim
