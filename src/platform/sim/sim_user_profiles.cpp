#include "platform/sim/sim_user_profiles.h"

#include <map>

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
      profilesDirectory_(u"C:\\Documents and Settings"),
      defaultUser_(u"C:\\Documents and Settings\\Default User"),
      currentUser_(u"C:\\Documents and Settings\\Administrator"),
      systemVariables_({{u"ALLUSERSPROFILE", u"C:\\Documents and Settings\\All Users"},
                        {u"ComSpec", u"C:\\WINDOWS\\system32\\cmd.exe"},
                        {u"OS", u"Windows_NT"},
                        {u"Path", u"C:\\WINDOWS\\system32;C:\\WINDOWS"},
                        {u"SystemDrive", u"C:"},
                        {u"SystemRoot", u"C:\\WINDOWS"},
                        {u"windir", u"C:\\WINDOWS"}}) {}

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
  return Answer(profilesDirectory_);
}

Result<Text> SimUserProfiles::DefaultUserProfileDirectory() {
  return Answer(defaultUser_);
}

Result<Text> SimUserProfiles::CurrentUserProfileDirectory() {
  return Answer(currentUser_);
}

Result<platform::EnvironmentBlock> SimUserProfiles::CreateEnvironmentBlock(bool inherit) {
  std::map<Text, std::pair<Text, Text>, NameLess> merged;
  for (const auto& [name, value] : systemVariables_) merged[name] = {name, value};
  if (inherit) {
    const auto present = ParseEnvironmentBlock(environment_.CurrentBlock());
    if (present) {
      for (const auto& [name, value] : *present) merged[name] = {name, value};
    }
  }
  platform::EnvironmentBlock block;
  for (const auto& entry : merged) {
    block += entry.second.first + u"=" + entry.second.second;
    block += u'\0';
  }
  block += u'\0';
  return block;
}

}  // namespace tarn::sim
