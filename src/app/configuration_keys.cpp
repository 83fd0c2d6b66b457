#include "app/configuration_keys.h"

#include <array>

#include "app/outcome_keys.h"
#include "app/restart_keys.h"
#include "base/shell_folder_names.h"

namespace tarn::app {
namespace {

using S = SectionKind;
using F = KeyForm;
using V = ValueKind;

// The launcher and restart keys come from their own headers; a test makes
// sure that every key those headers list has its row here.
constexpr auto kKeys = std::to_array<KeyRule>({
    // [settings]
    {S::kSettings, F::kPlain, u"Computer", V::kComputerName,
     u"the computer's name (at most 15 characters); may be made of %SERIAL%, %UUID%, %MAC%, "
     u"%MAKER%, %MODEL%, cut as %SERIAL:~-6% or %SERIAL:~0,4%"},
    {S::kSettings, F::kPlain, u"Workgroup", V::kComputerName,
     u"the workgroup to join (at most 15 characters)"},
    {S::kSettings, F::kPlain, u"User", V::kAccountName,
     u"the account the settings page creates (at most 20 characters)"},
    {S::kSettings, F::kPlain, u"UserPwd", V::kPassword,
     u"that account's password (at most 100 characters)"},
    {S::kSettings, F::kPlain, u"UserPwdCrypted", V::kNumber,
     u"the byte count when UserPwd is scrambled"},
    {S::kSettings, F::kPlain, u"Owner", V::kText, u"the registered owner"},
    {S::kSettings, F::kPlain, u"Org", V::kText, u"the registered organisation"},
    {S::kSettings, F::kPlain, u"Admin", V::kAccountName, u"the administrator to log on as"},
    {S::kSettings, F::kPlain, u"AdminPwd", V::kPassword, u"that administrator's password"},
    {S::kSettings, F::kPlain, u"AdminPwdCrypted", V::kNumber,
     u"the byte count when AdminPwd is scrambled"},
    {S::kSettings, F::kPlain, u"Log", V::kText, u"the log file"},
    {S::kSettings, F::kPlain, u"SkipSettings", V::kSwitch,
     u"1: no settings page, the logged-on user installs"},
    {S::kSettings, F::kPlain, u"SkipSoftware", V::kSwitch, u"1: no software page"},
    {S::kSettings, F::kPlain, u"SkipRestart", V::kSwitch, u"1: no restart at the end"},
    {S::kSettings, F::kPlain, u"NoCancel", V::kSwitch, u"1: the wizard cannot be cancelled"},
    {S::kSettings, F::kPlain, u"NoRestartChange", V::kSwitch,
     u"1: the restart box cannot be changed"},
    {S::kSettings, F::kPlain, u"UseCurrent", V::kSwitch, u"1: the logged-on user installs"},
    {S::kSettings, F::kPlain, u"AutoLogon", V::kNumber,
     u"0 removes automatic logon, 1 leaves it, 2 switches it on"},
    {S::kSettings, F::kPlain, u"Verbose", V::kNumber, u"1: detail lines in the log"},
    {S::kSettings, F::kPlain, u"beep", V::kSeconds,
     u"seconds between beeps while the wizard waits"},
    {S::kSettings, F::kPlain, u"AutoInstall", V::kSeconds,
     u"seconds before the installation starts on its own"},
    {S::kSettings, F::kPlain, u"AutoExit", V::kSeconds,
     u"seconds before the wizard ends on its own"},
    {S::kSettings, F::kPlain, u"RestartWait", V::kSeconds, u"seconds the restart waits"},
    {S::kSettings, F::kPlain, u"DisableLoadMenu", V::kNumber,
     u"1 disables loading another configuration"},
    {S::kSettings, F::kPlain, u"HasGaps", V::kSwitch, u"1: numbered items may skip numbers"},
    {S::kSettings, F::kPlain, u"SplitterPos", V::kNumber,
     u"the software page's splitter, in percent"},
    {S::kSettings, F::kPlain, u"DefaultHelp", V::kFile, u"help for entries without their own"},
    {S::kSettings, F::kPlain, u"DontShowNonDefaultShellFolderWarning", V::kSwitch,
     u"1: no changed-folders dialog"},
    {S::kSettings, F::kPlain, u"ShellFolderModify.Disallow", V::kTokens,
     u"shell folders that cannot be changed"},
    {S::kSettings, F::kPlain, u"ShellFolderModify.Hide", V::kTokens,
     u"shell folders that are not shown"},
    {S::kSettings, F::kPlain, u"OsdText", V::kText, u"the on-screen display's text"},
    {S::kSettings, F::kPageIndex, u"PageHeaderTitle", V::kText, u"a wizard page's header title"},
    {S::kSettings, F::kPageIndex, u"PageHeaderSubTitle", V::kText,
     u"a wizard page's header subtitle"},
    {S::kSettings, F::kPlain, u"dimension.width", V::kText, u"the wizard's width"},
    {S::kSettings, F::kPlain, u"dimension.height", V::kText, u"the wizard's height"},
    {S::kSettings, F::kPlain, u"dimension.update", V::kSwitch,
     u"non-zero: the wizard's size is saved at its close"},
    {S::kSettings, F::kPlain, u"Result", V::kText, u"the result file a launcher reads"},
    {S::kSettings, F::kPlain, u"ExitCode", V::kText,
     u"\"result\": the exit code tells the outcome"},
    {S::kSettings, F::kPlain, u"Resume", V::kSwitch, u"1: an interrupted run resumes"},
    {S::kSettings, F::kPlain, u"ReportTo", V::kText,
     u"a folder or share that receives the result file and the log"},
    {S::kSettings, F::kPlain, u"Timeout", V::kSeconds, u"the default time limit of each command"},
    {S::kSettings, F::kPlain, u"InstallerCodes", V::kSwitch,
     u"1: installers' exit codes are judged as installers'"},
    {S::kSettings, F::kPlain, u"BusyRetries", V::kNumber,
     u"retries while another installation runs (0 to 20)"},
    {S::kSettings, F::kPlain, u"BusyPause", V::kSeconds,
     u"seconds between those retries (1 to 3600)"},
    {S::kSettings, F::kPlain, keys::kLogFormat, V::kText,
     u"\"cmtrace\": a second log in the CMTrace format"},
    {S::kSettings, F::kPlain, kKeyRestartOnRequest, V::kSwitch,
     u"1: restart whenever an entry asks for it"},
    {S::kSettings, F::kPlain, kKeyMaxRestarts, V::kNumber, u"restarts one run may make (0 to 100)"},
    {S::kSettings, F::kPlain, kKeyRestartIfPending, V::kNumber,
     u"1 or 2: restart first when Windows waits for one"},
    // [users]
    {S::kUsers, F::kPlain, u"Home", V::kText, u"default home folder"},
    {S::kUsers, F::kPlain, u"Domain", V::kText, u"default domain"},
    {S::kUsers, F::kPlain, u"FullName", V::kText, u"default full name"},
    {S::kUsers, F::kPlain, u"Comment", V::kText, u"default description"},
    {S::kUsers, F::kPlain, u"RoamingProfile", V::kText, u"default roaming profile"},
    {S::kUsers, F::kPlain, u"Profile", V::kText, u"default profile folder"},
    {S::kUsers, F::kPlain, u"Script", V::kText, u"default logon script"},
    {S::kUsers, F::kPlain, u"Password", V::kPassword, u"default password (never scrambled)"},
    {S::kUsers, F::kPlain, u"deleted", V::kNumber, u"default: 1 deletes"},
    {S::kUsers, F::kPlain, u"Status", V::kNumber, u"default account flags"},
    {S::kUsers, F::kPlain, u"Group", V::kNumber,
     u"default group: 0 Users, 1 Administrators, 2 unchanged"},
    {S::kUsers, F::kPlain, u"ShowOnWelcome", V::kNumber,
     u"default: 0 hidden, 1 shown, 3 unchanged"},
    {S::kUsers, F::kPlain, u"primary", V::kNumber, u"the number of the primary account"},
    {S::kUsers, F::kPlain, u"default", V::kNumber, u"the same, when primary is missing"},
    {S::kUsers, F::kAccount, u"User", V::kAccountName,
     u"the account's name; the accounts end at the first gap"},
    {S::kUsers, F::kAccount, u"OldName", V::kAccountName, u"its present name when it is renamed"},
    {S::kUsers, F::kAccount, u"Domain", V::kText, u"its domain"},
    {S::kUsers, F::kAccount, u"deleted", V::kNumber, u"1: the account is deleted"},
    {S::kUsers, F::kAccount, u"Password", V::kPassword,
     u"its password; \"*\" keeps the present one"},
    {S::kUsers, F::kAccount, u"crypted", V::kNumber,
     u"the byte count when the password is scrambled"},
    {S::kUsers, F::kAccount, u"FullName", V::kText, u"its full name"},
    {S::kUsers, F::kAccount, u"Home", V::kText, u"its home folder"},
    {S::kUsers, F::kAccount, u"Profile", V::kText, u"its profile folder"},
    {S::kUsers, F::kAccount, u"RoamingProfile", V::kText, u"its roaming profile"},
    {S::kUsers, F::kAccount, u"Comment", V::kText, u"its description"},
    {S::kUsers, F::kAccount, u"Script", V::kText, u"its logon script"},
    {S::kUsers, F::kAccount, u"Group", V::kNumber, u"0 Users, 1 Administrators, 2 unchanged"},
    {S::kUsers, F::kAccount, u"Status", V::kNumber, u"its account flags"},
    {S::kUsers, F::kAccount, u"ShowOnWelcome", V::kNumber, u"0 hidden, 1 shown, 3 unchanged"},
    {S::kUsers, F::kShellFolder, u"<shell folder>", V::kText,
     u"its path of a shell folder (\"Personal\", \"Desktop\", ...)"},
    // Software sections: the section's own keys
    {S::kSoftware, F::kSection, u"description", V::kText,
     u"the heading's text; the section name without it"},
    {S::kSoftware, F::kSection, u"selected", V::kTokens,
     u"1, inherit: the section starts selected"},
    {S::kSoftware, F::kSection, u"hidden", V::kTokens, u"1, inherit: no rows"},
    {S::kSoftware, F::kSection, u"collapsed", V::kTokens, u"1, inherit: starts collapsed"},
    {S::kSoftware, F::kSection, u"group", V::kTokens, u"1, inherit: the items form a radio group"},
    {S::kSoftware, F::kSection, u"locked", V::kTokens, u"1, inherit: the selection cannot change"},
    {S::kSoftware, F::kSection, u"disabled", V::kTokens, u"1, inherit: locked and grey"},
    {S::kSoftware, F::kSection, u"flags", V::kTokens, u"bold, italic, underline, striked"},
    {S::kSoftware, F::kSection, u"help", V::kFile, u"a help document"},
    {S::kSoftware, F::kSection, u"helptext", V::kText, u"a short help text"},
    {S::kSoftware, F::kSection, u"timeout", V::kSeconds, u"the items' time limit"},
    {S::kSoftware, F::kSection, keys::kSuccessCodes, V::kExitCodes,
     u"the items' exit codes that succeed"},
    {S::kSoftware, F::kSection, keys::kRestartCodes, V::kExitCodes,
     u"the items' exit codes that need a restart"},
    {S::kSoftware, F::kSection, keys::kDetect, V::kTest,
     u"the items' test for being present already"},
    {S::kSoftware, F::kSection, kKeyRestartAfter, V::kSwitch,
     u"1: restart after each item succeeds"},
    // [machines]
    {S::kMachines, F::kPlain, u"File", V::kFile,
     u"a file whose own [machines] rows count too, relative to the configuration's folder"},
    {S::kMachines, F::kMachineRow, u"serial", V::kMachineFields,
     u"the machine with this serial number (the firmware's)"},
    {S::kMachines, F::kMachineRow, u"uuid", V::kMachineFields,
     u"the machine with this SMBIOS UUID (hexadecimal digits compared)"},
    {S::kMachines, F::kMachineRow, u"mac", V::kMachineFields,
     u"the machine whose first network adapter has this MAC address"},
    {S::kMachines, F::kMachineRow, u"name", V::kMachineFields,
     u"the machine with this computer name now"},
    // Software sections: numbered items
    {S::kSoftware, F::kItem, u"command", V::kCommand,
     u"the command line; \"*\" a heading; a level ends at the first gap"},
    {S::kSoftware, F::kItem, u"description", V::kText, u"the row's text (at most 129 characters)"},
    {S::kSoftware, F::kItem, u"selected", V::kTokens, u"1, if.true, if.false, inherit"},
    {S::kSoftware, F::kItem, u"hidden", V::kTokens, u"1, if.true, if.false, inherit"},
    {S::kSoftware, F::kItem, u"collapsed", V::kTokens, u"1, if.true, if.false, inherit"},
    {S::kSoftware, F::kItem, u"group", V::kTokens,
     u"1, if.true, if.false, inherit: children form a radio group"},
    {S::kSoftware, F::kItem, u"locked", V::kTokens, u"1, if.true, if.false, inherit"},
    {S::kSoftware, F::kItem, u"disabled", V::kTokens, u"1, if.true, if.false, inherit"},
    {S::kSoftware, F::kItem, u"workdir", V::kText, u"the command's working folder"},
    {S::kSoftware, F::kItemTest, u"test", V::kTest,
     u"the item's tests 0, 1, 2, ... up to the first gap"},
    {S::kSoftware, F::kItem, u"test.eval", V::kExpression,
     u"how the tests combine into the condition"},
    {S::kSoftware, F::kItem, u"help", V::kFile, u"a help document"},
    {S::kSoftware, F::kItem, u"helptext", V::kText, u"a short help text"},
    {S::kSoftware, F::kItem, u"flags", V::kTokens,
     u"bold, italic, underline, striked, each also :if.true or :if.false"},
    {S::kSoftware, F::kItem, u"timeout", V::kSeconds, u"the command's time limit"},
    {S::kSoftware, F::kItem, keys::kSuccessCodes, V::kExitCodes, u"exit codes that succeed"},
    {S::kSoftware, F::kItem, keys::kRestartCodes, V::kExitCodes, u"exit codes that need a restart"},
    {S::kSoftware, F::kItem, keys::kDetect, V::kTest,
     u"a test that is true when the entry is present"},
    {S::kSoftware, F::kItem, kKeyRestartAfter, V::kSwitch, u"1: restart after the item succeeds"},
});

bool IsDigits(TextView text) {
  if (text.empty()) return false;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

// "3", "3.1", "3.1.0": numbers joined by single dots.
bool IsIndexPath(TextView text) {
  size_t start = 0;
  while (true) {
    const size_t dot = text.find(u'.', start);
    if (!IsDigits(text.substr(start, dot == TextView::npos ? TextView::npos : dot - start))) {
      return false;
    }
    if (dot == TextView::npos) return true;
    start = dot + 1;
  }
}

// The part after "<base>." when `key` has that form.
std::optional<TextView> Suffix(TextView key, TextView base) {
  if (key.size() <= base.size() + 1 || !StartsWithIgnoreCase(key, base) ||
      key[base.size()] != u'.') {
    return std::nullopt;
  }
  return key.substr(base.size() + 1);
}

std::optional<KeyMatch> MatchRule(const KeyRule& rule, TextView key) {
  switch (rule.form) {
    case KeyForm::kPlain:
    case KeyForm::kSection:
      if (EqualsIgnoreCase(key, rule.base)) return KeyMatch{&rule, {}, {}};
      return std::nullopt;
    case KeyForm::kPageIndex:
    case KeyForm::kAccount: {
      const auto rest = Suffix(key, rule.base);
      if (rest && IsDigits(*rest)) return KeyMatch{&rule, Text(*rest), {}};
      return std::nullopt;
    }
    case KeyForm::kItem: {
      const auto rest = Suffix(key, rule.base);
      if (rest && IsIndexPath(*rest)) return KeyMatch{&rule, Text(*rest), {}};
      return std::nullopt;
    }
    case KeyForm::kItemTest: {
      const auto rest = Suffix(key, rule.base);
      if (!rest || !IsIndexPath(*rest)) return std::nullopt;
      const size_t dot = rest->rfind(u'.');
      if (dot == TextView::npos) return std::nullopt;
      return KeyMatch{&rule, Text(rest->substr(0, dot)), Text(rest->substr(dot + 1))};
    }
    case KeyForm::kMachineRow: {
      const size_t colon = key.find(u':');
      if (colon == TextView::npos ||
          !EqualsIgnoreCase(TrimBlanks(key.substr(0, colon)), rule.base)) {
        return std::nullopt;
      }
      return KeyMatch{&rule, Text(TrimBlanks(key.substr(colon + 1))), {}};
    }
    case KeyForm::kShellFolder: {
      const size_t dot = key.rfind(u'.');
      if (dot == TextView::npos || !IsDigits(key.substr(dot + 1)) ||
          !FindShellFolder(key.substr(0, dot))) {
        return std::nullopt;
      }
      return KeyMatch{&rule, Text(key.substr(dot + 1)), {}};
    }
  }
  return std::nullopt;
}

}  // namespace

std::span<const KeyRule> ConfigurationKeys() {
  return kKeys;
}

SectionKind SectionKindOf(TextView name) {
  if (EqualsIgnoreCase(name, u"environment")) return SectionKind::kEnvironment;
  if (StartsWithIgnoreCase(name, u"environment")) return SectionKind::kAccountEnvironment;
  if (EqualsIgnoreCase(name, u"settings")) return SectionKind::kSettings;
  if (EqualsIgnoreCase(name, u"users")) return SectionKind::kUsers;
  if (EqualsIgnoreCase(name, u"users.operation")) return SectionKind::kReserved;
  if (EqualsIgnoreCase(name, u"machines")) return SectionKind::kMachines;
  if (StartsWithIgnoreCase(name, u"machines.")) return SectionKind::kSelection;
  return SectionKind::kSoftware;
}

std::optional<KeyMatch> MatchKey(SectionKind kind, TextView key) {
  for (const KeyRule& rule : kKeys) {
    if (rule.section != kind) continue;
    if (auto match = MatchRule(rule, key)) return match;
  }
  return std::nullopt;
}

}  // namespace tarn::app
