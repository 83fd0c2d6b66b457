// The check at start of the files the elevated program relies on: who
// besides the machine's administrators may change the program, its
// configuration and its output folders, or read the files that hold
// passwords. Every finding is a warning (log and result file), never a
// refusal: at set-up time the files often come from a stick or a share.
#pragma once

#include <optional>
#include <vector>

#include "base/text.h"
#include "platform/security.h"

namespace tarn {
struct AppContext;
namespace platform {
struct Platform;
}
}  // namespace tarn

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
  // An account whose rights count as the administrators' (the account a
  // later start runs as, which holds them anyway); none when there is none.
  std::optional<platform::Sid> alsoTrusted;
};

// The warnings about `paths`: who besides the administrators may change or
// read them on the volumes that keep access lists, and one warning for files
// on removable media, shares or volumes without access lists. Uses only the
// file system and account-name lookups of `platform`, so it may run on
// another thread while start-up goes on.
[[nodiscard]] std::vector<Text> FindGuardedPathWarnings(const platform::Platform& platform,
                                                        const GuardedPaths& paths);

// Writes each warning to the log and the result file's warnings.
void ReportGuardedPathWarnings(AppContext& app, const std::vector<Text>& warnings);

// Both of the above, one after the other.
void CheckGuardedPaths(AppContext& app, const GuardedPaths& paths);

}  // namespace tarn::run
