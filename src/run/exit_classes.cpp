#include "run/exit_classes.h"

#include <algorithm>
#include <span>

#include "app/install_config.h"
#include "base/format.h"
#include "catalogue/software_entry.h"

namespace tarn::run {
namespace {

constexpr uint32_t kDefaultSuccess[] = {kExitSuccess};
constexpr uint32_t kInstallerSuccess[] = {kExitSuccess, kExitProductInstalled};
constexpr uint32_t kDefaultRestart[] = {kExitRestartRequired, kExitRestartWillFollow};

bool Lists(std::span<const uint32_t> codes, uint32_t code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

std::span<const uint32_t> SuccessList(const app::InstallConfig& config,
                                      const catalogue::SoftwareEntry& entry) {
  if (entry.SuccessCodes) return *entry.SuccessCodes;
  if (config.InstallerCodes) return kInstallerSuccess;
  return kDefaultSuccess;
}

std::span<const uint32_t> RestartList(const catalogue::SoftwareEntry& entry) {
  if (entry.RestartCodes) return *entry.RestartCodes;
  return kDefaultRestart;
}

}  // namespace

app::ExitClass ClassifyExitCode(const app::InstallConfig& config,
                                const catalogue::SoftwareEntry& entry, uint32_t code) {
  if (Lists(SuccessList(config, entry), code)) return app::ExitClass::kSuccess;
  if (Lists(RestartList(entry), code)) return app::ExitClass::kSuccessRestart;
  if (config.InstallerCodes && code == kExitRestartInitiated) {
    return app::ExitClass::kRestartStarted;
  }
  if (config.InstallerCodes && code == kExitInstallerBusy) return app::ExitClass::kRetry;
  return app::ExitClass::kFailure;
}

bool HasOwnExitCodes(const catalogue::SoftwareEntry& entry) {
  return entry.SuccessCodes.has_value() || entry.RestartCodes.has_value();
}

Text ExitClassNote(uint32_t code, app::ExitClass exitClass) {
  return Format(u" (exit code %u: %s)", {code, app::ExitClassName(exitClass)});
}

}  // namespace tarn::run
