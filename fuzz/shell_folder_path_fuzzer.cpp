// Shell-folder paths with placeholders from arbitrary text: resolving them
// never yields more than a path holds, and the hive's form never grows past
// its capacity.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "accounts/shell_folders.h"
#include "platform/sim/sim_environment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text input(size / 2, u'\0');
  std::memcpy(input.data(), data, input.size() * 2);
  // The first three lines are the account's profile, home and name; the
  // rest is the path.
  tarn::TextView parts[4];
  tarn::TextView rest = input;
  for (int i = 0; i < 3; ++i) {
    const size_t end = rest.find(u'\n');
    parts[i] = rest.substr(0, end);
    rest = end == tarn::TextView::npos ? tarn::TextView() : rest.substr(end + 1);
  }
  parts[3] = rest;
  const tarn::accounts::AccountFolderValues values{parts[0], parts[1], parts[2]};
  static tarn::sim::SimEnvironment environment;
  const auto resolved = tarn::accounts::ResolveAccountPath(environment, parts[3], values);
  if (resolved && resolved->size() >= tarn::accounts::kPathCapacity) std::abort();
  const tarn::Text form = tarn::accounts::ToRegistryForm(parts[3], values, 64);
  if (form.size() > std::max<size_t>(parts[3].size(), 63)) std::abort();
  return 0;
}
