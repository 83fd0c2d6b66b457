// The check at start of the files the elevated program relies on: who
// besides the machine's administrators may change the program, its
// configuration and its output folders, or read the files that hold
// passwords. Every finding is a warning (log and result file), never a
// refusal: at set-up time the files often come from a stick or a share.
#pragma once

#include <vector>

#include "base/text.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

struct GuardedPaths {
  // The program file; its folder is checked too.
  Text program;
  // Files whose change would change what the program does (configuration,
  // users file, languages.ini); missing ones are passed over.
  std::vector<Text> settings;
  // Files that hold passwords (configuration, users file).
  std::vector<Text> secrets;
  // The folders of the log, the result file and the journal.
  std::vector<Text> outputFolders;
  // A later start resumes this run: the program will be started again from
  // where it is now.
  bool resumes = false;
};

// Checks `paths` on the volumes that keep access lists, and reports files on
// removable media, shares or volumes without access lists once.
void CheckGuardedPaths(AppContext& app, const GuardedPaths& paths);

}  // namespace tarn::run
