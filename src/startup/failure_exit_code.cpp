#include "startup/failure_exit_code.h"

#include "run/result_file.h"
#include "startup/command_line.h"

namespace tarn::startup {

void FailureExitCode::ReadCommandLine(TextView commandLine) {
  constexpr TextView kOption = u"/exitcode=";
  for (const TextView argument : SplitCommandLine(commandLine)) {
    if (!StartsWithIgnoreCase(argument, kOption)) continue;
    fromResult_ = EqualsIgnoreCase(StripQuotes(argument.substr(kOption.size())), u"result");
  }
}

int FailureExitCode::code() const {
  return fromResult_ ? static_cast<int>(run::kExitFailed) : 0;
}

}  // namespace tarn::startup
