// Writing profile (INI) files: every edit reads back through the same
// service as the profile functions would read it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/profile_files_fixture.h"

namespace tarn::contract {
namespace {

constexpr std::string_view kFile =
    "; written by hand\r\n"
    "[A]\r\n"
    "  k1 = v1 \r\n"
    ";keep me=1\r\n"
    "k2=v2\r\n"
    "\r\n"
    "[B]\r\n"
    "x=1\r\n"
    "[a]\r\n"
    "k9=duplicate\r\n";

Text Get(platform::ProfileFiles& profiles, TextView path, TextView section, TextView key) {
  return profiles.GetString(path, section, key, u"(none)", 200).data;
}

TEST_F(ProfileFilesContract, UpdateAppendAndNewSectionReadBack) {
  const Text path = Put(AnsiBytes(kFile));
  ASSERT_EQ(profiles().WriteString(path, u"a", u"K1", u"new"), kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(path, u"A", u"k3", u"appended"), kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(path, u"C", u"c1", u"\"quoted\""), kErrorSuccess);
  EXPECT_EQ(Get(profiles(), path, u"A", u"k1"), u"new");
  EXPECT_EQ(Get(profiles(), path, u"A", u"k2"), u"v2");
  EXPECT_EQ(Get(profiles(), path, u"A", u"k3"), u"appended");
  EXPECT_EQ(Get(profiles(), path, u"c", u"C1"), u"quoted");
  EXPECT_EQ(ShowList(profiles().GetSection(path, u"A", 200).data), "k1=new|k2=v2|k3=appended|");
  EXPECT_EQ(ShowList(profiles().GetSectionNames(path, 200).data), "A|B|a|C|");
}

TEST_F(ProfileFilesContract, DeleteKeyAndDeleteSection) {
  const Text path = Put(AnsiBytes(kFile));
  ASSERT_EQ(profiles().WriteString(path, u"A", u"k2", std::nullopt), kErrorSuccess);
  EXPECT_EQ(Get(profiles(), path, u"A", u"k2"), u"(none)");
  EXPECT_EQ(Get(profiles(), path, u"A", u"k1"), u"v1");
  ASSERT_EQ(profiles().WriteString(path, u"B", std::nullopt, std::nullopt), kErrorSuccess);
  EXPECT_EQ(ShowList(profiles().GetSectionNames(path, 200).data), "A|a|");
  // Only the first of two sections of one name goes; the second then answers.
  ASSERT_EQ(profiles().WriteString(path, u"A", std::nullopt, std::nullopt), kErrorSuccess);
  EXPECT_EQ(ShowList(profiles().GetSectionNames(path, 200).data), "a|");
  EXPECT_EQ(Get(profiles(), path, u"A", u"k9"), u"duplicate");
  // Deleting what is not there succeeds and changes nothing.
  EXPECT_EQ(profiles().WriteString(path, u"A", u"none", std::nullopt), kErrorSuccess);
  EXPECT_EQ(profiles().WriteString(path, u"Z", std::nullopt, std::nullopt), kErrorSuccess);
  EXPECT_EQ(ShowList(profiles().GetSection(path, u"a", 200).data), "k9=duplicate|");
}

TEST_F(ProfileFilesContract, NewFileIsCreatedAndReadBack) {
  const Text path = NewPath();
  ASSERT_EQ(profiles().WriteString(path, u"settings", u"dimension.width", u"640"), kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(path, u"settings", u"dimension.height", u"480"), kErrorSuccess);
  EXPECT_EQ(profiles().GetInt(path, u"settings", u"dimension.width", 0), 640);
  EXPECT_EQ(profiles().GetInt(path, u"settings", u"dimension.height", 0), 480);
  // A new file is ANSI: no byte-order mark.
  const std::vector<uint8_t> bytes = Read(path);
  ASSERT_GE(bytes.size(), 1u);
  EXPECT_EQ(bytes[0], '[');
}

TEST_F(ProfileFilesContract, Utf16FileStaysUnicodeWhenWritten) {
  const Text path = Put(Utf16Bytes(u"[U]\r\nk=\u4E2D\r\n"));
  ASSERT_EQ(profiles().WriteString(path, u"U", u"n", u"\u6587\u00E9"), kErrorSuccess);
  EXPECT_EQ(Get(profiles(), path, u"U", u"k"), u"\u4E2D");
  EXPECT_EQ(Get(profiles(), path, u"U", u"n"), u"\u6587\u00E9");
  const std::vector<uint8_t> bytes = Read(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
}

TEST_F(ProfileFilesContract, AnsiFileWritesUnmappableCharactersAsQuestionMarks) {
  const Text path = Put(AnsiBytes("[A]\r\n"));
  ASSERT_EQ(profiles().WriteString(path, u"A", u"k", u"\u00E9\u4E2D"), kErrorSuccess);
  EXPECT_EQ(Get(profiles(), path, u"A", u"k"), u"\u00E9?");
}

TEST_F(ProfileFilesContract, StructValuesRoundTripWithTheirChecksum) {
  const Text path = Put(AnsiBytes("[users]\r\nuser.0=Anna\r\n"));
  const std::vector<uint8_t> bytes = {'a', 0, 'b', 0, 0xFF, 0x80, 0, 0};
  ASSERT_EQ(profiles().WriteStruct(path, u"users", u"password.0", bytes), kErrorSuccess);
  EXPECT_EQ(ToUtf8(Get(profiles(), path, u"users", u"password.0")), "61006200FF80000042");
  EXPECT_EQ(profiles().GetStruct(path, u"USERS", u"Password.0", 8), bytes);
  EXPECT_EQ(profiles().GetStruct(path, u"users", u"password.0", 7), std::nullopt);
  EXPECT_EQ(profiles().GetStruct(path, u"users", u"password.0", 9), std::nullopt);
  EXPECT_EQ(profiles().GetStruct(path, u"users", u"missing", 8), std::nullopt);
  // One digit of the checksum changed: the value is refused.
  ASSERT_EQ(profiles().WriteString(path, u"users", u"password.0", u"61006200FF80000043"),
            kErrorSuccess);
  EXPECT_EQ(profiles().GetStruct(path, u"users", u"password.0", 8), std::nullopt);
  // Lower-case digits are read as well.
  ASSERT_EQ(profiles().WriteString(path, u"users", u"password.0", u"61006200ff80000042"),
            kErrorSuccess);
  EXPECT_EQ(profiles().GetStruct(path, u"users", u"password.0", 8), bytes);
}

TEST_F(ProfileFilesContract, EmptyStructIsJustItsChecksum) {
  const Text path = NewPath();
  ASSERT_EQ(profiles().WriteStruct(path, u"s", u"k", {}), kErrorSuccess);
  EXPECT_EQ(ToUtf8(Get(profiles(), path, u"s", u"k")), "00");
  EXPECT_EQ(profiles().GetStruct(path, u"s", u"k", 0), std::vector<uint8_t>());
}

}  // namespace
}  // namespace tarn::contract
