// The installation log: one UTF-16 LE line per event (no byte-order mark),
// "level(code): date, time - message" with CR LF, optionally mirrored to one
// listener (the status page's list).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "base/format.h"
#include "base/text.h"
#include "platform/platform.h"

namespace tarn::platform {
class WritableFile;
}

namespace tarn::app {

inline constexpr int32_t kLogError = 0;
inline constexpr int32_t kLogWarning = 1;
inline constexpr int32_t kLogInfo = 2;

// The name written for a level: "Error", "Warning", "Info", empty for others.
[[nodiscard]] TextView LogLevelName(int32_t level);

class LogFile {
 public:
  // Receives a copy of each message text alone, with its level.
  using Listener = std::function<void(Text message, int32_t level)>;

  // Uses the environment (expansion), file system (creation) and system
  // information (local time and its formats) of `platform`.
  explicit LogFile(const platform::Platform& platform);
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Closes any open file, expands environment variables in `path` (260
  // units) and creates the file anew with write-through, so each run starts
  // an empty log; with `append` (a resumed run) an existing log is continued
  // instead. Missing folders of an absolute path are made for the
  // administrators alone. A file that cannot be opened leaves the log
  // closed; events still reach the listener.
  void Open(TextView path, bool append = false);
  // Closes the file; later events reach only the listener.
  void Close();
  [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
  // The expanded path of the last Open.
  [[nodiscard]] const Text& path() const { return path_; }

  // Writes one line; `message` is taken literally. The listener, if any, gets
  // the message before the file does. Never fails towards the caller.
  void Write(TextView message, int32_t level, int32_t code);
  // Formats `format` with the type-checked formatter, then Write.
  void WriteFormat(int32_t level, int32_t code, TextView format,
                   std::initializer_list<FormatArg> args);

  // Registers the one listener (an empty function removes it).
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  [[nodiscard]] Text BuildLine(TextView message, int32_t level, int32_t code);

  platform::Platform platform_;
  Text path_;
  std::unique_ptr<platform::WritableFile> file_;
  Listener listener_;
};

}  // namespace tarn::app
