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

struct Platform {
  ProfileFiles* profiles = nullptr;
  Registry* registry = nullptr;
  Environment* environment = nullptr;
  FileSystem* files = nullptr;
  SystemInfo* system = nullptr;
  Desktop* desktop = nullptr;
  Services* services = nullptr;
};

}  // namespace tarn::platform
