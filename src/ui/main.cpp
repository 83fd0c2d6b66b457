// The program's entry point: the real Windows services, the application
// context and the start-up sequence. The exit code is the start-up's: 0
// unless a launcher asked for one that tells the outcome, which an exception
// makes a failure, never a success.
#include "app/app_context.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "startup/account_steps.h"
#include "startup/startup.h"
#include "ui/program_host.h"

namespace {

int Run(const wchar_t* commandLine, tarn::startup::FailureExitCode& failure) {
  const tarn::Text line = tarn::win32::FromWide(commandLine);
  failure.ReadCommandLine(line);
  tarn::win32::Win32Platform services;
  tarn::AppContext app(services.platform());
  tarn::startup::AccountStartupSteps accounts;
  tarn::ui::ProgramHost wizard(accounts.store());
  return tarn::startup::RunStartup(app, line, {accounts, wizard, &failure});
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  tarn::startup::FailureExitCode failure;
  try {
    return Run(commandLine, failure);
  } catch (...) {
    return failure.code();
  }
}
