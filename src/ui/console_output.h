// Text for a reader at a command prompt. The program is a windowed one, so
// the system gives it no console of its own: "tarn.exe /? | more" or
// "tarn.exe /? > help.txt" hand it a pipe or a file as standard output, and
// a start from a console window leaves only the parent's console to attach to.
#pragma once

#include "base/text.h"

namespace tarn::ui {

// Writes `text`, lines broken with CR LF and ended by one, to the standard
// output the program was started with when that is a pipe, a file or a
// character device (UTF-8, or UTF-16 through the console functions when it is
// a console), else to the console of the parent process. False when there is
// neither or the writing failed.
bool WriteToConsole(TextView text);

}  // namespace tarn::ui
