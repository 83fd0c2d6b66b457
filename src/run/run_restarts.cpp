#include "run/run_restarts.h"

#include "app/app_context.h"
#include "base/format.h"
#include "base/paths.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/services.h"
#include "platform/system_info.h"
#include "resource.h"
#include "run/protected_files.h"
#include "run/restart_rules.h"
#include "run/system_identity_settings.h"

namespace tarn::run {
namespace {

constexpr uint32_t kRestartMessage = IDS_RESTART_MESSAGE;

void AppendEscaped(Text& out, TextView text) {
  for (const char16_t c : text) {
    switch (c) {
      case u'&':
        out += u"&amp;";
        break;
      case u'<':
        out += u"&lt;";
        break;
      case u'>':
        out += u"&gt;";
        break;
      case u'"':
        out += u"&quot;";
        break;
      default:
        out += c;
    }
  }
}

// `<name>text</name>`, the text escaped.
Text Element(TextView name, TextView text) {
  Text out = u"<" + Text(name) + u">";
  AppendEscaped(out, text);
  return out + u"</" + Text(name) + u">";
}

Text WinlogonText(platform::Registry& registry, TextView name) {
  const platform::ScopedKey key = platform::ScopedKey::Open(registry, platform::kLocalMachine,
                                                            kWinlogonKey, platform::kKeyRead);
  if (!key) return {};
  const Result<platform::RegValue> value = registry.QueryValue(key.get(), name);
  return value ? value->AsText() : Text();
}

bool RunsAsSystem(const Text& account) {
  return EqualsIgnoreCase(account, u"SYSTEM");
}

}  // namespace

Text ContinueTaskXml(const ContinueTask& task) {
  const TextView trigger = task.asSystem ? u"    <BootTrigger>\r\n" : u"    <LogonTrigger>\r\n";
  Text xml =
      u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
      u"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
      u"  <RegistrationInfo>\r\n    " +
      Element(u"Description", task.description) + u"\r\n  </RegistrationInfo>\r\n  <Triggers>\r\n" +
      Text(trigger) + u"      <Enabled>true</Enabled>\r\n";
  if (task.asSystem) {
    xml += u"    </BootTrigger>\r\n";
  } else {
    xml += u"      " + Element(u"UserId", task.account) + u"\r\n    </LogonTrigger>\r\n";
  }
  xml += u"  </Triggers>\r\n  <Principals>\r\n    <Principal id=\"Author\">\r\n      ";
  if (task.asSystem) {
    xml += u"<UserId>S-1-5-18</UserId>\r\n";
  } else {
    xml +=
        Element(u"UserId", task.account) + u"\r\n      <LogonType>InteractiveToken</LogonType>\r\n";
  }
  xml +=
      u"      <RunLevel>HighestAvailable</RunLevel>\r\n    </Principal>\r\n  </Principals>\r\n"
      u"  <Settings>\r\n"
      u"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
      u"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
      u"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
      u"    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\r\n"
      u"  </Settings>\r\n  <Actions Context=\"Author\">\r\n    <Exec>\r\n      " +
      Element(u"Command", task.program) + u"\r\n      " + Element(u"Arguments", task.arguments) +
      u"\r\n      " + Element(u"WorkingDirectory", PathRemoveFileSpec(task.program)) +
      u"\r\n    </Exec>\r\n  </Actions>\r\n</Task>\r\n";
  return xml;
}

RunRestarts::RunRestarts(AppContext& app, RunSteps& steps) : app_(app), steps_(steps) {}

bool RunRestarts::Request(TextView key, TextView name, TextView afterEntry) {
  app::StepRecord step;
  step.kind = app::StepKind::kRestart;
  step.key = Text(key);
  step.name = Text(name);
  step.action = u"restart";
  step.startUnixMs = steps_.Now();
  step.tries = 1;
  app::RunTotals& totals = app_.runTotals;
  const auto allowed = static_cast<uint32_t>(std::max(app_.config.MaxRestarts, 0));
  if (totals.restarts >= allowed) {
    app_.log.WriteFormat(app::kLogError, 0,
                         u"\"%s\" asks for a restart, but the run has restarted Windows %u "
                         u"times already (MaxRestarts); it goes on without one.",
                         {name, totals.restarts});
    step.outcome = app::Outcome::kError;
    steps_.Finish(step);
    return false;
  }
  const app::InstallConfig::ContinuePlace place{totals.restarts + 1, totals.failed,
                                                Text(afterEntry)};
  if (const WinError error = Arm(place)) {
    app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(error),
                         u"\"%s\" asks for a restart, but the task that would continue the run "
                         u"after it could not be made; the run goes on without a restart.",
                         {name});
    step.outcome = app::Outcome::kError;
    step.exitCode = error;
    steps_.Finish(step);
    return false;
  }
  app_.log.WriteFormat(app::kLogInfo, 0,
                       u"Windows restarts for \"%s\" (restart %u of at most %u); the run goes on "
                       u"after the restart.",
                       {name, place.restarts, allowed});
  totals.restarts = place.restarts;
  totals.continuesAfterRestart = true;
  steps_.Finish(step);
  return true;
}

WinError RunRestarts::Arm(const app::InstallConfig::ContinuePlace& place) {
  const platform::Platform& platform = app_.platform;
  ContinueTask task;
  task.program = platform.system->ModuleFileName();
  task.arguments = app_.continueArguments;
  if (!task.arguments.empty()) task.arguments += u" ";
  task.arguments += u"/continue=\"" + ContinueOptionValue(place) + u"\"";
  task.account = platform.system->UserName().value_or(Text());
  task.asSystem = RunsAsSystem(task.account);
  task.description = Format(
      u"Continues the TARN run of \"%s\" after the restart it asked for; removed when the run "
      u"ends.",
      {app_.config.IniPath.view()});
  if (const Text why = Untrusted(task); !why.empty()) {
    app_.log.WriteFormat(app::kLogError, 0, u"No elevated start may be left for: %s", {why});
    return kErrorAccessDenied;
  }
  if (!task.asSystem) CheckAutomaticLogon(task.account);
  const WinError error = platform.services->RegisterTask(
      kContinueTaskName, ContinueTaskXml(task), task.asSystem ? Text(u"SYSTEM") : task.account,
      task.asSystem);
  // The command line holds no password: the administrator may see what runs.
  if (error == kErrorSuccess) {
    app_.log.WriteFormat(app::kLogInfo, 0, u"After the restart the task \"%s\" starts \"%s\" %s",
                         {kContinueTaskName, task.program, task.arguments});
  }
  return error;
}

Text RunRestarts::Untrusted(const ContinueTask& task) {
  GuardedPaths paths;
  paths.program = task.program;
  paths.settings = {Text(app_.config.IniPath), Text(app_.config.UsersPath)};
  // The task runs as this account: what it may change adds nothing.
  if (const auto self = app_.platform.security->LookupName(u"", task.account)) {
    paths.alsoTrusted = self->sid;
  }
  Text why;
  for (const Text& warning : FindGuardedPathWarnings(app_.platform, paths)) {
    if (!why.empty()) why += u" ";
    why += warning;
  }
  return why;
}

void RunRestarts::CheckAutomaticLogon(TextView account) {
  platform::Registry& registry = *app_.platform.registry;
  if (WinlogonText(registry, u"AutoAdminLogon") == u"1" &&
      EqualsIgnoreCase(WinlogonText(registry, u"DefaultUserName"), account)) {
    return;
  }
  app_.log.WriteFormat(app::kLogWarning, 0,
                       u"Automatic logon is not set for \"%s\": after the restart the run goes "
                       u"on when \"%s\" logs on.",
                       {account, account});
}

bool RequestContinueRestart(AppContext& app) {
  const Text message = app.translator.Translate(kRestartMessage);
  const WinError error = app.platform.system->InitiateShutdown(
      message, static_cast<uint32_t>(std::max(app.config.RestartWait, 0)),
      /*forceAppsClosed=*/true, /*reboot=*/true, kPlannedRestartReason);
  if (error != kErrorSuccess) {
    app.log.Write(
        u"Windows did not take the request to restart; the run goes on at the next "
        u"start of Windows.",
        app::kLogError, static_cast<int32_t>(error));
    return false;
  }
  app.log.Write(u"Windows was asked to restart; the run goes on after the restart.", app::kLogInfo,
                0);
  return true;
}

void RemoveContinueTask(AppContext& app) {
  const WinError error = app.platform.services->DeleteTask(kContinueTaskName);
  if (error == kErrorSuccess) {
    app.log.Write(u"The run has ended: the task that continued it after restarts is removed.",
                  app::kLogInfo, 0);
  } else if (error == kErrorFileNotFound) {
    if (app.config.Verbose & 1) {
      app.log.WriteFormat(app::kLogInfo, 0, u"No task \"%s\" is left to remove.",
                          {kContinueTaskName});
    }
  } else {
    app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                        u"The task \"%s\" that continued the run after restarts could not be "
                        u"removed.",
                        {kContinueTaskName});
  }
}

}  // namespace tarn::run
