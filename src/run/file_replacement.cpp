#include "run/file_replacement.h"

#include <string>

namespace tarn::run {
namespace {

constexpr int kNameAttempts = 16;

Text TemporaryName(TextView path, uint64_t stamp, int attempt) {
  Text name(path);
  name += u'.';
  name += FromUtf8(std::to_string(stamp));
  name += u'-';
  name += FromUtf8(std::to_string(attempt));
  name += u".tmp";
  return name;
}

}  // namespace

WinError ReplaceFileWhole(platform::FileSystem& files, TextView path,
                          std::span<const uint8_t> bytes, uint64_t stamp) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const Text temporary = TemporaryName(path, stamp, attempt);
    auto created = files.CreateNew(temporary, /*writeThrough=*/true);
    if (!created && created.error() == kErrorFileExists) continue;
    if (!created) return created.error();
    WinError error = (*created)->Write(bytes);
    created->reset();
    if (error == kErrorSuccess) error = files.ReplaceFile(temporary, path);
    if (error != kErrorSuccess) (void)files.DeleteFile(temporary);
    return error;
  }
  return kErrorFileExists;
}

}  // namespace tarn::run
