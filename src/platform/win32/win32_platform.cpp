#include "platform/win32/win32_platform.h"

namespace tarn::win32 {

Win32Platform::Win32Platform() = default;
Win32Platform::~Win32Platform() = default;

platform::Platform Win32Platform::platform() {
  platform::Platform p;
  p.files = files_.get();
  p.registry = registry_.get();
  p.environment = environment_.get();
  p.system = system_.get();
  p.desktop = desktop_.get();
  p.services = services_.get();
  p.accounts = accounts_.get();
  p.security = security_.get();
  p.userProfiles = userProfiles_.get();
  p.profiles = profiles_.get();
  p.versions = versions_.get();
  p.processes = processes_.get();
  p.identity = identity_.get();
  p.concurrentCalls = true;
  return p;
}

}  // namespace tarn::win32
