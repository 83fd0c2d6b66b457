// Files, folders and volumes, with Windows path rules (drive letters, UNC
// paths, case-insensitive names).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/security.h"

namespace tarn::platform {

inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
inline constexpr uint32_t kFileAttributeReadOnly = 0x1;
inline constexpr uint32_t kFileAttributeHidden = 0x2;
inline constexpr uint32_t kFileAttributeSystem = 0x4;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeArchive = 0x20;
inline constexpr uint32_t kFileAttributeNormal = 0x80;
// A junction or symbolic link: the entry is a link, not what it leads to.
inline constexpr uint32_t kFileAttributeReparsePoint = 0x400;

// ERROR_UNRECOGNIZED_VOLUME: the volume carries no file system the system knows.
inline constexpr WinError kErrorUnrecognizedVolume = 1005;
// ERROR_MOD_NOT_FOUND: a library the operation needs can't be loaded.
inline constexpr WinError kErrorModNotFound = 126;
// ERROR_GEN_FAILURE: a device did not do what it was asked.
inline constexpr WinError kErrorGenFailure = 31;

// GetDriveTypeW answers.
inline constexpr uint32_t kDriveTypeRemovable = 2;
inline constexpr uint32_t kDriveTypeFixed = 3;
inline constexpr uint32_t kDriveTypeRemote = 4;
inline constexpr uint32_t kDriveTypeCdRom = 5;
inline constexpr uint32_t kDriveTypeRamDisk = 6;

// 100-nanosecond intervals since 1601-01-01 (FILETIME), UTC.
using FileTime = uint64_t;

struct FileInfo {
  uint32_t attributes = 0;
  uint64_t size = 0;
  FileTime creationTime = 0;
  FileTime lastWriteTime = 0;
};

struct DirectoryEntry {
  Text name;
  FileInfo info;
};

// What a quick format is asked to make of a volume.
struct FormatRequest {
  // A drive root such as "D:\\".
  Text root;
  // "NTFS" or "FAT32".
  Text fileSystem;
  Text label;
};

// The volume that holds a path, as GetVolumePathNameW, GetDriveTypeW and
// GetVolumeInformationW tell it.
struct VolumeFacts {
  // The volume's root with its backslash: "C:\\", "\\\\server\\share\\", or the
  // folder a volume is mounted on.
  Text root;
  // As DriveType answers for the root.
  uint32_t driveType = 0;
  // "NTFS", "FAT32", "exFAT", ...; empty when the volume does not say.
  Text fileSystem;
};

// What the partition under a drive letter says of itself, as
// IOCTL_DISK_GET_PARTITION_INFO_EX and the volume's first sector tell it:
// enough to tell a blank partition from another system's.
struct PartitionFacts {
  uint64_t bytes = 0;
  // GPT: the partition type as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
  // (upper case) and the partition's name; MBR: its type byte.
  bool gpt = false;
  Text gptType;
  Text gptName;
  uint8_t mbrType = 0;
  // The first sector carries BitLocker's signature "-FVE-FS-".
  bool bitLocker = false;
};

// Receives the percentage done while a volume is formatted.
using FormatProgress = std::function<void(uint32_t percent)>;

// A file opened for writing; closed when destroyed.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // WriteFile of all `bytes`.
  [[nodiscard]] virtual WinError Write(std::span<const uint8_t> bytes) = 0;
};

// A file opened for reading; closed when destroyed. Lets a reader take the
// few parts of a large file it needs instead of the whole file.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The size when the file was opened (GetFileSizeEx).
  [[nodiscard]] virtual uint64_t Size() const = 0;
  // ReadFile at `offset` into `buffer`: the number of bytes read, fewer than
  // asked only at the end of the file.
  [[nodiscard]] virtual Result<size_t> ReadAt(uint64_t offset, std::span<uint8_t> buffer) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // GetFileAttributesW; kInvalidFileAttributes when the path does not exist.
  [[nodiscard]] virtual uint32_t GetAttributes(TextView path) = 0;
  [[nodiscard]] bool Exists(TextView path) { return GetAttributes(path) != kInvalidFileAttributes; }
  [[nodiscard]] bool IsDirectory(TextView path) {
    const uint32_t a = GetAttributes(path);
    return a != kInvalidFileAttributes && (a & kFileAttributeDirectory) != 0;
  }
  [[nodiscard]] virtual WinError SetAttributes(TextView path, uint32_t attributes) = 0;
  // Size and times of a file or folder.
  [[nodiscard]] virtual Result<FileInfo> GetInfo(TextView path) = 0;

  [[nodiscard]] virtual Result<std::vector<uint8_t>> ReadAll(TextView path) = 0;
  // CreateFileW(GENERIC_READ, OPEN_EXISTING, share read and write); fails as
  // ReadAll does for missing files and folders.
  [[nodiscard]] virtual Result<std::unique_ptr<ReadableFile>> OpenForReading(TextView path) = 0;
  // Creates or truncates the file and writes `bytes`.
  [[nodiscard]] virtual WinError WriteAll(TextView path, std::span<const uint8_t> bytes) = 0;
  // CreateFileW(CREATE_ALWAYS, share read, optionally FILE_FLAG_WRITE_THROUGH).
  [[nodiscard]] virtual Result<std::unique_ptr<WritableFile>> CreateAlways(TextView path,
                                                                           bool writeThrough) = 0;

  // CreateFileW(GENERIC_WRITE, CREATE_NEW, share read, optionally
  // FILE_FLAG_WRITE_THROUGH): kErrorFileExists when anything is at `path`, so
  // a name nobody else could have prepared.
  [[nodiscard]] virtual Result<std::unique_ptr<WritableFile>> CreateNew(TextView path,
                                                                        bool writeThrough) = 0;
  // CreateFileW(FILE_APPEND_DATA, OPEN_EXISTING, share read, optionally
  // FILE_FLAG_WRITE_THROUGH): every write goes to the end of what is there;
  // kErrorFileNotFound when the file is missing.
  [[nodiscard]] virtual Result<std::unique_ptr<WritableFile>> OpenToAppend(TextView path,
                                                                           bool writeThrough) = 0;

  // CreateDirectoryW: one level; kErrorAlreadyExists when present.
  [[nodiscard]] virtual WinError CreateDirectory(TextView path) = 0;
  [[nodiscard]] virtual WinError RemoveDirectory(TextView path) = 0;
  [[nodiscard]] virtual WinError DeleteFile(TextView path) = 0;
  [[nodiscard]] virtual WinError CopyFile(TextView from, TextView to, bool failIfExists) = 0;
  [[nodiscard]] virtual WinError MoveFile(TextView from, TextView to) = 0;
  // MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH): `to`
  // becomes the file `from` was, whole, even when `to` existed; returns when
  // the move is on disk.
  [[nodiscard]] virtual WinError ReplaceFile(TextView from, TextView to) = 0;
  // FindFirstFileW / FindNextFileW over `folder`, without "." and "..".
  [[nodiscard]] virtual Result<std::vector<DirectoryEntry>> ListDirectory(TextView folder) = 0;

  // GetCurrentDirectoryW / SetCurrentDirectoryW.
  [[nodiscard]] virtual Text CurrentDirectory() = 0;
  [[nodiscard]] virtual WinError SetCurrentDirectory(TextView path) = 0;

  // GetDriveTypeW of a root such as "C:\\" (0 unknown, 1 no root, 2 removable,
  // 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk).
  [[nodiscard]] virtual uint32_t DriveType(TextView root) = 0;
  // GetLogicalDriveStringsW: roots such as "C:\\".
  [[nodiscard]] virtual std::vector<Text> LogicalDrives() = 0;

  // Volumes and formatting.

  // The volume that holds `path` (which need not exist below its root).
  [[nodiscard]] virtual Result<VolumeFacts> DescribeVolume(TextView path) = 0;
  // GetFileAttributesW of a drive root such as "D:\\": kErrorSuccess when it
  // answers, else its error: kErrorUnrecognizedVolume for a volume without a
  // file system, kErrorPathNotFound for a letter without a volume.
  [[nodiscard]] virtual WinError VolumeState(TextView root) = 0;
  // GetVolumeInformationW's label of a drive root; empty for none.
  [[nodiscard]] virtual Result<Text> VolumeLabel(TextView root) = 0;
  // The partition of a drive root such as "D:\\", read through the volume
  // device (which needs an administrator); its error when it can't be read.
  [[nodiscard]] virtual Result<PartitionFacts> DescribePartition(TextView root) = 0;
  // Quick-formats the volume of `request.root` with 4096-byte clusters and
  // returns when it has ended, kErrorSuccess when it succeeded. Never waits
  // for a formatter that isn't there: that fails with kErrorModNotFound.
  [[nodiscard]] virtual WinError FormatVolume(const FormatRequest& request,
                                              const FormatProgress& progress) = 0;

  // Owners and access lists.
  // SetNamedSecurityInfoW(file object, owner only).
  [[nodiscard]] virtual WinError SetOwner(TextView path, const Sid& owner) = 0;
  // SetNamedSecurityInfoW(file object, protected DACL): `entries` replace the
  // access list and nothing is inherited from the parent folder.
  [[nodiscard]] virtual WinError SetAccessList(TextView path,
                                               std::span<const AccessEntry> entries) = 0;
  // CreateDirectoryW (one level) with a security descriptor whose protected
  // access list is `entries`: the folder never exists with another list.
  [[nodiscard]] virtual WinError CreateProtectedDirectory(TextView path,
                                                          std::span<const AccessEntry> entries) = 0;
  // GetNamedSecurityInfoW: the owner / the access-allowed entries in order.
  // An object without an access list (everyone may do everything) answers
  // one entry that grants Everyone kGenericAll.
  [[nodiscard]] virtual Result<Sid> GetOwner(TextView path) = 0;
  [[nodiscard]] virtual Result<std::vector<AccessEntry>> GetAccessList(TextView path) = 0;
};

}  // namespace tarn::platform
