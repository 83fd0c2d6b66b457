// The set of operating-system services the portable core is given. Each
// backend (win32, sim) owns its implementations and hands out this view; the
// core never finds a service any other way.
#pragma once

namespace tarn::platform {

class ProfileFiles;
class Registry;
class Environment;
class FileSystem;
class SystemInfo;
class Desktop;
class Services;
class VersionResources;
class Accounts;
class Security;
class UserProfiles;
class Processes;
class SystemIdentity;

struct Platform {
  ProfileFiles* profiles = nullptr;
  Registry* registry = nullptr;
  Environment* environment = nullptr;
  FileSystem* files = nullptr;
  SystemInfo* system = nullptr;
  Desktop* desktop = nullptr;
  Services* services = nullptr;
  // Version resources of program files.
  VersionResources* versions = nullptr;
  // Local users, groups and workgroup membership.
  Accounts* accounts = nullptr;
  // Identifiers, account rights, secrets and key/file security.
  Security* security = nullptr;
  // Profile folders, the profile list and environment blocks of users.
  UserProfiles* userProfiles = nullptr;
  // Starting, waiting for and ending processes; events.
  Processes* processes = nullptr;
  // Computer name, workgroup membership and the automatic-logon secret.
  SystemIdentity* identity = nullptr;
  // True when the services may be called from several threads at once, as
  // the real system's may; start-up then runs slow independent queries beside
  // each other. The simulated machine is single-threaded.
  bool concurrentCalls = false;

  // True when every service is present. The application context refuses a
  // platform that is not, so the code above it never checks a pointer.
  [[nodiscard]] bool IsComplete() const {
    return profiles && registry && environment && files && system && desktop && services &&
           versions && accounts && security && userProfiles && processes && identity;
  }
};

}  // namespace tarn::platform
