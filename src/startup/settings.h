// Reading the settings section of the configuration file into InstallConfig.
#pragma once

#include <cstdint>

#include "app/install_config.h"
#include "base/text.h"

namespace tarn::platform {
class ProfileFiles;
}

namespace tarn::startup {

inline constexpr char16_t kSettingsSection[] = u"settings";

// Reads the settings section of `iniPath` into `config` and `headers`. Runs
// once, after the command line has been applied: a key is read only while the
// command line has left its field unset, so the command line always wins.
// Never fails: a missing file or section leaves every value in place.
void ReadSettings(platform::ProfileFiles& profiles, TextView iniPath, app::InstallConfig& config,
                  app::PageHeaders& headers);

// Parses a ShellFolderModify value: comma-separated shell folder names (each
// sets its bit) or, at the first item that begins with a digit, a number (read
// with base detection) that replaces the whole mask and ends the parsing.
[[nodiscard]] uint32_t ParseShellFolderMask(TextView value);

// The page the wizard opens on: software with SkipSettings, installation
// status with SkipSettings and SkipSoftware, else settings.
[[nodiscard]] app::WizardPage ChooseStartPage(const app::InstallConfig& config);

}  // namespace tarn::startup
