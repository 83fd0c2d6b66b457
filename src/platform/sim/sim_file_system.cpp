#include "platform/sim/sim_file_system.h"

#include <algorithm>

#include "platform/sim/sim_volume.h"

namespace tarn::sim {

using platform::FileInfo;
using platform::kFileAttributeArchive;
using platform::kFileAttributeDirectory;
using platform::kFileAttributeHidden;
using platform::kFileAttributeNormal;
using platform::kFileAttributeReadOnly;
using platform::kFileAttributeSystem;

namespace {

constexpr uint32_t kFileAttributeTemporary = 0x100;
constexpr uint32_t kFileAttributeOffline = 0x1000;
constexpr uint32_t kFileAttributeNotContentIndexed = 0x2000;

// The attributes SetFileAttributesW may change.
constexpr uint32_t kSettableAttributes =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive |
    kFileAttributeTemporary | kFileAttributeOffline | kFileAttributeNotContentIndexed;

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsInvalidNameCharacter(char16_t c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
         c == u'*';
}

bool IsShare(const Text& root) {
  return root.size() > 2 && root[0] == u'\\';
}

// True when `inner` is `outer` or lies below it.
bool IsWithin(const ParsedPath& inner, const ParsedPath& outer) {
  if (inner.root != outer.root || inner.names.size() < outer.names.size()) return false;
  for (size_t i = 0; i < outer.names.size(); ++i) {
    if (!EqualsIgnoreCase(inner.names[i], outer.names[i])) return false;
  }
  return true;
}

bool SamePath(const ParsedPath& a, const ParsedPath& b) {
  return a.names.size() == b.names.size() && IsWithin(a, b);
}

ParsedPath ParentOf(const ParsedPath& path) {
  ParsedPath parent = path;
  if (!parent.names.empty()) parent.names.pop_back();
  return parent;
}

// GetFileAttributesW reports a file without attributes as "normal".
uint32_t Reported(uint32_t attributes) {
  return attributes == 0 ? kFileAttributeNormal : attributes;
}

}  // namespace

struct SimFileSystem::Volume {
  uint32_t driveType = kDriveFixed;
  std::unique_ptr<VolumeStore> store;
  bool formatted = true;
  Text label;
  Text fileSystem = u"NTFS";
  platform::PartitionFacts partition{64ull << 30, false, {}, {}, 0x07, false};
};

class SimFileSystem::SimWritableFile : public platform::WritableFile {
 public:
  SimWritableFile(SimFileSystem& files, ParsedPath path) : files_(files), path_(std::move(path)) {}
  WinError Write(std::span<const uint8_t> bytes) override {
    return files_.WriteParsed(path_, bytes, /*append=*/true);
  }

 private:
  SimFileSystem& files_;
  ParsedPath path_;
};

Text JoinPath(const ParsedPath& path) {
  Text text = path.root;
  if (path.names.empty()) return text + u'\\';
  for (const Text& name : path.names) {
    text += u'\\';
    text += name;
  }
  return text;
}

SimFileSystem::SimFileSystem() {
  AddVolume(u"C:");
  current_.root = u"C:";
}

SimFileSystem::~SimFileSystem() = default;

Result<ParsedPath> SimFileSystem::Locate(TextView input) const {
  Text path(input);
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
  }
  if (path.empty()) return Result<ParsedPath>::Failure(kErrorPathNotFound);
  if (path.starts_with(u"\\\\?\\")) {
    path.erase(0, 4);
    if (StartsWithIgnoreCase(path, u"UNC\\")) path.replace(0, 4, u"\\\\");
  }
  ParsedPath parsed;
  TextView rest;
  if (path.starts_with(u"\\\\")) {
    const size_t serverEnd = path.find(u'\\', 2);
    const size_t shareEnd = serverEnd == Text::npos ? Text::npos : path.find(u'\\', serverEnd + 1);
    if (serverEnd == Text::npos || serverEnd == 2 || shareEnd == serverEnd + 1 ||
        serverEnd + 1 == path.size()) {
      return Result<ParsedPath>::Failure(kErrorBadNetPath);
    }
    // A server or share holding "?" or another character no name may hold
    // would be read back as a prefix ("\\?\") or a wildcard.
    const TextView root = TextView(path).substr(0, shareEnd);
    if (std::ranges::any_of(root.substr(2), IsInvalidNameCharacter)) {
      return Result<ParsedPath>::Failure(kErrorInvalidName);
    }
    parsed.root = ToUpper(root);
    rest = shareEnd == Text::npos ? TextView() : TextView(path).substr(shareEnd);
  } else if (path.size() >= 2 && path[1] == u':' && IsLetter(path[0])) {
    parsed.root = ToUpper(TextView(path).substr(0, 2));
    rest = TextView(path).substr(2);
    // "D:name" is relative to the current directory when it is on D:.
    if ((rest.empty() || rest[0] != u'\\') && current_.root == parsed.root) {
      parsed.names = current_.names;
    }
  } else if (path[0] == u'\\') {
    parsed.root = current_.root;
    rest = path;
  } else {
    parsed = current_;
    rest = path;
  }
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(u'\\', start);
    if (end == TextView::npos) end = rest.size();
    TextView name = rest.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == u".") continue;
    if (name == u"..") {
      if (!parsed.names.empty()) parsed.names.pop_back();
      continue;
    }
    for (char16_t c : name) {
      if (IsInvalidNameCharacter(c)) return Result<ParsedPath>::Failure(kErrorInvalidName);
    }
    // The system drops trailing dots and blanks of every name.
    while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.remove_suffix(1);
    if (!name.empty()) parsed.names.emplace_back(name);
  }
  // A junction on the way leads to its target; the last name is left for
  // the caller, which acts on the link itself. The count stops link loops.
  for (int followed = 0; followed < 32; ++followed) {
    bool replaced = false;
    for (size_t count = parsed.names.size() - (parsed.names.empty() ? 0 : 1); count > 0; --count) {
      const ParsedPath prefix{parsed.root, {parsed.names.begin(), parsed.names.begin() + count}};
      if (const ParsedPath* target = JunctionAt(prefix)) {
        ParsedPath redirected = *target;
        redirected.names.insert(redirected.names.end(), parsed.names.begin() + count,
                                parsed.names.end());
        parsed = std::move(redirected);
        replaced = true;
        break;
      }
    }
    if (!replaced) return parsed;
  }
  return Result<ParsedPath>::Failure(kErrorCantResolveFilename);
}

const ParsedPath* SimFileSystem::JunctionAt(const ParsedPath& path) const {
  if (junctions_.empty()) return nullptr;
  const auto it = junctions_.find(ToUpper(JoinPath(path)));
  return it == junctions_.end() ? nullptr : &it->second;
}

void SimFileSystem::Forget(const ParsedPath& path) {
  const Text key = ToUpper(JoinPath(path));
  junctions_.erase(key);
  unlistable_.erase(key);
  security_.erase(key);
}

bool SimFileSystem::MakeJunction(TextView link, TextView target) {
  auto parsedLink = Locate(link);
  auto parsedTarget = Locate(target);
  if (!parsedLink || !parsedTarget || parsedLink->names.empty()) return false;
  if (CreateDirectory(JoinPath(*parsedLink)) != kErrorSuccess) return false;
  junctions_[ToUpper(JoinPath(*parsedLink))] = *parsedTarget;
  return true;
}

bool SimFileSystem::MakeCompatibilityJunction(TextView link, TextView target) {
  if (!MakeJunction(link, target)) return false;
  auto parsed = Locate(link);
  if (!parsed) return false;
  unlistable_.insert(ToUpper(JoinPath(*parsed)));
  return FindVolume(parsed->root)
             ->store->SetAttributes(parsed->names,
                                    kFileAttributeDirectory | platform::kFileAttributeHidden |
                                        platform::kFileAttributeSystem) == kErrorSuccess;
}

WinError SimFileSystem::SetOwner(TextView path, const platform::Sid& owner) {
  if (auto e = faults_.Check(CallKind::kFileSecurity)) return e;
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  if (auto info = StatParsed(*parsed); !info) return info.error();
  security_[ToUpper(JoinPath(*parsed))].owner = owner;
  return kErrorSuccess;
}

WinError SimFileSystem::SetAccessList(TextView path,
                                      std::span<const platform::AccessEntry> entries) {
  if (auto e = faults_.Check(CallKind::kFileSecurity)) return e;
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  if (auto info = StatParsed(*parsed); !info) return info.error();
  security_[ToUpper(JoinPath(*parsed))].entries.emplace(entries.begin(), entries.end());
  return kErrorSuccess;
}

Result<platform::Sid> SimFileSystem::GetOwner(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileSecurity)) return e;
  auto parsed = Locate(path);
  if (!parsed) return Result<platform::Sid>::Failure(parsed.error());
  if (auto info = StatParsed(*parsed); !info) return Result<platform::Sid>::Failure(info.error());
  const auto it = security_.find(ToUpper(JoinPath(*parsed)));
  if (it != security_.end() && it->second.owner) return *it->second.owner;
  platform::Sid administrators;
  administrators.subAuthorities = {32, 544};
  return administrators;
}

Result<std::vector<platform::AccessEntry>> SimFileSystem::GetAccessList(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileSecurity)) return e;
  using Entries = Result<std::vector<platform::AccessEntry>>;
  auto parsed = Locate(path);
  if (!parsed) return Entries::Failure(parsed.error());
  auto info = StatParsed(*parsed);
  if (!info) return Entries::Failure(info.error());
  const auto own = security_.find(ToUpper(JoinPath(*parsed)));
  if (own != security_.end() && own->second.entries) return *own->second.entries;
  // Inheritance as the system applies it to a new entry: folders take the
  // container-inheritable entries, files the object-inheritable ones.
  const bool folder = (info->attributes & kFileAttributeDirectory) != 0;
  const uint8_t wanted = folder ? platform::kAceContainerInherit : platform::kAceObjectInherit;
  ParsedPath above = *parsed;
  while (!above.names.empty()) {
    above.names.pop_back();
    const auto it = security_.find(ToUpper(JoinPath(above)));
    if (it == security_.end() || !it->second.entries) continue;
    // Generic rights take their file meaning in the entry that applies to
    // the object; a folder keeps the generic entry, inherit-only, to pass on.
    std::vector<platform::AccessEntry> inherited;
    for (const platform::AccessEntry& entry : *it->second.entries) {
      if ((entry.flags & wanted) == 0) continue;
      const bool generic = (entry.mask & platform::kGenericAll) != 0;
      platform::AccessEntry effective = entry;
      effective.mask = generic ? platform::kFileAllAccess : entry.mask;
      effective.flags = platform::kAceInherited;
      if (folder && !generic) {
        effective.flags |= static_cast<uint8_t>(entry.flags & ~platform::kAceInheritOnly);
      }
      inherited.push_back(effective);
      if (folder && generic && (entry.flags & platform::kAceContainerInherit)) {
        platform::AccessEntry passed = entry;
        passed.flags |= platform::kAceInheritOnly | platform::kAceInherited;
        inherited.push_back(passed);
      }
    }
    return inherited;
  }
  return std::vector<platform::AccessEntry>{};
}

void SimFileSystem::AddVolume(TextView root, uint32_t driveType) {
  PutVolume(root, driveType, MakeMemoryVolume(now_));
}

void SimFileSystem::MountHostFolder(TextView root, const std::filesystem::path& hostPath,
                                    uint32_t driveType) {
  PutVolume(root, driveType, MakeHostVolume(hostPath));
}

void SimFileSystem::PutVolume(TextView root, uint32_t driveType,
                              std::unique_ptr<VolumeStore> store) {
  auto parsed = Locate(root);
  if (!parsed) return;
  auto volume = std::make_unique<Volume>();
  volume->driveType = IsShare(parsed->root) ? kDriveRemote : driveType;
  if (volume->driveType == kDriveRemovable) volume->fileSystem = u"FAT32";
  volume->store = std::move(store);
  volumes_[parsed->root] = std::move(volume);
}

SimFileSystem::Volume* SimFileSystem::FindVolume(const Text& root) {
  Volume* volume = FindAnyVolume(root);
  return volume && volume->formatted ? volume : nullptr;
}

SimFileSystem::Volume* SimFileSystem::FindAnyVolume(const Text& root) {
  const auto it = volumes_.find(root);
  return it == volumes_.end() ? nullptr : it->second.get();
}

Result<FileInfo> SimFileSystem::StatParsed(const ParsedPath& path) {
  Volume* volume = FindVolume(path.root);
  if (!volume) {
    if (FindAnyVolume(path.root))
      return Result<FileInfo>::Failure(platform::kErrorUnrecognizedVolume);
    return Result<FileInfo>::Failure(IsShare(path.root) ? kErrorBadNetPath : kErrorPathNotFound);
  }
  auto info = volume->store->Stat(path.names);
  if (info && JunctionAt(path)) info->attributes |= platform::kFileAttributeReparsePoint;
  return info;
}

WinError SimFileSystem::CheckParent(const ParsedPath& path) {
  auto parent = StatParsed(ParentOf(path));
  if (!parent) return parent.error() == kErrorBadNetPath ? kErrorBadNetPath : kErrorPathNotFound;
  return (parent->attributes & kFileAttributeDirectory) ? kErrorSuccess : kErrorPathNotFound;
}

bool SimFileSystem::MakeDirectories(TextView path) {
  auto parsed = Locate(path);
  if (!parsed || !FindVolume(parsed->root)) return false;
  ParsedPath prefix{parsed->root, {}};
  for (const Text& name : parsed->names) {
    prefix.names.push_back(name);
    auto info = StatParsed(prefix);
    if (!info) {
      if (FindVolume(prefix.root)->store->MakeDirectory(prefix.names, now_) != kErrorSuccess) {
        return false;
      }
    } else if ((info->attributes & kFileAttributeDirectory) == 0) {
      return false;
    }
  }
  return true;
}

bool SimFileSystem::PutFile(TextView path, std::span<const uint8_t> bytes) {
  auto parsed = Locate(path);
  if (!parsed || parsed->names.empty()) return false;
  if (!MakeDirectories(JoinPath(ParentOf(*parsed)))) return false;
  return WriteParsed(*parsed, bytes, /*append=*/false) == kErrorSuccess;
}

bool SimFileSystem::PutTextFile(TextView path, std::string_view utf8) {
  return PutFile(path, std::span(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size()));
}

bool SimFileSystem::SetTimes(TextView path, platform::FileTime creation,
                             platform::FileTime lastWrite) {
  auto parsed = Locate(path);
  if (!parsed) return false;
  Volume* volume = FindVolume(parsed->root);
  return volume && volume->store->SetTimes(parsed->names, creation, lastWrite) == kErrorSuccess;
}

uint32_t SimFileSystem::GetAttributes(TextView path) {
  auto parsed = Locate(path);
  if (!parsed) return platform::kInvalidFileAttributes;
  auto info = StatParsed(*parsed);
  return info ? Reported(info->attributes) : platform::kInvalidFileAttributes;
}

WinError SimFileSystem::SetAttributes(TextView path, uint32_t attributes) {
  if (auto e = faults_.Check(CallKind::kFileInfo)) return e;
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  auto info = StatParsed(*parsed);
  if (!info) return info.error();
  const uint32_t kept = info->attributes & kFileAttributeDirectory;
  return FindVolume(parsed->root)
      ->store->SetAttributes(parsed->names, kept | (attributes & kSettableAttributes));
}

Result<FileInfo> SimFileSystem::GetInfo(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileInfo)) return e;
  auto parsed = Locate(path);
  if (!parsed) return Result<FileInfo>::Failure(parsed.error());
  auto info = StatParsed(*parsed);
  if (info) info->attributes = Reported(info->attributes);
  return info;
}

Result<std::vector<uint8_t>> SimFileSystem::ReadAll(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileRead)) return e;
  using Bytes = Result<std::vector<uint8_t>>;
  auto parsed = Locate(path);
  if (!parsed) return Bytes::Failure(parsed.error());
  auto info = StatParsed(*parsed);
  if (!info) return Bytes::Failure(info.error());
  // Opening a folder as a file is refused.
  if (info->attributes & kFileAttributeDirectory) return Bytes::Failure(kErrorAccessDenied);
  return FindVolume(parsed->root)->store->Read(parsed->names);
}

Result<std::unique_ptr<platform::ReadableFile>> SimFileSystem::OpenForReading(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileRead)) return e;
  using Opened = Result<std::unique_ptr<platform::ReadableFile>>;
  auto parsed = Locate(path);
  if (!parsed) return Opened::Failure(parsed.error());
  auto info = StatParsed(*parsed);
  if (!info) return Opened::Failure(info.error());
  if (info->attributes & kFileAttributeDirectory) return Opened::Failure(kErrorAccessDenied);
  return FindVolume(parsed->root)->store->Open(parsed->names);
}

WinError SimFileSystem::WriteParsed(const ParsedPath& path, std::span<const uint8_t> bytes,
                                    bool append) {
  Volume* volume = FindVolume(path.root);
  if (!volume) return IsShare(path.root) ? kErrorBadNetPath : kErrorPathNotFound;
  if (path.names.empty()) return kErrorAccessDenied;
  if (const WinError parent = CheckParent(path)) return parent;
  if (auto existing = volume->store->Stat(path.names)) {
    if (existing->attributes & kFileAttributeDirectory) return kErrorAccessDenied;
    // CREATE_ALWAYS refuses read-only files, and hidden or system files
    // when the new attributes do not repeat those bits.
    if (!append && (existing->attributes &
                    (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem))) {
      return kErrorAccessDenied;
    }
  }
  return volume->store->Write(path.names, bytes, append, now_);
}

WinError SimFileSystem::WriteAll(TextView path, std::span<const uint8_t> bytes) {
  if (auto e = faults_.Check(CallKind::kFileWrite)) return e;
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  return WriteParsed(*parsed, bytes, /*append=*/false);
}

Result<std::unique_ptr<platform::WritableFile>> SimFileSystem::CreateAlways(TextView path, bool) {
  if (auto e = faults_.Check(CallKind::kFileCreate)) return e;
  using Opened = Result<std::unique_ptr<platform::WritableFile>>;
  auto parsed = Locate(path);
  if (!parsed) return Opened::Failure(parsed.error());
  if (const WinError error = WriteParsed(*parsed, {}, /*append=*/false)) {
    return Opened::Failure(error);
  }
  return Opened(std::make_unique<SimWritableFile>(*this, *parsed));
}

Result<std::unique_ptr<platform::WritableFile>> SimFileSystem::CreateNew(TextView path, bool) {
  if (auto e = faults_.Check(CallKind::kFileCreate)) return e;
  using Opened = Result<std::unique_ptr<platform::WritableFile>>;
  auto parsed = Locate(path);
  if (!parsed) return Opened::Failure(parsed.error());
  if (StatParsed(*parsed)) return Opened::Failure(kErrorFileExists);
  if (const WinError error = WriteParsed(*parsed, {}, /*append=*/false)) {
    return Opened::Failure(error);
  }
  return Opened(std::make_unique<SimWritableFile>(*this, *parsed));
}

Result<std::unique_ptr<platform::WritableFile>> SimFileSystem::OpenToAppend(TextView path, bool) {
  if (auto e = faults_.Check(CallKind::kFileCreate)) return e;
  using Opened = Result<std::unique_ptr<platform::WritableFile>>;
  auto parsed = Locate(path);
  if (!parsed) return Opened::Failure(parsed.error());
  auto info = StatParsed(*parsed);
  if (!info) return Opened::Failure(info.error());
  if (info->attributes & (kFileAttributeDirectory | kFileAttributeReadOnly)) {
    return Opened::Failure(kErrorAccessDenied);
  }
  return Opened(std::make_unique<SimWritableFile>(*this, *parsed));
}

WinError SimFileSystem::CreateProtectedDirectory(TextView path,
                                                 std::span<const platform::AccessEntry> entries) {
  if (auto e = faults_.Check(CallKind::kFileSecurity)) return e;
  if (const WinError error = CreateDirectory(path)) return error;
  auto parsed = Locate(path);
  security_[ToUpper(JoinPath(*parsed))].entries.emplace(entries.begin(), entries.end());
  return kErrorSuccess;
}

WinError SimFileSystem::CreateDirectory(TextView path) {
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  // A folder that is there already changes nothing: only a call that would
  // make one is counted and may fail.
  if (StatParsed(*parsed)) return kErrorAlreadyExists;
  if (auto e = faults_.Check(CallKind::kDirectoryCreate)) return e;
  if (const WinError parent = CheckParent(*parsed)) return parent;
  return FindVolume(parsed->root)->store->MakeDirectory(parsed->names, now_);
}

WinError SimFileSystem::RemoveDirectory(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileDelete)) return e;
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  auto info = StatParsed(*parsed);
  if (!info) return info.error();
  if ((info->attributes & kFileAttributeDirectory) == 0) return kErrorDirectory;
  if (parsed->names.empty() || (info->attributes & kFileAttributeReadOnly)) {
    return kErrorAccessDenied;
  }
  // The process keeps its current directory open.
  if (IsWithin(current_, *parsed)) return kErrorSharingViolation;
  VolumeStore& store = *FindVolume(parsed->root)->store;
  auto entries = store.List(parsed->names);
  if (entries && !entries->empty()) return kErrorDirNotEmpty;
  const WinError removed = store.RemoveDirectory(parsed->names);
  if (removed == kErrorSuccess) Forget(*parsed);
  return removed;
}

WinError SimFileSystem::DeleteFile(TextView path) {
  if (auto e = faults_.Check(CallKind::kFileDelete)) return e;
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  auto info = StatParsed(*parsed);
  if (!info) return info.error();
  if (info->attributes & (kFileAttributeDirectory | kFileAttributeReadOnly)) {
    return kErrorAccessDenied;
  }
  const WinError removed = FindVolume(parsed->root)->store->RemoveFile(parsed->names);
  if (removed == kErrorSuccess) Forget(*parsed);
  return removed;
}

WinError SimFileSystem::CopyParsed(const ParsedPath& from, const ParsedPath& to) {
  auto info = StatParsed(from);
  if (!info) return info.error();
  auto bytes = FindVolume(from.root)->store->Read(from.names);
  if (!bytes) return bytes.error();
  if (const WinError error = WriteParsed(to, *bytes, /*append=*/false)) return error;
  // The copy keeps the source's attributes and last-write time; it is new.
  VolumeStore& target = *FindVolume(to.root)->store;
  (void)target.SetAttributes(to.names,
                             (info->attributes & kSettableAttributes) | kFileAttributeArchive);
  (void)target.SetTimes(to.names, now_, info->lastWriteTime);
  return kErrorSuccess;
}

WinError SimFileSystem::CopyFile(TextView from, TextView to, bool failIfExists) {
  if (auto e = faults_.Check(CallKind::kFileCopy)) return e;
  auto source = Locate(from);
  if (!source) return source.error();
  auto target = Locate(to);
  if (!target) return target.error();
  auto info = StatParsed(*source);
  if (!info) return info.error();
  if (info->attributes & kFileAttributeDirectory) return kErrorAccessDenied;
  if (const WinError parent = CheckParent(*target)) return parent;
  if (SamePath(*source, *target)) return kErrorSharingViolation;
  if (auto existing = StatParsed(*target)) {
    if (existing->attributes & kFileAttributeDirectory) return kErrorAccessDenied;
    if (failIfExists) return kErrorFileExists;
    if (existing->attributes & kFileAttributeReadOnly) return kErrorAccessDenied;
  }
  return CopyParsed(*source, *target);
}

WinError SimFileSystem::MoveFile(TextView from, TextView to) {
  if (auto e = faults_.Check(CallKind::kFileMove)) return e;
  auto source = Locate(from);
  if (!source) return source.error();
  auto target = Locate(to);
  if (!target) return target.error();
  auto info = StatParsed(*source);
  if (!info) return info.error();
  if (source->names.empty()) return kErrorAccessDenied;
  if (const WinError parent = CheckParent(*target)) return parent;
  // A change of case only is a rename onto the same entry.
  if (StatParsed(*target) && !SamePath(*source, *target)) return kErrorAlreadyExists;
  if (IsWithin(*target, *source) && !SamePath(*source, *target)) return kErrorAccessDenied;
  if (IsWithin(current_, *source)) return kErrorSharingViolation;
  if (source->root == target->root) {
    return FindVolume(source->root)->store->Rename(source->names, target->names);
  }
  if (info->attributes & kFileAttributeDirectory) return kErrorNotSameDevice;
  if (const WinError error = CopyParsed(*source, *target)) return error;
  return FindVolume(source->root)->store->RemoveFile(source->names);
}

WinError SimFileSystem::ReplaceFile(TextView from, TextView to) {
  auto source = Locate(from);
  if (!source) return source.error();
  auto target = Locate(to);
  if (!target) return target.error();
  if (!StatParsed(*source)) return kErrorFileNotFound;
  if (const auto existing = StatParsed(*target); existing && !SamePath(*source, *target)) {
    if (existing->attributes & kFileAttributeDirectory) return kErrorAccessDenied;
    if (const WinError removed = DeleteFile(to)) return removed;
  }
  return MoveFile(from, to);
}

Result<std::vector<platform::DirectoryEntry>> SimFileSystem::ListDirectory(TextView folder) {
  if (auto e = faults_.Check(CallKind::kFileList)) return e;
  using Listing = Result<std::vector<platform::DirectoryEntry>>;
  auto parsed = Locate(folder);
  if (!parsed) return Listing::Failure(parsed.error());
  auto info = StatParsed(*parsed);
  // FindFirstFileW("folder\\*") sees a missing folder as a missing path.
  if (!info) {
    return Listing::Failure(info.error() == kErrorBadNetPath ? kErrorBadNetPath
                                                             : kErrorPathNotFound);
  }
  if ((info->attributes & kFileAttributeDirectory) == 0) return Listing::Failure(kErrorDirectory);
  if (unlistable_.contains(ToUpper(JoinPath(*parsed)))) return Listing::Failure(kErrorAccessDenied);
  if (const ParsedPath* target = JunctionAt(*parsed)) return ListDirectory(JoinPath(*target));
  auto entries = FindVolume(parsed->root)->store->List(parsed->names);
  if (entries) {
    for (auto& entry : *entries) {
      ParsedPath inner = *parsed;
      inner.names.push_back(entry.name);
      if (JunctionAt(inner)) entry.info.attributes |= platform::kFileAttributeReparsePoint;
      entry.info.attributes = Reported(entry.info.attributes);
    }
  }
  return entries;
}

Text SimFileSystem::CurrentDirectory() {
  return JoinPath(current_);
}

WinError SimFileSystem::SetCurrentDirectory(TextView path) {
  auto parsed = Locate(path);
  if (!parsed) return parsed.error();
  auto info = StatParsed(*parsed);
  if (!info) return info.error();
  if ((info->attributes & kFileAttributeDirectory) == 0) return kErrorDirectory;
  current_ = std::move(*parsed);
  return kErrorSuccess;
}

uint32_t SimFileSystem::DriveType(TextView root) {
  constexpr uint32_t kNoRootDirectory = 1;
  // A bare "D:" names the drive, not its current directory; no root at all
  // means the current directory's drive.
  Text asked(root);
  if (asked.empty()) asked = current_.root;
  if (asked.size() == 2 && asked[1] == u':') asked += u'\\';
  auto parsed = Locate(asked);
  if (!parsed || !parsed->names.empty()) return kNoRootDirectory;
  Volume* volume = FindAnyVolume(parsed->root);
  return volume ? volume->driveType : kNoRootDirectory;
}

std::vector<Text> SimFileSystem::LogicalDrives() {
  std::vector<Text> drives;
  for (const auto& [root, volume] : volumes_) {
    if (!IsShare(root)) drives.push_back(root + u'\\');
  }
  return drives;
}

void SimFileSystem::AddUnformattedVolume(TextView root, uint32_t driveType) {
  AddVolume(root, driveType);
  if (auto key = DriveKey(root)) FindAnyVolume(*key)->formatted = false;
}

void SimFileSystem::RemoveVolume(TextView root) {
  if (auto key = DriveKey(root)) volumes_.erase(*key);
}

void SimFileSystem::SetVolumeLabel(TextView root, TextView label) {
  auto key = DriveKey(root);
  Volume* volume = key ? FindAnyVolume(*key) : nullptr;
  if (volume) volume->label = Text(label);
}

std::optional<Text> SimFileSystem::DriveKey(TextView root) const {
  Text asked(root);
  if (asked.size() == 2 && asked[1] == u':') asked += u'\\';
  auto parsed = Locate(asked);
  if (!parsed) return std::nullopt;
  return parsed->root;
}

WinError SimFileSystem::VolumeState(TextView root) {
  if (auto e = faults_.Check(CallKind::kVolume)) return e;
  auto parsed = Locate(root);
  if (!parsed) return parsed.error();
  auto info = StatParsed(*parsed);
  return info ? kErrorSuccess : info.error();
}

Result<Text> SimFileSystem::VolumeLabel(TextView root) {
  if (auto e = faults_.Check(CallKind::kVolume)) return e;
  auto parsed = Locate(root);
  if (!parsed) return Result<Text>::Failure(parsed.error());
  Volume* volume = FindAnyVolume(parsed->root);
  if (!volume) return Result<Text>::Failure(kErrorPathNotFound);
  if (!volume->formatted) return Result<Text>::Failure(platform::kErrorUnrecognizedVolume);
  return volume->label;
}

void SimFileSystem::SetPartitionFacts(TextView root, const platform::PartitionFacts& facts) {
  auto key = DriveKey(root);
  Volume* volume = key ? FindAnyVolume(*key) : nullptr;
  if (volume) volume->partition = facts;
}

Result<platform::PartitionFacts> SimFileSystem::DescribePartition(TextView root) {
  if (auto e = faults_.Check(CallKind::kVolume)) return e;
  auto parsed = Locate(root);
  if (!parsed) return Result<platform::PartitionFacts>::Failure(parsed.error());
  Volume* volume = FindAnyVolume(parsed->root);
  if (!volume) return Result<platform::PartitionFacts>::Failure(kErrorPathNotFound);
  return volume->partition;
}

void SimFileSystem::SetVolumeFileSystem(TextView root, TextView fileSystem) {
  auto key = DriveKey(root);
  Volume* volume = key ? FindAnyVolume(*key) : nullptr;
  if (volume) volume->fileSystem = Text(fileSystem);
}

Result<platform::VolumeFacts> SimFileSystem::DescribeVolume(TextView path) {
  if (auto e = faults_.Check(CallKind::kVolume)) return e;
  using Facts = Result<platform::VolumeFacts>;
  auto parsed = Locate(path);
  if (!parsed) return Facts::Failure(parsed.error());
  Volume* volume = FindAnyVolume(parsed->root);
  if (!volume) return Facts::Failure(IsShare(parsed->root) ? kErrorBadNetPath : kErrorPathNotFound);
  if (!volume->formatted) return Facts::Failure(platform::kErrorUnrecognizedVolume);
  return platform::VolumeFacts{parsed->root + u'\\', volume->driveType, volume->fileSystem};
}

WinError SimFileSystem::FormatVolume(const platform::FormatRequest& request,
                                     const platform::FormatProgress& progress) {
  if (auto e = faults_.Check(CallKind::kVolume)) return e;
  if (!formatterPresent_) return platform::kErrorModNotFound;
  auto parsed = Locate(request.root);
  if (!parsed || IsShare(parsed->root)) return kErrorInvalidParameter;
  Volume* volume = FindAnyVolume(parsed->root);
  if (!volume) return kErrorPathNotFound;
  if (!EqualsIgnoreCase(request.fileSystem, u"NTFS") &&
      !EqualsIgnoreCase(request.fileSystem, u"FAT32")) {
    return kErrorInvalidParameter;
  }
  // A FAT32 label holds 11 characters, an NTFS one 32.
  const size_t labelLimit = EqualsIgnoreCase(request.fileSystem, u"FAT32") ? 11 : 32;
  if (request.label.size() > labelLimit) return kErrorInvalidParameter;
  for (uint32_t percent : {0u, 50u, 100u}) {
    if (progress) progress(percent);
  }
  volume->store = MakeMemoryVolume(now_);
  volume->formatted = true;
  volume->label = request.label;
  volume->fileSystem = EqualsIgnoreCase(request.fileSystem, u"NTFS") ? u"NTFS" : u"FAT32";
  return kErrorSuccess;
}

}  // namespace tarn::sim
