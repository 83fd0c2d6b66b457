#include "app/file_trust.h"

#include <algorithm>

#include "base/paths.h"

namespace tarn::app {
namespace {

void AddOnce(std::vector<platform::Sid>& sids, const platform::Sid& sid) {
  if (std::find(sids.begin(), sids.end(), sid) == sids.end()) sids.push_back(sid);
}

// The folders from just below the root of `path` down to `path`, in order.
std::vector<Text> PathsOnTheWay(TextView path) {
  std::vector<Text> paths;
  Text at(path);
  const Text root = PathStripToRoot(path);
  while (!at.empty() && at.size() > root.size()) {
    paths.push_back(at);
    const Text up = PathRemoveFileSpec(at);
    if (up == at) break;
    at = up;
  }
  std::reverse(paths.begin(), paths.end());
  return paths;
}

}  // namespace

bool IsMachineAdministration(const platform::Sid& sid) {
  return IsAdministratorsOrSystem(sid) || sid == platform::TrustedInstallerSid();
}

bool IsAdministratorsOrSystem(const platform::Sid& sid) {
  return sid == platform::AdministratorsSid() || sid == platform::LocalSystemSid();
}

std::vector<platform::Sid> OthersWithRights(const platform::Sid& owner,
                                            std::span<const platform::AccessEntry> entries,
                                            uint32_t rights) {
  std::vector<platform::Sid> others;
  if (!IsMachineAdministration(owner)) AddOnce(others, owner);
  for (const platform::AccessEntry& entry : entries) {
    if ((entry.mask & rights) == 0) continue;
    const platform::Sid& who = entry.sid == platform::CreatorOwnerSid() ? owner : entry.sid;
    if (!IsMachineAdministration(who)) AddOnce(others, who);
  }
  return others;
}

StorageKind ClassifyStorage(const platform::VolumeFacts& facts) {
  switch (facts.driveType) {
    case platform::kDriveTypeRemovable:
    case platform::kDriveTypeRemote:
    case platform::kDriveTypeCdRom:
      return StorageKind::kRemovableOrShared;
    case platform::kDriveTypeFixed:
    case platform::kDriveTypeRamDisk:
      break;
    default:
      return StorageKind::kUnknown;
  }
  if (EqualsIgnoreCase(facts.fileSystem, u"NTFS") || EqualsIgnoreCase(facts.fileSystem, u"ReFS")) {
    return StorageKind::kAccessControlled;
  }
  return facts.fileSystem.empty() ? StorageKind::kUnknown : StorageKind::kNoAccessLists;
}

std::optional<Text> ReparsePointOnTheWay(platform::FileSystem& files, TextView path) {
  for (const Text& at : PathsOnTheWay(path)) {
    const uint32_t attributes = files.GetAttributes(at);
    if (attributes == platform::kInvalidFileAttributes) return std::nullopt;
    if (attributes & platform::kFileAttributeReparsePoint) return at;
  }
  return std::nullopt;
}

std::vector<platform::AccessEntry> AdministrationOnlyList() {
  constexpr uint8_t kPassedOn = platform::kAceObjectInherit | platform::kAceContainerInherit;
  return {{platform::AdministratorsSid(), kPassedOn, platform::kFileAllAccess},
          {platform::LocalSystemSid(), kPassedOn, platform::kFileAllAccess}};
}

WinError MakeAdministrationOnlyFolders(platform::FileSystem& files, TextView folder) {
  if (PathIsRelative(folder)) return kErrorPathNotFound;
  const std::vector<platform::AccessEntry> entries = AdministrationOnlyList();
  for (const Text& at : PathsOnTheWay(folder)) {
    if (files.IsDirectory(at)) continue;
    const WinError error = files.CreateProtectedDirectory(at, entries);
    if (error != kErrorSuccess && error != kErrorAlreadyExists) return error;
  }
  return files.IsDirectory(folder) ? kErrorSuccess : kErrorPathNotFound;
}

}  // namespace tarn::app
