// The libraries the built program links to: every one must be a known DLL,
// which the loader maps from the system folder before it looks anywhere
// else, or the common controls, which come side by side through the
// program's manifest. Any other name would be looked for in the program's
// own folder first, where a planted copy would run with the program's
// rights before its first line. The path of the program comes from the
// build (TARN_PROGRAM_PATH).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "base/text.h"
#include "platform/bytes_file.h"
#include "platform/pe_imports.h"

namespace tarn {
namespace {

// HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of
// Windows 10 and 11 (x64), the emulation layers left out; lower case.
const std::set<Text> kKnownDlls = {
    u"advapi32.dll", u"clbcatq.dll",  u"combase.dll", u"comdlg32.dll", u"coml2.dll",
    u"difxapi.dll",  u"gdi32.dll",    u"gdiplus.dll", u"imagehlp.dll", u"imm32.dll",
    u"kernel32.dll", u"msctf.dll",    u"msvcrt.dll",  u"normaliz.dll", u"nsi.dll",
    u"ole32.dll",    u"oleaut32.dll", u"psapi.dll",   u"rpcrt4.dll",   u"sechost.dll",
    u"setupapi.dll", u"shcore.dll",   u"shell32.dll", u"shlwapi.dll",  u"user32.dll",
    u"wldap32.dll",  u"ws2_32.dll"};
// Side by side through the manifest (Microsoft.Windows.Common-Controls 6).
constexpr TextView kCommonControls = u"comctl32.dll";

Text Lower(TextView name) {
  Text lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  });
  return lower;
}

bool LoadedFromSystemFolder(TextView name) {
  const Text lower = Lower(name);
  return kKnownDlls.count(lower) != 0 || lower == kCommonControls;
}

TEST(ProgramImports, OnlyKnownDllsAndTheCommonControls) {
  std::ifstream file(TARN_PROGRAM_PATH, std::ios::binary);
  ASSERT_TRUE(file) << "cannot open " << TARN_PROGRAM_PATH;
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>()};
  platform::BytesFile image(bytes);
  const auto imports = platform::ReadPeImports(image);
  ASSERT_TRUE(imports.ok()) << "error " << imports.error();
  EXPECT_FALSE(imports->imported.empty());
  for (const auto* list : {&imports->imported, &imports->delayLoaded}) {
    for (const Text& name : *list) {
      EXPECT_TRUE(LoadedFromSystemFolder(name))
          << ToUtf8(name) << " is not a known DLL: the loader would look for it beside the "
          << "program first";
    }
  }
}

}  // namespace
}  // namespace tarn
