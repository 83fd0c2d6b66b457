// ReadFileVersion and ReadVersionString: the version resource through the
// platform's VersionResources, looked up as VerQueryValueW paths.
#include <memory>

#include "base/format.h"
#include "catalogue/installation_tests.h"
#include "catalogue/version_compare.h"
#include "platform/version_resources.h"

namespace tarn::catalogue {
namespace {

// "\StringFileInfo\llllcccc\" for a translation, lower-case hex.
Text StringTablePath(const platform::Translation& translation) {
  return Format(u"\\StringFileInfo\\%04x%04x\\",
                {unsigned{translation.language}, unsigned{translation.codePage}});
}

Result<std::unique_ptr<platform::VersionResource>> ReadResource(const platform::Platform& platform,
                                                                TextView path) {
  return platform.versions->Read(path);
}

}  // namespace

Result<Text> ReadFileVersion(const platform::Platform& platform, TextView path, VersionKind kind) {
  const auto resource = ReadResource(platform, path);
  if (!resource) return Result<Text>::Failure(resource.error());
  const std::vector<platform::Translation> translations = (*resource)->Translations();
  if (!translations.empty()) {
    const TextView name = kind == VersionKind::kProduct ? u"ProductVersion" : u"FileVersion";
    const auto value = (*resource)->String(StringTablePath(translations.front()) + Text(name));
    if (value && !value->empty()) {
      Text normalised = NormaliseVersionString(*value);
      if (!normalised.empty()) return normalised;
    }
  }
  const auto fixed = (*resource)->Fixed();
  if (!fixed) return Result<Text>::Failure(kErrorInvalidData);
  return FormatFixedVersion(kind == VersionKind::kProduct ? fixed->productVersion
                                                          : fixed->fileVersion);
}

Result<Text> ReadVersionString(const platform::Platform& platform, TextView path, TextView name) {
  const auto resource = ReadResource(platform, path);
  if (!resource) return Result<Text>::Failure(resource.error());
  const std::vector<platform::Translation> translations = (*resource)->Translations();
  const Text table = translations.empty() ? Text(u"\\StringFileInfo\\00000000\\")
                                          : StringTablePath(translations.front());
  // An empty name would name the string table itself, which is no string.
  if (name.empty()) return Result<Text>::Failure(kErrorInvalidParameter);
  auto value = (*resource)->String(table + Text(name));
  if (!value) return Result<Text>::Failure(kErrorFileNotFound);
  return std::move(*value);
}

}  // namespace tarn::catalogue
