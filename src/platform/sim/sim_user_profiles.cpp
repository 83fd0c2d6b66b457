#include "platform/sim/sim_user_profiles.h"

#include <map>

#include "platform/environment_block.h"
#include "platform/sim/sim_environment.h"

namespace tarn::sim {

namespace {

Result<Text> Answer(const std::optional<Text>& value) {
  if (!value) return Result<Text>::Failure(kErrorAccessDenied);
  return *value;
}

}  // namespace

SimUserProfiles::SimUserProfiles(SimEnvironment& environment)
    : environment_(environment),
      profilesDirectory_(u"C:\\Users"),
      defaultUser_(u"C:\\Users\\Default"),
      currentUser_(u"C:\\Users\\Administrator"),
      systemVariables_({{u"ALLUSERSPROFILE", u"C:\\ProgramData"},
                        {u"CommonProgramFiles", u"C:\\Program Files\\Common Files"},
                        {u"ComSpec", u"C:\\Windows\\system32\\cmd.exe"},
                        {u"OS", u"Windows_NT"},
                        {u"Path", u"C:\\Windows\\system32;C:\\Windows;C:\\Windows\\System32\\Wbem"},
                        {u"PATHEXT", u".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC"},
                        {u"ProgramData", u"C:\\ProgramData"},
                        {u"ProgramFiles", u"C:\\Program Files"},
                        {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
                        {u"PUBLIC", u"C:\\Users\\Public"},
                        {u"SystemDrive", u"C:"},
                        {u"SystemRoot", u"C:\\Windows"},
                        {u"windir", u"C:\\Windows"}}) {}

void SimUserProfiles::SetProfilesDirectory(std::optional<TextView> path) {
  profilesDirectory_ = path ? std::optional<Text>(Text(*path)) : std::nullopt;
}

void SimUserProfiles::SetDefaultUserProfileDirectory(std::optional<TextView> path) {
  defaultUser_ = path ? std::optional<Text>(Text(*path)) : std::nullopt;
}

void SimUserProfiles::SetCurrentUserProfileDirectory(std::optional<TextView> path) {
  currentUser_ = path ? std::optional<Text>(Text(*path)) : std::nullopt;
}

Result<Text> SimUserProfiles::ProfilesDirectory() {
  if (auto e = faults_.Check(CallKind::kProfileFolder)) return e;
  return Answer(profilesDirectory_);
}

Result<Text> SimUserProfiles::DefaultUserProfileDirectory() {
  if (auto e = faults_.Check(CallKind::kProfileFolder)) return e;
  return Answer(defaultUser_);
}

Result<Text> SimUserProfiles::CurrentUserProfileDirectory() {
  if (auto e = faults_.Check(CallKind::kProfileFolder)) return e;
  return Answer(currentUser_);
}

Result<platform::EnvironmentBlock> SimUserProfiles::CreateEnvironmentBlock(bool inherit) {
  if (auto e = faults_.Check(CallKind::kEnvironmentBlock)) return e;
  // A later definition replaces an earlier one, spelling of the name included.
  std::map<Text, Text, NameLess> merged;
  const auto put = [&merged](const Text& name, const Text& value) {
    merged.erase(name);
    merged.emplace(name, value);
  };
  for (const auto& [name, value] : systemVariables_) put(name, value);
  if (inherit) {
    const auto present = platform::ParseEnvironmentBlock(environment_.CurrentBlock());
    if (present) {
      for (const auto& [name, value] : *present) put(name, value);
    }
  }
  return platform::BuildEnvironmentBlock(merged);
}

WinError SimUserProfiles::DeleteUserProfile(TextView sidText) {
  if (auto e = faults_.Check(CallKind::kProfileFolder)) return e;
  constexpr WinError kErrorCallNotImplemented = 120;
  return deleter_ ? deleter_(sidText) : kErrorCallNotImplemented;
}

}  // namespace tarn::sim
