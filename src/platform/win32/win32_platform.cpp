#include "platform/win32/win32_platform.h"

namespace tarn::win32 {

Win32Platform::Win32Platform() = default;
Win32Platform::~Win32Platform() = default;

platform::Platform Win32Platform::platform() { return {}; }

}  // namespace tarn::win32
