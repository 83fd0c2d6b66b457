// Splits an arbitrary command line and applies it as options: no crash, at
// most 100 arguments, every argument a piece of the line, every field within
// its capacity.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/environment.h"
#include "startup/command_line.h"

namespace {

// Expands nothing; enough to exercise the option pass.
class PlainEnvironment : public tarn::platform::Environment {
 public:
  std::optional<tarn::Text> Get(tarn::TextView) override { return std::nullopt; }
  tarn::WinError Set(tarn::TextView, std::optional<tarn::TextView>) override { return 0; }
  tarn::platform::Expansion Expand(tarn::TextView text, uint32_t capacity) override {
    return {tarn::CutToCapacity(text, capacity - 1), static_cast<uint32_t>(text.size() + 1)};
  }
  tarn::platform::EnvironmentBlock CurrentBlock() override { return {}; }
  tarn::Result<tarn::platform::EnvironmentBlock> ReplaceBlock(
      const tarn::platform::EnvironmentBlock&) override {
    return tarn::Result<tarn::platform::EnvironmentBlock>::Failure(50);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text line(size / 2, u'\0');
  std::memcpy(line.data(), data, line.size() * 2);
  const std::vector<tarn::TextView> arguments = tarn::startup::SplitCommandLine(line);
  if (arguments.size() > tarn::startup::kMaxArguments) std::abort();
  for (const tarn::TextView argument : arguments) {
    if (argument.data() < line.data() ||
        argument.data() + argument.size() > line.data() + line.size()) {
      std::abort();
    }
  }
  tarn::app::InstallConfig config;
  PlainEnvironment environment;
  const auto outcome = tarn::startup::ApplyOptions(arguments, config, environment);
  if (config.Computer.size() > 15 || config.Log.size() > 260 || config.IniPath.size() > 260)
    std::abort();
  (void)outcome;
  (void)tarn::startup::FindLanguageOption(arguments);
  return 0;
}
