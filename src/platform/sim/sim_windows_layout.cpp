#include "platform/sim/sim_windows_layout.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/security.h"

namespace tarn::sim {

namespace {

using platform::RegValue;

constexpr char16_t kProfileListKey[] =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char16_t kShellFoldersPath[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr uint32_t kHiddenFolder =
    platform::kFileAttributeDirectory | platform::kFileAttributeHidden;

Text Under(TextView folder, TextView name) {
  return Text(folder) + u'\\' + Text(name);
}

void MakeFolders(SimFileSystem& files, TextView base,
                 std::initializer_list<const char16_t*> names) {
  for (const char16_t* name : names) (void)files.MakeDirectories(Under(base, name));
}

// The old names a profile keeps for programs written before Vista, each a
// junction to where the folder lives now.
void AddProfileJunctions(SimFileSystem& files, TextView profile) {
  const Text roaming = Under(profile, u"AppData\\Roaming\\Microsoft\\Windows");
  const Text local = Under(profile, u"AppData\\Local");
  const struct {
    const char16_t* link;
    Text target;
  } kLinks[] = {
      {u"Application Data", Under(profile, u"AppData\\Roaming")},
      {u"Cookies", Under(local, u"Microsoft\\Windows\\INetCookies")},
      {u"Local Settings", local},
      {u"My Documents", Under(profile, u"Documents")},
      {u"NetHood", Under(roaming, u"Network Shortcuts")},
      {u"PrintHood", Under(roaming, u"Printer Shortcuts")},
      {u"Recent", Under(roaming, u"Recent")},
      {u"SendTo", Under(roaming, u"SendTo")},
      {u"Start Menu", Under(roaming, u"Start Menu")},
      {u"Templates", Under(roaming, u"Templates")},
      {u"Documents\\My Music", Under(profile, u"Music")},
      {u"Documents\\My Pictures", Under(profile, u"Pictures")},
      {u"Documents\\My Videos", Under(profile, u"Videos")},
      {u"AppData\\Local\\Application Data", local},
      {u"AppData\\Local\\History", Under(local, u"Microsoft\\Windows\\History")},
      {u"AppData\\Local\\Temporary Internet Files", Under(local, u"Microsoft\\Windows\\INetCache")},
  };
  for (const auto& link : kLinks) {
    (void)files.MakeCompatibilityJunction(Under(profile, link.link), link.target);
  }
}

void AddProfileFolders(SimFileSystem& files, TextView profile) {
  MakeFolders(files, profile,
              {u"AppData\\LocalLow",
               u"AppData\\Local\\Temp",
               u"AppData\\Local\\Microsoft\\Windows\\INetCache",
               u"AppData\\Local\\Microsoft\\Windows\\INetCookies",
               u"AppData\\Local\\Microsoft\\Windows\\History",
               u"AppData\\Local\\Microsoft\\WindowsApps",
               u"AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts",
               u"AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts",
               u"AppData\\Roaming\\Microsoft\\Windows\\Recent",
               u"AppData\\Roaming\\Microsoft\\Windows\\SendTo",
               u"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
               u"AppData\\Roaming\\Microsoft\\Windows\\Templates",
               u"Desktop",
               u"Documents",
               u"Downloads",
               u"Favorites",
               u"Links",
               u"Music",
               u"Pictures",
               u"Saved Games",
               u"Videos"});
  (void)files.SetAttributes(Under(profile, u"AppData"), kHiddenFolder);
  AddProfileJunctions(files, profile);
}

// Full control for SYSTEM and Administrators, read for RESTRICTED and ALL
// APPLICATION PACKAGES, each handed down to the subkeys.
std::vector<platform::AccessEntry> DefaultHiveAccessList() {
  constexpr uint8_t kDown = platform::kAceContainerInherit;
  return {{platform::LocalSystemSid(), kDown, platform::kKeyAllAccess},
          {platform::AdministratorsSid(), kDown, platform::kKeyAllAccess},
          {platform::RestrictedSid(), kDown, platform::kKeyRead},
          {platform::AllApplicationPackagesSid(), kDown, platform::kKeyRead}};
}

void SetAccessListsBelow(SimRegistry& registry, platform::RegKey key,
                         const std::vector<platform::AccessEntry>& entries) {
  (void)registry.SetKeyAccessList(key, entries);
  for (uint32_t index = 0;; ++index) {
    auto name = registry.EnumKey(key, index);
    if (!name) return;
    auto subkey = registry.OpenKey(key, *name, platform::kKeyAllAccess);
    if (!subkey) continue;
    SetAccessListsBelow(registry, *subkey, entries);
    registry.CloseKey(*subkey);
  }
}

// The Default profile's NTUSER.DAT: the shell folders and temporary
// folders every new user starts from, with the access lists of the keys.
void WriteDefaultHive(SimFileSystem& files, SimRegistry& registry) {
  // Keys can't be made right below HKEY_USERS; the current user's hive lends
  // a place to build the tree in.
  const Text scratch = u"TarnLayoutDefaultHive";
  for (const ShellFolderValue& folder : Windows10UserShellFolders()) {
    (void)registry.Put(platform::kCurrentUser, Under(scratch, kShellFoldersPath), folder.name,
                       RegValue::FromText(folder.path, platform::kRegExpandSz));
  }
  for (const char16_t* name : {u"TEMP", u"TMP"}) {
    (void)registry.Put(
        platform::kCurrentUser, Under(scratch, u"Environment"), name,
        RegValue::FromText(u"%USERPROFILE%\\AppData\\Local\\Temp", platform::kRegExpandSz));
  }
  (void)registry.MakeKey(platform::kCurrentUser,
                         Under(scratch, u"Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
  auto root = registry.OpenKey(platform::kCurrentUser, scratch, platform::kKeyAllAccess);
  if (!root) return;
  SetAccessListsBelow(registry, *root, DefaultHiveAccessList());
  const Text hive = Under(kDefaultProfileFolder, u"NTUSER.DAT");
  (void)registry.SaveKey(*root, hive);
  registry.CloseKey(*root);
  (void)registry.DeleteTree(platform::kCurrentUser, scratch);
  (void)files.SetAttributes(hive, platform::kFileAttributeHidden);
}

void AddProfileList(SimRegistry& registry, TextView administratorSid) {
  const struct {
    const char16_t* name;
    const char16_t* value;
  } kValues[] = {
      {u"ProfilesDirectory", u"%SystemDrive%\\Users"},
      {u"Default", u"%SystemDrive%\\Users\\Default"},
      {u"Public", u"%SystemDrive%\\Users\\Public"},
      {u"ProgramData", u"%SystemDrive%\\ProgramData"},
  };
  for (const auto& value : kValues) {
    (void)registry.Put(platform::kLocalMachine, kProfileListKey, value.name,
                       RegValue::FromText(value.value, platform::kRegExpandSz));
  }
  const struct {
    Text sid;
    const char16_t* path;
  } kProfiles[] = {
      {u"S-1-5-18", u"%systemroot%\\system32\\config\\systemprofile"},
      {u"S-1-5-19", u"%systemroot%\\ServiceProfiles\\LocalService"},
      {u"S-1-5-20", u"%systemroot%\\ServiceProfiles\\NetworkService"},
      {Text(administratorSid), kAdministratorProfileFolder},
  };
  for (const auto& profile : kProfiles) {
    const Text key = Under(kProfileListKey, profile.sid);
    (void)registry.Put(platform::kLocalMachine, key, u"ProfileImagePath",
                       RegValue::FromText(profile.path, platform::kRegExpandSz));
    if (auto sid = platform::Sid::FromText(profile.sid)) {
      (void)registry.Put(platform::kLocalMachine, key, u"Sid",
                         RegValue{platform::kRegBinary, sid->ToBytes()});
    }
  }
}

void AddMachineFolders(SimFileSystem& files) {
  MakeFolders(files, kWindowsFolder, {u"System32\\config\\systemprofile", u"Fonts", u"Temp"});
  MakeFolders(files, u"C:", {u"Program Files", u"Program Files (x86)"});
  MakeFolders(files, kProgramDataFolder, {u"Microsoft\\Windows\\Start Menu\\Programs\\Startup"});
  (void)files.SetAttributes(kProgramDataFolder, kHiddenFolder);
  MakeFolders(files, kPublicProfileFolder,
              {u"Desktop", u"Documents", u"Downloads", u"Music", u"Pictures", u"Videos"});
  (void)files.SetAttributes(Under(kPublicProfileFolder, u"Desktop"), kHiddenFolder);
  (void)files.MakeDirectories(kDefaultProfileFolder);
  (void)files.SetAttributes(kDefaultProfileFolder, kHiddenFolder);
  AddProfileFolders(files, kDefaultProfileFolder);
  AddProfileFolders(files, kAdministratorProfileFolder);
  (void)files.MakeCompatibilityJunction(u"C:\\Documents and Settings", kUsersFolder);
  (void)files.MakeCompatibilityJunction(Under(kUsersFolder, u"Default User"),
                                        kDefaultProfileFolder);
  (void)files.MakeCompatibilityJunction(Under(kUsersFolder, u"All Users"), kProgramDataFolder);
}

}  // namespace

const std::array<ShellFolderValue, 20>& Windows10UserShellFolders() {
  static const std::array<ShellFolderValue, 20> kFolders = {{
      {u"AppData", u"%USERPROFILE%\\AppData\\Roaming"},
      {u"Cache", u"%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows\\INetCache"},
      {u"Cookies", u"%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows\\INetCookies"},
      {u"Desktop", u"%USERPROFILE%\\Desktop"},
      {u"Favorites", u"%USERPROFILE%\\Favorites"},
      {u"History", u"%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows\\History"},
      {u"Local AppData", u"%USERPROFILE%\\AppData\\Local"},
      {u"My Music", u"%USERPROFILE%\\Music"},
      {u"My Pictures", u"%USERPROFILE%\\Pictures"},
      {u"My Video", u"%USERPROFILE%\\Videos"},
      {u"NetHood", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
      {u"Personal", u"%USERPROFILE%\\Documents"},
      {u"PrintHood", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts"},
      {u"Programs", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {u"Recent", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Recent"},
      {u"SendTo", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
      {u"Start Menu", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
      {u"Startup",
       u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
      {u"Templates", u"%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Templates"},
      {u"{374DE290-123F-4565-9164-39C4925E467B}", u"%USERPROFILE%\\Downloads"},
  }};
  return kFolders;
}

void LayOutWindows10(SimFileSystem& files, SimRegistry& registry, TextView administratorSid) {
  AddMachineFolders(files);
  WriteDefaultHive(files, registry);
  AddProfileList(registry, administratorSid);
  for (const ShellFolderValue& folder : Windows10UserShellFolders()) {
    (void)registry.Put(platform::kUsers, Under(u".DEFAULT", kShellFoldersPath), folder.name,
                       RegValue::FromText(folder.path, platform::kRegExpandSz));
  }
  (void)registry.MakeKey(platform::kLocalMachine,
                         u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon");
  // Set up once when Windows is installed; what tells this machine from a
  // copy with the same computer name.
  (void)registry.Put(platform::kLocalMachine, u"SOFTWARE\\Microsoft\\Cryptography", u"MachineGuid",
                     RegValue::FromText(kMachineGuid));
}

}  // namespace tarn::sim
