// The CMTrace log beside the program's own, on the simulated machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/cmtrace_log.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using ::testing::ElementsAre;
using testing::RunTestMachine;

TEST(CmtraceLogTest, OneEnglishLinePerStepNamesItsOutcomeClassAndDetection) {
  RunTestMachine m;
  m.SetText(160, u"\"%s\" wurde erfolgreich beendet.");  // the wizard's language is not the log's
  m.machine.system().SetUnixTimeMs(1796109222005);       // 2026-12-01 07:13:42.005 UTC
  ASSERT_TRUE(m.machine.files().PutTextFile(u"C:\\Apps\\one.exe", "x"));
  m.AddProgram(u"p.exe", 1);
  m.AddProgram(u"q.exe", 0);
  auto& present = m.Add(1, true, u"One", u"p.exe");
  present.Key = u"T.0";
  present.Detect = u"C:\\Apps\\one.exe";
  auto& copy = m.Add(1, true, u"Copy \"]LOG]!>\"", u"p.exe");
  copy.Key = u"T.1";
  copy.SuccessCodes = std::vector<uint32_t>{0, 1};
  auto& missing = m.Add(1, true, u"Two", u"q.exe");
  missing.Key = u"T.2";
  missing.Detect = u"C:\\Apps\\two.exe";
  const Text path = u"C:\\Logs\\tarn.cmtrace.log";
  {
    CmtraceLog log(*m.app, path, /*append=*/false, u"C:\\setup\\install.ini");
    m.app->runObserver = &log;
    (void)m.Run();
    m.app->runObserver = nullptr;
  }

  const auto bytes = m.machine.files().ReadAll(path);
  ASSERT_TRUE(bytes);
  const std::string text(bytes->begin(), bytes->end());
  ASSERT_TRUE(text.starts_with("\xEF\xBB\xBF"));
  std::vector<std::string> lines;
  for (size_t at = 3, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  const std::string stamp = R"(time="07:13:42.005+000" date="12-01-2026" component=")";
  const std::string tail = R"(" context="" type=")";
  EXPECT_THAT(
      lines,
      ElementsAre(
          R"(<![LOG[The run of "C:\setup\install.ini" starts.]LOG]!><)" + stamp + "TARN" + tail +
              R"(1" thread="" file="">)",
          R"(<![LOG[Entry "One": present, already present: not started.]LOG]!><)" + stamp + "T.0" +
              tail + R"(1" thread="" file="">)",
          R"(<![LOG[Entry "Copy "]LOG] !>"": success, exit code 1 (success).]LOG]!><)" + stamp +
              "T.1" + tail + R"(1" thread="" file="">)",
          R"(<![LOG[Entry "Two": error, exit code 0 (success), not detected after installation.]LOG]!><)" +
              stamp + "T.2" + tail + R"(3" thread="" file="">)",
          R"(<![LOG[The run has ended; failed steps: 1.]LOG]!><)" + stamp + "TARN" + tail +
              R"(3" thread="" file="">)"));
}

TEST(CmtraceLogTest, TheLogGoesBesideTheProgramsLog) {
  EXPECT_EQ(ToUtf8(CmtraceLogPathFor(u"C:\\Logs\\tarn.log")), "C:\\Logs\\tarn.cmtrace.log");
  EXPECT_EQ(ToUtf8(CmtraceLogPathFor(u"C:\\Logs.d\\setup")), "C:\\Logs.d\\setup.cmtrace.log");
}

}  // namespace
}  // namespace tarn::run
