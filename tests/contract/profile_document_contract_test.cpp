// The portable reader against the backend: ProfileDocument, given the bytes
// of a file, must answer every question exactly as the backend's profile
// service answers for that file. Under Wine this holds the portable reader
// to the system's own functions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/profile_files_fixture.h"
#include "platform/profile_document.h"
#include "platform/system_info.h"

namespace tarn::contract {
namespace {

using platform::ProfileBuffer;
using platform::ProfileDocument;

// What a real configuration file holds. Quoted values avoid lengths 1 and 4:
// with capacities 2 and 5 Wine would cut them one character short.
constexpr std::string_view kConfiguration =
    "; TARN configuration\r\n"
    "[settings]\r\n"
    "Computer = LAB-PC-01\r\n"
    "Workgroup=\"WORKGROUP\"\r\n"
    "Owner='Lab Owner'\r\n"
    "AutoLogon = 2\r\n"
    "Verbose=0x3\r\n"
    "SplitterPos=\" 40\"\r\n"
    "OsdText=Installing... %d seconds left\r\n"
    "dimension.width=640\r\n"
    "Flag\r\n"
    "Empty=\r\n"
    "Computer=ignored duplicate\r\n"
    "\r\n"
    "[Office]\r\n"
    "description=Office \"2021\" suite\r\n"
    "selected=1\r\n"
    "command.0=\"C:\\Setup\\office.exe\" /quiet\r\n"
    "test.0.0=HKLM:Software\\Microsoft\\Office\r\n"
    "  help = docs\\office.rtf  \r\n"
    "[users]\r\n"
    "User.0=Anna\r\n"
    "password.0=61006200FF80000042\r\n"
    "crypted.0=8\r\n"
    "[environment]\r\n"
    "PATHX=%ThisProfile%\\bin\r\n"
    "PATHX=other\r\n"
    "LINE_WITHOUT_EQUALS\r\n"
    "[ settings ]\r\n"
    "Extra=1\r\n";

// "Словари": found only where the system's ANSI code page is Windows-1251.
constexpr TextView kCyrillicSection = u"\u0421\u043B\u043E\u0432\u0430\u0440\u0438";

const char16_t* const kSections[] = {u"settings",
                                     u"SETTINGS",
                                     u"Office",
                                     u"users",
                                     u"environment",
                                     u"missing",
                                     kCyrillicSection.data()};
const char16_t* const kKeys[] = {u"Computer",  u"workgroup",   u"Owner",       u"AutoLogon",
                                 u"Verbose",   u"SplitterPos", u"OsdText",     u"Flag",
                                 u"Empty",     u"Extra",       u"description", u"command.0",
                                 u"test.0.0",  u"help",        u"user.0",      u"Password.0",
                                 u"crypted.0", u"PATHX",       u"missing"};
constexpr uint32_t kStringCapacities[] = {2, 5, 200};
constexpr uint32_t kListCapacities[] = {2, 3, 7, 16, 40, 100, 1000};

std::string Where(TextView section, TextView key, uint32_t capacity) {
  return "[" + ToUtf8(section) + "] " + ToUtf8(key) + " in " + std::to_string(capacity);
}

void ExpectSame(const ProfileBuffer& document, const ProfileBuffer& backend,
                const std::string& where) {
  EXPECT_EQ(ShowList(document.data), ShowList(backend.data)) << where;
  EXPECT_EQ(document.returned, backend.returned) << where;
}

class DocumentMatchesBackend : public ProfileFilesContract {
 protected:
  void CheckFile(const std::vector<uint8_t>& bytes) {
    const Text path = Put(bytes);
    const ProfileDocument document =
        ProfileDocument::Parse(bytes, platform_.system->AnsiCodePage());
    for (const char16_t* section : kSections) {
      for (const char16_t* key : kKeys) CheckKey(document, path, section, key);
      for (uint32_t capacity : kListCapacities) {
        ExpectSame(document.GetSection(section, capacity),
                   profiles().GetSection(path, section, capacity), Where(section, u"*", capacity));
      }
    }
    for (uint32_t capacity : kListCapacities) {
      ExpectSame(document.GetSectionNames(capacity), profiles().GetSectionNames(path, capacity),
                 Where(u"*", u"*", capacity));
    }
  }

  void CheckKey(const ProfileDocument& document, TextView path, TextView section, TextView key) {
    for (uint32_t capacity : kStringCapacities) {
      ExpectSame(document.GetString(section, key, u"default ", capacity),
                 profiles().GetString(path, section, key, u"default ", capacity),
                 Where(section, key, capacity));
    }
    EXPECT_EQ(document.GetInt(section, key, -7), profiles().GetInt(path, section, key, -7))
        << Where(section, key, 0);
    EXPECT_EQ(document.GetStruct(section, key, 8), profiles().GetStruct(path, section, key, 8))
        << Where(section, key, 8);
    const ProfileBuffer whole = profiles().GetString(path, section, key, u"\x1F", 5000);
    const std::optional<Text> found = document.FindValue(section, key);
    EXPECT_EQ(found.value_or(u"\x1F"), whole.data) << Where(section, key, 5000);
  }
};

TEST_F(DocumentMatchesBackend, AnsiConfiguration) {
  CheckFile(AnsiBytes(kConfiguration));
}

// Every byte above 0x7F reads as the system's ANSI code page says; the
// Cyrillic lane runs this where that page is Windows-1251.
TEST_F(DocumentMatchesBackend, AnsiConfigurationWithHighBytes) {
  std::string text(kConfiguration);
  text += "[\xD1\xEB\xEE\xE2\xE0\xF0\xE8]\r\ndescription=\xD1\xEB\xEE\xE2\xE0\xF0\xFC";
  for (int b = 0x80; b <= 0xFF; ++b) text.push_back(static_cast<char>(b));
  text += "\r\n";
  CheckFile(AnsiBytes(text));
}

TEST_F(DocumentMatchesBackend, Utf16Configuration) {
  Text text(kConfiguration.begin(), kConfiguration.end());
  text += u"[\u4E2D\u6587]\r\n\u952E=\u503C\u503C\u503C\u503C\u503C\r\n";
  CheckFile(Utf16Bytes(text));
}

TEST_F(DocumentMatchesBackend, AfterWritesTheFileStillReadsTheSame) {
  const Text path = Put(AnsiBytes(kConfiguration));
  ASSERT_EQ(profiles().WriteString(path, u"settings", u"dimension.width", u"800"), kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(path, u"users", u"crypted.0", std::nullopt), kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(path, u"Office", std::nullopt, std::nullopt), kErrorSuccess);
  ASSERT_EQ(profiles().WriteStruct(path, u"users", u"password.1", {1, 2, 3, 4, 5, 6, 7, 8}),
            kErrorSuccess);
  CheckFile(Read(path));
}

}  // namespace
}  // namespace tarn::contract
