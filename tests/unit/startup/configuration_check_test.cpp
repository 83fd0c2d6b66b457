// The checker of configuration files: one row per kind of finding, each with
// the exact place and severity and a telling part of the text; the bundled
// examples check clean; the reference in docs/configuration.md matches the key
// table.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/configuration_keys.h"
#include "app/outcome_keys.h"
#include "app/restart_keys.h"
#include "startup/configuration_check.h"

namespace tarn::startup {
namespace {

namespace fs = std::filesystem;

struct Expected {
  uint32_t line;
  uint32_t column;
  Severity severity;
  const char* fragment;
};

struct Row {
  const char* name;
  const char* ini;
  std::vector<Expected> expected;
};

constexpr Severity E = Severity::kError;
constexpr Severity W = Severity::kWarning;

// Files that exist beside the checked configuration, as CheckInput sees them.
const std::set<Text> kFilesBeside = {u"C:\\cfg\\setup.exe", u"C:\\cfg\\help\\a.rtf"};

std::vector<Diagnostic> Check(const std::string& ini) {
  CheckInput input;
  input.file = u"install.ini";
  input.iniDir = u"C:\\cfg";
  input.fileExists = [](TextView path) { return kFilesBeside.count(Text(path)) != 0; };
  const std::vector<uint8_t> bytes(ini.begin(), ini.end());
  return CheckConfiguration(bytes, input);
}

const std::vector<Row> kRows = {
    {"misspelt item key, with the nearest known key",
     "[Tools]\ncommand.0=setup.exe\ndescripton.0=Setup\n",
     {{3, 1, E, "'descripton.0': no part of the program reads it; did you mean 'description.0'?"}}},
    {"misspelt settings key",
     "[settings]\nAutoInstal=5\n",
     {{2, 1, E, "did you mean 'AutoInstall'?"}}},
    {"an item key on the section itself",
     "[Tools]\ncommand=setup.exe\n",
     {{2, 1, E, "an item does: 'command.0'"}}},
    {"items after a gap are lost",
     "[Tools]\ncommand.0=a.exe\ncommand.2=c.exe\ndescription.2=C\n",
     {{3, 1, E, "item 2 is never read: command.1 is missing"}}},
    {"with HasGaps the same items are read",
     "[settings]\nHasGaps=1\n[Tools]\ncommand.0=a.exe\ncommand.2=c.exe\n",
     {}},
    {"keys of an item without a command",
     "[Tools]\ncommand.0=a.exe\ndescription.1=B\n",
     {{3, 1, E, "the keys of item 1 are never read: it has no command.1"}}},
    {"duplicate key: the first wins",
     "[Tools]\ncommand.0=a.exe\ncommand.0=b.exe\n",
     {{3, 1, W, "duplicate key 'command.0': the first, at line 2, wins"}}},
    {"duplicate section: the first wins",
     "[Tools]\ncommand.0=a.exe\n[tools]\ncommand.0=b.exe\n",
     {{3, 1, E, "duplicate section [tools]: the first, at line 1, wins"}}},
    {"test.eval that does not parse",
     "[Tools]\ncommand.0=a.exe\ntest.0.0=x\ntest.eval.0=0 & & 1\n",
     {{4, 17, E, "a test number is expected here"}}},
    {"test.eval naming a missing test",
     "[Tools]\ncommand.0=a.exe\ntest.0.0=x\ntest.eval.0=0|1\n",
     {{4, 15, E, "test 1 does not exist (test.0.1 is missing)"}}},
    {"a test after a gap in the tests",
     "[Tools]\ncommand.0=a.exe\ntest.0.0=x\ntest.0.2=y\n",
     {{4, 1, E, "test.0.2 is never read: the tests end where test.0.1 is missing"}}},
    {"incomplete conditional value",
     "[Tools]\ncommand.0=a.exe if.true(/q)\n",
     {{2, 17, W, "incomplete conditional value"}}},
    {"radio group without members",
     "[Tools]\ncommand.0=*\ngroup.0=1\n",
     {{3, 1, E, "radio group with no member"}}},
    {"radio group with a second member selected",
     "[Tools]\ngroup=1\ncommand.0=a.exe\nselected.0=1\ncommand.1=b.exe\nselected.1=1\n",
     {{6, 1, E, "a second member of the radio group is selected (the first at line 4)"}}},
    {"computer name too long and with a blank",
     "[settings]\nComputer=A VERY LONG NAME HERE\n",
     {{2, 10, E, "is 21 characters long"}, {2, 10, E, "is refused"}}},
    {"account name Windows refuses, and one equal to the computer name",
     "[settings]\nComputer=LAB1\nUser=lab1\n[users]\nUser.0=a:b\n",
     {{3, 6, E, "equals the computer name"}, {5, 8, E, "refused by Windows"}}},
    {"password too long to scramble",
     "[users]\nUser.0=ann\nPassword.0="
     "012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012"
     "3456789\n",
     {{3, 12, E, "at most 99 can be scrambled"}}},
    {"accounts after a gap are lost",
     "[users]\nUser.0=ann\nUser.2=bob\n",
     {{3, 1, E, "account 2 is never read"}}},
    {"a file beside the configuration that is not there",
     "[settings]\nDefaultHelp=%INIDIR%\\none.rtf\n[Tools]\nhelp=%INIDIR%\\help\\a.rtf\n"
     "command.0=%INIDIR%\\setup.exe /q\ncommand.1=\"%INIDIR%\\missing.exe\"\n",
     {{2, 13, W, "names a file that is not there (C:\\cfg\\none.rtf)"},
      {6, 11, W, "names a file that is not there (C:\\cfg\\missing.exe)"}}},
    {"launcher values: time limit, exit codes, ranges, words",
     "[settings]\nTimeout=10m\nBusyRetries=50\nExitCode=results\n[Tools]\ncommand.0=a.exe\n"
     "success.0=0,ok\n",
     {{2, 9, E, "not a number of seconds"},
      {3, 13, E, "BusyRetries takes 0 to 20"},
      {4, 10, E, "takes only 'result' or nothing"},
      {7, 13, E, "'ok' is not an exit code"}}},
    {"per-machine rows: patterns pass, what the start-up cannot read or Windows refuses does not",
     "[settings]\nComputer=PC-%SERIAL:~-6%-%MODEL%\n[machines]\nFile=fleet.ini\n"
     "serial:1 = Computer=%MAKER%-%SERIAL:~0,20%; Selection=lab\nasset:2 = Computer=A\n"
     "mac:3 = Computr=A\nname:4 = Computer=A B; Workgroup=W G; Selection=none\n"
     "[machines.lab]\nTools=1\n",
     {{4, 6, W, "names a file that is not there (C:\\cfg\\fleet.ini)"},
      {6, 1, E, "'asset:2': no part of the program reads it"},
      {7, 1, E, "an unknown field: Computr"},
      {8, 10, E, "Computer 'A B' is refused"},
      {8, 10, E, "Workgroup 'W G' is refused"},
      {8, 10, W, "the selection 'none' has no section [machines.none]"}}},
    {"a word that means nothing in an attribute",
     "[Tools]\nselected=1,inherti\n",
     {{2, 12, W, "'inherti' means nothing in selected"}}},
};

std::string Printed(const std::vector<Diagnostic>& diagnostics) {
  return ToUtf8(FormatDiagnostics(diagnostics));
}

TEST(ConfigurationCheck, ReportsEachKindOfFindingWhereItStands) {
  for (const Row& row : kRows) {
    const std::vector<Diagnostic> got = Check(row.ini);
    const std::string printed = Printed(got);
    ASSERT_EQ(got.size(), row.expected.size()) << row.name << "\n" << printed;
    for (size_t i = 0; i < got.size(); ++i) {
      const Expected& want = row.expected[i];
      EXPECT_EQ(got[i].line, want.line) << row.name << "\n" << printed;
      EXPECT_EQ(got[i].column, want.column) << row.name << "\n" << printed;
      EXPECT_EQ(got[i].severity, want.severity) << row.name << "\n" << printed;
      EXPECT_NE(ToUtf8(got[i].text).find(want.fragment), std::string::npos)
          << row.name << ": wanted \"" << want.fragment << "\"\n"
          << printed;
    }
    EXPECT_EQ(HasErrors(got), printed.find(": error: ") != std::string::npos) << row.name;
  }
}

TEST(ConfigurationCheck, PrintsFindingsAsCompilersDo) {
  const std::vector<Diagnostic> got = Check("[Tools]\ncommand.0=a.exe\nflags.0=bolt\n");
  EXPECT_EQ(Printed(got),
            "install.ini:3:9: warning: 'bolt' means nothing in flags.0 and is ignored\n");
}

TEST(ConfigurationCheck, KnowsEveryKeyTheOutcomeAndRestartHeadersList) {
  for (TextView key : app::keys::kSettingsKeys) {
    EXPECT_TRUE(app::MatchKey(app::SectionKind::kSettings, key)) << ToUtf8(key);
  }
  for (TextView key : app::kRestartSettingsKeys) {
    EXPECT_TRUE(app::MatchKey(app::SectionKind::kSettings, key)) << ToUtf8(key);
  }
  std::vector<TextView> entryKeys(std::begin(app::keys::kEntryKeys),
                                  std::end(app::keys::kEntryKeys));
  entryKeys.insert(entryKeys.end(), app::kRestartEntryKeys.begin(), app::kRestartEntryKeys.end());
  for (TextView key : entryKeys) {
    EXPECT_TRUE(app::MatchKey(app::SectionKind::kSoftware, key)) << ToUtf8(key) << " on a section";
    EXPECT_TRUE(app::MatchKey(app::SectionKind::kSoftware, Text(key) + u".1.0"))
        << ToUtf8(key) << " on an item";
  }
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(ConfigurationCheck, BundledExamplesCheckClean) {
  const fs::path examples = fs::path(TARN_SOURCE_DIR) / "examples";
  size_t checked = 0;
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() != ".ini") continue;
    CheckInput input;
    input.file = FromUtf8(entry.path().filename().string());
    input.iniDir = FromUtf8(examples.string());
    input.fileExists = [](TextView path) {
      std::string host = ToUtf8(path);
      for (char& c : host) c = c == '\\' ? '/' : c;
      return fs::exists(host);
    };
    const std::vector<Diagnostic> got = CheckConfiguration(ReadBytes(entry.path()), input);
    EXPECT_TRUE(got.empty()) << Printed(got);
    ++checked;
  }
  EXPECT_GE(checked, 3u);
}

// The reference may say more around them, but its tables are the key table.
TEST(ConfigurationCheck, ReferenceDocumentHoldsTheKeyTable) {
  const std::vector<uint8_t> bytes = ReadBytes(fs::path(TARN_SOURCE_DIR) / "docs/configuration.md");
  const std::string document(bytes.begin(), bytes.end());
  const std::string begin = "<!-- key tables: generated by tarn_plan --reference -->\n";
  const std::string end = "<!-- end of key tables -->";
  const size_t from = document.find(begin);
  const size_t to = document.find(end);
  ASSERT_NE(from, std::string::npos);
  ASSERT_NE(to, std::string::npos);
  EXPECT_EQ(document.substr(from + begin.size(), to - from - begin.size()),
            app::ConfigurationReferenceTables())
      << "regenerate the tables with: tarn_plan --reference";
}

}  // namespace
}  // namespace tarn::startup
