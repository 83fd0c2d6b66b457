// A large configuration for the software list's tests and timings: ten
// sections of 1,001 rows each, all shown (four items of 249 children each,
// since a level holds at most 255 items).
#pragma once

#include <string>

namespace tarn::testing {

inline constexpr size_t kLargeCatalogueRows = 10010;

// The configuration's text, CRLF lines.
[[nodiscard]] inline std::string LargeCatalogueIni() {
  std::string ini = "[settings]\r\n";
  for (int s = 0; s < 10; ++s) {
    ini += "[Section" + std::to_string(s) + "]\r\nselected=1 inherit\r\n";
    for (int i = 0; i < 4; ++i) {
      const std::string item = std::to_string(i);
      ini += "command." + item + "=*\r\ndescription." + item + "=Group " + item + "\r\n";
      for (int c = 0; c < 249; ++c) {
        const std::string key = item + "." + std::to_string(c);
        ini += "command." + key + "=x.exe\r\ndescription." + key + "=On %SystemDrive%\r\n";
      }
    }
  }
  return ini;
}

}  // namespace tarn::testing
