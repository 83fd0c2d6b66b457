// The system's rules for splitting a command line into arguments (those of
// CommandLineToArgvW) and the matching rule for quoting one argument, as
// portable code so that the rules are tested natively.
#pragma once

#include <vector>

#include "base/text.h"

namespace tarn {

// Splits `commandLine` as CommandLineToArgvW does:
// - The first argument (the program) ends at the first space or tab; when the
//   line begins with a double quote it runs to the next double quote instead,
//   and backslashes have no special meaning in it.
// - Later arguments are separated by runs of spaces and tabs outside quotes.
//   2n backslashes before a double quote give n backslashes and the quote
//   opens or closes a quoted part; 2n+1 backslashes before a double quote give
//   n backslashes and a literal quote; backslashes elsewhere are literal. A
//   double quote that directly follows the closing quote of a quoted part is
//   a literal quote and leaves the quoted part closed.
// An empty line gives no arguments (the system would answer with the path of
// the running program instead; callers here never want that).
[[nodiscard]] std::vector<Text> SplitCommandLine(TextView commandLine);

// The same arguments as SplitCommandLine finds them, each as it is written in
// `commandLine` (its quotes and backslashes kept), so that a line rebuilt
// from them reads as the writer meant it. The views point into `commandLine`.
[[nodiscard]] std::vector<TextView> SplitCommandLineAsWritten(TextView commandLine);

// Quotes one argument so that SplitCommandLine reads it back unchanged as a
// later argument: an empty argument, or one with a space, a tab or a double
// quote, is enclosed in double quotes, embedded quotes are protected with a backslash
// and backslashes before a quote (or before the closing quote) are doubled.
// Any other argument is returned as it is.
[[nodiscard]] Text QuoteArgument(TextView argument);

// True when the character at `position` of `commandLine` lies inside a quoted
// part as SplitCommandLine reads the line (the quotes themselves are not
// inside). Text put there needs no quotes of its own: they would close the
// quoted part instead.
[[nodiscard]] bool InQuotedPart(TextView commandLine, size_t position);

}  // namespace tarn
