// A simulated machine prepared for start-up tests: the program at
// C:\tarn\tarn.exe, and helpers that write its profile files for the
// machine's own profile reader.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "platform/sim/machine.h"

namespace tarn::testing {

inline constexpr char16_t kProgramLanguages[] = u"C:\\tarn\\languages.ini";
inline constexpr char16_t kProgramSettings[] = u"C:\\tarn\\install.ini";

class StartupMachine {
 public:
  StartupMachine() { machine_.system().SetModuleFileName(u"C:\\tarn\\tarn.exe"); }

  // Appends `section` with the given number/text pairs to the languages
  // file at `file`, stored as UTF-16 like the one the program ships.
  void Languages(TextView file, TextView section,
                 const std::vector<std::pair<uint32_t, TextView>>& texts) {
    Text& content = languageFiles_[Text(file)];
    content += u"[" + Text(section) + u"]\r\n";
    for (const auto& [number, text] : texts) {
      content += DecimalText(number) + u"=" + Text(text) + u"\r\n";
    }
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (const char16_t c : content) {
      bytes.push_back(static_cast<uint8_t>(c & 0xFF));
      bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    ASSERT_TRUE(machine_.files().PutFile(file, bytes));
  }

  // Writes `file` with a [settings] section of the given lines, as is.
  void Settings(std::string_view lines, TextView file = kProgramSettings) {
    ASSERT_TRUE(machine_.files().PutTextFile(file, "[settings]\r\n" + std::string(lines)));
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
  platform::Platform services_ = machine_.platform();

 private:
  std::map<Text, Text> languageFiles_;
};

}  // namespace tarn::testing
