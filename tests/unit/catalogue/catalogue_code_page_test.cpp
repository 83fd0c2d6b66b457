// A configuration file saved in the machine's ANSI code page, loaded as
// tarn_plan loads it: the machine's registry is imported first, then the
// file's descriptions and the paths of its tests read as that machine reads
// them.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue_loader.h"
#include "platform/profile_text_codec.h"
#include "platform/reg_file.h"
#include "platform/sim/machine.h"

namespace tarn::catalogue {
namespace {

constexpr std::string_view kCyrillicMachine =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage]\r\n"
    "\"ACP\"=\"1251\"\r\n";

constexpr std::string_view kIni =
    "[Словари]\r\n"
    "command.0=\"C:\\Программы\\Словарь\\setup.exe\" /s\r\n"
    "description.0=Словарь if.true(\"(установлен)\")\r\n"
    "test.0.0=C:\\Программы\\Словарь\\setup.exe\r\n"
    "test.eval.0=0\r\n";

std::vector<uint8_t> Windows1251(std::string_view utf8) {
  return platform::EncodeProfileText(FromUtf8(utf8), platform::ProfileEncoding::kAnsi, 1251);
}

TEST(CatalogueCodePage, AnsiFileReadsInTheCodePageOfTheImportedMachine) {
  sim::Machine machine;
  const platform::Platform platform = machine.platform();
  const std::vector<uint8_t> reg(kCyrillicMachine.begin(), kCyrillicMachine.end());
  ASSERT_TRUE(platform::ImportRegFile(*platform.registry, reg).ok());
  ASSERT_TRUE(machine.files().PutTextFile(u"C:\\Программы\\Словарь\\setup.exe", "MZ"));

  SoftwareCatalogue catalogue;
  LoadCatalogueBytes(platform, Windows1251(kIni), {}, catalogue);

  ASSERT_EQ(catalogue.EntryCount(), 2u);
  const SoftwareEntry* section = catalogue.FirstEntry();
  EXPECT_EQ(ToUtf8(section->Description), "Словари");
  const SoftwareEntry* item = section->Next;
  EXPECT_EQ(ToUtf8(item->Description), "Словарь (установлен)") << "the test found the file";
  EXPECT_EQ(ToUtf8(item->Command.value_or(u"")), "\"C:\\Программы\\Словарь\\setup.exe\" /s");
}

}  // namespace
}  // namespace tarn::catalogue
