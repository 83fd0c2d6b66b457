// Exit-code classes: the defaults, InstallerCodes and the lists of sections
// and items, read from a configuration.
#include <gtest/gtest.h>

#include <map>

#include "app/install_config.h"
#include "app/run_record.h"
#include "catalogue/catalogue_loader.h"
#include "run/exit_classes.h"
#include "unit/catalogue/catalogue_fake_source.h"

namespace tarn::run {
namespace {

using app::ExitClass;

std::map<std::string, catalogue::SoftwareEntry*> LoadEntries(catalogue::SoftwareCatalogue& list,
                                                             std::string_view ini) {
  catalogue::testing::FakeIniSource source(ini);
  catalogue::LoadCatalogue(
      source, [](TextView) { return true; }, {}, list);
  std::map<std::string, catalogue::SoftwareEntry*> byKey;
  for (auto* e = list.FirstEntry(); e != nullptr; e = e->Next) byKey[ToUtf8(e->Key)] = e;
  return byKey;
}

TEST(ExitClassesTest, TheEntrysListsOrTheRunsTableClassifyEveryCode) {
  catalogue::SoftwareCatalogue list;
  auto entries = LoadEntries(list,
                             "[Plain]\n"
                             "command.0=p.exe\n"
                             "success.1=12a, none\n"
                             "command.1=q.exe\n"
                             "[Copy]\n"
                             "success=0,1,2,3\n"
                             "command.0=robocopy.exe\n"
                             "command.1=tool.exe\n"
                             "success.1=0x10 -1\n"
                             "needsrestart.1=5\n");
  struct Row {
    const char* key;
    bool installerCodes;
    uint32_t code;
    ExitClass expected;
  } rows[] = {
      // clang-format off
      {"Plain.0", false, 0, ExitClass::kSuccess},
      {"Plain.0", false, 3010, ExitClass::kSuccessRestart},
      {"Plain.0", false, 3011, ExitClass::kSuccessRestart},
      {"Plain.0", false, 1641, ExitClass::kFailure},
      {"Plain.0", false, 1618, ExitClass::kFailure},
      {"Plain.0", false, 1707, ExitClass::kFailure},
      {"Plain.0", true, 0, ExitClass::kSuccess},
      {"Plain.0", true, 1707, ExitClass::kSuccess},
      {"Plain.0", true, 3010, ExitClass::kSuccessRestart},
      {"Plain.0", true, 1641, ExitClass::kRestartStarted},
      {"Plain.0", true, 1618, ExitClass::kRetry},
      {"Plain.0", true, 1, ExitClass::kFailure},
      // A list without a number is no list.
      {"Plain.1", false, 0, ExitClass::kSuccess},
      {"Plain.1", false, 12, ExitClass::kFailure},
      // The section's list is its items' default.
      {"Copy.0", false, 3, ExitClass::kSuccess},
      {"Copy.0", false, 4, ExitClass::kFailure},
      {"Copy.0", false, 3010, ExitClass::kSuccessRestart},
      // The item's own lists replace the default ones.
      {"Copy.1", false, 16, ExitClass::kSuccess},
      {"Copy.1", false, 0xFFFFFFFF, ExitClass::kSuccess},
      {"Copy.1", false, 1, ExitClass::kFailure},
      {"Copy.1", false, 5, ExitClass::kSuccessRestart},
      {"Copy.1", false, 3010, ExitClass::kFailure},
      {"Copy.1", true, 1641, ExitClass::kRestartStarted},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.key) + " " + std::to_string(row.code) +
                 (row.installerCodes ? " InstallerCodes" : ""));
    ASSERT_TRUE(entries.contains(row.key));
    app::InstallConfig config;
    config.InstallerCodes = row.installerCodes;
    EXPECT_EQ(ToUtf8(app::ExitClassName(ClassifyExitCode(config, *entries[row.key], row.code))),
              ToUtf8(app::ExitClassName(row.expected)));
  }
  EXPECT_FALSE(HasOwnExitCodes(*entries["Plain.0"]));
  EXPECT_TRUE(HasOwnExitCodes(*entries["Copy.0"]));
}

TEST(ExitClassesTest, OnlyACommandThatEndedWellInARestartClassAsksForARestart) {
  app::StepRecord step;
  EXPECT_FALSE(app::EndedInRestartClass(step)) << "no exit code";
  step.exitClass = ExitClass::kSuccess;
  EXPECT_FALSE(app::EndedInRestartClass(step));
  step.outcome = app::Outcome::kSuccessRestart;
  for (ExitClass restart : {ExitClass::kSuccessRestart, ExitClass::kRestartStarted}) {
    step.exitClass = restart;
    EXPECT_TRUE(app::EndedInRestartClass(step));
  }
  step.outcome = app::Outcome::kError;  // not detected after installation
  EXPECT_FALSE(app::EndedInRestartClass(step));
}

}  // namespace
}  // namespace tarn::run
