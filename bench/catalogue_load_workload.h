// Generated configuration files for the catalogue loading benchmarks: many
// software sections of 100 items each, three levels deep (10 items, each
// with 3 children, each of those with 2), every item with 8 keys and 2 tests.
#pragma once

#include <string>

namespace tarn::bench {

inline void AppendItem(std::string& ini, const std::string& path, int serial) {
  const std::string n = std::to_string(serial);
  ini += "command" + path + "=%SRCDIR%\\pkg" + n + "\\setup.exe /q if.true(\"/repair\")\n";
  ini += "description" + path + "=Package " + n + " if.false(\"(new)\")\n";
  ini += "selected" + path + "=" + (serial % 3 == 0 ? "1" : "if.false") + "\n";
  ini += "flags" + path + "=bold:if.true italic\n";
  ini += "workdir" + path + "=%TEMP%\\pkg" + n + "\n";
  ini += "help" + path + "=%INIDIR%\\help\\pkg" + n + ".rtf\n";
  ini += "locked" + path + "=" + (serial % 7 == 0 ? "1" : "0") + "\n";
  ini += "test" + path + ".0=%SystemRoot%\\system32\\pkg" + n + ".dll\n";
  ini += "test" + path + ".1=HKLM:SOFTWARE\\Vendor\\Pkg" + n + "\\Version?x<2.0\n";
  ini += "test.eval" + path + "=0|1\n";
}

// A configuration file with `items` items (a multiple of 100) in plain
// ANSI text, with the reserved sections a real file has as well.
inline std::string GenerateCatalogue(int items) {
  std::string ini = "[settings]\nVerbose=1\n\n[environment]\nSRCDIR=%INIDIR%\\packages\n\n";
  int serial = 0;
  for (int section = 0; section < items / 100; ++section) {
    ini += "[Section " + std::to_string(section) + "]\n";
    ini += "description=Group " + std::to_string(section) + "\nhelptext=Packages\n";
    for (int a = 0; a < 10; ++a) {
      const std::string pa = "." + std::to_string(a);
      AppendItem(ini, pa, serial++);
      for (int b = 0; b < 3; ++b) {
        const std::string pb = pa + "." + std::to_string(b);
        AppendItem(ini, pb, serial++);
        for (int c = 0; c < 2; ++c) AppendItem(ini, pb + "." + std::to_string(c), serial++);
      }
    }
    ini += "\n";
  }
  ini += "[users]\nAdministrator=\n";
  return ini;
}

}  // namespace tarn::bench
