// A simulated machine prepared for start-up tests: the program at
// C:\tarn\tarn.exe, an in-memory profile store in place of the machine's
// profile files, and helpers to write languages.ini.
#pragma once

#include <vector>

#include "app/app_context.h"
#include "platform/sim/machine.h"
#include "support/fake_profiles.h"

namespace tarn::testing {

inline constexpr char16_t kProgramLanguages[] = u"C:\\tarn\\languages.ini";

class StartupMachine {
 public:
  StartupMachine() {
    services_ = machine_.platform();
    services_.profiles = &profiles_;
    machine_.system().SetModuleFileName(u"C:\\tarn\\tarn.exe");
  }

  // Writes `section` of languages.ini at `file` with the given number/text pairs.
  void Languages(TextView file, TextView section,
                 const std::vector<std::pair<uint32_t, TextView>>& texts) {
    (void)machine_.files().PutTextFile(file, "[x]\r\n");
    profiles_.AddEmptySection(file, section);
    for (const auto& [number, text] : texts)
      profiles_.Set(file, section, DecimalText(number), text);
  }

  // The text of a UTF-16 LE file of the machine; empty when missing.
  Text ReadUtf16(TextView path) {
    const Result<std::vector<uint8_t>> bytes = machine_.files().ReadAll(path);
    Text text;
    if (!bytes.ok()) return text;
    for (size_t i = 0; i + 1 < bytes->size(); i += 2) {
      text.push_back(static_cast<char16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
    }
    return text;
  }

  sim::Machine machine_;
  FakeProfiles profiles_;
  platform::Platform services_;
};

}  // namespace tarn::testing
