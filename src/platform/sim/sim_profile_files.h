// Profile (INI) files of the simulated machine: the files live in its file
// system and are answered by ProfileDocument, so the sim reads and writes
// them as the system's profile functions do.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "platform/profile_document.h"
#include "platform/profile_files.h"
#include "platform/sim/fault_injection.h"
#include "platform/system_info.h"

namespace tarn::sim {

class SimProfileFiles : public platform::ProfileFiles {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // Reads and writes files through `files`, which must outlive this object.
  // ANSI files are Windows-1252.
  explicit SimProfileFiles(platform::FileSystem& files);
  // ANSI files are in the code page `system` gives at the time of each call,
  // as the machine's registry names it; both must outlive this object.
  SimProfileFiles(platform::FileSystem& files, platform::SystemInfo& system);
  ~SimProfileFiles() override;

  // A file that cannot be read answers as an empty file: defaults, empty lists.
  [[nodiscard]] platform::ProfileBuffer GetString(TextView file, TextView section, TextView key,
                                                  TextView defaultValue,
                                                  uint32_t capacity) override;
  [[nodiscard]] int32_t GetInt(TextView file, TextView section, TextView key,
                               int32_t defaultValue) override;
  [[nodiscard]] platform::ProfileBuffer GetSection(TextView file, TextView section,
                                                   uint32_t capacity) override;
  [[nodiscard]] platform::ProfileBuffer GetSectionNames(TextView file, uint32_t capacity) override;
  [[nodiscard]] std::optional<std::vector<uint8_t>> GetStruct(TextView file, TextView section,
                                                              TextView key, uint32_t size) override;

  // A missing file is created (ANSI); an edit that changes nothing (deleting
  // what is not there) leaves the file untouched. Returns the write's error.
  [[nodiscard]] WinError WriteString(TextView file, TextView section, std::optional<TextView> key,
                                     std::optional<TextView> value) override;
  [[nodiscard]] WinError WriteStruct(TextView file, TextView section, TextView key,
                                     const std::vector<uint8_t>& bytes) override;

 private:
  struct CachedFile {
    std::vector<uint8_t> bytes;
    uint32_t ansiCodePage = 0;
    platform::ProfileDocument document;
  };

  [[nodiscard]] uint32_t AnsiCodePage();

  // The parsed document of the file as it is now. A parse is reused only
  // while the file holds exactly the bytes it was parsed from, in the same
  // code page, so changes made by anyone are always seen. Precondition:
  // mutex_ is held.
  const platform::ProfileDocument& Load(TextView file);

  // Answers `ask` about the file's document, one caller at a time (the
  // installation worker and the pages may read files on different threads).
  template <class Ask>
  auto Query(TextView file, Ask ask) {
    std::lock_guard<std::mutex> lock(mutex_);
    return ask(Load(file));
  }

  platform::FileSystem& files_;
  platform::SystemInfo* system_ = nullptr;
  std::mutex mutex_;
  // Case-folded path -> the last parse of that file.
  std::unordered_map<Text, CachedFile> cache_;
  platform::ProfileDocument missing_;
  FaultGate faults_;
};

}  // namespace tarn::sim
