// The profile (INI) file contract: what real configuration files hold, read
// and written through the backend's profile service.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/profile_files_fixture.h"

namespace tarn::contract {
namespace {

using platform::ProfileBuffer;

constexpr std::string_view kAnsiFile =
    "; configuration of the lab machines\r\n"
    "[Settings]\r\n"
    "  Computer  =  PC01  \r\n"
    "\tWorkgroup\t=\tWORK\t\r\n"
    "Owner=\"  Quoted Owner  \"\r\n"
    "Org='Single Quoted'\r\n"
    "Inner=\"say \"hi\" now\"\r\n"
    "Half=\"unbalanced\r\n"
    "Flag\r\n"
    "Empty=\r\n"
    "Computer=second\r\n"
    ";Note=commented out\r\n"
    "Path=C:\\Program Files\\App=1\r\n"
    "\r\n"
    "[ Caf\xE9 ]\r\n"
    "Name=\xC9t\xE9\r\n"
    "[settings]\r\n"
    "Computer=duplicate section\r\n"
    "Extra=only in the duplicate\r\n";

struct ReadCase {
  const char16_t* section;
  const char16_t* key;
  const char16_t* expected;
};

constexpr ReadCase kReads[] = {
    {u"Settings", u"Computer", u"PC01"},
    {u"SETTINGS", u"computer", u"PC01"},
    {u" Settings ", u" Computer ", u"PC01"},
    {u"Settings", u"Workgroup", u"WORK"},
    {u"Settings", u"Owner", u"  Quoted Owner  "},
    {u"Settings", u"Org", u"Single Quoted"},
    {u"Settings", u"Inner", u"say \"hi\" now"},
    {u"Settings", u"Half", u"\"unbalanced"},
    {u"Settings", u"Flag", u"(default)"},
    {u"Settings", u"Empty", u""},
    {u"Settings", u"Path", u"C:\\Program Files\\App=1"},
    {u"Settings", u"Extra", u"(default)"},
    {u"Caf\u00E9", u"NAME", u"\u00C9t\u00E9"},
    {u"Missing", u"Computer", u"(default)"},
};

void ExpectReads(platform::ProfileFiles& profiles, TextView path) {
  for (const ReadCase& c : kReads) {
    const ProfileBuffer got = profiles.GetString(path, c.section, c.key, u"(default)  ", 300);
    EXPECT_EQ(ToUtf8(got.data), ToUtf8(c.expected))
        << "[" << ToUtf8(c.section) << "] " << ToUtf8(c.key);
    EXPECT_EQ(got.returned, got.data.size()) << ToUtf8(c.key);
  }
}

TEST_F(ProfileFilesContract, AnsiFileReadsAsTheProfileFunctionsReadIt) {
  ExpectReads(profiles(), Put(AnsiBytes(kAnsiFile)));
}

TEST_F(ProfileFilesContract, Utf16FileReadsTheSameAndHoldsAnyCharacter) {
  // The same lines, each byte as the character of that code (Latin-1 is
  // Windows-1252 for every character the ANSI file uses).
  Text text(kAnsiFile.begin(), kAnsiFile.end());
  for (char16_t& c : text) c = static_cast<uint8_t>(c);
  text += u"[\u4E2D\u6587]\r\n\u952E = \u503C \U0001F600\r\n";
  const Text path = Put(Utf16Bytes(text));
  ExpectReads(profiles(), path);
  EXPECT_EQ(profiles().GetString(path, u"\u4E2D\u6587", u"\u952E", u"", 50).data,
            u"\u503C \U0001F600");
}

TEST_F(ProfileFilesContract, SectionListsKeysWithoutEqualsAndLeavesCommentsOut) {
  const Text path = Put(AnsiBytes(kAnsiFile));
  const ProfileBuffer got = profiles().GetSection(path, u"settings", 1000);
  EXPECT_EQ(ShowList(got.data),
            "Computer=PC01|Workgroup=WORK|Owner=\"  Quoted Owner  \"|Org='Single Quoted'|"
            "Inner=\"say \"hi\" now\"|Half=\"unbalanced|Flag|Empty=|Computer=second|"
            "Path=C:\\Program Files\\App=1|");
  EXPECT_EQ(got.returned, got.data.size());
  EXPECT_EQ(ShowList(profiles().GetSectionNames(path, 1000).data),
            "Settings|Caf\xC3\xA9|settings|");
}

TEST_F(ProfileFilesContract, NonAsciiNamesCompareIgnoringCase) {
  if (UnderWine())
    GTEST_SKIP() << "Wine compares section and key names ignoring case for ASCII only";
  const Text path = Put(AnsiBytes(kAnsiFile));
  EXPECT_EQ(profiles().GetString(path, u"CAF\u00C9", u"name", u"none", 50).data, u"\u00C9t\u00E9");
}

TEST_F(ProfileFilesContract, SectionNameEndsAtTheFirstClosingBracket) {
  if (UnderWine()) {
    GTEST_SKIP() << "Wine ends a section name at the last \"]\", ignores a header without "
                    "\"]\" and cannot reach a section with an empty name";
  }
  const Text path = Put(AnsiBytes("[a]b]\r\nk=1\r\n[Open\r\nk=2\r\n[]\r\nk=3\r\n"));
  EXPECT_EQ(profiles().GetString(path, u"a", u"k", u"none", 50).data, u"1");
  EXPECT_EQ(profiles().GetString(path, u"Open", u"k", u"none", 50).data, u"2");
  EXPECT_EQ(profiles().GetString(path, u"", u"k", u"none", 50).data, u"3");
  EXPECT_EQ(ShowList(profiles().GetSectionNames(path, 50).data), "a|Open|");
}

TEST_F(ProfileFilesContract, Utf8FileWithByteOrderMarkIsRead) {
  if (backend_->Name() == "win32" && !UnderWine()) {
    GTEST_SKIP() << "Windows reads a UTF-8 byte-order mark as ANSI text";
  }
  const Text path = Put(AnsiBytes("\xEF\xBB\xBF[U8]\r\nk = \xC3\xA9t\xC3\xA9\r\n"));
  EXPECT_EQ(profiles().GetString(path, u"u8", u"K", u"none", 50).data, u"\u00E9t\u00E9");
  ASSERT_EQ(profiles().WriteString(path, u"U8", u"n", u"\u4E2D"), kErrorSuccess);
  EXPECT_EQ(profiles().GetString(path, u"U8", u"n", u"none", 50).data, u"\u4E2D");
  const std::vector<uint8_t> bytes = Read(path);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(bytes[0], 0xEF);
}

TEST_F(ProfileFilesContract, CommentKeyIsNeverFound) {
  if (UnderWine()) GTEST_SKIP() << "Wine returns the value of a key that starts with \";\"";
  const Text path = Put(AnsiBytes(kAnsiFile));
  EXPECT_EQ(profiles().GetString(path, u"Settings", u";Note", u"none", 50).data, u"none");
}

struct CutCase {
  const char16_t* key;
  uint32_t capacity;
  const char16_t* expected;
};

TEST_F(ProfileFilesContract, StringsAreCutAtTheCallersBuffer) {
  const Text path = Put(AnsiBytes("[s]\r\nplain=value1\r\nquoted=\"quoted text\"\r\n"));
  const CutCase cases[] = {{u"plain", 1, u""},        {u"plain", 2, u"v"},
                           {u"plain", 6, u"value"},   {u"plain", 7, u"value1"},
                           {u"quoted", 7, u"quoted"}, {u"quoted", 100, u"quoted text"},
                           {u"missing", 4, u"def"}};
  for (const CutCase& c : cases) {
    const ProfileBuffer got = profiles().GetString(path, u"s", c.key, u"default", c.capacity);
    EXPECT_EQ(ToUtf8(got.data), ToUtf8(c.expected)) << ToUtf8(c.key) << " in " << c.capacity;
    EXPECT_EQ(got.returned, got.data.size()) << ToUtf8(c.key) << " in " << c.capacity;
  }
}

TEST_F(ProfileFilesContract, QuotedValueThatJustFitsIsWhole) {
  if (UnderWine())
    GTEST_SKIP() << "Wine drops the last character when the unquoted value fills "
                    "the buffer exactly";
  const Text path = Put(AnsiBytes("[s]\r\nquoted=\"quoted\"\r\n"));
  const ProfileBuffer got = profiles().GetString(path, u"s", u"quoted", u"", 7);
  EXPECT_EQ(ToUtf8(got.data), "quoted");
  EXPECT_EQ(got.returned, 6u);
}

TEST_F(ProfileFilesContract, VeryLongLinesAreCutAtTheBuffer) {
  const std::string longValue(60000, 'v');
  const std::string longKey(5000, 'K');
  const Text path =
      Put(AnsiBytes("[s]\r\nlong=" + longValue + "\r\n" + longKey + "=k\r\nafter=1\r\n"));
  const ProfileBuffer got = profiles().GetString(path, u"s", u"long", u"", 4096);
  EXPECT_EQ(got.returned, 4095u);
  EXPECT_EQ(got.data, Text(4095, u'v'));
  EXPECT_EQ(profiles().GetString(path, u"s", FromUtf8(longKey), u"", 10).data, u"k");
  EXPECT_EQ(profiles().GetInt(path, u"s", u"after", 0), 1);
}

TEST_F(ProfileFilesContract, IntegersTakeTheLeadingNumber) {
  const Text path = Put(AnsiBytes(
      "[n]\r\na=12\r\nb= 12abc\r\nc=-5\r\nd=+3\r\ne=\r\nf=abc\r\ng=4294967297\r\nh=42A9\r\n"
      "i=0x10\r\nj=\"7\"\r\nk\r\n"));
  const std::pair<const char16_t*, int32_t> cases[] = {
      {u"a", 12}, {u"b", 12}, {u"c", -5}, {u"d", 3}, {u"e", 77}, {u"f", 0},
      {u"g", 1},  {u"h", 42}, {u"i", 16}, {u"j", 7}, {u"k", 77}, {u"missing", 77}};
  for (const auto& [key, expected] : cases) {
    EXPECT_EQ(profiles().GetInt(path, u"N", key, 77), expected) << ToUtf8(key);
  }
}

// Reads a list the way the catalogue and the environment sections are read:
// start small and double while the function reports a full buffer.
template <class Read>
ProfileBuffer ReadWholeList(Read read) {
  uint32_t capacity = 16;
  ProfileBuffer got = read(capacity);
  while (got.returned == capacity - 2) {
    capacity *= 2;
    got = read(capacity);
  }
  return got;
}

TEST_F(ProfileFilesContract, BufferDoublingReadsWholeSectionsAndSectionNames) {
  std::string file;
  Text names;
  Text lines;
  for (int i = 0; i < 200; ++i) {
    const std::string name = "Package " + std::to_string(i);
    file += "[" + name + "]\r\ndescription=Package number " + std::to_string(i) + "\r\n";
    names += FromUtf8(name) + u'\0';
  }
  file += "[environment]\r\n";
  for (int i = 0; i < 300; ++i) {
    const std::string line = "VAR" + std::to_string(i) + "=C:\\Folder\\" + std::to_string(i);
    file += line + "\r\n";
    lines += FromUtf8(line) + u'\0';
  }
  names += u"environment";
  names += u'\0';
  const Text path = Put(AnsiBytes(file));
  const ProfileBuffer allNames =
      ReadWholeList([&](uint32_t capacity) { return profiles().GetSectionNames(path, capacity); });
  EXPECT_EQ(ShowList(allNames.data), ShowList(names));
  EXPECT_EQ(allNames.returned, names.size());
  const ProfileBuffer section = ReadWholeList(
      [&](uint32_t capacity) { return profiles().GetSection(path, u"Environment", capacity); });
  EXPECT_EQ(ShowList(section.data), ShowList(lines));
  EXPECT_EQ(section.returned, lines.size());
}

struct ListCutCase {
  uint32_t capacity;
  const char* expected;
  uint32_t returned;
};

TEST_F(ProfileFilesContract, ListsCutByTheBufferEndWithTheirZeroAndReturnCapacityLessTwo) {
  const Text path =
      Put(AnsiBytes("[section1]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n"
                    "[section2]\r\n[section3]\r\n=val5\r\n"));
  const ListCutCase sections[] = {{100, "name1=val1|name2=|name3|name4=val4|", 35},
                                  {36, "name1=val1|name2=|name3|name4=val4|", 34},
                                  {24, "name1=val1|name2=|name|", 22},
                                  {13, "name1=val1|", 11},
                                  {3, "n|", 1},
                                  {2, "", 0}};
  for (const ListCutCase& c : sections) {
    const ProfileBuffer got = profiles().GetSection(path, u"section1", c.capacity);
    EXPECT_EQ(ShowList(got.data), c.expected) << "section in " << c.capacity;
    EXPECT_EQ(got.returned, c.returned) << "section in " << c.capacity;
  }
  const ListCutCase names[] = {{29, "section1|section2|section3|", 27},
                               {28, "section1|section2|section3|", 26},
                               {27, "section1|section2|section|", 25},
                               {12, "section1|s|", 10},
                               {2, "", 0}};
  for (const ListCutCase& c : names) {
    const ProfileBuffer got = profiles().GetSectionNames(path, c.capacity);
    EXPECT_EQ(ShowList(got.data), c.expected) << "names in " << c.capacity;
    EXPECT_EQ(got.returned, c.returned) << "names in " << c.capacity;
  }
  EXPECT_EQ(ShowList(profiles().GetSection(path, u"section3", 50).data), "=val5|");
  EXPECT_EQ(profiles().GetSection(path, u"section2", 50).returned, 0u);
  EXPECT_EQ(profiles().GetSection(path, u"missing", 50).returned, 0u);
}

TEST_F(ProfileFilesContract, MissingFileGivesDefaultsAndEmptyLists) {
  const Text path = NewPath();
  EXPECT_EQ(profiles().GetString(path, u"s", u"k", u"dflt", 10).data, u"dflt");
  EXPECT_EQ(profiles().GetInt(path, u"s", u"k", -3), -3);
  EXPECT_EQ(profiles().GetSection(path, u"s", 10).returned, 0u);
  EXPECT_EQ(profiles().GetSectionNames(path, 10).returned, 0u);
  EXPECT_EQ(profiles().GetStruct(path, u"s", u"k", 2), std::nullopt);
}

}  // namespace
}  // namespace tarn::contract
