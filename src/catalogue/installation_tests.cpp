// EvaluateTest: registry tests and file tests.
#include "catalogue/installation_tests.h"

#include <limits>
#include <optional>

#include "catalogue/date_compare.h"
#include "catalogue/test_string.h"
#include "catalogue/version_compare.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace tarn::catalogue {
namespace {

// The largest value a registry comparison reads (RegQueryValueExW into a
// buffer of 522 bytes); larger values cannot be read and compare false.
constexpr size_t kRegistryValueCapacity = 522;

// ExpandEnvironmentStringsW into the test's buffer; nullopt when the result
// does not fit.
std::optional<Text> Expand(const platform::Platform& platform, TextView text) {
  platform::Expansion expanded = platform.environment->Expand(text, kTestExpansionCapacity);
  if (!expanded.complete()) return std::nullopt;
  return std::move(expanded.text);
}

// ---- Registry tests ----

int CompareRegistryValue(const platform::RegValue& value, const Text& text) {
  if (value.type == platform::kRegDword) {
    uint32_t number = 0;
    for (size_t i = 0; i < value.data.size() && i < 4; ++i) {
      number |= static_cast<uint32_t>(value.data[i]) << (8 * i);
    }
    const uint32_t wanted = ParseNumberAutoBase(text);
    return number == wanted ? 0 : (number < wanted ? -1 : 1);
  }
  return CompareCaseSensitive(value.AsText(), text);
}

bool EvaluateRegistryTest(const platform::Platform& platform, platform::RegKey root,
                          TextView test) {
  const auto expanded = Expand(platform, test);
  if (!expanded) return false;
  const SplitTest split = SplitTestString(*expanded);
  if (split.missingOperator || split.subject.empty()) return false;

  const TextView subject = split.subject;
  const size_t slash = subject.rfind(u'\\');
  if (slash == TextView::npos) return false;
  const TextView keyPath = subject.substr(0, slash);
  const TextView valueName = subject.substr(slash + 1);
  const bool keyTest = valueName.empty();

  platform::ScopedKey key =
      platform::ScopedKey::Open(*platform.registry, root, keyPath, platform::kKeyRead);
  if (!key) return false;
  if (!split.comparison) {
    return keyTest || platform.registry->QueryValue(key.get(), valueName).ok();
  }
  const auto value = platform.registry->QueryValue(key.get(), valueName);
  if (!value || value->data.size() > kRegistryValueCapacity) return false;
  return ApplyOperator(split.comparison->op, CompareRegistryValue(*value, split.comparison->text));
}

// ---- File tests ----

enum class FileKind { kProductVersion, kFileVersion, kSize, kDate, kVersionString };

FileKind KindOf(TextView word, TextView* stringName) {
  if (EqualsIgnoreCase(word, u"fileversion")) return FileKind::kFileVersion;
  if (EqualsIgnoreCase(word, u"size")) return FileKind::kSize;
  if (EqualsIgnoreCase(word, u"date")) return FileKind::kDate;
  if (StartsWithIgnoreCase(word, u"version.")) {
    *stringName = word.substr(8);
    return FileKind::kVersionString;
  }
  return FileKind::kProductVersion;  // "version", "productversion" and any other word
}

// Decimal digits after optional blanks, saturating at 2^64 - 1.
uint64_t ParseSize(TextView text) {
  text = TrimBlanks(text);
  uint64_t value = 0;
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') break;
    const auto digit = static_cast<uint64_t>(c - u'0');
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return value;
}

// Size and creation time of a file that could be opened for reading; a
// folder cannot be (CreateFileW without backup semantics).
std::optional<platform::FileInfo> OpenableFileInfo(platform::FileSystem& files, TextView path) {
  if (files.IsDirectory(path)) return std::nullopt;
  auto info = files.GetInfo(path);
  if (!info) return std::nullopt;
  return *info;
}

// The comparison of the file's property with the text; nullopt when it cannot
// be carried out (the test is then true).
std::optional<int> CompareFileProperty(const platform::Platform& platform, TextView path,
                                       const Comparison& comparison) {
  TextView stringName;
  const FileKind kind = KindOf(comparison.word, &stringName);
  switch (kind) {
    case FileKind::kProductVersion:
    case FileKind::kFileVersion: {
      const auto version = ReadFileVersion(
          platform, path,
          kind == FileKind::kFileVersion ? VersionKind::kFile : VersionKind::kProduct);
      if (!version) return std::nullopt;
      return CompareVersions(ParseVersionText(*version), ParseVersionText(comparison.text));
    }
    case FileKind::kSize: {
      const auto info = OpenableFileInfo(*platform.files, path);
      if (!info) return std::nullopt;
      const uint64_t wanted = ParseSize(comparison.text);
      return info->size == wanted ? 0 : (info->size < wanted ? -1 : 1);
    }
    case FileKind::kDate: {
      const auto info = OpenableFileInfo(*platform.files, path);
      if (!info) return std::nullopt;
      const auto local = platform.system->FileTimeToLocalTime(info->creationTime);
      if (!local) return std::nullopt;
      return CompareDate(*local, ParseDateText(comparison.text));
    }
    case FileKind::kVersionString: {
      const auto value = ReadVersionString(platform, path, stringName);
      return CompareCaseSensitive(value ? TextView(*value) : TextView(), comparison.text);
    }
  }
  return std::nullopt;
}

// `unknown` is the answer of a comparison that cannot be carried out (a
// missing file, one without the property).
bool EvaluateFileTest(const platform::Platform& platform, TextView test, bool unknown) {
  const auto expanded = Expand(platform, test);
  if (!expanded) return false;
  const SplitTest split = SplitTestString(*expanded);
  if (split.missingOperator) return false;
  const auto path = Expand(platform, split.subject);
  if (!split.comparison) return path && platform.files->Exists(*path);
  if (!path || !platform.files->Exists(*path)) return unknown;
  const auto outcome = CompareFileProperty(platform, *path, *split.comparison);
  return outcome ? ApplyOperator(split.comparison->op, *outcome) : unknown;
}

bool Evaluate(const platform::Platform& platform, TextView test, bool unknown) {
  const bool negated = !test.empty() && test.front() == u'!';
  if (negated) test.remove_prefix(1);
  bool result = false;
  if (StartsWithIgnoreCase(test, u"HKLM:")) {
    result = EvaluateRegistryTest(platform, platform::kLocalMachine, test.substr(5));
  } else if (StartsWithIgnoreCase(test, u"HKCU:")) {
    result = EvaluateRegistryTest(platform, platform::kCurrentUser, test.substr(5));
  } else {
    result = EvaluateFileTest(platform, test, unknown);
  }
  return result != negated;
}

}  // namespace

bool EvaluateTest(const platform::Platform& platform, TextView test) {
  return Evaluate(platform, test, /*unknown=*/true);
}

bool EvaluateDetection(const platform::Platform& platform, TextView test) {
  return Evaluate(platform, test, /*unknown=*/false);
}

}  // namespace tarn::catalogue
