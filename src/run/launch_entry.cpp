#include "run/launch_entry.h"

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/paths.h"
#include "base/wipe.h"
#include "catalogue/catalogue_navigation.h"
#include "platform/environment.h"
#include "platform/processes.h"
#include "platform/system_info.h"
#include "run/resolve_command.h"

namespace tarn::run {
namespace {

using app::kLogError;
using app::kLogInfo;
using app::kLogWarning;

// The program's own lines about a command that could not be watched or ended
// as asked; the last argument is the system's text of the error.
constexpr TextView kWaitFailed = u"Waiting for \"%s\" failed. %s";
constexpr TextView kEndFailed = u"\"%s\" could not be ended. %s";
constexpr TextView kExitCodeFailed = u"The exit code of \"%s\" could not be read. %s";
constexpr TextView kTreeNotHeld =
    u"Abort can end only \"%s\" itself, not the programs it starts. %s";

app::Outcome JudgeExitCode(AppContext& app, const ResultTexts& texts, uint32_t code,
                           TextView displayName) {
  if (IsSuccessExitCode(code)) {
    app.log.WriteFormat(app::kLogInfo, 0, texts.succeeded, {displayName});
    return code == 0 ? app::Outcome::kSuccess : app::Outcome::kSuccessRestart;
  }
  Text format = texts.failed;
  if (IsNtStatusCode(code)) {
    format += u" ";
    format += FirstLine(app.platform.system->NtStatusMessage(code));
  }
  app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(code), format, {displayName, code});
  return app::Outcome::kError;
}

void ReportStartFailure(AppContext& app, const ResultTexts& texts, WinError error,
                        TextView displayName) {
  Text format = texts.notStarted;
  format += u" ";
  format += FirstLine(app.platform.system->SystemMessage(error));
  app.log.WriteFormat(app::kLogError, static_cast<int32_t>(error), format, {error, displayName});
}

void ReportSystemError(AppContext& app, int32_t level, TextView format, WinError error,
                       TextView displayName) {
  app.log.WriteFormat(level, static_cast<int32_t>(error), format,
                      {displayName, FirstLine(app.platform.system->SystemMessage(error))});
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

// Waits until the command has ended and judges it; every press of Abort
// meanwhile ends the command's tree. When ending fails, the command is still
// waited for (a further press tries again): the next command must not start
// beside it. Returns false when its end cannot be known, that is when the
// wait itself failed or a confirmed Cancel found the command unstoppable.
bool WaitForCommand(LaunchContext& context, platform::Process& process, TextView displayName,
                    app::StepRecord& record) {
  AppContext& app = context.app;
  bool aborted = false;
  for (;;) {
    const Result<platform::ProcessWait> wait = process.WaitOrAbort(*context.signals.abort);
    if (!wait) {
      ReportSystemError(app, kLogError, kWaitFailed, wait.error(), displayName);
      record.outcome = app::Outcome::kError;
      return false;
    }
    if (*wait == platform::ProcessWait::kExited) break;
    aborted = true;
    if (const WinError error = process.Terminate(kAbortedExitCode)) {
      ReportSystemError(app, kLogError, kEndFailed, error, displayName);
      if (context.signals.cancelled) return false;
    }
  }
  const Result<uint32_t> code = process.ExitCode();
  if (!code) {
    ReportSystemError(app, kLogError, kExitCodeFailed, code.error(), displayName);
    record.outcome = app::Outcome::kError;
  } else {
    record.exitCode = *code;
    record.outcome = JudgeExitCode(app, context.texts, *code, displayName);
  }
  if (aborted) record.outcome = app::Outcome::kAborted;
  return true;
}

}  // namespace

ResultTexts LoadResultTexts(AppContext& app) {
  return {app.translator.Translate(kTextSucceeded), app.translator.Translate(kTextFailed),
          app.translator.Translate(kTextNotStarted)};
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

catalogue::SoftwareEntry* LaunchEntry(LaunchContext& context, catalogue::SoftwareEntry& entry,
                                      app::StepRecord& record) {
  AppContext& app = context.app;
  record.kind = app::StepKind::kEntry;
  record.key = entry.Key;
  record.action = u"command";
  const ResultTexts& texts = context.texts;
  context.status.SetCurrentText(entry.Description);
  Text commandLine;
  (void)ResolveCommandLine(
      *app.platform.registry, app.platform.environment,
      platform::ExpandWhole(*app.platform.environment, entry.Command.value_or(Text())),
      commandLine);
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Command: %s",
                        {CommandForLog(*app.platform.environment, commandLine)});
  }
  const Text folder =
      app::WorkingFolderFor(*app.platform.environment, context.programFolder, entry.WorkDir);
  context.status.ShowAbortButton(false);
  context.signals.launchSeconds = 0;
  // A press that came after the last command had ended was meant for that
  // one; a confirmed Cancel, whose press this also clears, starts nothing.
  context.signals.abort->Reset();
  const Text displayName = CutToCapacity(
      platform::ExpandWhole(*app.platform.environment, entry.Description), kDisplayNameCapacity);
  record.name = displayName;
  if (context.signals.cancelled) {
    record.outcome = app::Outcome::kSkipped;
    return entry.Next;
  }
  auto process = StartCommand(context, commandLine, folder);
  ++record.tries;
  if (!process) {
    ReportStartFailure(app, texts, process.error(), displayName);
    record.outcome = app::Outcome::kError;
    return catalogue::NextAfterSubtree(&entry);
  }
  if (const WinError treeError = (*process)->TreeError()) {
    ReportSystemError(app, kLogInfo, kTreeNotHeld, treeError, displayName);
  }
  if (!WaitForCommand(context, **process, displayName, record)) return nullptr;
  return entry.Next;
}

}  // namespace tarn::run
