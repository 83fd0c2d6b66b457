#include "startup/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "accounts/password_scrambling.h"
#include "base/format.h"
#include "platform/sim/machine.h"
#include "startup/command_line.h"

namespace tarn::startup {
namespace {

constexpr char16_t kIni[] = u"C:\\setup\\install.ini";

// The file is written as text and read by the machine's profile reader, so
// values follow the system's rules for blanks, quotes and numbers.
class SettingsTest : public ::testing::Test {
 protected:
  // Adds a line to the [Settings] section of the file.
  void Key(TextView key, TextView value) {
    lines_ += ToUtf8(key) + "=" + ToUtf8(value) + "\r\n";
    ASSERT_TRUE(machine_.files().PutTextFile(kIni, "[Settings]\r\n" + lines_));
  }
  void CommandLine(TextView line) {
    (void)ApplyOptions(SplitCommandLine(line), config_, machine_.environment());
  }
  void Read() { ReadSettings(*machine_.platform().profiles, kIni, config_, headers_); }
  // Reads the file, as `lines`, into a fresh `config` after `command`.
  void ReadFresh(app::InstallConfig& config, TextView command, const std::string& lines) {
    ASSERT_TRUE(machine_.files().PutTextFile(kIni, "[settings]\r\n" + lines));
    (void)ApplyOptions(SplitCommandLine(command), config, machine_.environment());
    ReadSettings(*machine_.platform().profiles, kIni, config, headers_);
  }

  sim::Machine machine_;
  std::string lines_;
  app::InstallConfig config_;
  app::PageHeaders headers_;
};

TEST_F(SettingsTest, MissingSectionLeavesEveryDefault) {
  Read();
  EXPECT_EQ(config_.AutoLogon, app::AutoLogonMode::kUnchanged);
  EXPECT_EQ(config_.DisableLoadMenu, 2);
  EXPECT_EQ(config_.SplitterPos, 30);
  EXPECT_EQ(config_.UseCurrent, 0);
  EXPECT_FALSE(config_.LogEnabled);
  EXPECT_FALSE(config_.AutoInstallEnabled);
  EXPECT_EQ(config_.IniPath.str(), u"install.ini");
  EXPECT_EQ(config_.ShellFolderHideMask, 0u);
  EXPECT_TRUE(headers_[0].headerTitle.empty());
}

TEST_F(SettingsTest, TextKeysAreReadWithTheirBufferSizes) {
  const Text fifteen = u"ABCDEFGHIJKLMNO";
  Key(u"Computer", fifteen);
  Key(u"Workgroup", fifteen + u"P");
  Key(u"User", Text(20, u'u'));
  Key(u"Admin", Text(21, u'a'));
  Key(u"Owner", Text(300, u'o'));
  Key(u"DefaultHelp", Text(300, u'h'));
  Key(u"OsdText", Text(2000, u'd'));
  Read();
  EXPECT_EQ(config_.Computer.str(), fifteen) << "the longest name the system allows, whole";
  EXPECT_EQ(config_.Workgroup.str(), fifteen);
  EXPECT_EQ(config_.User.str(), Text(20, u'u'));
  EXPECT_EQ(config_.Admin.str(), Text(20, u'a'));
  EXPECT_EQ(config_.Owner.size(), 127u);
  EXPECT_EQ(config_.DefaultHelp.size(), 260u);
  EXPECT_EQ(config_.OsdText.size(), 1023u);
}

TEST_F(SettingsTest, CommandLineTextWinsOverTheKey) {
  Key(u"Computer", u"FROMFILE");
  CommandLine(u"/computer=FROMCMD");
  Read();
  EXPECT_EQ(config_.Computer.str(), u"FROMCMD");
}

TEST_F(SettingsTest, AdminPwdAndLogKeysSetTheirFlags) {
  Key(u"AdminPwd", u"pw");
  Key(u"Log", u"%TEMP%\\x.log");
  Key(u"UserPwd", u"up");
  Read();
  EXPECT_TRUE(config_.AdminPwdGiven);
  EXPECT_TRUE(config_.LogEnabled);
  EXPECT_EQ(config_.Log.str(), u"%TEMP%\\x.log");
  EXPECT_EQ(config_.UserPwd.str(), u"up");
  EXPECT_TRUE(config_.UserPwdConfirm.empty());
}

TEST_F(SettingsTest, PasswordsAlsoComeScrambledAsInTheUsersFile) {
  Key(u"Computer", u"PC");
  platform::ProfileFiles& profiles = *machine_.platform().profiles;
  std::vector<uint8_t> user = accounts::ScramblePassword(u"s3cret \"x\"");
  ASSERT_EQ(profiles.WriteStruct(kIni, kSettingsSection, u"UserPwd", user), kErrorSuccess);
  ASSERT_EQ(profiles.WriteString(kIni, kSettingsSection, u"UserPwdCrypted",
                                 TextView(DecimalText(static_cast<int32_t>(user.size())))),
            kErrorSuccess);
  // A wrong count reads nothing, rather than the scrambled digits as a password.
  ASSERT_EQ(profiles.WriteStruct(kIni, kSettingsSection, u"AdminPwd", user), kErrorSuccess);
  ASSERT_EQ(profiles.WriteString(kIni, kSettingsSection, u"AdminPwdCrypted", u"4"), kErrorSuccess);
  Read();
  EXPECT_EQ(config_.UserPwd.str(), u"s3cret \"x\"");
  EXPECT_TRUE(config_.AdminPwd.empty());
  EXPECT_FALSE(config_.AdminPwdGiven);

  // Without the count the value is the password as written.
  app::InstallConfig plain;
  ReadFresh(plain, u"", "AdminPwd=C0FFEE00\r\n");
  EXPECT_EQ(plain.AdminPwd.str(), u"C0FFEE00");
}

TEST_F(SettingsTest, LogKeyIgnoredWhenTheCommandLineEnabledTheLog) {
  Key(u"Log", u"file.log");
  CommandLine(u"/log=cmd.log");
  Read();
  EXPECT_EQ(config_.Log.str(), u"cmd.log");
}

TEST_F(SettingsTest, SkipSettingsInTheFileForcesUseCurrent) {
  Key(u"SkipSettings", u"1");
  Key(u"UseCurrent", u"0");
  Read();
  EXPECT_EQ(config_.SkipSettings, 1);
  EXPECT_EQ(config_.UseCurrent, 1);
}

TEST_F(SettingsTest, DelaysFromTheFile) {
  struct Row {
    const char16_t* command;
    const char* value;
    bool armed;
    int32_t delay;
  } rows[] = {
      {u"", "0", false, 0},
      {u"", "5", true, 5000},
      {u"", " \"0x10\" ", true, 16000},
      {u"", "-2s", true, -2000},
      {u"/autoinstall=2", "5", true, 2000},
      {u"/autoinstall=0", "5", true, 0},
  };
  for (const Row& row : rows) {
    app::InstallConfig config;
    ReadFresh(config, row.command, "AutoInstall=" + std::string(row.value) + "\r\n");
    EXPECT_EQ(config.AutoInstallEnabled, row.armed)
        << ToUtf8(row.command) << " [" << row.value << "]";
    EXPECT_EQ(config.AutoInstallDelay, row.delay)
        << ToUtf8(row.command) << " [" << row.value << "]";
  }
}

TEST_F(SettingsTest, BeepAndAutoExitFromTheFile) {
  Key(u"beep", u"4");
  Key(u"AutoExit", u"9");
  Key(u"RestartWait", u"12");
  Read();
  EXPECT_TRUE(config_.BeepEnabled);
  EXPECT_EQ(config_.BeepInterval, 4000);
  EXPECT_TRUE(config_.AutoExitEnabled);
  EXPECT_EQ(config_.AutoExitDelay, 9000);
  EXPECT_EQ(config_.RestartWait, 12);
}

TEST_F(SettingsTest, AutoLogonAndDisableLoadMenuRules) {
  struct Row {
    const char16_t* command;
    const char* lines;
    app::AutoLogonMode autoLogon;
    int32_t disable;
  } rows[] = {
      {u"", "AutoLogon=0\r\nDisableLoadMenu=1\r\n", app::AutoLogonMode::kRemove, 1},
      {u"", "AutoLogon=\r\nDisableLoadMenu=\r\n", app::AutoLogonMode::kUnchanged, 2},
      {u"/autologon", "AutoLogon=0\r\nDisableLoadMenu=1\r\n", app::AutoLogonMode::kOn, 1},
      {u"/DisableLoadMenu=0", "AutoLogon=0\r\nDisableLoadMenu=1\r\n", app::AutoLogonMode::kRemove,
       0},
      {u"/DisableLoadMenu=2", "AutoLogon=1\r\nDisableLoadMenu=1\r\n",
       app::AutoLogonMode::kUnchanged, 1},
  };
  for (const Row& row : rows) {
    app::InstallConfig config;
    ReadFresh(config, row.command, row.lines);
    EXPECT_EQ(config.AutoLogon, row.autoLogon) << ToUtf8(row.command) << " " << row.lines;
    EXPECT_EQ(config.DisableLoadMenu, row.disable) << ToUtf8(row.command) << " " << row.lines;
  }
}

TEST_F(SettingsTest, SwitchesOnlySwitchOn) {
  Key(u"Verbose", u"3");
  Key(u"SkipRestart", u"0");
  Key(u"HasGaps", u"1");
  CommandLine(u"/verbose=0 /skiprestart");
  Read();
  EXPECT_EQ(config_.Verbose, 3) << "/verbose=0 leaves the key in force";
  EXPECT_EQ(config_.SkipRestart, 1);
  EXPECT_TRUE(config_.HasGaps);
}

TEST_F(SettingsTest, AlwaysReadKeysAndPageHeaders) {
  Key(u"SplitterPos", u"45");
  Key(u"DontShowNonDefaultShellFolderWarning", u"1");
  Key(u"ShellFolderModify.Hide", u"Cookies,History");
  Key(u"ShellFolderModify.Disallow", u"Desktop, Favorites");
  Key(u"PageHeaderTitle.2", u"Pick software");
  Key(u"PageHeaderSubTitle.0", u"Sub zero");
  Key(u"PageHeaderTitle.4", u"not a page");
  headers_[2].headerTitle = u"translated";
  headers_[1].headerTitle = u"kept";
  Read();
  EXPECT_EQ(config_.SplitterPos, 45);
  EXPECT_TRUE(config_.DontShowNonDefaultShellFolderWarning);
  EXPECT_EQ(config_.ShellFolderHideMask, 0x880u);
  EXPECT_EQ(config_.ShellFolderDisallowMask, 0x300u);
  EXPECT_EQ(headers_[2].headerTitle, u"Pick software");
  EXPECT_EQ(headers_[0].headerSubTitle, u"Sub zero");
  EXPECT_EQ(headers_[1].headerTitle, u"kept");
}

TEST_F(SettingsTest, LauncherKeysAndTheCommandLineWins) {
  const std::string keys = "Result=%TEMP%\\r.json\r\nExitCode=Result\r\nResume=1\r\n";
  app::InstallConfig fromFile;
  ReadFresh(fromFile, u"", keys);
  // The start-up expands the key; the settings keep it as written.
  EXPECT_EQ(fromFile.ResultPath.str(), u"%TEMP%\\r.json");
  EXPECT_TRUE(fromFile.ExitCodeFromResult);
  EXPECT_TRUE(fromFile.Resume);

  (void)machine_.environment().Set(u"OUT", u"D:\\out");
  app::InstallConfig fromLine;
  ReadFresh(fromLine, u"/result=%OUT%\\run.json /exitcode=result /resume", "ExitCode=0\r\n");
  EXPECT_EQ(fromLine.ResultPath.str(), u"D:\\out\\run.json");
  EXPECT_TRUE(fromLine.ExitCodeFromResult);
  EXPECT_TRUE(fromLine.Resume);

  app::InstallConfig none;
  ReadFresh(none, u"/exitcode=0", "");
  EXPECT_TRUE(none.ResultPath.empty());
  EXPECT_FALSE(none.ExitCodeFromResult);
  EXPECT_FALSE(none.Resume);
}

TEST(ShellFolderMaskTest, ParsesNamesAndNumbers) {
  struct Row {
    const char16_t* value;
    uint32_t mask;
  } rows[] = {
      {u"Desktop, Favorites", 0x300},
      {u"Desktop,5", 5},
      {u"0x100", 0x100},
      {u"Cookies,History", 0x880},
      {u"cookies,Nonsense", 0x80},
      {u"010", 8},
      {u"My Music,  my pictures", 0x3},
      {u"My Music ,Desktop", 0x100},
      {u"", 0},
      {u"Templates,Startup", 0x300000},
      {u",,,", 0},
      {u"9,Desktop", 9},
      {u"Desktop,0xZZ", 0},
      {u"4294967296", 0xFFFFFFFF},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseShellFolderMask(row.value), row.mask) << ToUtf8(row.value);
  }
}

TEST(StartPageTest, FollowsSkipSettingsAndSkipSoftware) {
  struct Row {
    int32_t skipSettings, skipSoftware;
    app::WizardPage page;
  } rows[] = {{0, 0, app::kSettingsPage},
              {1, 0, app::kSoftwarePage},
              {1, 1, app::kStatusPage},
              {0, 1, app::kSettingsPage}};
  for (const Row& row : rows) {
    app::InstallConfig config;
    config.SkipSettings = row.skipSettings;
    config.SkipSoftware = row.skipSoftware;
    EXPECT_EQ(ChooseStartPage(config), row.page) << row.skipSettings << "," << row.skipSoftware;
  }
}

TEST_F(SettingsTest, LauncherLimitsAreReadAndClamped) {
  Key(u"Timeout", u"90");
  Key(u"InstallerCodes", u"1");
  Key(u"BusyRetries", u"99");
  Key(u"BusyPause", u"0");
  Read();
  EXPECT_EQ(config_.CommandTimeout, 90);
  EXPECT_TRUE(config_.InstallerCodes);
  EXPECT_EQ(config_.BusyRetries, 20);
  EXPECT_EQ(config_.BusyPause, 1);
}

TEST_F(SettingsTest, OnlyLogFormatCmtraceAddsTheCmtraceLog) {
  for (const auto& [value, expected] : {std::pair{"CMTrace", true}, std::pair{"plain", false}}) {
    app::InstallConfig config;
    ReadFresh(config, u"", std::string("LogFormat=") + value + "\r\n");
    EXPECT_EQ(config.CmtraceLog, expected) << value;
  }
}

}  // namespace
}  // namespace tarn::startup
