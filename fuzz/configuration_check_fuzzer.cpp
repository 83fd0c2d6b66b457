// Arbitrary bytes as a configuration file to check: the outline and the
// checker must never crash, every finding must point at a line of the file,
// and the time must stay near linear in the size of the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/profile_outline.h"
#include "startup/configuration_check.h"

namespace {

using namespace tarn;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  platform::ProfileOutline outline = platform::OutlineProfile(bytes);
  uint32_t lastLine = 0;
  for (const auto& section : outline.sections) {
    Require(section.at.line > lastLine);
    lastLine = section.at.line;
    for (const auto& key : section.keys) {
      Require(key.at.line > lastLine && key.valueAt.line == key.at.line);
      lastLine = key.at.line;
    }
  }
  platform::WipeOutline(outline);

  startup::CheckInput input;
  input.file = u"fuzz.ini";
  input.iniDir = u"C:\\cfg";
  // Some files exist, some not, decided by the name alone.
  input.fileExists = [](TextView path) { return path.size() % 2 == 0; };
  const auto diagnostics = startup::CheckConfiguration(bytes, input);
  for (const auto& finding : diagnostics) {
    Require(finding.line >= 1 && finding.line <= size + 1);
    Require(finding.column >= 1 && finding.column <= size + 2);
    Require(!finding.text.empty());
  }
  (void)startup::FormatDiagnostics(diagnostics);
  return 0;
}
