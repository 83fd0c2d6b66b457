// The few user-interface services the portable core calls directly.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace tarn::platform {

inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbTaskModal = 0x2000;
inline constexpr uint32_t kMbTopmost = 0x40000;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdTimeout = 32000;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // MessageBoxW owned by the desktop window; returns the button pressed.
  virtual int MessageBox(TextView text, TextView caption, uint32_t flags) = 0;
  // MessageBoxTimeoutW (looked up by name); nullopt when the system lacks it.
  virtual std::optional<int> MessageBoxTimeout(TextView text, TextView caption, uint32_t flags,
                                               uint32_t milliseconds) = 0;
};

}  // namespace tarn::platform
