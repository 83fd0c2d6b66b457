// A simulated process environment with the system's rules: names compare
// ignoring case, expansion as ExpandEnvironmentStringsW does it, sorted
// blocks.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "base/text.h"
#include "platform/environment.h"
#include "platform/environment_block.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

// Orders variable names as the system sorts an environment block.
using NameLess = platform::EnvironmentNameLess;

class SimEnvironment : public platform::Environment {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  SimEnvironment() = default;

  // ---- Set-up for tests ----
  // Number of variables defined.
  [[nodiscard]] size_t size() const { return variables_.size(); }
  // Removes every variable.
  void Clear() { variables_.clear(); }

  // ---- platform::Environment ----
  [[nodiscard]] std::optional<Text> Get(TextView name) override;
  [[nodiscard]] WinError Set(TextView name, std::optional<TextView> value) override;
  [[nodiscard]] platform::Expansion Expand(TextView text, uint32_t capacity) override;
  [[nodiscard]] platform::EnvironmentBlock CurrentBlock() override;
  // Reads `block` as ParseEnvironmentBlock does; of two entries with the same
  // name (ignoring case) the first is kept.
  [[nodiscard]] Result<platform::EnvironmentBlock> ReplaceBlock(
      const platform::EnvironmentBlock& block) override;

 private:
  // Name -> value, keyed ignoring case; the key keeps the spelling the
  // name was first set with.
  std::map<Text, Text, NameLess> variables_;
  FaultGate faults_;
};

// ExpandEnvironmentStringsW's rules over any set of variables: `lookup`
// gives the value of a defined name. The result is not cut.
[[nodiscard]] Text ExpandVariables(TextView text,
                                   const std::function<std::optional<Text>(TextView)>& lookup);

}  // namespace tarn::sim
