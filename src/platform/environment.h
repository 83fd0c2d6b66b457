// The process environment: variables, expansion, and whole-block swaps.
#pragma once

#include <optional>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

// Result of ExpandEnvironmentStringsW into a buffer of a given capacity.
struct Expansion {
  // The expanded text, cut to capacity - 1 code units.
  Text text;
  // Code units the whole expansion needs, terminator included.
  uint32_t required = 0;
  [[nodiscard]] bool complete() const { return text.size() + 1 == required; }
};

// An environment block: "NAME=value" strings, each followed by a zero, and a
// final extra zero, as CreateEnvironmentBlock and CreateProcessW use them.
using EnvironmentBlock = Text;

class Environment {
 public:
  virtual ~Environment() = default;

  // GetEnvironmentVariableW. Names compare ignoring case.
  [[nodiscard]] virtual std::optional<Text> Get(TextView name) = 0;
  // SetEnvironmentVariableW; nullopt removes the variable.
  [[nodiscard]] virtual WinError Set(TextView name, std::optional<TextView> value) = 0;
  // ExpandEnvironmentStringsW(text, buffer[capacity]): %NAME% of a defined
  // variable is replaced, anything else stays as it is.
  [[nodiscard]] virtual Expansion Expand(TextView text, uint32_t capacity) = 0;
  // The whole current environment as a block.
  [[nodiscard]] virtual EnvironmentBlock CurrentBlock() = 0;
  // RtlSetCurrentEnvironment: makes `block` the process environment and
  // returns the previous one.
  [[nodiscard]] virtual Result<EnvironmentBlock> ReplaceBlock(const EnvironmentBlock& block) = 0;
};

// ExpandEnvironmentStringsW without cutting the result: expanded into 522
// units first and, when that is too small, once more into what it needs.
[[nodiscard]] Text ExpandWhole(Environment& environment, TextView text);

}  // namespace tarn::platform
