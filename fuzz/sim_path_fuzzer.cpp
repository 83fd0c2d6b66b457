// Hostile paths for the simulated file system: any text either resolves to
// a path that resolves to itself again, or is refused with an error; the
// file operations on it never crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/sim/sim_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text path(size / 2, u'\0');
  for (size_t i = 0; i + 1 < size; i += 2) {
    path[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  tarn::sim::SimFileSystem files;
  files.AddVolume(u"\\\\server\\share");
  (void)files.MakeDirectories(u"C:\\a\\b");
  auto parsed = files.Locate(path);
  if (parsed) {
    const tarn::Text joined = tarn::sim::JoinPath(*parsed);
    auto again = files.Locate(joined);
    if (!again || tarn::sim::JoinPath(*again) != joined) std::abort();
  } else if (parsed.error() == tarn::kErrorSuccess) {
    std::abort();
  }
  (void)files.GetAttributes(path);
  (void)files.CreateDirectory(path);
  (void)files.WriteAll(path, {});
  (void)files.ListDirectory(path);
  (void)files.MoveFile(path, u"C:\\a\\moved");
  (void)files.RemoveDirectory(path);
  (void)files.DeleteFile(path);
  return 0;
}
