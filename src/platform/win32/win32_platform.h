// The real Windows services behind the platform interfaces.
#pragma once

#include "platform/platform.h"

namespace tarn::win32 {

// Owns one implementation of every interface for the running process.
class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  [[nodiscard]] platform::Platform platform();
};

}  // namespace tarn::win32
