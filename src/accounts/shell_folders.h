// Placing an account's shell folders: checking the drive a folder lies on,
// creating folders and copying trees, and writing the folders' paths into
// the account's hive so that they stay valid for that user.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "app/log_file.h"
#include "app/prompter.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace tarn::accounts {

// What an account's placeholders stand for: its profile folder, home folder
// and name, all already expanded.
struct AccountFolderValues {
  TextView profile;
  TextView home;
  TextView name;
};

// Gives a folder just created for an account the account's security. Only
// the last folder of a path gets it; the parents made on the way keep the
// security they inherit.
using LeafSecurity = std::function<void(TextView folder)>;

// Asks about drives that are missing or unformatted, and remembers for the
// rest of the run which drives to move and which were given up.
class VolumeChecker {
 public:
  VolumeChecker(platform::FileSystem& files, app::Prompter& prompter, uint32_t timeoutSeconds)
      : files_(files), prompter_(prompter), timeoutSeconds_(timeoutSeconds) {}

  // Makes sure the drive `path` begins with is usable. True to go on (the
  // path may now name another drive or folder); false when the question was
  // cancelled, now or earlier for the same drive.
  [[nodiscard]] bool CheckVolume(Text& path);

 private:
  [[nodiscard]] static std::optional<size_t> DriveIndex(TextView path);

  platform::FileSystem& files_;
  app::Prompter& prompter_;
  uint32_t timeoutSeconds_;
  std::array<char16_t, 26> movedTo_{};
  std::array<bool, 26> cancelled_{};
};

// The warning test of a typed path: for a path of the form "?:\\..." the
// state of its drive (kErrorUnrecognizedVolume for an unformatted one), for
// anything else, UNC shares included, kErrorSuccess.
[[nodiscard]] WinError PathVolumeState(platform::FileSystem& files, TextView path);

// True when `a` and `b` are the same folder or one lies inside the other,
// comparing whole names and ignoring case.
[[nodiscard]] bool FoldersNest(TextView a, TextView b);

// Creates `path` and its missing parents; only the last folder, when it was
// created, is given to `leafSecurity`. False when the drive was given up, a
// UNC path names no share, or the folder is not there afterwards.
[[nodiscard]] bool CreateFolderPath(platform::FileSystem& files, VolumeChecker& volumes,
                                    TextView path, const LeafSecurity& leafSecurity = {});

// Copies the folder `source` with everything in it to `target`, overwriting
// files. False for an empty source, one that can't be listed, or folders
// that lie inside each other (the copy would never end), and when anything
// could not be copied (the rest is copied all the same).
[[nodiscard]] bool CopyFolderTree(platform::FileSystem& files, VolumeChecker& volumes,
                                  TextView source, TextView target);

// A folder path of the account as a full path: the account's placeholders
// (%ThisProfile%, %ThisHome%, %ThisUser% and the system's %USERPROFILE%,
// %HOMEDRIVE%%HOMEPATH%, %USERNAME%) replaced in one pass by its values,
// then the rest expanded by `environment`. nullopt when a placeholder has no
// value, the result is not a full path (drive or UNC) or does not fit a path:
// each would name another folder than the one meant.
[[nodiscard]] std::optional<Text> ResolveAccountPath(platform::Environment& environment,
                                                     TextView path,
                                                     const AccountFolderValues& values);

// The folder a value read from the account's own hive names, when the
// program may act on it with its own rights: the account's placeholders
// (%USERPROFILE%, %HOMEDRIVE%%HOMEPATH%, %USERNAME% and their %This...%
// forms) replaced, and then no variable left (the program's
// environment is not the account's), no "..", and the folder inside the
// account's profile or home. nullopt otherwise: the account could have
// written anything there.
[[nodiscard]] std::optional<Text> TrustedHiveFolder(TextView value,
                                                    const AccountFolderValues& values);

// The form of a full path stored in the account's hive: its profile folder
// written "%USERPROFILE%", its home "%HOMEDRIVE%%HOMEPATH%" and a path
// component that is its name "%USERNAME%". One pass from the left over whole
// components; inserted text is never looked at again. A replacement that
// would not fit `capacity` ends the replacing.
[[nodiscard]] Text ToRegistryForm(TextView path, const AccountFolderValues& values,
                                  size_t capacity = kPathCapacity);

// Where an account's folders are written and how the run reports them.
struct ShellFolderTarget {
  // The hive root of the account and its opened User Shell Folders key.
  platform::RegKey hive;
  platform::RegKey folders;
  app::LogFile& log;
  bool verbose = false;
  LeafSecurity leafSecurity;
};

// Places each of the account's 22 folders: resolves its path (the record's,
// else the hive's, else the default), writes the hive's value, creates the
// folder and, for an account that existed before the run, copies the folder
// from its old place. A folder whose path is refused or whose drive was given
// up is left alone; the others go on.
void ApplyShellFolders(const AccountServices& services, VolumeChecker& volumes, UserAccount& record,
                       const ShellFolderTarget& target);

// Copies the Default User profile `source` into the new profile `target`.
// A folder of `source` that is the default place of a shell folder goes
// where the record places that folder (its placeholders and references to
// other folders, "%Personal%" and so on, replaced), and the record keeps the
// full path; everything else keeps its place. A folder the record places
// that the copy creates is given to `leafSecurity`. False when `source`
// can't be listed or anything could not be copied.
[[nodiscard]] bool CopyDefaultUserProfile(const AccountServices& services, VolumeChecker& volumes,
                                          TextView source, TextView target, UserAccount& record,
                                          const LeafSecurity& leafSecurity = {});

}  // namespace tarn::accounts
