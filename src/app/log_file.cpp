#include "app/log_file.h"

#include "app/file_trust.h"
#include "base/paths.h"

#include <vector>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/system_info.h"

namespace tarn::app {
namespace {

constexpr uint32_t kPathCapacity = 260;
constexpr uint32_t kDateCapacity = 64;

std::vector<uint8_t> Utf16LeBytes(TextView text) {
  std::vector<uint8_t> bytes;
  AppendUtf16Le(bytes, text);
  return bytes;
}

}  // namespace

TextView LogLevelName(int32_t level) {
  switch (level) {
    case kLogError:
      return u"Error";
    case kLogWarning:
      return u"Warning";
    case kLogInfo:
      return u"Info";
    default:
      return u"";
  }
}

LogFile::LogFile(const platform::Platform& platform) : platform_(platform) {}

LogFile::~LogFile() = default;

void LogFile::Open(TextView path, bool append) {
  Close();
  path_ = platform_.environment->Expand(path, kPathCapacity).text;
  platform::FileSystem& files = *platform_.files;
  // A folder the program makes for its log is for the administrators alone.
  (void)MakeAdministrationOnlyFolders(files, PathRemoveFileSpec(path_));
  auto opened = append
                    ? files.OpenToAppend(path_, /*writeThrough=*/true)
                    : Result<std::unique_ptr<platform::WritableFile>>::Failure(kErrorFileNotFound);
  if (!opened && opened.error() == kErrorFileNotFound) {
    opened = files.CreateAlways(path_, /*writeThrough=*/true);
  }
  if (opened.ok()) file_ = std::move(opened.value());
}

void LogFile::Close() {
  file_.reset();
}

Text LogFile::BuildLine(TextView message, int32_t level, int32_t code) {
  const platform::SystemTime now = platform_.system->LocalTime();
  const Text date = platform_.system->FormatShortDate(now, kDateCapacity);
  const Text time = platform_.system->FormatTime(now, kDateCapacity);
  // The message is an argument, never part of the format.
  return Format(u"%s(%d): %s, %s - %s\r\n", {LogLevelName(level), code, date, time, message});
}

void LogFile::Write(TextView message, int32_t level, int32_t code) {
  if (listener_) listener_(Text(message), level);
  if (file_) (void)file_->Write(Utf16LeBytes(BuildLine(message, level, code)));
}

void LogFile::WriteFormat(int32_t level, int32_t code, TextView format,
                          std::initializer_list<FormatArg> args) {
  Write(Format(format, args), level, code);
}

}  // namespace tarn::app
