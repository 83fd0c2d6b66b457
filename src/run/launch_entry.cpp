#include "run/launch_entry.h"

#include "accounts/user_account.h"
#include "base/paths.h"
#include "base/wipe.h"
#include "catalogue/catalogue_navigation.h"
#include "platform/environment.h"
#include "platform/processes.h"
#include "platform/system_info.h"
#include "run/resolve_command.h"
#include "startup/app_context.h"
#include "startup/startup_variables.h"

namespace tarn::run {
namespace {

using startup::kLogError;
using startup::kLogInfo;
using startup::kLogWarning;

// How long a terminated command is given to be gone before its code is read.
constexpr uint32_t kTerminateWaitMs = 5000;

void JudgeExitCode(AppContext& app, const ResultTexts& texts, uint32_t code, TextView displayName) {
  if (IsSuccessExitCode(code)) {
    app.log.WriteFormat(kLogInfo, 0, texts.succeeded, {displayName});
    return;
  }
  Text format = texts.failed;
  if (IsNtStatusCode(code)) {
    format += u" ";
    format += FirstLine(app.platform.system->NtStatusMessage(code));
  }
  app.log.WriteFormat(kLogWarning, static_cast<int32_t>(code), format, {displayName, code});
}

void ReportStartFailure(AppContext& app, const ResultTexts& texts, WinError error,
                        TextView displayName) {
  Text format = texts.notStarted;
  format += u" ";
  format += FirstLine(app.platform.system->SystemMessage(error));
  app.log.WriteFormat(kLogError, static_cast<int32_t>(error), format, {error, displayName});
}

Result<std::unique_ptr<platform::Process>> StartCommand(LaunchContext& context,
                                                        TextView commandLine, TextView folder) {
  platform::StartRequest request;
  request.commandLine = commandLine;
  request.workingFolder = folder;
  platform::EnvironmentBlock block;
  if (context.primary != nullptr) {
    request.logon =
        platform::LogonCredentials{context.primary->Name.view(), context.primary->Domain.view(),
                                   context.primary->Password.view()};
    if (context.runEnvironment) {
      block = context.app.platform.environment->CurrentBlock();
      request.environment = &block;
    }
  }
  return context.app.platform.processes->Start(request);
}

// The command line as the log shows it: a command may take the account's
// password through %USERPASSWORD%, and the log must never hold it.
Text CommandForLog(platform::Environment& environment, TextView commandLine) {
  static constexpr TextView kMask = u"********";
  Text shown(commandLine);
  const SecretText password(environment.Get(u"USERPASSWORD").value_or(Text()));
  const Text& secret = password.str();
  if (secret.empty()) return shown;
  for (size_t at = shown.find(secret); at != Text::npos;
       at = shown.find(secret, at + kMask.size())) {
    shown.replace(at, secret.size(), kMask);
  }
  return shown;
}

// Waits for the end of the process or the abort event; an abort ends the
// process with kAbortedExitCode. Returns the exit code.
uint32_t WaitForCommand(RunSignals& signals, platform::Process& process) {
  const Result<platform::ProcessWait> wait = process.WaitOrAbort(*signals.abort);
  if (wait && *wait == platform::ProcessWait::kAborted) {
    (void)process.Terminate(kAbortedExitCode);
    (void)process.Wait(kTerminateWaitMs);
  }
  return process.ExitCode().value_or(kAbortedExitCode);
}

}  // namespace

ResultTexts LoadResultTexts(AppContext& app) {
  return {app.translator.Text(kTextSucceeded), app.translator.Text(kTextFailed),
          app.translator.Text(kTextNotStarted)};
}

bool IsSuccessExitCode(uint32_t code) {
  return code == 0 || code == 3010 || code == 3011;
}

bool IsNtStatusCode(uint32_t code) {
  return (code & 0xC0000000u) == 0xC0000000u;
}

Text FirstLine(TextView text, size_t capacity) {
  const TextView cut = text.substr(0, std::min(text.size(), capacity));
  return Text(cut.substr(0, cut.find_first_of(u"\r\n")));
}

catalogue::SoftwareEntry* LaunchEntry(LaunchContext& context, catalogue::SoftwareEntry& entry) {
  AppContext& app = context.app;
  const ResultTexts& texts = context.texts;
  context.status.SetCurrentText(entry.Description);
  Text commandLine;
  (void)ResolveCommandLine(
      *app.platform.registry, app.platform.environment,
      platform::ExpandWhole(*app.platform.environment, entry.Command.value_or(Text())),
      commandLine);
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(kLogInfo, 0, u"Command: %s",
                        {CommandForLog(*app.platform.environment, commandLine)});
  }
  const Text folder =
      startup::WorkingFolderFor(*app.platform.environment, context.programFolder, entry.WorkDir);
  context.status.ShowAbortButton(false);
  context.signals.launchSeconds = 0;
  auto process = StartCommand(context, commandLine, folder);
  const Text displayName = CutToCapacity(
      platform::ExpandWhole(*app.platform.environment, entry.Description), kDisplayNameCapacity);
  if (!process) {
    ReportStartFailure(app, texts, process.error(), displayName);
    return catalogue::NextAfterSubtree(&entry);
  }
  JudgeExitCode(app, texts, WaitForCommand(context.signals, **process), displayName);
  return entry.Next;
}

}  // namespace tarn::run
