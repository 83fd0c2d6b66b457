// The files the elevated program relies on, as a start finds them: who else
// may change or read them (warnings in the log and the result file), the
// folders it makes for its output, and the log a resumed run continues.
#include <gtest/gtest.h>

#include <functional>

#include "app/file_trust.h"
#include "platform/file_system.h"
#include "startup/startup.h"
#include "support/json_reader.h"
#include "support/no_account_steps.h"
#include "support/startup_machine.h"

namespace tarn::startup {
namespace {

using testing::kProgramSettings;

constexpr char16_t kResult[] = u"C:\\logs\\result.json";

platform::Sid StandardUser() {
  return *platform::Sid::FromText(u"S-1-5-21-1-2-3-1001");
}

// Accounts that are not there and a wizard that only counts its runs.
class QuietExtensions : public testing::NoAccountSteps, public NoWizardHost {
 public:
  WizardOutcome RunWizard(AppContext&) override {
    ++wizardRuns;
    return WizardOutcome::kCancelled;
  }
  int wizardRuns = 0;
};

class GuardedFilesTest : public ::testing::Test, protected testing::StartupMachine {
 protected:
  GuardedFilesTest() {
    machine_.system().SetLocalTime({2026, 12, 2, 1, 9, 5, 7, 0});
    (void)machine_.files().MakeDirectories(u"C:\\logs");
    (void)machine_.files().PutFile(u"C:\\tarn\\tarn.exe", {});
    Settings("");
  }
  int Run(TextView line, AppContext& app) {
    return RunStartup(app, line, {extensions_, extensions_});
  }
  // The result file's warnings, one per line.
  std::string ResultWarnings() {
    const auto bytes = machine_.files().ReadAll(kResult);
    if (!bytes) return "no result file";
    const auto json = tarn::testing::JsonReader::Parse(std::string(bytes->begin(), bytes->end()));
    if (!json) return "no JSON";
    std::string text;
    for (const auto& warning : (*json)["warnings"].items) text += warning.str() + "\n";
    return text;
  }

  QuietExtensions extensions_;
};

TEST_F(GuardedFilesTest, OthersWhoMayChangeOrReadTheFilesAreWarnedAbout) {
  constexpr uint32_t kWriteData = 0x2;
  constexpr uint32_t kReadData = 0x1;
  constexpr uint8_t kPassedOn = platform::kAceObjectInherit | platform::kAceInheritOnly;
  struct Row {
    const char* name;
    std::function<void(sim::SimFileSystem&)> setUp;
    const char* warning;  // empty: none
  } rows[] = {
      {"admin-only files", [](sim::SimFileSystem&) {}, ""},
      {"Users may write the configuration",
       [](sim::SimFileSystem& files) {
         (void)files.SetAccessList(kProgramSettings, std::vector<platform::AccessEntry>{
                                                         {platform::UsersSid(), 0, kWriteData}});
       },
       "\"C:\\tarn\\install.ini\" may be changed by BUILTIN\\Users"},
      {"Users may read the configuration",
       [](sim::SimFileSystem& files) {
         (void)files.SetAccessList(kProgramSettings, std::vector<platform::AccessEntry>{
                                                         {platform::UsersSid(), 0, kReadData}});
       },
       "\"C:\\tarn\\install.ini\" holds passwords and may be read by BUILTIN\\Users"},
      {"a user owns the program",
       [](sim::SimFileSystem& files) {
         (void)files.SetOwner(u"C:\\tarn\\tarn.exe", StandardUser());
       },
       "\"C:\\tarn\\tarn.exe\" may be changed by S-1-5-21-1-2-3-1001"},
      {"Users may put files beside the program",
       [](sim::SimFileSystem& files) {
         (void)files.SetAccessList(u"C:\\tarn", std::vector<platform::AccessEntry>{
                                                    {platform::AdministratorsSid(), 0, 0x1F01FF},
                                                    {platform::UsersSid(), kPassedOn, kWriteData}});
       },
       "\"C:\\tarn\" may be changed by BUILTIN\\Users"},
      {"the creator of files in an admin-owned folder",
       [](sim::SimFileSystem& files) {
         (void)files.SetAccessList(
             u"C:\\tarn", std::vector<platform::AccessEntry>{
                              {platform::CreatorOwnerSid(), kPassedOn, platform::kGenericAll}});
       },
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.setUp(machine_.files());
    AppContext app(services_);
    EXPECT_EQ(Run(u"/log=C:\\logs\\run.log /result=C:\\logs\\result.json", app), 0);
    const std::string log = ToUtf8(ReadUtf16(u"C:\\logs\\run.log"));
    const std::string warnings = ResultWarnings();
    if (*row.warning == '\0') {
      EXPECT_EQ(warnings, "");
      EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
    } else {
      EXPECT_NE(warnings.find(row.warning), std::string::npos) << warnings;
      EXPECT_NE(log.find(std::string("Warning(0)")), std::string::npos) << log;
      EXPECT_NE(log.find(row.warning), std::string::npos) << log;
    }
    (void)machine_.files().SetOwner(u"C:\\tarn\\tarn.exe", platform::AdministratorsSid());
    for (const char16_t* path : {kProgramSettings, u"C:\\tarn"}) {
      (void)machine_.files().SetAccessList(path, app::AdministrationOnlyList());
    }
  }
}

TEST_F(GuardedFilesTest, FilesOnAStickAreOneWarningNotARefusal) {
  machine_.files().AddVolume(u"E:", sim::kDriveRemovable);
  Settings("", u"E:\\setup\\install.ini");
  ASSERT_TRUE(machine_.files().PutTextFile(u"E:\\setup\\users.ini", "[users]\r\n"));
  AppContext app(services_);
  EXPECT_EQ(Run(u"/ini=E:\\setup\\install.ini /users=E:\\setup\\users.ini "
                u"/result=C:\\logs\\result.json",
                app),
            0);
  EXPECT_EQ(ResultWarnings(),
            "The program's files are on removable media, a network share or a volume without "
            "access lists (E:\\): whoever may change them there decides what runs with "
            "administrator rights. Keep them there only while the machine is set up.\n");
  EXPECT_EQ(extensions_.wizardRuns, 1) << "the run goes on";
}

TEST_F(GuardedFilesTest, OutputFoldersItMakesAreForAdministratorsAlone) {
  AppContext app(services_);
  EXPECT_EQ(Run(u"/log=C:\\out\\logs\\run.log /result=C:\\out\\results\\result.json", app), 0);
  for (const char16_t* folder : {u"C:\\out", u"C:\\out\\logs", u"C:\\out\\results"}) {
    SCOPED_TRACE(ToUtf8(folder));
    ASSERT_TRUE(machine_.files().IsDirectory(folder));
    const auto entries = machine_.files().GetAccessList(folder);
    ASSERT_TRUE(entries);
    EXPECT_EQ(*entries, app::AdministrationOnlyList());
  }
  EXPECT_TRUE(machine_.files().Exists(u"C:\\out\\results\\result.json"));
}

TEST_F(GuardedFilesTest, AResumedRunContinuesTheLog) {
  const std::string earlier("E\0a\0r\0l\0i\0e\0r\0\r\0\n\0", 18);
  ASSERT_TRUE(machine_.files().PutTextFile(u"C:\\logs\\run.log", earlier));
  AppContext app(services_);
  EXPECT_EQ(Run(u"/log=C:\\logs\\run.log /resume", app), 0);
  EXPECT_EQ(ReadUtf16(u"C:\\logs\\run.log").substr(0, 9), u"Earlier\r\n");

  AppContext fresh(services_);
  EXPECT_EQ(Run(u"/log=C:\\logs\\run.log", fresh), 0);
  EXPECT_EQ(ReadUtf16(u"C:\\logs\\run.log"), u"") << "a run that does not resume starts afresh";
}

}  // namespace
}  // namespace tarn::startup
