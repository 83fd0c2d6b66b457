// Which link targets the wizard hands to the shell. The program runs
// elevated: a link in the About box or in a help document could otherwise
// name a program, a script or a file share that the shell would run for
// it. Only web and mail addresses are opened.
#pragma once

#include "base/text.h"

namespace tarn::wizard {

// True for "http://", "https://" (scheme in any case, something after the
// slashes) and "mailto:" addresses. False for every other scheme, for a
// target without a scheme, and for one holding a control character, which
// the shell could read as the end of the address.
[[nodiscard]] bool IsOpenableLink(TextView target);

}  // namespace tarn::wizard
