#include "startup/machine_data.h"

#include <gtest/gtest.h>

#include "support/smbios_builder.h"
#include "support/startup_machine.h"

namespace tarn::startup {
namespace {

using testing::kProgramSettings;
constexpr char16_t kLog[] = u"C:\\logs\\tarn.log";

class MachineDataTest : public ::testing::Test, protected testing::StartupMachine {
 protected:
  MachineDataTest() {
    (void)machine_.files().MakeDirectories(u"C:\\logs");
    machine_.system().SetFirmwareTable(
        testing::SmbiosBuilder()
            .System("Contoso", "Laptop 14 G8", "CZC1234ABCDEF", testing::kStoredUuid)
            .EndOfTable()
            .Bytes());
    machine_.system().SetAdapterAddress(std::array<uint8_t, 6>{0, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    app_.config.IniPath = kProgramSettings;
  }
  // Writes the configuration, applies the machine data and closes the log.
  void Apply(std::string_view ini, IdentityGiven given = {}) {
    ASSERT_TRUE(machine_.files().PutTextFile(kProgramSettings, std::string(ini)));
    app_.log.Open(kLog);
    ApplyMachineData(app_, given);
    app_.log.Close();
  }
  std::string Log() { return ToUtf8(ReadUtf16(kLog)); }
  std::optional<Text> Variable(TextView name) { return machine_.environment().Get(name); }

  AppContext app_{services_};
};

TEST_F(MachineDataTest, TheMachinesRowGivesItsIdentityAndTheVariablesAreSet) {
  Apply(R"ini([settings]
Computer=FROM-SETTINGS
Workgroup=WG-SETTINGS
[machines]
mac:00-1a-2b-3c-4d-5e = Computer=WRONG
serial:czc1234abcdef = Computer=ACC-%SERIAL:~-6%; Workgroup=ACCOUNTS; Owner=Jane; Org=Ex; Selection=lab
)ini");
  EXPECT_EQ(app_.config.Computer.view(), u"ACC-ABCDEF");
  EXPECT_EQ(app_.config.Workgroup.view(), u"ACCOUNTS");
  EXPECT_EQ(app_.config.Owner.view(), u"Jane");
  EXPECT_EQ(app_.config.Org.view(), u"Ex");
  EXPECT_EQ(app_.config.MachineSelection, u"lab");
  EXPECT_EQ(Variable(u"SERIAL"), Text(u"CZC1234ABCDEF"));
  EXPECT_EQ(Variable(u"UUID"), Text(u"00112233-4455-6677-8899-AABBCCDDEEFF"));
  EXPECT_EQ(Variable(u"MAC"), Text(u"00-1A-2B-3C-4D-5E"));
  EXPECT_EQ(Variable(u"MAKER"), Text(u"Contoso"));
  EXPECT_EQ(Variable(u"MODEL"), Text(u"Laptop 14 G8"));
  EXPECT_NE(Log().find("this machine is serial:czc1234abcdef"), std::string::npos) << Log();
}

TEST_F(MachineDataTest, ASettingsPatternIsFittedAndTheCutIsLogged) {
  Apply("[settings]\r\nComputer=%MAKER%-%MODEL:~0,6%-%SERIAL:~-6%\r\n");
  EXPECT_EQ(app_.config.Computer.view(), u"Contoso-Laptop-");
  EXPECT_NE(Log().find("'Contoso-Laptop-ABCDEF' made from '%MAKER%-%MODEL:~0,6%-%SERIAL:~-6%' "
                       "became 'Contoso-Laptop-': cut to 15 characters"),
            std::string::npos)
      << Log();
}

TEST_F(MachineDataTest, TheCommandLineWinsOverTheRow) {
  app_.config.Computer = u"FROM-LINE";
  Apply("[machines]\r\nname:TARN-PC = Computer=ROW; Workgroup=ROW-WG\r\n", {.computer = true});
  EXPECT_EQ(app_.config.Computer.view(), u"FROM-LINE");
  EXPECT_EQ(app_.config.Workgroup.view(), u"ROW-WG") << "found by the present computer name";
}

TEST_F(MachineDataTest, RowsOfTheNamedFileCountAndBadRowsAreLogged) {
  ASSERT_TRUE(machine_.files().PutTextFile(
      u"C:\\tarn\\fleet\\machines.ini",
      "[machines]\r\nuuid:00112233445566778899aabbccddeeff = Computer=FROM-FILE\r\n"));
  Apply("[machines]\r\nFile=fleet\\machines.ini\r\nasset:1 = Computer=X\r\n");
  EXPECT_EQ(app_.config.Computer.view(), u"FROM-FILE");
  EXPECT_NE(Log().find("[machines] asset:1: a row's key is"), std::string::npos) << Log();
}

TEST_F(MachineDataTest, WithoutMachinesOrAPatternNothingIsReadOrSet) {
  Apply("[settings]\r\nComputer=PLAIN-%USERNAME%\r\n[environment]\r\nA=%SERIAL%\r\n");
  EXPECT_EQ(app_.config.Computer.view(), u"");
  EXPECT_EQ(Variable(u"SERIAL"), std::nullopt);
  EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace tarn::startup
