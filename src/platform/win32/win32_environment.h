// The process environment through the system's functions; whole blocks are
// swapped with ntdll's RtlSetCurrentEnvironment, looked up by name.
#pragma once

#include "platform/environment.h"

namespace tarn::win32 {

class Win32Environment : public platform::Environment {
 public:
  [[nodiscard]] std::optional<Text> Get(TextView name) override;
  [[nodiscard]] WinError Set(TextView name, std::optional<TextView> value) override;
  [[nodiscard]] platform::Expansion Expand(TextView text, uint32_t capacity) override;
  [[nodiscard]] platform::EnvironmentBlock CurrentBlock() override;
  // Reads `block` as ParseEnvironmentBlock does; of two entries with the same
  // name (ignoring case) the first is kept, as in the simulated environment.
  [[nodiscard]] Result<platform::EnvironmentBlock> ReplaceBlock(
      const platform::EnvironmentBlock& block) override;
};

}  // namespace tarn::win32
