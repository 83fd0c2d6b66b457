#include "platform/win32/win32_file_system.h"

#include <objbase.h>
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/win32/win32_access_lists.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system_library.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

platform::FileTime ToFileTime(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The fields both attribute queries and directory listings report.
template <class Data>
platform::FileInfo InfoFrom(const Data& data) {
  platform::FileInfo info;
  info.attributes = data.dwFileAttributes;
  info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  info.creationTime = ToFileTime(data.ftCreationTime);
  info.lastWriteTime = ToFileTime(data.ftLastWriteTime);
  return info;
}

WinError Succeeded(BOOL ok) {
  return ok ? kErrorSuccess : GetLastError();
}

class Win32WritableFile : public platform::WritableFile {
 public:
  explicit Win32WritableFile(UniqueFile file) : file_(std::move(file)) {}

  WinError Write(std::span<const uint8_t> bytes) override {
    size_t done = 0;
    while (done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file_.get(), bytes.data() + done, chunk, &written, nullptr)) {
        return GetLastError();
      }
      if (written == 0) return ERROR_WRITE_FAULT;
      done += written;
    }
    return kErrorSuccess;
  }

 private:
  UniqueFile file_;
};

Result<std::unique_ptr<platform::WritableFile>> OpenWritable(TextView path, DWORD access,
                                                             DWORD disposition, bool writeThrough) {
  using Opened = Result<std::unique_ptr<platform::WritableFile>>;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (writeThrough ? FILE_FLAG_WRITE_THROUGH : 0);
  UniqueFile file(CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              flags, nullptr));
  if (!file) return Opened::Failure(GetLastError());
  return Opened(std::make_unique<Win32WritableFile>(std::move(file)));
}

class Win32ReadableFile : public platform::ReadableFile {
 public:
  Win32ReadableFile(UniqueFile file, uint64_t size) : file_(std::move(file)), size_(size) {}

  [[nodiscard]] uint64_t Size() const override { return size_; }

  Result<size_t> ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
    size_t done = 0;
    while (done < buffer.size()) {
      // The offset travels with each read, so no file pointer is shared
      // between reads.
      OVERLAPPED at{};
      const uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(buffer.size() - done, 1u << 30));
      DWORD read = 0;
      if (!ReadFile(file_.get(), buffer.data() + done, chunk, &read, &at)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HANDLE_EOF) break;
        return Result<size_t>::Failure(error);
      }
      if (read == 0) break;
      done += read;
    }
    return done;
  }

 private:
  UniqueFile file_;
  uint64_t size_;
};

}  // namespace

uint32_t Win32FileSystem::GetAttributes(TextView path) {
  return GetFileAttributesW(Wide(path).c_str());
}

WinError Win32FileSystem::SetAttributes(TextView path, uint32_t attributes) {
  return Succeeded(SetFileAttributesW(Wide(path).c_str(), attributes));
}

Result<platform::FileInfo> Win32FileSystem::GetInfo(TextView path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) {
    return Result<platform::FileInfo>::Failure(GetLastError());
  }
  return InfoFrom(data);
}

Result<std::vector<uint8_t>> Win32FileSystem::ReadAll(TextView path) {
  using Bytes = Result<std::vector<uint8_t>>;
  UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Bytes::Failure(GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return Bytes::Failure(GetLastError());
  if (size.QuadPart > 0x7FFFFFFF) return Bytes::Failure(kErrorNotEnoughMemory);
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                  nullptr)) {
      return Bytes::Failure(GetLastError());
    }
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

Result<std::unique_ptr<platform::ReadableFile>> Win32FileSystem::OpenForReading(TextView path) {
  using Opened = Result<std::unique_ptr<platform::ReadableFile>>;
  UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Opened::Failure(GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return Opened::Failure(GetLastError());
  return Opened(
      std::make_unique<Win32ReadableFile>(std::move(file), static_cast<uint64_t>(size.QuadPart)));
}

WinError Win32FileSystem::WriteAll(TextView path, std::span<const uint8_t> bytes) {
  auto file = CreateAlways(path, false);
  if (!file) return file.error();
  return (*file)->Write(bytes);
}

Result<std::unique_ptr<platform::WritableFile>> Win32FileSystem::CreateAlways(TextView path,
                                                                              bool writeThrough) {
  return OpenWritable(path, GENERIC_WRITE, CREATE_ALWAYS, writeThrough);
}

Result<std::unique_ptr<platform::WritableFile>> Win32FileSystem::CreateNew(TextView path,
                                                                           bool writeThrough) {
  return OpenWritable(path, GENERIC_WRITE, CREATE_NEW, writeThrough);
}

Result<std::unique_ptr<platform::WritableFile>> Win32FileSystem::OpenToAppend(TextView path,
                                                                              bool writeThrough) {
  return OpenWritable(path, FILE_APPEND_DATA | SYNCHRONIZE, OPEN_EXISTING, writeThrough);
}

WinError Win32FileSystem::CreateDirectory(TextView path) {
  return Succeeded(CreateDirectoryW(Wide(path).c_str(), nullptr));
}

WinError Win32FileSystem::RemoveDirectory(TextView path) {
  return Succeeded(RemoveDirectoryW(Wide(path).c_str()));
}

WinError Win32FileSystem::DeleteFile(TextView path) {
  return Succeeded(DeleteFileW(Wide(path).c_str()));
}

WinError Win32FileSystem::CopyFile(TextView from, TextView to, bool failIfExists) {
  return Succeeded(CopyFileW(Wide(from).c_str(), Wide(to).c_str(), failIfExists));
}

WinError Win32FileSystem::MoveFile(TextView from, TextView to) {
  return Succeeded(MoveFileW(Wide(from).c_str(), Wide(to).c_str()));
}

WinError Win32FileSystem::ReplaceFile(TextView from, TextView to) {
  return Succeeded(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

Result<std::vector<platform::DirectoryEntry>> Win32FileSystem::ListDirectory(TextView folder) {
  using Listing = Result<std::vector<platform::DirectoryEntry>>;
  Text pattern(folder);
  if (!pattern.empty() && pattern.back() != u'\\' && pattern.back() != u'/') pattern += u'\\';
  pattern += u'*';
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileW(Wide(pattern).c_str(), &data));
  std::vector<platform::DirectoryEntry> entries;
  if (!find) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return entries;
    return Listing::Failure(error);
  }
  do {
    const Text name = FromWide(data.cFileName);
    if (name == u"." || name == u"..") continue;
    entries.push_back({name, InfoFrom(data)});
  } while (FindNextFileW(find.get(), &data));
  const DWORD error = GetLastError();
  if (error != ERROR_NO_MORE_FILES) return Listing::Failure(error);
  return entries;
}

Text Win32FileSystem::CurrentDirectory() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return Text();
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(length);
  }
  return Text();
}

WinError Win32FileSystem::SetCurrentDirectory(TextView path) {
  return Succeeded(SetCurrentDirectoryW(Wide(path).c_str()));
}

uint32_t Win32FileSystem::DriveType(TextView root) {
  return GetDriveTypeW(Wide(root).c_str());
}

std::vector<Text> Win32FileSystem::LogicalDrives() {
  std::wstring buffer(256, L'\0');
  DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length > buffer.size()) {
    buffer.resize(length);
    length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  std::vector<Text> drives;
  size_t start = 0;
  while (start < length && buffer[start] != L'\0') {
    const size_t end = buffer.find(L'\0', start);
    drives.push_back(FromWide(buffer.data() + start, end - start));
    start = end + 1;
  }
  return drives;
}

namespace {

// fmifs.dll is undocumented: these are the commands its FormatEx callback
// receives that the formatter understands, and the media kinds it takes.
constexpr DWORD kFormatProgress = 0;
constexpr DWORD kFormatDone = 11;
constexpr DWORD kFormatStructureProgress = 1;
constexpr DWORD kFormatClusterSizeTooSmall = 14;
constexpr DWORD kFormatClusterSizeTooBig = 15;
constexpr DWORD kMediaRemovable = 8;
constexpr DWORD kMediaFixed = 12;

using FormatCallback = BOOLEAN(WINAPI*)(DWORD command, DWORD subAction, PVOID argument);
using FormatExFunction = VOID(WINAPI*)(PWCHAR root, DWORD media, PWCHAR fileSystem, PWCHAR label,
                                       BOOL quick, DWORD clusterSize, FormatCallback callback);

// FormatEx passes no context to its callback; one format runs at a time on
// the calling thread, so the callback finds its caller here.
struct FormatOutcome {
  const platform::FormatProgress* progress = nullptr;
  bool ended = false;
  bool succeeded = false;
};
thread_local FormatOutcome* currentFormat = nullptr;

BOOLEAN WINAPI OnFormatEvent(DWORD command, DWORD, PVOID argument) {
  FormatOutcome* outcome = currentFormat;
  if (outcome == nullptr) return FALSE;
  try {
    switch (command) {
      case kFormatProgress:
        if (*outcome->progress && argument != nullptr) {
          (*outcome->progress)(*static_cast<const DWORD*>(argument));
        }
        return TRUE;
      case kFormatDone:
        outcome->ended = true;
        outcome->succeeded = argument != nullptr && *static_cast<const BOOLEAN*>(argument) != 0;
        if (*outcome->progress) (*outcome->progress)(100);
        return outcome->succeeded ? TRUE : FALSE;
      case kFormatStructureProgress:
      case kFormatClusterSizeTooSmall:
      case kFormatClusterSizeTooBig:
        return TRUE;
      default:
        return FALSE;
    }
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

WinError Win32FileSystem::VolumeState(TextView root) {
  if (GetFileAttributesW(Wide(root).c_str()) != INVALID_FILE_ATTRIBUTES) return kErrorSuccess;
  return GetLastError();
}

Result<Text> Win32FileSystem::VolumeLabel(TextView root) {
  wchar_t label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(Wide(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                             nullptr, 0)) {
    return Result<Text>::Failure(GetLastError());
  }
  return FromWide(label);
}

namespace {

// "\\.\D:" for "D:\": the volume device of a drive root.
std::wstring VolumeDevice(TextView root) {
  return L"\\\\.\\" + Wide(root.substr(0, 2));
}

Text GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  const int length = StringFromGUID2(guid, text, 40);
  return length > 1 ? FromWide(text, static_cast<size_t>(length - 1)) : Text();
}

struct PageFree {
  void operator()(void* page) const { VirtualFree(page, 0, MEM_RELEASE); }
};

// BitLocker writes "-FVE-FS-" where a file system keeps its OEM name.
bool HasBitLockerSignature(HANDLE volume) {
  constexpr DWORD kSectorBytes = 4096;  // a multiple of every sector size
  std::unique_ptr<void, PageFree> buffer(
      VirtualAlloc(nullptr, kSectorBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD read = 0;
  if (!buffer || !ReadFile(volume, buffer.get(), kSectorBytes, &read, nullptr) || read < 11) {
    return false;
  }
  return std::memcmp(static_cast<const char*>(buffer.get()) + 3, "-FVE-FS-", 8) == 0;
}

}  // namespace

Result<platform::PartitionFacts> Win32FileSystem::DescribePartition(TextView root) {
  using Facts = Result<platform::PartitionFacts>;
  if (root.size() < 2 || root[1] != u':') return Facts::Failure(ERROR_INVALID_NAME);
  const win32::UniqueFile volume(CreateFileW(VolumeDevice(root).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
  if (!volume) return Facts::Failure(GetLastError());
  PARTITION_INFORMATION_EX info{};
  DWORD returned = 0;
  if (!DeviceIoControl(volume.get(), IOCTL_DISK_GET_PARTITION_INFO_EX, nullptr, 0, &info,
                       sizeof(info), &returned, nullptr)) {
    return Facts::Failure(GetLastError());
  }
  platform::PartitionFacts facts;
  facts.bytes = static_cast<uint64_t>(info.PartitionLength.QuadPart);
  facts.gpt = info.PartitionStyle == PARTITION_STYLE_GPT;
  if (facts.gpt) {
    facts.gptType = GuidText(info.Gpt.PartitionType);
    const size_t nameLength = wcsnlen(info.Gpt.Name, std::size(info.Gpt.Name));
    facts.gptName = FromWide(info.Gpt.Name, nameLength);
  } else if (info.PartitionStyle == PARTITION_STYLE_MBR) {
    facts.mbrType = info.Mbr.PartitionType;
  }
  facts.bitLocker = HasBitLockerSignature(volume.get());
  return facts;
}

Result<platform::VolumeFacts> Win32FileSystem::DescribeVolume(TextView path) {
  using Facts = Result<platform::VolumeFacts>;
  wchar_t root[MAX_PATH + 1] = {};
  if (!GetVolumePathNameW(Wide(path).c_str(), root, MAX_PATH + 1)) {
    return Facts::Failure(GetLastError());
  }
  wchar_t fileSystem[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                             MAX_PATH + 1)) {
    return Facts::Failure(GetLastError());
  }
  return platform::VolumeFacts{FromWide(root), GetDriveTypeW(root), FromWide(fileSystem)};
}

WinError Win32FileSystem::FormatVolume(const platform::FormatRequest& request,
                                       const platform::FormatProgress& progress) {
  const SystemLibrary library(L"fmifs.dll");
  const auto formatEx = library.Function<FormatExFunction>("FormatEx");
  if (formatEx == nullptr) return platform::kErrorModNotFound;
  std::wstring root = Wide(request.root);
  std::wstring fileSystem = Wide(request.fileSystem);
  std::wstring label = Wide(request.label);
  const DWORD media =
      GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE ? kMediaRemovable : kMediaFixed;
  FormatOutcome outcome;
  outcome.progress = &progress;
  currentFormat = &outcome;
  formatEx(root.data(), media, fileSystem.data(), label.data(), TRUE, 4096, OnFormatEvent);
  currentFormat = nullptr;
  if (!outcome.ended) return kErrorCallNotImplemented;
  return outcome.succeeded ? kErrorSuccess : platform::kErrorGenFailure;
}

WinError Win32FileSystem::SetOwner(TextView path, const platform::Sid& owner) {
  std::vector<uint8_t> sid = owner.ToBytes();
  std::wstring name = Wide(path);
  return static_cast<WinError>(SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                                     OWNER_SECURITY_INFORMATION, sid.data(),
                                                     nullptr, nullptr, nullptr));
}

WinError Win32FileSystem::SetAccessList(TextView path,
                                        std::span<const platform::AccessEntry> entries) {
  auto acl = BuildAcl(entries);
  if (!acl) return acl.error();
  std::wstring name = Wide(path);
  return static_cast<WinError>(SetNamedSecurityInfoW(
      name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      nullptr, nullptr, reinterpret_cast<ACL*>(acl->data()), nullptr));
}

WinError Win32FileSystem::CreateProtectedDirectory(TextView path,
                                                   std::span<const platform::AccessEntry> entries) {
  auto security = ProtectedSecurity::Make(entries);
  if (!security) return security.error();
  return Succeeded(CreateDirectoryW(Wide(path).c_str(), (*security)->attributes()));
}

Result<platform::Sid> Win32FileSystem::GetOwner(TextView path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status =
      GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                            nullptr, nullptr, nullptr, &descriptor);
  if (status != ERROR_SUCCESS) return Result<platform::Sid>::Failure(static_cast<WinError>(status));
  const auto* first = static_cast<const uint8_t*>(owner);
  auto sid = platform::Sid::FromBytes(std::vector<uint8_t>(first, first + GetLengthSid(owner)));
  LocalFree(descriptor);
  if (!sid) return Result<platform::Sid>::Failure(kErrorInvalidData);
  return *sid;
}

Result<std::vector<platform::AccessEntry>> Win32FileSystem::GetAccessList(TextView path) {
  using Entries = Result<std::vector<platform::AccessEntry>>;
  ACL* acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status =
      GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &acl, nullptr, &descriptor);
  if (status != ERROR_SUCCESS) return Entries::Failure(static_cast<WinError>(status));
  std::vector<platform::AccessEntry> entries = ReadAcl(acl);
  LocalFree(descriptor);
  // No list at all lets everyone do everything: say so rather than "nobody".
  if (acl == nullptr) entries.push_back({platform::EveryoneSid(), 0, platform::kGenericAll});
  return entries;
}

}  // namespace tarn::win32
