// The program's entry point: the real Windows services, the application
// context and the start-up sequence. The exit code is the start-up's: 0
// unless a launcher asked for one that tells the outcome, which an exception
// makes a failure, never a success.
#include "app/app_context.h"
#include "base/wipe.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system_library.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "startup/account_steps.h"
#include "startup/startup.h"
#include "ui/program_host.h"

namespace {

int Run(const wchar_t* commandLine, tarn::startup::FailureExitCode& failure) {
  // The line may carry /userpwd= and /adminpwd=: its copy goes with the run.
  const tarn::SecretText line(tarn::win32::FromWide(commandLine));
  failure.ReadCommandLine(line.str());
  tarn::win32::Win32Platform services;
  tarn::AppContext app(services.platform());
  tarn::startup::AccountStartupSteps accounts;
  tarn::ui::ProgramHost wizard(accounts.store());
  return tarn::startup::RunStartup(app, line.str(), {accounts, wizard, &failure});
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  // Before anything loads a library by name: the program often starts from a
  // folder others can write, such as a download folder or a share.
  tarn::win32::RestrictLibrarySearch();
  tarn::startup::FailureExitCode failure;
  try {
    return Run(commandLine, failure);
  } catch (...) {
    return failure.code();
  }
}
