#include "run/protected_files.h"

#include <optional>
#include <set>

#include "app/app_context.h"
#include "app/file_trust.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/security.h"

namespace tarn::run {
namespace {

enum class Concern { kChange, kRead };

struct Guarded {
  Text path;
  bool folder = false;
  Concern concern = Concern::kChange;
  // Text added to the warning (what a change there would lead to).
  Text consequence;
};

std::vector<Guarded> GuardedList(platform::FileSystem& files, const GuardedPaths& paths) {
  const Text resumed =
      paths.resumes ? Text(u" A resumed run would start the program from there.") : Text();
  std::vector<Guarded> list = {
      {paths.program, false, Concern::kChange, resumed},
      {PathRemoveFileSpec(paths.program), true, Concern::kChange, resumed}};
  for (const Text& file : paths.settings) list.push_back({file, false, Concern::kChange, {}});
  for (const Text& file : paths.secrets) list.push_back({file, false, Concern::kRead, {}});
  for (const Text& folder : paths.outputFolders) {
    list.push_back({folder, true, Concern::kChange, {}});
  }
  std::vector<Guarded> present;
  std::set<std::pair<Text, Concern>> seen;
  for (Guarded& item : list) {
    if (item.path.empty() || !files.Exists(item.path)) continue;
    if (!seen.insert({ToUpper(item.path), item.concern}).second) continue;
    present.push_back(std::move(item));
  }
  return present;
}

// "BUILTIN\Users, anna" for people; the SID where no name is known.
Text NamesOf(platform::Security& security, const std::vector<platform::Sid>& sids) {
  Text names;
  for (const platform::Sid& sid : sids) {
    if (!names.empty()) names += u", ";
    const auto found = security.LookupSid(u"", sid);
    if (!found) {
      names += sid.ToText();
    } else {
      names += found->domain.empty() ? found->name : found->domain + u"\\" + found->name;
    }
  }
  return names;
}

// The warning about who besides the administrators may reach `item`, if anyone.
std::optional<Text> AccessWarning(const platform::Platform& platform, const Guarded& item,
                                  const std::optional<platform::Sid>& alsoTrusted) {
  platform::FileSystem& files = *platform.files;
  const Result<platform::Sid> owner = files.GetOwner(item.path);
  const auto entries = files.GetAccessList(item.path);
  if (!owner || !entries) return std::nullopt;
  const uint32_t rights = item.concern == Concern::kRead ? app::kFileReadingRights
                          : item.folder                  ? app::kFolderChangingRights
                                                         : app::kFileChangingRights;
  std::vector<platform::Sid> others = app::OthersWithRights(*owner, *entries, rights);
  if (alsoTrusted) std::erase(others, *alsoTrusted);
  if (others.empty()) return std::nullopt;
  const Text who = NamesOf(*platform.security, others);
  if (item.concern == Concern::kRead) {
    return Format(u"\"%s\" holds passwords and may be read by %s.", {item.path, who});
  }
  return Format(u"\"%s\" may be changed by %s, not only by the administrators.%s",
                {item.path, who, item.consequence});
}

}  // namespace

std::vector<Text> FindGuardedPathWarnings(const platform::Platform& platform,
                                          const GuardedPaths& paths) {
  std::vector<Text> warnings;
  std::set<Text> unguardedRoots;
  Text roots;
  for (const Guarded& item : GuardedList(*platform.files, paths)) {
    const auto facts = platform.files->DescribeVolume(item.path);
    if (!facts) continue;
    switch (app::ClassifyStorage(*facts)) {
      case app::StorageKind::kAccessControlled:
        if (auto warning = AccessWarning(platform, item, paths.alsoTrusted))
          warnings.push_back(std::move(*warning));
        break;
      case app::StorageKind::kRemovableOrShared:
      case app::StorageKind::kNoAccessLists:
        if (unguardedRoots.insert(ToUpper(facts->root)).second) {
          roots += roots.empty() ? facts->root : u", " + facts->root;
        }
        break;
      case app::StorageKind::kUnknown:
        break;
    }
  }
  if (roots.empty()) return warnings;
  warnings.push_back(
      Format(u"The program's files are on removable media, a network share or a "
             u"volume without access lists (%s): whoever may change them there "
             u"decides what runs with administrator rights. Keep them there only "
             u"while the machine is set up.",
             {roots}));
  return warnings;
}

void ReportGuardedPathWarnings(AppContext& app, const std::vector<Text>& warnings) {
  for (const Text& warning : warnings) ReportWarning(app, warning);
}

void CheckGuardedPaths(AppContext& app, const GuardedPaths& paths) {
  ReportGuardedPathWarnings(app, FindGuardedPathWarnings(app.platform, paths));
}

}  // namespace tarn::run
