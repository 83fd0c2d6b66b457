// Checks the shipped translation file: every language complete and in step
// with English, formats that match what the callers pass, limits the program
// relies on, and each language reachable by the program's own choice.
// The file is parsed here with a few lines of its own, independent of the
// program's reader, so that a fault in one does not hide a fault in the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/outcome_keys.h"
#include "app/translator.h"
#include "base/text.h"
#include "resource.h"
#include "support/startup_machine.h"

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
Section ReadSource(const std::string& language) {
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
  static const Section& Language(const std::string& name) { return parsed_->sections[name]; }

  static std::string* raw_;
  static ParsedFile* parsed_;
};

std::string* LanguagesFileTest::raw_ = nullptr;
ParsedFile* LanguagesFileTest::parsed_ = nullptr;

// The languages are the sources in resources/languages, each file named
// after its section; English is the reference the others follow.
std::vector<std::string> ReadSourceLanguages() {
  std::vector<std::string> names;
  const std::filesystem::path folder = RepoPath("resources/languages");
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<std::string>& SourceLanguages() {
  static const std::vector<std::string> names = ReadSourceLanguages();
  return names;
}

// What a name of resource.h asks of languages.ini.
enum class Need {
  kText,     // the program looks the number up: every language must have it
  kNoText,   // translating a dialog would overwrite the control: no language may have it
  kNotAText  // another kind of resource, never looked up as a text
};

// Names whose kind alone would say otherwise, each with its reason.
struct Exception {
  const char* prefix;
  Need need;
  const char* reason;
};
constexpr Exception kExceptions[] = {
    {"IDC_STATIC", Need::kNoText, "statics without a number keep their template text"},
    {"IDC_SHEET_BUTTON_LINE", Need::kNotAText, "the sheet's etched line: no text"},
    {"IDC_SHEET_HEADER_LINE", Need::kNotAText, "the sheet's etched line: no text"},
    {"IDM_ABOUT", Need::kNotAText, "the system menu's entry takes its text from IDS_ABOUT_MENU"},
    {"IDM_CONFIG_FILE_BASE", Need::kNotAText, "menu items made at run time, named after files"},
};

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The naming convention of resource.h; nullopt for a name it does not cover.
std::optional<Need> NeedOf(const std::string& name) {
  for (const Exception& exception : kExceptions) {
    if (StartsWith(name, exception.prefix)) return exception.need;
  }
  for (const char* prefix : {"IDS_", "IDD_", "IDM_"}) {
    if (StartsWith(name, prefix)) return Need::kText;
  }
  for (const char* prefix : {"IDB_", "IDI_", "IDR_", "IDT_"}) {
    if (StartsWith(name, prefix)) return Need::kNotAText;
  }
  if (!StartsWith(name, "IDC_")) return std::nullopt;
  for (const char* suffix : {"_BUTTON", "_CHECK", "_RADIO", "_LABEL"}) {
    if (EndsWith(name, suffix)) return Need::kText;
  }
  for (const char* suffix :
       {"_EDIT", "_LIST", "_COMBO", "_PROGRESS", "_RICHEDIT", "_LINK", "_ICON", "_OUTPUT"}) {
    if (EndsWith(name, suffix)) return Need::kNoText;
  }
  return std::nullopt;
}

// One "#define NAME VALUE" of resource.h. The translator sees control
// numbers as 16 bits, so -1 is looked up as 65535.
struct ResourceName {
  std::string name;
  uint32_t number = 0;
  std::string aliasOf;  // the name VALUE repeats, if it is one
};

struct ResourceHeader {
  std::vector<ResourceName> names;
  std::vector<std::string> problems;
};

// Read with a few lines of its own rather than compiled in, so that a name
// added to the header is checked without touching this test.
ResourceHeader ReadResourceHeader() {
  ResourceHeader header;
  std::map<std::string, uint32_t> known;
  std::istringstream lines(ReadBytes(RepoPath("resources/resource.h")));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string directive, name, value;
    words >> directive >> name >> value;
    if (directive != "#define" || value.empty()) continue;  // the include guard
    if (value.size() > 2 && value.front() == '(' && value.back() == ')') {
      value = value.substr(1, value.size() - 2);
    }
    ResourceName entry{name, 0, ""};
    if (value[0] == '-' || (value[0] >= '0' && value[0] <= '9')) {
      entry.number = static_cast<uint32_t>(std::stol(value)) & 0xFFFFu;
    } else if (known.count(value)) {
      entry.number = known[value];
      entry.aliasOf = value;
    } else {
      header.problems.push_back(name + " repeats an unknown name " + value);
      continue;
    }
    known[name] = entry.number;
    header.names.push_back(entry);
  }
  return header;
}

const ResourceHeader& Header() {
  static const ResourceHeader header = ReadResourceHeader();
  return header;
}

// Every number of the translator's number space with what it needs, ranges
// (NAME_FIRST to NAME_LAST) spelled out, and the names that gave it.
std::map<uint32_t, std::map<std::string, Need>> NumbersByNeed() {
  std::map<std::string, uint32_t> byName;
  for (const ResourceName& entry : Header().names) byName[entry.name] = entry.number;
  std::map<uint32_t, std::map<std::string, Need>> numbers;
  for (const ResourceName& entry : Header().names) {
    const std::optional<Need> need = NeedOf(entry.name);
    if (!need || *need == Need::kNotAText || EndsWith(entry.name, "_LAST")) continue;
    uint32_t last = entry.number;
    if (EndsWith(entry.name, "_FIRST")) {
      const std::string lastName = entry.name.substr(0, entry.name.size() - 6) + "_LAST";
      if (byName.count(lastName)) last = byName[lastName];
    }
    for (uint32_t number = entry.number; number <= last; ++number) {
      numbers[number][entry.name] = *need;
    }
  }
  return numbers;
}

// Conversions the callers pass, in order; every other text is used as it is
// and must hold none.
const std::map<uint32_t, std::string>& ExpectedConversions() {
  static const std::map<uint32_t, std::string> expected = {{IDS_RUN_FAILED, "sd"},
                                                           {IDS_RUN_NOT_STARTED, "ds"},
                                                           {IDS_LOGGED_ON_AS, "s"},
                                                           {IDS_RUN_SUCCEEDED, "s"},
                                                           {IDS_MISSING_VOLUME_PROMPT, "c"},
                                                           {IDS_ACCOUNT_CAPTION, "s"},
                                                           {IDS_OSD_TEXT, "d"},
                                                           {IDS_DISABLE_OWN_ACCOUNT, "s"},
                                                           {IDS_DELETE_OWN_ACCOUNT, "s"},
                                                           {IDS_DRIVE_COUNTDOWN, "d"},
                                                           {IDS_FORMAT_PROMPT, "c"},
                                                           {IDS_FORMAT_FAILED, "c"},
                                                           {IDS_FORMAT_FOREIGN_PROMPT, "cs"},
                                                           {IDS_FORMAT_BITLOCKER_PROMPT, "c"},
                                                           {IDS_FORMAT_CONFIRM, "css"},
                                                           {IDS_UNFORMATTED_TEXT, "s"},
                                                           {IDS_ADMIN_RIGHTS_TIP, "s"},
                                                           {IDS_LOAD_UNREADABLE, "s"},
                                                           {IDS_LOAD_NO_SOFTWARE, "s"},
                                                           {IDS_DUPLICATE_ACCOUNT_TEXT, "s"},
                                                           {IDS_LOAD_ACCOUNTS_UNREADABLE, "s"},
                                                           {IDS_USE_EXISTING_ACCOUNT, "s"}};
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

TEST_F(LanguagesFileTest, HasExactlyOneSectionPerSourceFile) {
  std::set<std::string> names;
  for (const auto& [name, section] : parsed_->sections) names.insert(name);
  EXPECT_EQ(names, std::set<std::string>(SourceLanguages().begin(), SourceLanguages().end()));
  EXPECT_TRUE(names.count("en")) << "English is the reference and the fallback";
}

TEST_F(LanguagesFileTest, EveryLanguageHasTheEnglishNumbers) {
  const Section& english = Language("en");
  for (const std::string& language : SourceLanguages()) {
    const Section& other = Language(language);
    for (const auto& [number, text] : english) {
      const auto found = other.find(number);
      EXPECT_TRUE(found != other.end() && !found->second.empty())
          << language << " lacks " << number << ": " << ToUtf8(text);
    }
    for (const auto& [number, text] : other) {
      EXPECT_TRUE(english.count(number)) << number << " is only in " << language;
    }
  }
}

TEST(LanguageSourcesTest, FollowTheEnglishLineByLine) {
  // Translators and reviewers compare the files side by side: every source
  // has English's comments, blank lines and numbers on the same lines.
  const auto layout = [](const std::string& language) {
    std::istringstream lines(ReadBytes(RepoPath("resources/languages/") + language + ".txt"));
    std::vector<std::string> shape;
    std::string line;
    while (std::getline(lines, line)) {
      const size_t equals = line.find('=');
      const bool comment = line.empty() || line[0] == ';';
      shape.push_back(comment || equals == std::string::npos ? line : line.substr(0, equals));
    }
    return shape;
  };
  const std::vector<std::string> english = layout("en");
  ASSERT_GT(english.size(), 300u);
  for (const std::string& language : SourceLanguages()) {
    const std::vector<std::string> other = layout(language);
    // Only the first difference: the lines after a missing one all differ.
    const auto differs = std::mismatch(english.begin(), english.end(), other.begin(), other.end());
    if (differs.first == english.end() && differs.second == other.end()) continue;
    ADD_FAILURE() << language << ".txt line " << (differs.first - english.begin()) + 1
                  << " differs from en.txt";
  }
}

TEST(ResourceHeaderTest, EveryNameSaysWhetherItNeedsAText) {
  EXPECT_TRUE(Header().problems.empty()) << Header().problems.front();
  EXPECT_GT(Header().names.size(), 200u) << "resources/resource.h missing or short";
  std::set<std::string> names;
  for (const ResourceName& entry : Header().names) {
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " is defined twice";
    EXPECT_TRUE(NeedOf(entry.name).has_value())
        << entry.name << " follows none of the naming rules of resource.h";
    if (EndsWith(entry.name, "_FIRST")) {
      const std::string last = entry.name.substr(0, entry.name.size() - 6) + "_LAST";
      const bool closed = std::any_of(Header().names.begin(), Header().names.end(),
                                      [&](const ResourceName& e) { return e.name == last; });
      EXPECT_TRUE(closed) << entry.name << " has no " << last;
    }
  }
}

TEST(ResourceHeaderTest, NumbersSharedByTwoNamesAreIntended) {
  // A number of the translator's space names one text for every dialog,
  // control and menu command that carries it; two names on one number are
  // meant only where both say the same or where neither shows a text.
  const std::map<uint32_t, const char*> shared = {
      {1034, "the system menu's About command and a field of the account page"},
      {1045, "the home folder field and the variable name field, both edits"},
  };
  std::map<uint32_t, std::set<std::string>> owners;
  for (const ResourceName& entry : Header().names) {
    const std::optional<Need> need = NeedOf(entry.name);
    if (!need || StartsWith(entry.name, "IDB_") || StartsWith(entry.name, "IDI_") ||
        StartsWith(entry.name, "IDR_") || StartsWith(entry.name, "IDT_")) {
      continue;
    }
    owners[entry.number].insert(entry.aliasOf.empty() ? entry.name : entry.aliasOf);
  }
  for (const auto& [number, names] : owners) {
    if (names.size() < 2 || shared.count(number)) continue;
    std::string list;
    for (const std::string& name : names) list += " " + name;
    ADD_FAILURE() << number << " has two meanings:" << list;
  }
}

TEST_F(LanguagesFileTest, EveryNumberTheProgramLooksUpHasTextInEveryLanguage) {
  for (const auto& [number, names] : NumbersByNeed()) {
    const bool needed = std::any_of(names.begin(), names.end(),
                                    [](const auto& name) { return name.second == Need::kText; });
    if (!needed) continue;
    for (const std::string& language : SourceLanguages()) {
      const Section& section = Language(language);
      const auto found = section.find(number);
      EXPECT_TRUE(found != section.end() && !found->second.empty())
          << language << " lacks text " << number << " (" << names.begin()->first << ")";
    }
  }
}

TEST_F(LanguagesFileTest, EveryTextHasANameInTheResourceHeader) {
  const auto numbers = NumbersByNeed();
  for (const auto& [number, text] : Language("en")) {
    EXPECT_TRUE(numbers.count(number)) << number << " is in languages.ini but not in resource.h";
  }
}

TEST_F(LanguagesFileTest, FormatsHoldExactlyTheConversionsTheCallersPass) {
  for (const std::string& language : SourceLanguages()) {
    for (const auto& [number, text] : Language(language)) {
      const auto expected = ExpectedConversions().find(number);
      const std::string wanted = expected == ExpectedConversions().end() ? "" : expected->second;
      EXPECT_EQ(Conversions(text), wanted) << language << " " << number << ": " << ToUtf8(text);
    }
  }
}

TEST_F(LanguagesFileTest, TranslationsKeepTheEnglishConversionsInOrder) {
  for (const std::string& language : SourceLanguages()) {
    const Section& translated = Language(language);
    for (const auto& [number, text] : Language("en")) {
      const auto other = translated.find(number);
      if (other == translated.end()) continue;  // reported by EveryLanguageHasTheEnglishNumbers
      EXPECT_EQ(Conversions(other->second), Conversions(text)) << language << " " << number;
    }
  }
}

TEST_F(LanguagesFileTest, HelpTextFitsItsBuffer) {
  for (const std::string& language : SourceLanguages()) {
    Text help;
    for (uint32_t number = IDS_HELP_FIRST; number <= IDS_HELP_LAST; ++number) {
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
                                   u"/topmost",
                                   u"/result=",
                                   u"/exitcode=result",
                                   u"/resume"}) {
      EXPECT_NE(help.find(option), Text::npos) << language << " help lacks " << ToUtf8(option);
    }
    // And every key that judges an entry's end.
    for (TextView key : app::keys::kEntryKeys) {
      EXPECT_NE(help.find(Text(key) + u"="), Text::npos)
          << language << " help lacks " << ToUtf8(key);
    }
    for (TextView key : app::keys::kSettingsKeys) {
      EXPECT_NE(help.find(Text(key) + u"="), Text::npos)
          << language << " help lacks " << ToUtf8(key);
    }
  }
}

TEST_F(LanguagesFileTest, ValuesSurviveTheProfileReader) {
  for (const std::string& language : SourceLanguages()) {
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
  for (const std::string& language : SourceLanguages()) {
    for (uint32_t number = IDS_SHELL_FOLDER_DEFAULT_FIRST; number <= IDS_SHELL_FOLDER_DEFAULT_LAST;
         ++number) {
      const Text path = app::ApplyEscapes(Language(language).at(number));
      const bool inProfile = path.rfind(u"%USERPROFILE%\\", 0) == 0;
      const bool inWindows = path.rfind(u"%windir%\\", 0) == 0;
      EXPECT_TRUE(inProfile || inWindows) << language << " " << number << ": " << ToUtf8(path);
    }
  }
}

TEST_F(LanguagesFileTest, EditFieldsAndControlsWithoutOwnTextHaveNoEntry) {
  // Translating a dialog sets the text of every control whose number has an
  // entry; for an edit field that would overwrite the user's data and run its
  // change handling, for a list or a link it would replace what the program
  // shows. 65535 is every control whose number is -1.
  for (const auto& [number, names] : NumbersByNeed()) {
    for (const auto& [name, need] : names) {
      if (need != Need::kNoText) continue;
      for (const std::string& language : SourceLanguages()) {
        EXPECT_EQ(Language(language).count(number), 0u) << language << " " << number << " " << name;
      }
    }
  }
}

TEST_F(LanguagesFileTest, MatchesItsUtf8Sources) {
  for (const std::string& language : SourceLanguages()) {
    const Section source = ReadSource(language);
    ASSERT_FALSE(source.empty()) << language;
    EXPECT_TRUE(source == Language(language))
        << language << ": languages.ini is out of date, run scripts/make-languages.sh";
  }
}

TEST_F(LanguagesFileTest, EachLanguageIsChosenByItsCodeAndByTheSystemLocale) {
  // The shipped file beside the program on a simulated machine: the program's
  // own reader must then serve every text of the chosen section.
  struct Row {
    const char16_t* code;  // the /language= value; nullptr when none is given
    uint32_t userLocale;
    const char* section;
  } rows[] = {{u"fr", 1033, "fr"},   {nullptr, 1036, "fr"}, {u"es-ES", 1033, "es"},
              {nullptr, 3082, "es"}, {u"IT", 1033, "it"},   {nullptr, 1040, "it"},
              {u"de", 1036, "de"},   {nullptr, 1049, "en"}};
  const std::vector<uint8_t> bytes(raw_->begin(), raw_->end());
  for (const Row& row : rows) {
    testing::StartupMachine startup;
    ASSERT_TRUE(startup.machine_.files().PutFile(testing::kProgramLanguages, bytes));
    startup.machine_.system().SetUserDefaultLocale(row.userLocale);
    app::Translator translator(startup.services_);
    translator.ChooseDisplayLanguage(row.code ? std::optional<TextView>(row.code) : std::nullopt);
    const std::string label =
        (row.code ? ToUtf8(row.code) : "no code") + " on locale " + std::to_string(row.userLocale);
    const Section& expected = Language(row.section);
    ASSERT_FALSE(expected.empty()) << row.section;
    size_t wrong = 0;
    for (const auto& [number, text] : expected) {
      const Text shown = translator.Translate(number);
      if (shown == app::ApplyEscapes(text)) continue;
      if (wrong++ == 0) ADD_FAILURE() << label << ": " << number << " is " << ToUtf8(shown);
    }
    EXPECT_EQ(wrong, 0u) << label << " should show the " << row.section << " section";
  }
}

}  // namespace
}  // namespace tarn
