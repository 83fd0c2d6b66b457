// Who may change or read a file the elevated program relies on: the rules
// that decide which access-list entries let someone other than the machine's
// administrators write or read a path, what kind of storage a path is on,
// and the admin-only folders the program makes for its own output.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/security.h"

namespace tarn::app {

// Rights that change a file: its data, its extended attributes, deleting it,
// or its owner and access list (which give every other right).
inline constexpr uint32_t kFileChangingRights =
    0x0002 | 0x0004 | 0x0010 | 0x10000 | 0x40000 | 0x80000 | 0x40000000 | 0x10000000;
// Rights that change a folder: adding files or folders, deleting what is in
// it, its extended attributes, deleting it, its owner and access list.
inline constexpr uint32_t kFolderChangingRights = kFileChangingRights | 0x0040;
// Rights that read a file's data, or that let the holder give themselves that.
inline constexpr uint32_t kFileReadingRights = 0x0001 | 0x40000 | 0x80000 | 0x80000000 | 0x10000000;

// Administrators, SYSTEM and TrustedInstaller: nobody else may change what
// the elevated program relies on.
[[nodiscard]] bool IsMachineAdministration(const platform::Sid& sid);
// Administrators or SYSTEM: who may own a file the program itself wrote.
[[nodiscard]] bool IsAdministratorsOrSystem(const platform::Sid& sid);

// Who, beyond the machine's administration, may do what `rights` name on a
// file or folder whose owner is `owner` and whose access list is `entries`:
// an untrusted owner (who may always rewrite the list), then each entry that
// grants any of `rights`, in order, each SID once. Entries passed on to what
// is created inside a folder count too: that is where the program writes.
// CREATOR OWNER counts as the owner.
[[nodiscard]] std::vector<platform::Sid> OthersWithRights(
    const platform::Sid& owner, std::span<const platform::AccessEntry> entries, uint32_t rights);

// What a path's volume means for the access checks.
enum class StorageKind {
  kAccessControlled,   // a fixed (or RAM) disk with NTFS or ReFS: access lists count
  kRemovableOrShared,  // removable media, a network share or a disc: anyone there may change it
  kNoAccessLists,      // a fixed disk whose file system keeps no access lists (FAT, exFAT)
  kUnknown,            // the volume could not be asked
};
[[nodiscard]] StorageKind ClassifyStorage(const platform::VolumeFacts& facts);

// The first folder or file of `path`, from below its drive root down to
// `path` itself, that is a junction or symbolic link; nullopt when none is
// (missing parts end the walk).
[[nodiscard]] std::optional<Text> ReparsePointOnTheWay(platform::FileSystem& files, TextView path);

// Administrators and SYSTEM with all access, passed on to everything inside.
[[nodiscard]] std::vector<platform::AccessEntry> AdministrationOnlyList();

// Creates every missing folder of `folder` (an absolute path) with
// AdministrationOnlyList(), not inherited; folders already there are left
// as they are. kErrorSuccess when `folder` exists at the end.
[[nodiscard]] WinError MakeAdministrationOnlyFolders(platform::FileSystem& files, TextView folder);

}  // namespace tarn::app
