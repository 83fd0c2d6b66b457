#include "accounts/shell_folders.h"

#include <array>
#include <span>
#include <utility>
#include <vector>

#include "accounts/shell_folder_table.h"
#include "platform/unexpand_path.h"

namespace tarn::accounts {
namespace {

constexpr uint32_t kPathBuffer = static_cast<uint32_t>(kPathCapacity);

TextView WithoutTrailingSlashes(TextView path) {
  while (path.size() > 1 && path.back() == u'\\') path.remove_suffix(1);
  return path;
}

// Whether `inner` is `outer` or lies inside it.
bool FolderWithin(TextView inner, TextView outer) {
  inner = WithoutTrailingSlashes(inner);
  outer = WithoutTrailingSlashes(outer);
  if (outer.empty() || !StartsWithIgnoreCase(inner, outer)) return false;
  return inner.size() == outer.size() || inner[outer.size()] == u'\\' || outer.back() == u'\\';
}

// Whether `text` at `at` begins with `part` ending at a component end.
bool ComponentsAt(TextView text, size_t at, TextView part) {
  if (part.empty() || !StartsWithIgnoreCase(text.substr(at), part)) return false;
  const size_t end = at + part.size();
  return end == text.size() || text[end] == u'\\' || part.back() == u'\\';
}

// `path` with each placeholder replaced by its value in one pass from the
// left; inserted values are not looked at again. nullopt when a placeholder
// found has no value: left in place, the process environment would make it
// name the running user's folder, or a folder literally called so.
std::optional<Text> ReplaceInOnePass(TextView path,
                                     std::span<const std::pair<TextView, TextView>> placeholders) {
  Text replaced;
  for (size_t at = 0; at < path.size();) {
    bool found = false;
    for (const auto& [placeholder, value] : placeholders) {
      if (!StartsWithIgnoreCase(path.substr(at), placeholder)) continue;
      if (value.empty()) return std::nullopt;
      replaced += value;
      at += placeholder.size();
      found = true;
      break;
    }
    if (!found) replaced += path[at++];
  }
  return replaced;
}

}  // namespace

std::optional<size_t> VolumeChecker::DriveIndex(TextView path) {
  if (path.empty()) return std::nullopt;
  const char16_t letter = path[0];
  if (letter >= u'a' && letter <= u'z') return static_cast<size_t>(letter - u'a');
  if (letter >= u'A' && letter <= u'Z') return static_cast<size_t>(letter - u'A');
  return std::nullopt;
}

bool VolumeChecker::CheckVolume(Text& path) {
  if (path.empty()) return true;
  for (;;) {
    const auto drive = DriveIndex(path);
    if (drive && movedTo_[*drive] != 0) path[0] = movedTo_[*drive];
    const auto current = DriveIndex(path);
    if (current && cancelled_[*current]) return false;
    const Text root = Text(1, path[0]) + u":\\";
    const WinError state = files_.VolumeState(root);
    if (state == kErrorSuccess) return true;
    app::VolumeQuestion question;
    if (state == platform::kErrorUnrecognizedVolume) {
      question.problem = app::VolumeProblem::Unformatted;
    } else if (state == kErrorPathNotFound) {
      question.problem = app::VolumeProblem::Missing;
    } else {
      return true;
    }
    question.path = path;
    question.timeoutSeconds = timeoutSeconds_;
    const app::VolumeReply reply = prompter_.AskVolume(question);
    switch (reply.answer) {
      case app::VolumeAnswer::Ignore:
        return true;
      case app::VolumeAnswer::Cancel:
        // Asking again about the same drive would only cancel again; the
        // run's later folders on it are given up without a question.
        if (current) cancelled_[*current] = true;
        return false;
      case app::VolumeAnswer::Format: {
        const WinError formatted =
            files_.FormatVolume({root, reply.fileSystem, reply.label}, platform::FormatProgress());
        (void)formatted;  // Success or not, the drive is looked at again.
        break;
      }
      case app::VolumeAnswer::Retry:
        if (!reply.path.empty()) path = reply.path;
        if (reply.rememberDrive && question.problem == app::VolumeProblem::Missing && current) {
          const auto chosen = DriveIndex(path);
          if (chosen && *chosen != *current) {
            movedTo_[*current] = static_cast<char16_t>(u'A' + *chosen);
          }
        }
        break;
    }
  }
}

WinError PathVolumeState(platform::FileSystem& files, TextView path) {
  if (path.size() < 3 || path[1] != u':' || path[2] != u'\\') return kErrorSuccess;
  return files.VolumeState(Text(path.substr(0, 3)));
}

bool FoldersNest(TextView a, TextView b) {
  return FolderWithin(a, b) || FolderWithin(b, a);
}

bool CreateFolderPath(platform::FileSystem& files, VolumeChecker& volumes, TextView path,
                      const LeafSecurity& leafSecurity) {
  Text folder(path);
  if (!volumes.CheckVolume(folder)) return false;
  size_t from = 0;
  if (folder.starts_with(u"\\\\")) {
    from = folder.find(u'\\', 2);
    if (from == Text::npos) return false;
    ++from;
  }
  for (size_t at = folder.find(u'\\', from); at != Text::npos; at = folder.find(u'\\', at + 1)) {
    // Parents that exist or can't be made are no reason to stop: the last
    // folder decides.
    (void)files.CreateDirectory(TextView(folder).substr(0, at));
  }
  const bool made = files.CreateDirectory(folder) == kErrorSuccess;
  if (made && leafSecurity) leafSecurity(folder);
  return made || files.IsDirectory(folder);
}

namespace {

// Gives `target` the hidden and system marks of `source` (AppData is hidden).
void KeepMarks(platform::FileSystem& files, TextView source, TextView target) {
  constexpr uint32_t kMarks = platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  const uint32_t marks = files.GetAttributes(source);
  const uint32_t present = files.GetAttributes(target);
  if (marks == platform::kInvalidFileAttributes || present == platform::kInvalidFileAttributes ||
      (marks & kMarks) == 0) {
    return;
  }
  (void)files.SetAttributes(target, present | (marks & kMarks));
}

}  // namespace

bool CopyFolderTree(platform::FileSystem& files, VolumeChecker& volumes, TextView source,
                    TextView target) {
  if (source.empty() || FoldersNest(source, target)) return false;
  auto entries = files.ListDirectory(source);
  bool whole = CreateFolderPath(files, volumes, target);
  if (!entries) return false;
  KeepMarks(files, source, target);
  for (const auto& entry : *entries) {
    // A link is not part of the tree; copied, an old name's junction would
    // become a plain, visible folder.
    if (entry.info.attributes & platform::kFileAttributeReparsePoint) continue;
    const Text from = Text(source) + u'\\' + entry.name;
    const Text to = Text(target) + u'\\' + entry.name;
    if (entry.info.attributes & platform::kFileAttributeDirectory) {
      whole = CopyFolderTree(files, volumes, from, to) && whole;
    } else {
      whole = files.CopyFile(from, to, /*failIfExists=*/false) == kErrorSuccess && whole;
    }
  }
  return whole;
}

namespace {

// The account's own placeholders with its values, in the program's and in
// the system's spelling.
std::optional<Text> ReplaceAccountPlaceholders(TextView path, const AccountFolderValues& values) {
  const std::array<std::pair<TextView, TextView>, 6> placeholders = {{
      {u"%ThisProfile%", values.profile},
      {u"%ThisHome%", values.home},
      {u"%ThisUser%", values.name},
      {u"%USERPROFILE%", values.profile},
      {u"%HOMEDRIVE%%HOMEPATH%", values.home},
      {u"%USERNAME%", values.name},
  }};
  return ReplaceInOnePass(path, placeholders);
}

}  // namespace

std::optional<Text> ResolveAccountPath(platform::Environment& environment, TextView path,
                                       const AccountFolderValues& values) {
  auto replaced = ReplaceAccountPlaceholders(path, values);
  if (!replaced) return std::nullopt;
  const platform::Expansion expanded = environment.Expand(*replaced, kPathBuffer);
  if (!expanded.complete()) return std::nullopt;
  // A variable nobody defined leaves a relative path: a folder named after
  // the variable below whatever the current folder is.
  const TextView full = expanded.text;
  const bool onDrive = full.size() >= 3 && full[1] == u':' && full[2] == u'\\';
  if (!onDrive && !full.starts_with(u"\\\\")) return std::nullopt;
  return expanded.text;
}

std::optional<Text> TrustedHiveFolder(TextView value, const AccountFolderValues& values) {
  auto replaced = ReplaceAccountPlaceholders(value, values);
  if (!replaced || replaced->find(u'%') != Text::npos) return std::nullopt;
  if (replaced->find(u"\\..") != Text::npos) return std::nullopt;
  if (!FolderWithin(*replaced, values.profile) && !FolderWithin(*replaced, values.home)) {
    return std::nullopt;
  }
  return replaced;
}

Text ToRegistryForm(TextView path, const AccountFolderValues& values, size_t capacity) {
  const std::array<std::pair<TextView, TextView>, 3> forms = {{
      {WithoutTrailingSlashes(values.profile), u"%USERPROFILE%"},
      {WithoutTrailingSlashes(values.home), u"%HOMEDRIVE%%HOMEPATH%"},
      {values.name, u"%USERNAME%"},
  }};
  Text form;
  size_t at = 0;
  while (at < path.size()) {
    const bool componentStart = at == 0 || path[at - 1] == u'\\';
    bool replaced = false;
    if (componentStart) {
      for (const auto& [text, placeholder] : forms) {
        if (!ComponentsAt(path, at, text)) continue;
        const size_t rest = path.size() - at - text.size();
        if (form.size() + placeholder.size() + rest + 1 > capacity) {
          form += path.substr(at);
          return form;
        }
        form += placeholder;
        at += text.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) form += path[at++];
  }
  return form;
}

namespace {

// A folder value the hive could not take is a warning: the account gets the
// system's default for it.
void StoreShellFolder(platform::Registry& registry, const ShellFolderTarget& target, int index,
                      TextView name, TextView value) {
  const WinError error = registry.SetValue(
      target.folders, name, platform::RegValue::FromText(value, platform::kRegExpandSz));
  if (error == kErrorSuccess) return;
  target.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                         u"%S: Shell Folder %d can't be stored", {u"CreateUsers", index});
}

// Whether the system gives new users folder `index` at all: the .DEFAULT
// user has it. A folder only older systems had is not made for anyone.
bool SystemHasFolder(platform::Registry& registry, size_t index) {
  platform::ScopedKey key = platform::ScopedKey::Open(
      registry, platform::kUsers, kDefaultUserShellFoldersKey, platform::kKeyRead);
  if (!key) return false;
  auto value = registry.QueryValue(key.get(), ShellFolderNames()[index]);
  return value.ok() && !value->AsText().empty();
}

}  // namespace

void ApplyShellFolders(const AccountServices& services, VolumeChecker& volumes, UserAccount& record,
                       const ShellFolderTarget& target) {
  platform::Environment& environment = *services.platform.environment;
  platform::Registry& registry = *services.platform.registry;
  platform::FileSystem& files = *services.platform.files;
  const AccountFolderValues values{record.Profile.view(), record.Home.view(), record.Name.view()};
  auto verbose = [&](TextView format, std::initializer_list<FormatArg> args) {
    if (target.verbose) target.log.WriteFormat(app::kLogInfo, 0, format, args);
  };
  for (size_t j = 0; j < kShellFolderCount; ++j) {
    const TextView name = ShellFolderNames()[j];
    const int index = static_cast<int>(j);
    const bool fromRecord = !record.ShellFolders[j].empty();
    Text asked;
    bool fromHive = false;
    bool makeIt = true;
    if (fromRecord) {
      asked = record.ShellFolders[j].str();
    } else if (ReadShellFolder(registry, target.hive, j, asked)) {
      fromHive = true;
    } else {
      if (!DefaultShellFolder(services, j, asked)) asked.clear();
      makeIt = SystemHasFolder(registry, j);
      if (makeIt) StoreShellFolder(registry, target, index, name, asked);
    }
    auto resolved = fromHive ? TrustedHiveFolder(asked, values)
                             : ResolveAccountPath(environment, asked, values);
    // Nothing asked for it (a system folder such as Fonts lies there too), so
    // leaving it is no failure.
    if (fromHive && !resolved) {
      verbose(
          u"%S: Shell Folder %d '%s' lies outside the account's profile and home; it is "
          u"left as it is",
          {u"CreateUsers", index, asked});
      continue;
    }
    if (!resolved || resolved->empty()) {
      target.log.WriteFormat(app::kLogError, index,
                             u"%S: Shell Folder %d '%s' does not name a folder of the account",
                             {u"CreateUsers", index, asked});
      continue;
    }
    Text path = std::move(*resolved);
    if (!volumes.CheckVolume(path)) {
      target.log.WriteFormat(app::kLogWarning, index,
                             u"%S: Shell Folder %d skipped, its drive is not available ('%s')",
                             {u"CreateUsers", index, path});
      continue;
    }
    if (const WinError error = environment.Set(name, TextView(path))) {
      target.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                             u"%S: Variable '%s' can't be set", {u"CreateUsers", name});
    }
    record.ShellFolders[j] = path;
    Text old;
    if (fromRecord) {
      verbose(u"%S: Shell Folder %d is '%s'", {u"CreateUsers", index, path});
      Text present;
      if (ReadShellFolder(registry, target.hive, j, present)) {
        old = TrustedHiveFolder(present, values).value_or(Text());
      } else {
        verbose(u"%S: Default Shell Folder %d was not set", {u"CreateUsers", index});
      }
      const Text form = ToRegistryForm(path, values);
      if (!form.empty()) {
        const Text stored = platform::UnExpandPath(environment, form, kPathBuffer).value_or(form);
        StoreShellFolder(registry, target, index, name, stored);
      }
    } else {
      verbose(u"%S: User Shell Folder %d wasn't initialized ('%s')", {u"CreateUsers", index, path});
    }
    if (makeIt && !files.IsDirectory(path)) {
      verbose(u"%S: Creating Shell Folder %d as '%s'", {u"CreateUsers", index, path});
      if (!CreateFolderPath(files, volumes, path, target.leafSecurity)) {
        target.log.WriteFormat(app::kLogWarning, index,
                               u"%S: Shell Folder %d can't be created as '%s'",
                               {u"CreateUsers", index, path});
      }
    }
    if (record.Exists && !old.empty() && !EqualsIgnoreCase(old, path)) {
      if (FoldersNest(old, path)) {
        target.log.WriteFormat(app::kLogWarning, index,
                               u"Shell Folder not copied from '%s' into its own tree '%s'",
                               {old, path});
        continue;
      }
      if (!CopyFolderTree(files, volumes, old, path)) {
        target.log.WriteFormat(app::kLogWarning, index,
                               u"Shell Folder not wholly copied from '%s' to '%s'", {old, path});
      }
      if (target.verbose) {
        target.log.WriteFormat(app::kLogInfo, index, u"Copy Shell Folder from '%s' to '%s'",
                               {old, path});
      }
    }
  }
}

bool CopyDefaultUserProfile(const AccountServices& services, VolumeChecker& volumes,
                            TextView source, TextView target, UserAccount& record,
                            const LeafSecurity& leafSecurity) {
  platform::FileSystem& files = *services.platform.files;
  auto entries = files.ListDirectory(source);
  if (!entries) return false;
  const ShellFolderPaths defaults = ReadDefaultShellFolders(services);
  std::array<Text, kShellFolderCount> locations;
  std::array<Text, kShellFolderCount> references;
  std::vector<std::pair<TextView, TextView>> folderReferences;
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    locations[i] = defaults[i];
    ReplaceText(locations[i], kPathCapacity, u"%USERPROFILE%", source);
    references[i] = u"%" + Text(ShellFolderNames()[i]) + u"%";
    folderReferences.emplace_back(references[i], record.ShellFolders[i].view());
  }
  const AccountFolderValues values{target, record.Home.view(), record.Name.view()};
  bool whole = true;
  for (const auto& entry : *entries) {
    if (entry.info.attributes & platform::kFileAttributeReparsePoint) continue;
    const Text from = Text(source) + u'\\' + entry.name;
    Text to = Text(target) + u'\\' + entry.name;
    bool moved = false;
    if ((entry.info.attributes & platform::kFileAttributeDirectory) == 0) {
      whole = files.CopyFile(from, to, /*failIfExists=*/false) == kErrorSuccess && whole;
      continue;
    }
    for (size_t i = 0; i < kShellFolderCount; ++i) {
      if (locations[i].empty() || !EqualsIgnoreCase(from, locations[i])) continue;
      // A folder the record does not place, or places nowhere it could be,
      // keeps its place in the new profile.
      const auto referenced = ReplaceInOnePass(record.ShellFolders[i].view(), folderReferences);
      if (!referenced || referenced->empty()) break;
      auto placed = ResolveAccountPath(*services.platform.environment, *referenced, values);
      if (!placed) break;
      if (!volumes.CheckVolume(*placed)) {
        to.clear();
        break;
      }
      record.ShellFolders[i] = *placed;
      to = std::move(*placed);
      moved = true;
      break;
    }
    if (to.empty()) continue;
    // A moved folder may lie where nothing passes the account's access list
    // down to it, so it is given it as a folder made for the account would be.
    const bool made = moved && !files.IsDirectory(to);
    whole = CopyFolderTree(files, volumes, from, to) && whole;
    if (made && leafSecurity && files.IsDirectory(to)) leafSecurity(to);
  }
  return whole;
}

}  // namespace tarn::accounts
