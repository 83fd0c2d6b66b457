#include "startup/command_line.h"

#include <array>

#include "platform/environment.h"
#include "run/restart_rules.h"

namespace tarn::startup {
namespace {

constexpr uint32_t kExpandCapacity = 261;

// What an option handler works on.
struct PassState {
  app::InstallConfig& config;
  platform::Environment& environment;
  CommandLineOutcome& outcome;
};

enum class Match { kWhole, kPrefix, kExact };

constexpr bool kContinuePass = false;
constexpr bool kEndPass = true;

// Applies the option's effect; returns true when the pass must stop.
using Handler = bool (*)(PassState& state, TextView value);

struct Option {
  TextView text;
  Match match;
  Handler handler;
};

Text Expand(PassState& state, TextView value) {
  return state.environment.Expand(StripQuotes(value), kExpandCapacity).text;
}

// Handlers of the options that only set one field of the configuration.
template <auto Field>
bool SetToOne(PassState& state, TextView) {
  state.config.*Field = 1;
  return kContinuePass;
}

template <auto Field>
bool SetNumber(PassState& state, TextView value) {
  state.config.*Field = ParseDecimalPrefix(value);
  return kContinuePass;
}

template <auto Field>
bool SetUnquoted(PassState& state, TextView value) {
  state.config.*Field = StripQuotes(value);
  return kContinuePass;
}

bool SetUserPwd(PassState& state, TextView value) {
  state.config.UserPwd = StripQuotes(value);
  state.config.UserPwdConfirm = StripQuotes(value);
  return kContinuePass;
}

bool SetIniPath(PassState& state, TextView value) {
  const Text expanded = Expand(state, value);
  state.config.IniPath = expanded;
  if (EqualsIgnoreCase(state.config.UsersPath, app::kDefaultIniName))
    state.config.UsersPath = expanded;
  return kContinuePass;
}

bool SetGroup(PassState& state, TextView value) {
  if (EqualsIgnoreCase(value, u"Administrators") || EqualsIgnoreCase(value, u"Admin")) {
    state.config.DefaultGroup = 1;
  } else if (EqualsIgnoreCase(value, u"Users")) {
    state.config.DefaultGroup = 0;
  }
  return kContinuePass;
}

// The options in the order each argument is tested against them. The
// language option is absent: it has its own pass before this one.
constexpr std::array kOptions = std::to_array<Option>({
    {u"/?", Match::kExact,
     [](PassState& s, TextView) {
       s.outcome.action = CommandLineOutcome::Action::kShowHelp;
       return kEndPass;
     }},
    {u"/version", Match::kWhole,
     [](PassState& s, TextView) {
       s.outcome.action = CommandLineOutcome::Action::kShowVersion;
       return kEndPass;
     }},
    {u"/hasgaps", Match::kWhole,
     [](PassState& s, TextView) {
       s.config.HasGaps = true;
       return kContinuePass;
     }},
    {u"/DisableLoadMenu=", Match::kPrefix, SetNumber<&app::InstallConfig::DisableLoadMenu>},
    {u"/skiprestart", Match::kWhole, SetToOne<&app::InstallConfig::SkipRestart>},
    {u"/autoexit=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.AutoExitEnabled = true;
       s.config.AutoExitDelay = app::SecondsToMs(ParseDecimalPrefix(v));
       return kContinuePass;
     }},
    {u"/autoinstall=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.AutoInstallEnabled = true;
       s.config.AutoInstallDelay = app::SecondsToMs(ParseDecimalPrefix(v));
       return kContinuePass;
     }},
    {u"/admin=", Match::kPrefix, SetUnquoted<&app::InstallConfig::Admin>},
    {u"/adminpwd=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.AdminPwd = StripQuotes(v);
       s.config.AdminPwdGiven = true;
       return kContinuePass;
     }},
    {u"/user=", Match::kPrefix, SetUnquoted<&app::InstallConfig::User>},
    {u"/userpwd=", Match::kPrefix, SetUserPwd},
    {u"/computer=", Match::kPrefix, SetUnquoted<&app::InstallConfig::Computer>},
    {u"/workgroup=", Match::kPrefix, SetUnquoted<&app::InstallConfig::Workgroup>},
    {u"/owner=", Match::kPrefix, SetUnquoted<&app::InstallConfig::Owner>},
    {u"/org=", Match::kPrefix, SetUnquoted<&app::InstallConfig::Org>},
    {u"/skipsettings", Match::kWhole,
     [](PassState& s, TextView) {
       s.config.SkipSettings = true;
       s.config.UseCurrent = true;
       return kContinuePass;
     }},
    {u"/usecurrent", Match::kWhole, SetToOne<&app::InstallConfig::UseCurrent>},
    {u"/log=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.Log = Expand(s, v);
       s.config.LogEnabled = true;
       return kContinuePass;
     }},
    {u"/autologon", Match::kWhole,
     [](PassState& s, TextView) {
       s.config.AutoLogon = app::AutoLogonMode::kOn;
       return kContinuePass;
     }},
    {u"/restartwait=", Match::kPrefix, SetNumber<&app::InstallConfig::RestartWait>},
    {u"/ini=", Match::kPrefix, SetIniPath},
    {u"/users=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.UsersPath = Expand(s, v);
       return kContinuePass;
     }},
    {u"/skipsoftware", Match::kWhole, SetToOne<&app::InstallConfig::SkipSoftware>},
    {u"/nocancel", Match::kWhole, SetToOne<&app::InstallConfig::NoCancel>},
    {u"/NoRestartChange", Match::kWhole, SetToOne<&app::InstallConfig::NoRestartChange>},
    {u"/verbose", Match::kWhole, SetToOne<&app::InstallConfig::Verbose>},
    {u"/verbose=", Match::kPrefix, SetNumber<&app::InstallConfig::Verbose>},
    {u"/EncryptIni", Match::kWhole,
     [](PassState& s, TextView) {
       s.outcome.encryptIni = true;
       return kContinuePass;
     }},
    {u"/DecryptIni", Match::kWhole,
     [](PassState& s, TextView) {
       s.outcome.decryptIni = true;
       return kContinuePass;
     }},
    {u"/plan=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.outcome.planFile = Expand(s, v);
       return kContinuePass;
     }},
    {u"/check=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.outcome.action = CommandLineOutcome::Action::kCheck;
       s.outcome.checkFile = Expand(s, v);
       return kEndPass;
     }},
    {u"/DownGrade=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.outcome.action = CommandLineOutcome::Action::kDowngrade;
       s.outcome.downgradeAccount = Text(StripQuotes(v));
       return kEndPass;
     }},
    {u"/beep=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.BeepEnabled = true;
       s.config.BeepInterval = app::SecondsToMs(ParseDecimalPrefix(v));
       return kContinuePass;
     }},
    {u"/Group=", Match::kPrefix, SetGroup},
    {u"/noabort", Match::kWhole,
     [](PassState& s, TextView) {
       s.config.NoAbort = true;
       return kContinuePass;
     }},
    {u"/topmost", Match::kWhole,
     [](PassState& s, TextView) {
       s.outcome.topmost = true;
       return kContinuePass;
     }},
    {u"/result=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.ResultPath = Expand(s, v);
       return kContinuePass;
     }},
    {u"/exitcode=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.ExitCodeFromResult = EqualsIgnoreCase(StripQuotes(v), u"result");
       return kContinuePass;
     }},
    {u"/resume", Match::kWhole,
     [](PassState& s, TextView) {
       s.config.Resume = true;
       return kContinuePass;
     }},
    {u"/continue=", Match::kPrefix,
     [](PassState& s, TextView v) {
       s.config.Continue = run::ParseContinueOption(StripQuotes(v));
       return kContinuePass;
     }},
});

// The value the option takes from `argument`, or nullopt when it does not match.
std::optional<TextView> MatchOption(const Option& option, TextView argument) {
  switch (option.match) {
    case Match::kExact:
      if (argument == option.text) return TextView();
      break;
    case Match::kWhole:
      if (EqualsIgnoreCase(argument, option.text)) return TextView();
      break;
    case Match::kPrefix:
      if (StartsWithIgnoreCase(argument, option.text)) return argument.substr(option.text.size());
      break;
  }
  return std::nullopt;
}

}  // namespace

std::vector<TextView> SplitCommandLine(TextView commandLine) {
  std::vector<TextView> arguments;
  size_t pos = 0;
  while (pos < commandLine.size() && arguments.size() < kMaxArguments) {
    const size_t start = pos;
    while (pos < commandLine.size() && commandLine[pos] != u' ') {
      if (commandLine[pos] == u'=' && pos + 1 < commandLine.size() &&
          commandLine[pos + 1] == u'"') {
        const size_t close = commandLine.find(u'"', pos + 2);
        pos = close == TextView::npos ? commandLine.size() : close + 1;
        break;
      }
      ++pos;
    }
    arguments.push_back(commandLine.substr(start, pos - start));
    ++pos;  // the separator after the argument
    while (pos < commandLine.size() && commandLine[pos] == u' ') ++pos;
  }
  return arguments;
}

TextView StripQuotes(TextView value) {
  if (value.starts_with(u'"')) value.remove_prefix(1);
  if (value.ends_with(u'"')) value.remove_suffix(1);
  return value;
}

std::optional<TextView> FindLanguageOption(const std::vector<TextView>& arguments) {
  constexpr TextView kLanguage = u"/language=";
  for (const TextView argument : arguments) {
    if (StartsWithIgnoreCase(argument, kLanguage)) return argument.substr(kLanguage.size());
  }
  return std::nullopt;
}

CommandLineOutcome ApplyOptions(const std::vector<TextView>& arguments, app::InstallConfig& config,
                                platform::Environment& environment) {
  CommandLineOutcome outcome;
  PassState state{config, environment, outcome};
  for (const TextView argument : arguments) {
    for (const Option& option : kOptions) {
      const std::optional<TextView> value = MatchOption(option, argument);
      if (value && option.handler(state, *value)) return outcome;
    }
  }
  return outcome;
}

}  // namespace tarn::startup
