// Writes result files of runs on the simulated machine into the folder
// TARN_RESULT_SAMPLES names, for check_result_schema.py to validate against
// docs/result.schema.json: every exit class and detection the run can record,
// at the end of a run and while it is still under way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "run/result_file.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using testing::RunTestMachine;

constexpr char16_t kConfig[] = u"C:\\setup\\install.ini";
constexpr char16_t kResult[] = u"C:\\setup\\result.json";

struct SampleMachine : RunTestMachine {
  SampleMachine() {
    EXPECT_TRUE(machine.files().PutTextFile(kConfig, "[T]\r\n"));
    machine.system().SetUnixTimeMs(1796109222005);
    EXPECT_TRUE(machine.files().PutTextFile(u"C:\\Apps\\present.exe", "x"));
  }
  catalogue::SoftwareEntry& Entry(TextView key, uint32_t exitCode) {
    const Text program = Text(key) + u".exe";
    AddProgram(program, exitCode);
    catalogue::SoftwareEntry& entry = Add(1, true, key, program);
    entry.Key = Text(key);
    return entry;
  }
  void Save(const char* name) {
    const char* folder = std::getenv("TARN_RESULT_SAMPLES");
    ASSERT_NE(folder, nullptr) << "TARN_RESULT_SAMPLES names no folder";
    const auto bytes = machine.files().ReadAll(kResult);
    ASSERT_TRUE(bytes);
    std::ofstream(std::string(folder) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes->data()),
               static_cast<std::streamsize>(bytes->size()));
  }
};

TEST(ResultSamples, EveryOutcomeAClassAndADetectionCanHave) {
  SampleMachine m;
  m.app->config.InstallerCodes = true;
  m.app->config.Computer = u"NEWPC";
  ReportWarning(*m.app, u"\"C:\\setup\\install.ini\" may be read by BUILTIN\\Users.");
  m.Entry(u"present", 0).Detect = u"C:\\Apps\\present.exe";
  m.Entry(u"copy", 1).SuccessCodes = std::vector<uint32_t>{0, 1};
  m.Entry(u"missing", 0).Detect = u"C:\\Apps\\missing.exe";
  m.Entry(u"restart", 3010);
  m.Entry(u"started", 1641);
  m.Entry(u"product", 1707);
  m.Entry(u"failed", 0xC0000005);
  m.Entry(u"busy", 1618);
  m.Entry(u"reboot", 0).RestartAfter = true;
  m.app->config.BusyRetries = 0;
  ResultFile result(*m.app, kResult, kConfig);
  m.app->runObserver = &result;
  (void)m.Run();
  m.Save("running.json");
  result.Close(m.app->runTotals, ResultExitCode(m.app->runTotals));
  m.Save("outcomes.json");
}

}  // namespace
}  // namespace tarn::run
