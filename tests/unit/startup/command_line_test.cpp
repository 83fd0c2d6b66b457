#include "startup/command_line.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_environment.h"

namespace tarn::startup {
namespace {

std::string Joined(const std::vector<TextView>& arguments) {
  std::string out;
  for (const TextView argument : arguments) out += "[" + ToUtf8(argument) + "]";
  return out;
}

TEST(SplitCommandLineTest, SplitsByTheProgramsOwnRules) {
  struct Row {
    const char16_t* line;
    const char* expected;
  } rows[] = {
      {u"", ""},
      {u"/a /b", "[/a][/b]"},
      {u"/a    /b   ", "[/a][/b]"},
      {u" /a", "[][/a]"},    // a leading blank gives an empty first argument
      {u"   /a", "[][/a]"},  // only one empty argument, the run is skipped after it
      {u"/ini=\"C:\\My Files\\a.ini\" /x", "[/ini=\"C:\\My Files\\a.ini\"][/x]"},
      {u"/ini=\"a b", "[/ini=\"a b]"},              // no closing quote: to the end
      {u"\"a b\" c", "[\"a][b\"][c]"},              // quotes elsewhere are ordinary
      {u"/x=a\"b c\"", "[/x=a\"b][c\"]"},           // only right after "="
      {u"/ini=\"a b\"c /d", "[/ini=\"a b\"][/d]"},  // the character after the quote is eaten
      {u"/ini=\"a b\"  /d", "[/ini=\"a b\"][/d]"},
      {u"/a\t/b", "[/a\t/b]"},  // tabs do not separate
      {u"/k==\"x y\"", "[/k==\"x y\"]"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Joined(SplitCommandLine(row.line)), row.expected) << ToUtf8(row.line);
  }
}

TEST(SplitCommandLineTest, StopsAfterOneHundredArguments) {
  Text line;
  for (int i = 0; i < 150; ++i) line += u"/a" + DecimalText(i) + u" ";
  const std::vector<TextView> arguments = SplitCommandLine(line);
  ASSERT_EQ(arguments.size(), kMaxArguments);
  EXPECT_EQ(arguments.back(), u"/a99");
}

TEST(StripQuotesTest, StripsOneQuoteAtEachEnd) {
  struct Row {
    const char16_t* in;
    const char16_t* out;
  } rows[] = {
      {u"\"a b\"", u"a b"}, {u"\"a", u"a"}, {u"a\"", u"a"}, {u"\"\"x\"\"", u"\"x\""},
      {u"\"", u""},         {u"\"\"", u""}, {u"", u""},     {u"a\"b", u"a\"b"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StripQuotes(row.in), TextView(row.out)) << ToUtf8(row.in);
  }
}

class ApplyOptionsTest : public ::testing::Test {
 protected:
  CommandLineOutcome Apply(TextView line) {
    return ApplyOptions(SplitCommandLine(line), config_, environment_);
  }

  app::InstallConfig config_;
  sim::SimEnvironment environment_;
};

TEST_F(ApplyOptionsTest, TextOptionsLandInTheirFields) {
  (void)Apply(
      u"/computer=\"PC1\" /workgroup=WG /user=bob /userpwd=\"p w\" /owner=O /org=\"Org X\" "
      u"/admin=root /adminpwd=");
  EXPECT_EQ(config_.Computer.str(), u"PC1");
  EXPECT_EQ(config_.Workgroup.str(), u"WG");
  EXPECT_EQ(config_.User.str(), u"bob");
  EXPECT_EQ(config_.UserPwd.str(), u"p w");
  EXPECT_EQ(config_.UserPwdConfirm.str(), u"p w");
  EXPECT_EQ(config_.Owner.str(), u"O");
  EXPECT_EQ(config_.Org.str(), u"Org X");
  EXPECT_EQ(config_.Admin.str(), u"root");
  EXPECT_TRUE(config_.AdminPwd.empty());
  EXPECT_TRUE(config_.AdminPwdGiven) << "an empty /adminpwd= still counts as given";
}

TEST_F(ApplyOptionsTest, SwitchesAndNumbers) {
  const CommandLineOutcome outcome = Apply(
      u"/HASGAPS /skiprestart /nocancel /NoRestartChange /noabort /autologon /topmost "
      u"/skipsoftware /restartwait=30 /DisableLoadMenu=1 /beep=3 /autoexit=-2 /verbose=6");
  EXPECT_TRUE(config_.HasGaps);
  EXPECT_EQ(config_.SkipRestart, 1);
  EXPECT_EQ(config_.NoCancel, 1);
  EXPECT_EQ(config_.NoRestartChange, 1);
  EXPECT_TRUE(config_.NoAbort);
  EXPECT_EQ(config_.AutoLogon, app::AutoLogonMode::kOn);
  EXPECT_TRUE(outcome.topmost);
  EXPECT_EQ(config_.SkipSoftware, 1);
  EXPECT_EQ(config_.RestartWait, 30) << "seconds, not converted";
  EXPECT_EQ(config_.DisableLoadMenu, 1);
  EXPECT_TRUE(config_.BeepEnabled);
  EXPECT_EQ(config_.BeepInterval, 3000);
  EXPECT_TRUE(config_.AutoExitEnabled);
  EXPECT_EQ(config_.AutoExitDelay, -2000);
  EXPECT_EQ(config_.Verbose, 6);
  EXPECT_EQ(outcome.action, CommandLineOutcome::Action::kContinue);
}

TEST_F(ApplyOptionsTest, AutoInstallReadsLikeStrToInt) {
  struct Row {
    const char16_t* line;
    int32_t delay;
  } rows[] = {{u"/autoinstall=15", 15000},
              {u"/autoinstall=abc", 0},
              {u"/autoinstall=7s", 7000},
              {u"/autoinstall=", 0},
              {u"/autoinstall=+4", 4000}};
  for (const Row& row : rows) {
    app::InstallConfig config;
    (void)ApplyOptions(SplitCommandLine(row.line), config, environment_);
    EXPECT_TRUE(config.AutoInstallEnabled) << ToUtf8(row.line);
    EXPECT_EQ(config.AutoInstallDelay, row.delay) << ToUtf8(row.line);
  }
}

TEST_F(ApplyOptionsTest, SimilarOptionsDoNotMatchEachOther) {
  (void)Apply(u"/users=u.ini /adminpwd=secret /verbose");
  EXPECT_TRUE(config_.User.empty()) << "/users= must not match /user=";
  EXPECT_TRUE(config_.Admin.empty()) << "/adminpwd= must not match /admin=";
  EXPECT_EQ(config_.UsersPath.str(), u"u.ini");
  EXPECT_EQ(config_.AdminPwd.str(), u"secret");
  EXPECT_EQ(config_.Verbose, 1);
}

TEST_F(ApplyOptionsTest, QuotedIniPathWithSpacesThenSkipSettings) {
  (void)Apply(u"/ini=\"C:\\My Setup\\install.ini\" /skipsettings");
  EXPECT_EQ(config_.IniPath.str(), u"C:\\My Setup\\install.ini");
  EXPECT_EQ(config_.UsersPath.str(), u"C:\\My Setup\\install.ini");
  EXPECT_EQ(config_.SkipSettings, 1);
  EXPECT_EQ(config_.UseCurrent, 1);
}

TEST_F(ApplyOptionsTest, UsersPathKeepsItsOwnFileInEitherOrder) {
  for (const char16_t* line : {u"/users=A.ini /ini=B.ini", u"/ini=B.ini /users=A.ini"}) {
    app::InstallConfig config;
    (void)ApplyOptions(SplitCommandLine(line), config, environment_);
    EXPECT_EQ(config.UsersPath.str(), u"A.ini") << ToUtf8(line);
    EXPECT_EQ(config.IniPath.str(), u"B.ini") << ToUtf8(line);
  }
}

TEST_F(ApplyOptionsTest, PathsAreExpandedAndUpperCasePrefixesAccepted) {
  (void)environment_.Set(u"TEMP", u"C:\\Temp");
  (void)Apply(u"/LOG=%TEMP%\\tarn.log /INI=\"%TEMP%\\i.ini\" /help");
  EXPECT_EQ(config_.Log.str(), u"C:\\Temp\\tarn.log");
  EXPECT_TRUE(config_.LogEnabled);
  EXPECT_EQ(config_.IniPath.str(), u"C:\\Temp\\i.ini");
}

TEST_F(ApplyOptionsTest, LaterOptionWins) {
  (void)Apply(u"/computer=A /computer=B /verbose=3 /verbose");
  EXPECT_EQ(config_.Computer.str(), u"B");
  EXPECT_EQ(config_.Verbose, 1);
}

TEST_F(ApplyOptionsTest, LongValuesAreCutToTheirFields) {
  (void)Apply(u"/computer=ABCDEFGHIJKLMNOPQRST /user=" + Text(40, u'u') + u" /log=" +
              Text(400, u'l'));
  EXPECT_EQ(config_.Computer.str(), u"ABCDEFGHIJKLMNO");
  EXPECT_EQ(config_.User.size(), 20u);
  EXPECT_EQ(config_.Log.size(), 260u);
}

TEST_F(ApplyOptionsTest, HelpEndsThePassButKeepsEarlierOptions) {
  const CommandLineOutcome outcome = Apply(u"/computer=A /? /computer=B");
  EXPECT_EQ(outcome.action, CommandLineOutcome::Action::kShowHelp);
  EXPECT_EQ(config_.Computer.str(), u"A");
  EXPECT_EQ(Apply(u"/?x").action, CommandLineOutcome::Action::kContinue) << "whole match only";
}

TEST_F(ApplyOptionsTest, VersionEndsThePassAndIsTakenWholeInAnyCase) {
  EXPECT_EQ(Apply(u"/computer=A /Version /computer=B").action,
            CommandLineOutcome::Action::kShowVersion);
  EXPECT_EQ(config_.Computer.str(), u"A");
  EXPECT_EQ(Apply(u"/versions").action, CommandLineOutcome::Action::kContinue);
  EXPECT_EQ(Apply(u"/verbose /version=1").action, CommandLineOutcome::Action::kContinue);
}

TEST_F(ApplyOptionsTest, DowngradeEndsThePassWithTheStrippedName) {
  const CommandLineOutcome outcome = Apply(u"/DownGrade=\"Jo Doe\" /ini=other.ini");
  EXPECT_EQ(outcome.action, CommandLineOutcome::Action::kDowngrade);
  EXPECT_EQ(outcome.downgradeAccount, u"Jo Doe");
  EXPECT_EQ(config_.IniPath.str(), u"install.ini") << "arguments after it are never looked at";
}

TEST_F(ApplyOptionsTest, ScrambleModesAndGroup) {
  const CommandLineOutcome outcome = Apply(u"/DecryptIni /encryptini /Group=\"Users\"");
  EXPECT_TRUE(outcome.encryptIni);
  EXPECT_TRUE(outcome.decryptIni);
  EXPECT_FALSE(config_.DefaultGroup.has_value()) << "/Group= takes its value unstripped";
  struct Row {
    const char16_t* line;
    std::optional<int32_t> group;
  } rows[] = {{u"/Group=Administrators", 1},
              {u"/group=admin", 1},
              {u"/Group=USERS", 0},
              {u"/Group=Guests", std::nullopt},
              {u"/Group=Admin /Group=Other", 1}};
  for (const Row& row : rows) {
    app::InstallConfig config;
    (void)ApplyOptions(SplitCommandLine(row.line), config, environment_);
    EXPECT_EQ(config.DefaultGroup, row.group) << ToUtf8(row.line);
  }
}

TEST_F(ApplyOptionsTest, LanguageIsOnlyTakenInItsOwnPass) {
  const std::vector<TextView> arguments = SplitCommandLine(u"/x /LANGUAGE=de /language=fr");
  EXPECT_EQ(FindLanguageOption(arguments), std::optional<TextView>(u"de"));
  EXPECT_EQ(FindLanguageOption(SplitCommandLine(u"/lang=de")), std::nullopt);
  (void)ApplyOptions(arguments, config_, environment_);
  EXPECT_TRUE(config_.Language.empty());
}

TEST_F(ApplyOptionsTest, OnlyTheFirstHundredArgumentsCount) {
  Text line;
  for (int i = 0; i < 100; ++i) line += u"/x ";
  line += u"/skiprestart";
  (void)Apply(line);
  EXPECT_EQ(config_.SkipRestart, 0);
}

}  // namespace
}  // namespace tarn::startup
