#include "app/log_file.h"

#include <gtest/gtest.h>

#include "support/startup_machine.h"

namespace tarn::app {
namespace {

constexpr char16_t kLogPath[] = u"C:\\logs\\tarn.log";
// 2026-12-01 13:42:05 as the simulated English (United States) settings show it.
constexpr char16_t kStamp[] = u"12/1/2026, 1:42:05 PM";

class LogFileTest : public ::testing::Test, protected testing::StartupMachine {
 protected:
  LogFileTest() {
    (void)machine_.files().MakeDirectories(u"C:\\logs");
    machine_.system().SetLocalTime({2026, 12, 2, 1, 13, 42, 5, 0});
  }
  Text Line(TextView head, TextView message) {
    return Text(head) + u": " + kStamp + u" - " + Text(message) + u"\r\n";
  }
  app::LogFile log_{services_};
};

TEST_F(LogFileTest, LineFormatForEveryLevel) {
  log_.Open(kLogPath);
  struct Row {
    int32_t level;
    int32_t code;
    const char16_t* head;
  } rows[] = {{0, 5, u"Error(5)"},
              {1, 0, u"Warning(0)"},
              {2, -1, u"Info(-1)"},
              {3, 7, u"(7)"},
              {-1, 2221, u"(2221)"}};
  Text expected;
  for (const Row& row : rows) {
    log_.Write(u"message", row.level, row.code);
    expected += Line(row.head, u"message");
  }
  EXPECT_EQ(ReadUtf16(kLogPath), expected);
}

TEST_F(LogFileTest, FileIsUtf16LittleEndianWithoutByteOrderMark) {
  log_.Open(kLogPath);
  log_.Write(u"\u00e4", app::kLogInfo, 0);
  const Result<std::vector<uint8_t>> bytes = machine_.files().ReadAll(kLogPath);
  ASSERT_TRUE(bytes.ok());
  ASSERT_GE(bytes->size(), 2u);
  EXPECT_EQ((*bytes)[0], 'I');
  EXPECT_EQ((*bytes)[1], 0);
  const std::vector<uint8_t> tail(bytes->end() - 6, bytes->end());
  EXPECT_EQ(tail, (std::vector<uint8_t>{0xE4, 0, '\r', 0, '\n', 0}));
}

TEST_F(LogFileTest, PercentIsLiteralInWriteAndFormattedInWriteFormat) {
  log_.Open(kLogPath);
  log_.Write(u"100% %s %d done", app::kLogInfo, 0);
  log_.WriteFormat(app::kLogWarning, 3, u"%s took %d%%", {u"setup.exe", 42});
  log_.WriteFormat(app::kLogError, 0, u"%s %s %n", {u"only"});
  EXPECT_EQ(ReadUtf16(kLogPath), Line(u"Info(0)", u"100% %s %d done") +
                                     Line(u"Warning(3)", u"setup.exe took 42%") +
                                     Line(u"Error(0)", u"only %s %n"));
}

TEST_F(LogFileTest, SecondOpenTruncates) {
  log_.Open(kLogPath);
  log_.Write(u"first run", app::kLogInfo, 0);
  log_.Open(kLogPath);
  log_.Write(u"second run", app::kLogInfo, 0);
  EXPECT_EQ(ReadUtf16(kLogPath), Line(u"Info(0)", u"second run"));
}

TEST_F(LogFileTest, EmptyMessageStillGivesACompleteLine) {
  log_.Open(kLogPath);
  log_.Write(u"", app::kLogWarning, 0);
  const Text text = ReadUtf16(kLogPath);
  EXPECT_EQ(text, Text(u"Warning(0): ") + kStamp + u" - \r\n");
}

TEST_F(LogFileTest, ListenerHearsEachEventBeforeTheFile) {
  log_.Open(kLogPath);
  std::vector<std::pair<Text, int32_t>> heard;
  std::vector<size_t> fileSizeWhenHeard;
  log_.SetListener([&](Text message, int32_t level) {
    heard.emplace_back(std::move(message), level);
    fileSizeWhenHeard.push_back(ReadUtf16(kLogPath).size());
  });
  log_.Write(u"one", app::kLogInfo, 0);
  log_.Write(u"two", app::kLogError, 9);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0], (std::pair<Text, int32_t>(u"one", app::kLogInfo)));
  EXPECT_EQ(heard[1], (std::pair<Text, int32_t>(u"two", app::kLogError)));
  EXPECT_EQ(fileSizeWhenHeard[0], 0u);
  EXPECT_EQ(fileSizeWhenHeard[1], Line(u"Info(0)", u"one").size());
}

TEST_F(LogFileTest, UnopenedOrUncreatableLogStillFeedsTheListener) {
  int events = 0;
  log_.SetListener([&](Text, int32_t) { ++events; });
  log_.Write(u"before open", app::kLogInfo, 0);
  log_.Open(u"Q:\\no\\such\\drive.log");
  EXPECT_FALSE(log_.IsOpen());
  log_.Write(u"after failed open", app::kLogInfo, 0);
  EXPECT_EQ(events, 2);
}

TEST_F(LogFileTest, PathIsExpandedAndCloseStopsWriting) {
  (void)machine_.environment().Set(u"LOGDIR", u"C:\\logs");
  log_.Open(u"%LOGDIR%\\x.log");
  EXPECT_EQ(log_.path(), u"C:\\logs\\x.log");
  log_.Write(u"kept", app::kLogInfo, 0);
  log_.Close();
  log_.Write(u"dropped", app::kLogInfo, 0);
  EXPECT_EQ(ReadUtf16(u"C:\\logs\\x.log"), Line(u"Info(0)", u"kept"));
}

}  // namespace
}  // namespace tarn::app
