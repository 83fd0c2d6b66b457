// Checks the shipped translation file: both languages complete and in step,
// formats that match what the callers pass, and limits the program relies on.
// The file is parsed here with a few lines of its own, independent of the
// program's reader, so that a fault in one does not hide a fault in the other.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/translator.h"
#include "base/text.h"

#ifndef TARN_SOURCE_DIR
#error "TARN_SOURCE_DIR must name the repository root"
#endif

namespace tarn {
namespace {

using Section = std::map<uint32_t, Text>;

// Longest value the profile functions hand over with the reader's buffer of
// 8192 characters, terminator included.
constexpr size_t kMaxValueLength = 8191;
// The help buffer holds 9216 characters with its terminator.
constexpr size_t kMaxHelpLength = 9215;

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string RepoPath(const char* relative) {
  return std::string(TARN_SOURCE_DIR) + "/" + relative;
}

// UTF-16 LE without its byte-order mark; empty when the mark is missing.
Text DecodeUtf16Le(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xFE) {
    return {};
  }
  Text text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<char16_t>(low | (high << 8)));
  }
  return text;
}

TextView Trim(TextView text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == u'\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// What the profile-file reading sees, plus the mistakes it would hide.
struct ParsedFile {
  std::map<std::string, Section> sections;
  std::vector<std::string> problems;
};

std::optional<uint32_t> KeyNumber(TextView key) {
  if (key.empty() || key.size() > 5 || (key.size() > 1 && key[0] == u'0')) return std::nullopt;
  uint32_t number = 0;
  for (char16_t c : key) {
    if (c < u'0' || c > u'9') return std::nullopt;
    number = number * 10 + static_cast<uint32_t>(c - u'0');
  }
  return number;
}

// Lines are "[section]", "; comment", blank, or "number=value"; keys are
// looked up by their decimal form, so anything else could never be found.
ParsedFile ParseLines(TextView text) {
  ParsedFile parsed;
  Section* current = nullptr;
  std::string currentName;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == TextView::npos) end = text.size();
    const TextView line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == u';') continue;
    if (line.front() == u'[' && line.back() == u']') {
      currentName = ToUtf8(line.substr(1, line.size() - 2));
      current = &parsed.sections[currentName];
      continue;
    }
    const size_t equals = line.find(u'=');
    const auto number =
        equals == TextView::npos ? std::nullopt : KeyNumber(Trim(line.substr(0, equals)));
    if (current == nullptr || !number) {
      parsed.problems.push_back("unreadable line: " + ToUtf8(line));
      continue;
    }
    if (!current->emplace(*number, Text(Trim(line.substr(equals + 1)))).second) {
      parsed.problems.push_back(currentName + " repeats key " + std::to_string(*number));
    }
  }
  return parsed;
}

bool IsConversionLetter(char16_t c) {
  return Text(u"diuxXocsS").find(c) != Text::npos;
}

// The conversion letters of a printf-style format, as the program's formatter
// reads them: flags, width, precision and size prefix before the letter.
std::string Conversions(TextView format) {
  std::string letters;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != u'%') continue;
    size_t j = i + 1;
    if (j < format.size() && format[j] == u'%') {
      i = j;
      continue;
    }
    while (j < format.size() && Text(u"-+ 0#").find(format[j]) != Text::npos) ++j;
    while (j < format.size() && format[j] >= u'0' && format[j] <= u'9') ++j;
    if (j < format.size() && format[j] == u'.') {
      ++j;
      while (j < format.size() && format[j] >= u'0' && format[j] <= u'9') ++j;
    }
    for (TextView size : {TextView(u"I64"), TextView(u"ll"), TextView(u"h"), TextView(u"l")}) {
      if (format.substr(j, size.size()) == size) {
        j += size.size();
        break;
      }
    }
    if (j < format.size() && IsConversionLetter(format[j])) {
      letters.push_back(static_cast<char>(format[j]));
      i = j;
    }
  }
  return letters;
}

// Sources are UTF-8 files of "number=value" lines, one per language, without
// a section header: they are parsed as the body of one.
Section ReadSource(const char* language) {
  const std::string bytes = ReadBytes(RepoPath("resources/languages/") + language + ".txt");
  ParsedFile body = ParseLines(u"[source]\n" + FromUtf8(bytes));
  return body.sections["source"];
}

class LanguagesFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    raw_ = new std::string(ReadBytes(RepoPath("languages.ini")));
    parsed_ = new ParsedFile(ParseLines(DecodeUtf16Le(*raw_)));
  }
  static void TearDownTestSuite() {
    delete parsed_;
    delete raw_;
  }
  static const Section& Language(const char* name) { return parsed_->sections[name]; }

  static std::string* raw_;
  static ParsedFile* parsed_;
};

std::string* LanguagesFileTest::raw_ = nullptr;
ParsedFile* LanguagesFileTest::parsed_ = nullptr;

const char* const kLanguages[] = {"en", "de"};

std::vector<uint32_t> Range(uint32_t first, uint32_t last) {
  std::vector<uint32_t> numbers;
  for (uint32_t n = first; n <= last; ++n) numbers.push_back(n);
  return numbers;
}

std::vector<uint32_t> RequiredNumbers() {
  std::vector<uint32_t> numbers = {
      // Shared buttons, dialog captions and wizard page titles.
      1, 2, 5, 12, 13, 14, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 129, 130, 131, 206,
      // Messages, headers, balloons, tips, columns and captions by number.
      132, 133, 134, 135, 137, 140, 141, 143, 144, 147, 148, 149, 150, 151, 152, 153, 154, 155, 157,
      158, 160, 161, 162, 163, 164, 166, 167, 168, 169, 170, 171, 172, 173, 176, 177, 178, 180, 181,
      182, 183, 184, 185, 186, 188, 189, 192, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202, 203,
      204, 205,
      // Dialog controls that show a text of their own.
      1005, 1010, 1019, 1022, 1023, 1027, 1028, 1038, 1041, 1042, 1046, 1050, 1052, 1053, 1055,
      1057, 1082, 1083, 1084, 1085, 1090, 1091, 1092, 1094, 1095, 1096, 1097, 1098, 1099, 1101,
      1102, 1103, 1104, 1105, 1106, 1111, 1112, 1123, 1127, 1128, 1129, 1149, 1151, 1152, 1154,
      // Menu items of the load menu and the account list's shortcut menu.
      3300, 3301, 32779, 32780, 32781, 32787};
  for (const auto& range : {Range(300, 336), Range(3000, 3021), Range(3100, 3121),
                            Range(3200, 3221), Range(1200, 1216)}) {
    numbers.insert(numbers.end(), range.begin(), range.end());
  }
  return numbers;
}

// Conversions the callers pass, in order; every other text is used as it is
// and must hold none.
const std::map<uint32_t, std::string>& ExpectedConversions() {
  static const std::map<uint32_t, std::string> expected = {
      {140, "sd"}, {141, "ds"}, {144, "s"}, {160, "s"}, {167, "c"}, {172, "s"}, {185, "d"},
      {188, "s"},  {189, "s"},  {192, "d"}, {193, "c"}, {194, "c"}, {195, "s"}, {198, "s"}};
  return expected;
}

TEST_F(LanguagesFileTest, IsUtf16WithByteOrderMarkAndCrLfLines) {
  ASSERT_GT(raw_->size(), 2u) << "languages.ini missing or empty at " << RepoPath("languages.ini");
  const Text text = DecodeUtf16Le(*raw_);
  ASSERT_FALSE(text.empty()) << "no UTF-16 LE byte-order mark";
  size_t lineFeeds = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\n') continue;
    ++lineFeeds;
    EXPECT_TRUE(i > 0 && text[i - 1] == u'\r') << "line feed without carriage return at " << i;
  }
  EXPECT_GT(lineFeeds, 500u);
  EXPECT_TRUE(parsed_->problems.empty()) << parsed_->problems.front();
}

TEST_F(LanguagesFileTest, HasExactlyTheEnglishAndGermanSections) {
  std::set<std::string> names;
  for (const auto& [name, section] : parsed_->sections) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"en", "de"}));
}

TEST_F(LanguagesFileTest, BothLanguagesHaveTheSameNumbers) {
  const Section& english = Language("en");
  const Section& german = Language("de");
  for (const auto& [number, text] : english) {
    EXPECT_TRUE(german.count(number)) << number << " is only in en: " << ToUtf8(text);
  }
  for (const auto& [number, text] : german) {
    EXPECT_TRUE(english.count(number)) << number << " is only in de: " << ToUtf8(text);
  }
}

TEST_F(LanguagesFileTest, EveryRequiredNumberHasTextInBothLanguages) {
  for (const char* language : kLanguages) {
    const Section& section = Language(language);
    for (uint32_t number : RequiredNumbers()) {
      const auto found = section.find(number);
      EXPECT_TRUE(found != section.end() && !found->second.empty())
          << language << " lacks text " << number;
    }
  }
}

TEST_F(LanguagesFileTest, FormatsHoldExactlyTheConversionsTheCallersPass) {
  for (const char* language : kLanguages) {
    for (const auto& [number, text] : Language(language)) {
      const auto expected = ExpectedConversions().find(number);
      const std::string wanted = expected == ExpectedConversions().end() ? "" : expected->second;
      EXPECT_EQ(Conversions(text), wanted) << language << " " << number << ": " << ToUtf8(text);
    }
  }
}

TEST_F(LanguagesFileTest, TranslationsKeepTheEnglishConversionsInOrder) {
  const Section& german = Language("de");
  for (const auto& [number, text] : Language("en")) {
    const auto other = german.find(number);
    if (other == german.end()) continue;  // reported by BothLanguagesHaveTheSameNumbers
    EXPECT_EQ(Conversions(other->second), Conversions(text)) << number;
  }
}

TEST_F(LanguagesFileTest, HelpTextFitsItsBuffer) {
  for (const char* language : kLanguages) {
    Text help;
    for (uint32_t number = 300; number <= 336; ++number) {
      const auto found = Language(language).find(number);
      if (found != Language(language).end()) help += app::ApplyEscapes(found->second);
    }
    EXPECT_LE(help.size(), kMaxHelpLength) << language;
    // Every option of the command line is explained.
    for (const char16_t* option : {u"/language=",
                                   u"/?",
                                   u"/hasgaps",
                                   u"/DisableLoadMenu=",
                                   u"/skiprestart",
                                   u"/autoexit=",
                                   u"/autoinstall=",
                                   u"/admin=",
                                   u"/adminpwd=",
                                   u"/user=",
                                   u"/userpwd=",
                                   u"/computer=",
                                   u"/workgroup=",
                                   u"/owner=",
                                   u"/org=",
                                   u"/skipsettings",
                                   u"/usecurrent",
                                   u"/log=",
                                   u"/autologon",
                                   u"/restartwait=",
                                   u"/ini=",
                                   u"/users=",
                                   u"/skipsoftware",
                                   u"/nocancel",
                                   u"/NoRestartChange",
                                   u"/verbose\n",
                                   u"/verbose=",
                                   u"/EncryptIni",
                                   u"/DecryptIni",
                                   u"/DownGrade=",
                                   u"/beep=",
                                   u"/Group=",
                                   u"/noabort",
                                   u"/topmost"}) {
      EXPECT_NE(help.find(option), Text::npos) << language << " help lacks " << ToUtf8(option);
    }
  }
}

TEST_F(LanguagesFileTest, ValuesSurviveTheProfileReader) {
  for (const char* language : kLanguages) {
    for (const auto& [number, text] : Language(language)) {
      EXPECT_LE(text.size(), kMaxValueLength) << language << " " << number;
      // The reader drops one pair of enclosing quotes.
      EXPECT_FALSE(text.size() >= 2 && text.front() == u'"' && text.back() == u'"')
          << language << " " << number;
      // An escape typed by mistake, such as \t inside a path, would end up
      // as a control character; only line breaks are meant.
      for (char16_t c : app::ApplyEscapes(text)) {
        EXPECT_FALSE(c < 0x20 && c != u'\n') << language << " " << number << ": " << ToUtf8(text);
      }
    }
  }
}

TEST_F(LanguagesFileTest, DefaultShellFoldersUseTheSystemPlaceholderInItsExactCase) {
  // The changed-folders check swaps "%USERPROFILE%" for the account's own
  // placeholder case-sensitively.
  for (const char* language : kLanguages) {
    for (uint32_t number = 3200; number <= 3221; ++number) {
      const Text path = app::ApplyEscapes(Language(language).at(number));
      const bool inProfile = path.rfind(u"%USERPROFILE%\\", 0) == 0;
      const bool inWindows = path.rfind(u"%windir%\\", 0) == 0;
      EXPECT_TRUE(inProfile || inWindows) << language << " " << number << ": " << ToUtf8(path);
    }
  }
}

TEST_F(LanguagesFileTest, EditFieldsAndControlsWithoutOwnTextHaveNoEntry) {
  // Translating a dialog sets the text of every control whose identifier has
  // an entry; for an edit field that would overwrite the user's data and run
  // its change handling. 65535 is every control whose identifier is -1.
  for (uint32_t number : {1001u, 1002u, 1009u, 1030u, 1032u, 1033u, 1034u, 1035u, 1036u, 1037u,
                          1044u, 1045u, 1054u, 1063u, 1073u, 1075u, 1076u, 1087u, 1089u, 1130u,
                          1131u, 1135u, 1142u, 1144u, 1153u, 1155u, 1157u, 65535u}) {
    for (const char* language : kLanguages) {
      EXPECT_EQ(Language(language).count(number), 0u) << language << " " << number;
    }
  }
}

TEST_F(LanguagesFileTest, MatchesItsUtf8Sources) {
  for (const char* language : kLanguages) {
    const Section source = ReadSource(language);
    ASSERT_FALSE(source.empty()) << language;
    EXPECT_TRUE(source == Language(language))
        << language << ": languages.ini is out of date, run scripts/make-languages.sh";
  }
}

}  // namespace
}  // namespace tarn
