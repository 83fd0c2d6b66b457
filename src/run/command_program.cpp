#include "run/command_program.h"

#include <vector>

#include "base/command_line_rules.h"

namespace tarn::run {
namespace {

bool NamesAFolder(TextView program) {
  return program.find_first_of(u"\\/:") != TextView::npos;
}

// "C:\..." or "\\server\..." : a folder that does not depend on the current
// directory or drive.
bool IsAbsoluteFolder(TextView folder) {
  if (folder.size() >= 3 && folder[1] == u':' && (folder[2] == u'\\' || folder[2] == u'/')) {
    return true;
  }
  return folder.size() >= 2 && folder[0] == u'\\' && folder[1] == u'\\';
}

// The absolute folders of a PATH value, in order.
std::vector<Text> AbsolutePathFolders(TextView path) {
  std::vector<Text> folders;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u';', start);
    if (end == TextView::npos) end = path.size();
    Text folder;
    for (const char16_t c : path.substr(start, end - start)) {
      if (c != u'"') folder.push_back(c);
    }
    if (IsAbsoluteFolder(folder)) folders.push_back(std::move(folder));
    start = end + 1;
  }
  return folders;
}

bool IsFile(platform::FileSystem& files, TextView path) {
  const uint32_t attributes = files.GetAttributes(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) == 0;
}

}  // namespace

Result<Text> FindCommandProgram(platform::FileSystem& files, platform::SystemInfo& system,
                                const std::optional<Text>& path, TextView commandLine) {
  const std::vector<Text> arguments = SplitCommandLine(commandLine);
  if (arguments.empty() || arguments[0].empty() || NamesAFolder(arguments[0])) return Text();
  Text name = arguments[0];
  if (name.find(u'.') == Text::npos) name += u".exe";
  const Text systemFolder = system.SystemFolder();
  std::vector<Text> folders = {systemFolder, system.WindowsFolder(), systemFolder + u"\\Wbem"};
  if (path) {
    for (Text& folder : AbsolutePathFolders(*path)) folders.push_back(std::move(folder));
  }
  for (const Text& folder : folders) {
    if (!IsAbsoluteFolder(folder)) continue;
    Text candidate = folder;
    if (candidate.back() != u'\\' && candidate.back() != u'/') candidate += u'\\';
    candidate += name;
    if (IsFile(files, candidate)) return candidate;
  }
  return Result<Text>::Failure(kErrorProgramNotFound);
}

}  // namespace tarn::run
