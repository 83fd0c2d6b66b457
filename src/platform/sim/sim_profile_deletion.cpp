#include "platform/sim/sim_profile_deletion.h"

#include "platform/file_system.h"
#include "platform/registry_text.h"

namespace tarn::sim {

namespace {

constexpr char16_t kProfileList[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The profile list stores its paths with the system's own variables.
Text ExpandSystemPath(TextView path) {
  Text expanded(path);
  ReplaceText(expanded, 32767, u"%SystemDrive%", u"C:");
  ReplaceText(expanded, 32767, u"%SystemRoot%", u"C:\\Windows");
  return expanded;
}

bool RemoveTree(SimFileSystem& files, const Text& folder) {
  const uint32_t attributes = files.GetAttributes(folder);
  if (attributes == platform::kInvalidFileAttributes) return true;
  if ((attributes & platform::kFileAttributeReparsePoint) == 0) {
    if (auto entries = files.ListDirectory(folder)) {
      for (const platform::DirectoryEntry& entry : *entries) {
        const Text path = folder + u'\\' + entry.name;
        if (entry.info.attributes & platform::kFileAttributeDirectory) {
          (void)RemoveTree(files, path);
        } else {
          (void)files.SetAttributes(path, platform::kFileAttributeNormal);
          (void)files.DeleteFile(path);
        }
      }
    }
  }
  (void)files.SetAttributes(folder, platform::kFileAttributeNormal);
  return files.RemoveDirectory(folder) == kErrorSuccess;
}

}  // namespace

WinError DeleteSimProfile(SimRegistry& registry, SimFileSystem& files, TextView sidText) {
  const Text entry = Text(kProfileList) + u'\\' + Text(sidText);
  if (!registry.KeyExists(platform::kLocalMachine, entry)) return kErrorFileNotFound;
  if (registry.KeyExists(platform::kUsers, sidText)) return kErrorSharingViolation;
  const auto stored = registry.Get(platform::kLocalMachine, entry, u"ProfileImagePath");
  const Text folder = stored ? ExpandSystemPath(stored->AsText()) : Text();
  if (!folder.empty() && !RemoveTree(files, folder)) return kErrorAccessDenied;
  return registry.DeleteTree(platform::kLocalMachine, entry);
}

}  // namespace tarn::sim
