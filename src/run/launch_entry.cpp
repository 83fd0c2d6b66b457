#include "run/launch_entry.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/paths.h"
#include "base/wipe.h"
#include "catalogue/catalogue_navigation.h"
#include "platform/environment.h"
#include "platform/environment_block.h"
#include "platform/processes.h"
#include "platform/system_info.h"
#include "run/command_program.h"
#include "run/exit_classes.h"
#include "run/resolve_command.h"
#include "run/run_environment.h"

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
// The display name and the limit in seconds.
constexpr TextView kTimedOutLine = u"\"%s\" was still running after %u seconds and was ended.";
constexpr TextView kNotEndedLine =
    u"\"%s\" was still running %u ms after it was ended at its time limit; nothing more is "
    u"started beside it.";
constexpr TextView kQuoteRefusedLine =
    u"\"%s\" was not started: an argument holding a quote would end a quoted part of the "
    u"command registered for its file type.";
// The display name, the pause in seconds, the try and the number of tries.
constexpr TextView kBusyLine =
    u"Another installation is in progress; \"%s\" will be started again in %u seconds "
    u"(try %u of %u).";
// No pause before a busy command's next try is longer than an hour.
constexpr uint64_t kLongestBusyPauseSeconds = 3600;

using Clock = std::chrono::steady_clock;

// Writes the result line of a command that ended by itself with `code`, as
// its class says; an entry with exit-code lists of its own has the class
// named in the line.
app::Outcome JudgeExitCode(AppContext& app, const ResultTexts& texts, uint32_t code,
                           app::ExitClass exitClass, bool nameClass, TextView displayName) {
  const Text note = nameClass ? ExitClassNote(code, exitClass) : Text();
  if (exitClass != app::ExitClass::kFailure && exitClass != app::ExitClass::kRetry) {
    app.log.WriteFormat(app::kLogInfo, 0, texts.succeeded + note, {displayName});
    return exitClass == app::ExitClass::kSuccess ? app::Outcome::kSuccess
                                                 : app::Outcome::kSuccessRestart;
  }
  Text format = texts.failed;
  if (IsNtStatusCode(code)) {
    format += u" ";
    format += FirstLine(app.platform.system->NtStatusMessage(code));
  }
  app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(code), format + note,
                      {displayName, code});
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

constexpr TextView kPasswordReference = u"%USERPASSWORD%";

// The password of the account commands start as, when its record gives one.
std::optional<TextView> AccountPassword(const LaunchContext& context) {
  const accounts::UserAccount* account = context.primary;
  if (account == nullptr || account->PasswordGiven == 0) return std::nullopt;
  return account->Password.view();
}

// `commandLine` with every %USERPASSWORD% (any case) replaced by `password`,
// built without reallocating so that no stray copy of a password is left.
Text WithPassword(TextView commandLine, TextView password) {
  size_t count = 0;
  for (size_t at = FindIgnoreCase(commandLine, kPasswordReference); at != TextView::npos;
       at = FindIgnoreCase(commandLine, kPasswordReference, at + kPasswordReference.size())) {
    ++count;
  }
  Text out;
  out.reserve(commandLine.size() + count * password.size() + 1);
  size_t from = 0;
  for (size_t at = FindIgnoreCase(commandLine, kPasswordReference); at != TextView::npos;
       at = FindIgnoreCase(commandLine, kPasswordReference, from)) {
    out += commandLine.substr(from, at - from);
    out += password;
    from = at + kPasswordReference.size();
  }
  out += commandLine.substr(from);
  return out;
}

// Starts the command. A program named without a path is started from the
// file FindCommandProgram chose, never one the system would find on its own.
// One started as the account gets its password as USERPASSWORD in its own
// block and in place of %USERPASSWORD% on its command line; the program's
// own environment never holds it, and every copy made here is wiped.
Result<std::unique_ptr<platform::Process>> StartCommand(LaunchContext& context,
                                                        TextView commandLine, TextView folder) {
  const platform::Platform& platform = context.app.platform;
  const Result<Text> program = FindCommandProgram(*platform.files, *platform.system,
                                                  platform.environment->Get(u"PATH"), commandLine);
  if (!program) return Result<std::unique_ptr<platform::Process>>::Failure(program.error());
  const std::optional<TextView> password = AccountPassword(context);
  const SecretText line(password ? WithPassword(commandLine, *password) : Text(commandLine));
  platform::StartRequest request;
  request.commandLine = line.str();
  request.applicationName = *program;
  request.workingFolder = folder;
  if (context.primary == nullptr) return context.app.platform.processes->Start(request);
  const platform::LogonCredentials logon{context.primary->Name.view(),
                                         context.primary->Domain.view(),
                                         context.primary->Password.view()};
  request.logon = logon;
  // The account's own profile, TEMP and APPDATA, not the program's account's.
  auto block = AccountCommandBlock(context.app, logon);
  if (!block) return Result<std::unique_ptr<platform::Process>>::Failure(block.error());
  platform::EnvironmentBlock environment = std::move(*block);
  if (password) (void)platform::SetBlockVariable(environment, u"USERPASSWORD", *password);
  request.environment = &environment;
  auto started = context.app.platform.processes->Start(request);
  WipeText(environment);
  return started;
}

// The command line as the log shows it: the account's password, taken
// through %USERPASSWORD% or written out, is masked.
Text CommandForLog(const LaunchContext& context, TextView commandLine) {
  static constexpr TextView kMask = u"********";
  const std::optional<TextView> secret = AccountPassword(context);
  if (!secret) return Text(commandLine);
  Text shown = WithPassword(commandLine, kMask);
  if (secret->empty()) return shown;
  for (size_t at = shown.find(*secret); at != Text::npos;
       at = shown.find(*secret, at + kMask.size())) {
    shown.replace(at, secret->size(), kMask);
  }
  return shown;
}

// Seconds `entry`'s command may run: its own or its section's limit, else
// the configuration's; 0 for no limit.
uint32_t TimeLimitSeconds(const app::InstallConfig& config, const catalogue::SoftwareEntry& entry) {
  if (entry.TimeoutSeconds) return *entry.TimeoutSeconds;
  return static_cast<uint32_t>(std::max(config.CommandTimeout, 0));
}

// How the wait for a command ended.
enum class Ending { kExited, kAborted, kTimedOut, kUnknown };

// Milliseconds from now to `deadline` for a wait, 0 once it has passed;
// kWaitForever without one.
uint32_t RemainingMs(std::optional<Clock::time_point> deadline) {
  if (!deadline) return platform::kWaitForever;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
  if (left <= 0) return 0;
  return static_cast<uint32_t>(std::min<int64_t>(left, platform::kWaitForever - 1));
}

// Waits until the command has ended; every press of Abort meanwhile, and the
// time limit passing, ends the command's tree. When ending fails, the command
// is still waited for (a further press tries again): the next command must
// not start beside it. kUnknown when its end cannot be known, that is when
// the wait itself failed or a confirmed Cancel found the command unstoppable.
Ending WaitForCommand(LaunchContext& context, platform::Process& process, TextView displayName,
                      uint32_t limitSeconds) {
  AppContext& app = context.app;
  std::optional<Clock::time_point> deadline;
  if (limitSeconds != 0) deadline = Clock::now() + std::chrono::seconds(limitSeconds);
  Ending ending = Ending::kExited;
  // Ended at its time limit: nobody may be there to press Abort again, so the
  // wait for its end has a limit of its own.
  bool endedAtLimit = false;
  for (;;) {
    const Result<platform::ProcessWait> wait =
        process.WaitOrAbort(*context.signals.abort, RemainingMs(deadline));
    if (!wait) {
      ReportSystemError(app, kLogError, kWaitFailed, wait.error(), displayName);
      return Ending::kUnknown;
    }
    if (*wait == platform::ProcessWait::kExited) return ending;
    // A limit beyond the longest single wait takes several.
    if (*wait == platform::ProcessWait::kTimedOut && deadline && Clock::now() < *deadline) {
      continue;
    }
    if (*wait == platform::ProcessWait::kTimedOut && endedAtLimit) {
      app.log.WriteFormat(kLogError, 0, kNotEndedLine, {displayName, context.endWaitMs});
      return Ending::kUnknown;
    }
    uint32_t exitCode = kAbortedExitCode;
    if (*wait == platform::ProcessWait::kTimedOut) {
      endedAtLimit = true;
      deadline = Clock::now() + std::chrono::milliseconds(context.endWaitMs);
      exitCode = kTimedOutExitCode;
      if (ending == Ending::kExited) ending = Ending::kTimedOut;
    } else if (ending == Ending::kExited) {
      ending = Ending::kAborted;
    }
    if (const WinError error = process.Terminate(exitCode)) {
      ReportSystemError(app, kLogError, kEndFailed, error, displayName);
      if (context.signals.cancelled) return Ending::kUnknown;
    }
  }
}

// Announces busy try `retry` (counted from 1) and pauses before it; false
// when Abort or Cancel ended the pause.
bool PauseWhileBusy(LaunchContext& context, uint32_t retry, TextView displayName) {
  const app::InstallConfig& config = context.app.config;
  const uint64_t pause = std::min<uint64_t>(static_cast<uint64_t>(std::max(config.BusyPause, 0))
                                                << std::min<uint32_t>(retry - 1, 12),
                                            kLongestBusyPauseSeconds);
  context.app.log.WriteFormat(
      kLogWarning, static_cast<int32_t>(kInstallerBusyExitCode), kBusyLine,
      {displayName, pause, retry, static_cast<uint32_t>(config.BusyRetries)});
  if (context.signals.abort->Wait(static_cast<uint32_t>(pause * 1000))) return false;
  return !context.signals.cancelled;
}

// Reads the exit code of a command that has ended and judges it into
// `record`. Returns whether it is to be started again.
bool Conclude(LaunchContext& context, platform::Process& process, Ending ending,
              uint32_t limitSeconds, const catalogue::SoftwareEntry& entry, TextView displayName,
              app::StepRecord& record) {
  AppContext& app = context.app;
  const Result<uint32_t> code = process.ExitCode();
  if (!code) {
    ReportSystemError(app, kLogError, kExitCodeFailed, code.error(), displayName);
    record.outcome = app::Outcome::kError;
    return false;
  }
  record.exitCode = *code;
  if (ending == Ending::kTimedOut) {
    app.log.WriteFormat(kLogError, static_cast<int32_t>(*code), kTimedOutLine,
                        {displayName, limitSeconds});
    record.outcome = app::Outcome::kError;
    return false;
  }
  const uint32_t retry = record.tries;
  const app::ExitClass exitClass = ClassifyExitCode(app.config, entry, *code);
  // Another installation is under way: try again later, a few times.
  if (ending == Ending::kExited && exitClass == app::ExitClass::kRetry &&
      retry <= static_cast<uint32_t>(std::max(app.config.BusyRetries, 0))) {
    if (PauseWhileBusy(context, retry, displayName)) return true;
    ending = Ending::kAborted;
  }
  record.outcome =
      JudgeExitCode(app, context.texts, *code, exitClass, HasOwnExitCodes(entry), displayName);
  if (ending == Ending::kAborted) {
    record.outcome = app::Outcome::kAborted;
  } else {
    record.exitClass = exitClass;
  }
  return false;
}

}  // namespace

Text DisplayNameOf(platform::Environment& environment, const catalogue::SoftwareEntry& entry) {
  return CutToCapacity(platform::ExpandWhole(environment, entry.Description), kDisplayNameCapacity);
}

ResultTexts LoadResultTexts(AppContext& app) {
  return {app.translator.Translate(kTextSucceeded), app.translator.Translate(kTextFailed),
          app.translator.Translate(kTextNotStarted)};
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
  // The page shows the entry as the log names it: variables expanded.
  context.status.SetCurrentText(DisplayNameOf(*app.platform.environment, entry));
  const Text commandLine = StartedCommandLine(*app.platform.registry, *app.platform.environment,
                                              entry.Command.value_or(Text()));
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Command: %s", {CommandForLog(context, commandLine)});
  }
  const Text folder =
      app::WorkingFolderFor(*app.platform.environment, context.programFolder, entry.WorkDir);
  context.status.ShowAbortButton(false);
  // A press that came after the last command had ended was meant for that
  // one; a confirmed Cancel, whose press this also clears, starts nothing.
  context.signals.abort->Reset();
  const Text displayName = DisplayNameOf(*app.platform.environment, entry);
  record.name = displayName;
  if (context.signals.cancelled) {
    record.outcome = app::Outcome::kSkipped;
    return entry.Next;
  }
  if (commandLine.empty()) {
    app.log.WriteFormat(kLogError, 0, kQuoteRefusedLine, {displayName});
    record.outcome = app::Outcome::kError;
    return catalogue::NextAfterSubtree(&entry);
  }
  const uint32_t limitSeconds = TimeLimitSeconds(app.config, entry);
  for (;;) {
    context.signals.launchSeconds = 0;
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
    const Ending ending = WaitForCommand(context, **process, displayName, limitSeconds);
    if (ending == Ending::kUnknown) {
      record.outcome = app::Outcome::kError;
      context.commandLeftRunning = true;
      return nullptr;
    }
    if (!Conclude(context, **process, ending, limitSeconds, entry, displayName, record)) break;
  }
  return entry.Next;
}

}  // namespace tarn::run
