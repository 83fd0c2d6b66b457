// The program-wide objects of one run, handed down explicitly.
#pragma once

#include "accounts/user_account.h"
#include "platform/platform.h"
#include "startup/install_config.h"
#include "startup/log_file.h"
#include "startup/translator.h"

namespace tarn {

struct AppContext {
  // The log and the translator reach the system through `services`.
  explicit AppContext(const platform::Platform& services)
      : platform(services), log(services), translator(services) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform platform;
  startup::InstallConfig config;
  startup::LogFile log;
  startup::Translator translator;
  // The account list of the run with the defaults of new records.
  accounts::AccountStore accounts;
  // Titles and header texts of the four wizard pages, in wizard order.
  startup::PageHeaders pageHeaders;
  // The page the wizard opens on.
  startup::WizardPage startPage = startup::kSettingsPage;
  // /topmost: the wizard window is made a topmost window.
  bool topmost = false;
};

}  // namespace tarn
