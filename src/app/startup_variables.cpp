#include "app/startup_variables.h"

#include "base/paths.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace tarn::app {
namespace {

// The current directory is read into a buffer of 261 units.
constexpr size_t kCurrentDirectoryCapacity = 260;
// SourcePath is read into a buffer of 522 bytes.
constexpr size_t kSourcePathBytes = 522;

constexpr char16_t kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// The SourcePath value when it can be read whole into its buffer.
std::optional<Text> ReadSourcePath(platform::Registry& registry, platform::RegKey key) {
  const Result<platform::RegValue> value = registry.QueryValue(key, u"SourcePath");
  if (!value.ok() || value->data.size() > kSourcePathBytes) return std::nullopt;
  if (value->type != platform::kRegSz && value->type != platform::kRegExpandSz) {
    return std::nullopt;
  }
  return value->AsText();
}

Text DriveOf(TextView path) {
  Text root = PathStripToRoot(path);
  if (root.ends_with(u'\\')) root.pop_back();
  return root;
}

}  // namespace

Text ProgramFolder(platform::SystemInfo& system) {
  return PathRemoveFileSpec(system.ModuleFileName());
}

void SetStartupVariables(const platform::Platform& platform) {
  platform::Environment& environment = *platform.environment;
  (void)environment.Set(u"TARN", ProgramFolder(*platform.system));
  const Text current = CutToCapacity(platform.files->CurrentDirectory(), kCurrentDirectoryCapacity);
  (void)environment.Set(u"CURDIR", current);

  const platform::ScopedKey key = platform::ScopedKey::Open(
      *platform.registry, platform::kLocalMachine, kCurrentVersionKey, platform::kKeyRead);
  if (!key) return;
  // A value that cannot be read leaves the current directory in its place.
  const Text source = ReadSourcePath(*platform.registry, key.get()).value_or(current);
  (void)environment.Set(u"SRCPATH", source);
  (void)environment.Set(u"SRCDRIVE", DriveOf(source));
}

Text MakeAbsoluteToProgram(TextView path, TextView programFolder) {
  return PathIsRelative(path) ? PathAppend(programFolder, path) : PathCanonicalize(path);
}

Text WorkingFolderFor(platform::Environment& environment, TextView programFolder,
                      const std::optional<Text>& workDir) {
  if (!workDir || workDir->empty()) return PathCanonicalize(programFolder);
  return MakeAbsoluteToProgram(platform::ExpandWhole(environment, *workDir), programFolder);
}

}  // namespace tarn::app
