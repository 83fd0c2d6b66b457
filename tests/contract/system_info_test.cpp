// The system facts contract: both backends answer these cases the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "contract/backend.h"
#include "platform/system_info.h"

namespace tarn::contract {
namespace {

using platform::kLocaleEnglishUs;

class SystemInfoContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    system_ = backend_->platform().system;
    ASSERT_NE(system_, nullptr);
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::SystemInfo* system_ = nullptr;
};

TEST_F(SystemInfoContract, NamesOfProgramUserAndComputerAreKnown) {
  const Text module = system_->ModuleFileName();
  ASSERT_GE(module.size(), 7u) << ToUtf8(module);
  EXPECT_EQ(module[1], u':') << ToUtf8(module);
  EXPECT_TRUE(EqualsIgnoreCase(module.substr(module.size() - 4), u".exe")) << ToUtf8(module);
  auto user = system_->UserName();
  ASSERT_TRUE(user) << user.error();
  EXPECT_FALSE(user->empty());
  auto computer = system_->ComputerName();
  ASSERT_TRUE(computer) << computer.error();
  EXPECT_FALSE(computer->empty());
  EXPECT_LE(computer->size(), 15u) << ToUtf8(*computer);
}

TEST_F(SystemInfoContract, TheSystemFolderIsSystem32InTheWindowsFolder) {
  const Text windows = system_->WindowsFolder();
  ASSERT_GE(windows.size(), 3u) << ToUtf8(windows);
  EXPECT_EQ(windows[1], u':') << ToUtf8(windows);
  EXPECT_TRUE(EqualsIgnoreCase(system_->SystemFolder(), windows + u"\\System32"))
      << ToUtf8(system_->SystemFolder());
}

TEST_F(SystemInfoContract, ThreadLocaleCanBeChangedAndRestored) {
  const uint32_t before = system_->ThreadLocale();
  system_->SetThreadLocale(1031);
  const uint32_t changed = system_->ThreadLocale();
  system_->SetThreadLocale(before);
  EXPECT_EQ(changed, 1031u);
  EXPECT_EQ(system_->ThreadLocale(), before);
}

TEST_F(SystemInfoContract, ANewThreadStartsWithoutTheLocaleAnotherThreadSet) {
  const uint32_t before = system_->ThreadLocale();
  const uint32_t other = before == 1031u ? 1036u : 1031u;
  system_->SetThreadLocale(other);
  uint32_t seen = 0;
  std::thread([&] { seen = system_->ThreadLocale(); }).join();
  system_->SetThreadLocale(before);
  EXPECT_EQ(seen, before);
}

TEST_F(SystemInfoContract, LocalesNameTheirLanguageAndCountry) {
  const std::vector<uint32_t> locales = system_->SupportedLocales();
  ASSERT_NE(std::find(locales.begin(), locales.end(), kLocaleEnglishUs), locales.end());
  ASSERT_NE(std::find(locales.begin(), locales.end(), 1031u), locales.end());
  struct Row {
    uint32_t lcid;
    uint32_t type;
    uint32_t capacity;
    const char* expected;
  } rows[] = {
      {kLocaleEnglishUs, platform::kLocaleSIso639LangName, 9, "en"},
      {kLocaleEnglishUs, platform::kLocaleSIso3166CtryName, 9, "US"},
      {kLocaleEnglishUs, platform::kLocaleSEnglishLanguage, 64, "English"},
      {1031, platform::kLocaleSIso639LangName, 9, "de"},
      {1031, platform::kLocaleSEnglishLanguage, 64, "German"},
      // GetLocaleInfoW fails rather than cut: "English" needs 8 units.
      {kLocaleEnglishUs, platform::kLocaleSEnglishLanguage, 7, ""},
      {kLocaleEnglishUs, platform::kLocaleSEnglishLanguage, 8, "English"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ToUtf8(system_->LocaleInfo(row.lcid, row.type, row.capacity)), row.expected)
        << row.lcid << " type " << row.type << " capacity " << row.capacity;
  }
}

TEST_F(SystemInfoContract, DatesAndTimesAreFormattedAndCut) {
  const platform::SystemTime time{2026, 12, 1, 7, 13, 42, 5, 0};
  const std::string date = ToUtf8(system_->FormatShortDate(time, 64));
  EXPECT_NE(date.find("2026"), std::string::npos) << date;
  EXPECT_NE(date.find("12"), std::string::npos) << date;
  const std::string clock = ToUtf8(system_->FormatTime(time, 64));
  EXPECT_NE(clock.find("42"), std::string::npos) << clock;
  EXPECT_NE(clock.find("05"), std::string::npos) << clock;
  EXPECT_EQ(system_->FormatShortDate(time, 3).size(), 2u);
  EXPECT_EQ(system_->FormatTime(time, 1).size(), 0u);
  const platform::SystemTime now = system_->LocalTime();
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
}

TEST_F(SystemInfoContract, LongDateAndTimeNameTheYearAndTheSecondsAndAreCut) {
  const platform::SystemTime time{2026, 12, 1, 7, 13, 42, 5, 0};
  const uint32_t before = system_->ThreadLocale();
  system_->SetThreadLocale(kLocaleEnglishUs);
  const Text full = system_->FormatLongDateTime(time, 64);
  const Text cut = system_->FormatLongDateTime(time, 10);
  system_->SetThreadLocale(before);
  const std::string text = ToUtf8(full);
  EXPECT_NE(text.find("December"), std::string::npos) << text;
  EXPECT_NE(text.find("2026, "), std::string::npos) << text;
  EXPECT_NE(text.find("42:05"), std::string::npos) << text;
  EXPECT_EQ(cut, full.substr(0, 9));
}

TEST_F(SystemInfoContract, SystemMessagesEndWithALineBreak) {
  for (uint32_t code : {2u, 3u, 5u}) {
    const Text message = system_->SystemMessage(code);
    ASSERT_GE(message.size(), 3u) << code;
    EXPECT_EQ(ToUtf8(message.substr(message.size() - 2)), "\r\n") << code;
  }
  if (backend_->UnderWine()) GTEST_SKIP() << "Wine words its system messages differently";
  EXPECT_EQ(ToUtf8(system_->SystemMessage(2)), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(ToUtf8(system_->SystemMessage(5)), "Access is denied.\r\n");
}

TEST_F(SystemInfoContract, VersionIsAModernWindows) {
  const platform::OsVersion version = system_->Version();
  EXPECT_GE(version.major, 6u) << version.major << "." << version.minor;
}

}  // namespace
}  // namespace tarn::contract
