// The program's own command line: splitting, and applying the options to
// InstallConfig.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "app/install_config.h"
#include "base/text.h"

namespace tarn::platform {
class Environment;
}

namespace tarn::startup {

inline constexpr size_t kMaxArguments = 100;

// Splits the program's command line (without the program name) into at most
// 100 arguments; the rest of the line is never looked at. Arguments are
// separated by runs of spaces; a leading run of spaces is not skipped (the
// first argument is then empty). A double quote is special only right after
// "=": everything up to the next double quote (or the end) belongs to the
// argument, spaces included, and the argument ends right after that quote;
// the character following it is a separator whatever it is. The views point
// into `commandLine`.
[[nodiscard]] std::vector<TextView> SplitCommandLine(TextView commandLine);

// Drops one leading double quote, then one trailing double quote.
[[nodiscard]] TextView StripQuotes(TextView value);

// The value of the first argument that begins with "/language=" (ignoring
// case), unchanged; nullopt when there is none.
[[nodiscard]] std::optional<TextView> FindLanguageOption(const std::vector<TextView>& arguments);

// What the option pass asks start-up to do next.
struct CommandLineOutcome {
  enum class Action {
    kContinue,     // all arguments applied
    kShowHelp,     // "/?" was met: show the help message and end
    kShowVersion,  // "/version" was met: show the program's version and end
    kDowngrade,    // "/DownGrade=" was met: downgrade the account and end
    kCheck,        // "/check=" was met: check the configuration file and end
  };
  Action action = Action::kContinue;
  // The account named by /DownGrade=, quotes stripped.
  Text downgradeAccount;
  // The configuration file named by /check=, expanded.
  Text checkFile;
  bool encryptIni = false;
  bool decryptIni = false;
  // "/plan=": write the software plan of the configuration file to this file
  // (expanded) and end; empty when not asked for.
  Text planFile;
  bool topmost = false;
};

// Applies every argument, in order, through the option tests in their fixed
// order. Unrecognised arguments are ignored; a later option wins over an
// earlier one. "/?", "/version", "/check=" and "/DownGrade=" stop the pass at once (the options
// before them stay applied). Text values are cut to their fields; /log=,
// /ini= and /users= are expanded through `environment` first.
[[nodiscard]] CommandLineOutcome ApplyOptions(const std::vector<TextView>& arguments,
                                              app::InstallConfig& config,
                                              platform::Environment& environment);

}  // namespace tarn::startup
