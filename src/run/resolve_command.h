// Turning an entry's expanded command into the command line that is started:
// a document becomes the open command registered for its file type.
#pragma once

#include <cstddef>

#include "base/text.h"
#include "platform/environment.h"
#include "platform/registry.h"

namespace tarn::run {

// Capacity of a registered file type name and of a placeholder ("%1").
inline constexpr size_t kFileTypeCapacity = 260;

// The extension of the last component of `path`, point included, as
// PathFindExtensionW finds it (a blank after the point cancels it); empty
// when there is none.
[[nodiscard]] TextView FindExtension(TextView path);

// The open command registered for `extension` in the machine's classes,
// HKLM\Software\Classes ("<ext>" -> file type ->
// "<type>\Shell\Open\Command"); a user's own classes are never read; empty when the
// extension or the type has none. A REG_EXPAND_SZ template is expanded with
// `environment` (when given), since the system starts it only expanded.
[[nodiscard]] Text RegisteredOpenCommand(platform::Registry& registry,
                                         platform::Environment* environment, TextView extension);

// Splits `command` with the system's rules. When the first argument's
// extension has a registered open command, `commandLine` is that template
// with %1..%n replaced by the arguments (each as the command writes it, its
// quotes kept, or quoted as needed where the written form would not read
// back alone; bare where the template already quotes the placeholder) and
// "%*" by the arguments the template has no placeholder for (each the same
// way, followed by one space; dropped when the template has no "%*"). Otherwise
// `commandLine` is the command as written. An argument holding a double quote
// that would go inside a quoted part of the template is refused: it would end
// that part early and hand the program arguments nobody wrote; `commandLine`
// is then left empty. Returns the number of arguments.
// The command line is never cut: a line too long for the system makes the
// start fail instead of starting another command.
size_t ResolveCommandLine(platform::Registry& registry, platform::Environment* environment,
                          TextView command, Text& commandLine);

// The command line the launch starts for an entry's `command` as the
// configuration writes it: expanded whole with `environment`, uncut, then
// resolved. Empty when the resolution refuses it. The run and the plan both
// ask this, so a plan shows what a run starts.
[[nodiscard]] Text StartedCommandLine(platform::Registry& registry,
                                      platform::Environment& environment, TextView command);

}  // namespace tarn::run
