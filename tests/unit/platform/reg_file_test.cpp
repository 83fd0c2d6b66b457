#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace tarn::platform {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::vector<uint8_t> Utf16File(std::u16string_view text) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

class RegFileTest : public ::testing::Test {
 protected:
  std::optional<RegValue> Query(RegKey root, TextView key, TextView name) {
    ScopedKey k = ScopedKey::Open(registry(), root, key, kKeyRead);
    if (!k) return std::nullopt;
    auto value = registry().QueryValue(k.get(), name);
    if (!value) return std::nullopt;
    return *value;
  }
  bool KeyExists(RegKey root, TextView key) {
    return ScopedKey::Open(registry(), root, key, kKeyRead).valid();
  }
  Registry& registry() { return *machine_.platform().registry; }
  std::string TextOf(TextView key, TextView name) {
    auto value = Query(kCurrentUser, key, name);
    return value ? ToUtf8(value->AsText()) : "<missing>";
  }
  uint32_t TypeOf(TextView key, TextView name) {
    auto value = Query(kCurrentUser, key, name);
    return value ? value->type : 0xFFFFFFFF;
  }
  std::vector<uint8_t> DataOf(TextView key, TextView name) {
    auto value = Query(kCurrentUser, key, name);
    return value ? value->data : std::vector<uint8_t>{};
  }

  sim::Machine machine_;
};

TEST_F(RegFileTest, Version5InUtf16WithEveryValueForm) {
  const auto file = Utf16File(
      u"Windows Registry Editor Version 5.00\r\n"
      u"\r\n"
      u"; a comment\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Vendor\\App]\r\n"
      u"@=\"default \\\"quoted\\\" C:\\\\x\"\r\n"
      u"\"Version\"=\"6.0.2900\"\r\n"
      u"\"Count\"=dword:00000010\r\n"
      u"\"Blob\"=hex:01,02,ff\r\n"
      u"\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n"
      u"\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
      u"\"Big\"=hex(b):01,00,00,00,00,00,00,80\r\n"
      u"\"Long\"=hex:00,01,02,03,04,\\\r\n"
      u"  05,06\r\n"
      u"[HKCU\\Environment]\r\n"
      u"\"Temp\"=\"%USERPROFILE%\\\\Temp\"\r\n");
  auto report = ImportRegFile(registry(), file);
  ASSERT_TRUE(report.ok()) << report.error();
  EXPECT_EQ(report->keys, 2u);
  EXPECT_EQ(report->values, 9u);
  EXPECT_EQ(report->skippedLines, 0u);

  const TextView app = u"Software\\Vendor\\App";
  EXPECT_EQ(TextOf(app, u""), "default \"quoted\" C:\\x");
  EXPECT_EQ(TextOf(app, u"version"), "6.0.2900");
  EXPECT_EQ(DataOf(app, u"Count"), (std::vector<uint8_t>{0x10, 0, 0, 0}));
  EXPECT_EQ(DataOf(app, u"Blob"), (std::vector<uint8_t>{1, 2, 0xFF}));
  EXPECT_EQ(TypeOf(app, u"Blob"), kRegBinary);
  EXPECT_EQ(TypeOf(app, u"Path"), kRegExpandSz);
  EXPECT_EQ(TextOf(app, u"Path"), "%A%");
  EXPECT_EQ(TypeOf(app, u"List"), kRegMultiSz);
  EXPECT_EQ(TypeOf(app, u"Big"), kRegQword);
  EXPECT_EQ(DataOf(app, u"Long").size(), 7u);
  EXPECT_EQ(TextOf(u"Environment", u"TEMP"), "%USERPROFILE%\\Temp");
}

TEST_F(RegFileTest, Regedit4StoresAnsiTextDataAsUtf16) {
  const auto file = Bytes(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n"
      "\"P\"=hex(2):25,41,25,00\r\n\"Name\"=\"Caf\xE9\"\r\n");
  ASSERT_TRUE(ImportRegFile(registry(), file).ok());
  EXPECT_EQ(TextOf(u"Software\\A", u"P"), "%A%");
  EXPECT_EQ(TextOf(u"Software\\A", u"Name"), "Caf\xC3\xA9");
}

TEST_F(RegFileTest, DeletionsOfKeysAndValues) {
  ASSERT_TRUE(ImportRegFile(registry(), Bytes("REGEDIT4\n[HKCU\\Software\\Gone\\Deep]\n"
                                              "\"x\"=\"1\"\n[HKCU\\Software\\Keep]\n"
                                              "\"a\"=\"1\"\n\"b\"=\"2\"\n"))
                  .ok());
  auto report = ImportRegFile(registry(), Bytes("REGEDIT4\n[-HKCU\\Software\\Gone]\n"
                                                "[HKCU\\Software\\Keep]\n\"a\"=-\n"));
  ASSERT_TRUE(report.ok());
  EXPECT_EQ(report->deletedKeys, 1u);
  EXPECT_EQ(report->deletedValues, 1u);
  EXPECT_FALSE(KeyExists(kCurrentUser, u"Software\\Gone"));
  EXPECT_FALSE(Query(kCurrentUser, u"Software\\Keep", u"a").has_value());
  EXPECT_TRUE(Query(kCurrentUser, u"Software\\Keep", u"b").has_value());
}

TEST_F(RegFileTest, BadLinesAreSkippedAndTheRestApplies) {
  auto report = ImportRegFile(registry(), Bytes("REGEDIT4\n"
                                                "\"orphan\"=\"no key yet\"\n"
                                                "[HKEY_NOWHERE\\X]\n"
                                                "\"ignored\"=\"under a bad key\"\n"
                                                "[HKCU\\Software\\Ok]\n"
                                                "\"d\"=dword:123456789\n"
                                                "\"h\"=hex:1,2\n"
                                                "\"u\"=\"unterminated\n"
                                                "\"t\"=hex(zz):00\n"
                                                "\"good\"=dword:ffffffff\n"));
  ASSERT_TRUE(report.ok());
  EXPECT_EQ(report->values, 1u);
  EXPECT_EQ(report->skippedLines, 7u);
  EXPECT_EQ(DataOf(u"Software\\Ok", u"good"), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(RegFileTest, UnknownHeaderIsRejected) {
  for (const char* text : {"", "\n\n", "REGEDIT5\n[HKLM\\A]\n", "[HKLM\\A]\n\"x\"=\"1\"\n"}) {
    auto report = ImportRegFile(registry(), Bytes(text));
    EXPECT_FALSE(report.ok()) << text;
    EXPECT_EQ(report.error(), kErrorInvalidData) << text;
  }
  EXPECT_FALSE(KeyExists(kCurrentUser, u"A"));
}

TEST(RegFileDecode, EncodingsByMarkAndContent) {
  EXPECT_EQ(ToUtf8(DecodeRegFileText(Bytes("\xEF\xBB\xBFx\xC3\xA9"))), "x\xC3\xA9");
  EXPECT_EQ(ToUtf8(DecodeRegFileText(Bytes("x\xC3\xA9"))), "x\xC3\xA9");
  EXPECT_EQ(ToUtf8(DecodeRegFileText(Bytes("x\xE9\x80"))), "x\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(ToUtf8(DecodeRegFileText(Utf16File(u"ab"))), "ab");
}

}  // namespace
}  // namespace tarn::platform
