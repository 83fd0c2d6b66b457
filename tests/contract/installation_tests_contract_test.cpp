// Installation tests against each backend: the registry, file, size, date and
// version forms give the same answers on the simulated machine and on the
// real system.
#include <gtest/gtest.h>

#include <random>

#include "catalogue/installation_tests.h"
#include "contract/backend.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "support/pe_image_builder.h"

namespace tarn::contract {
namespace {

using catalogue::EvaluateTest;
using platform::RegValue;

struct Row {
  Text test;
  bool expected;
};

class InstallationTestsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    ASSERT_NE(platform_.registry, nullptr);
    ASSERT_NE(platform_.files, nullptr);
    ASSERT_NE(platform_.environment, nullptr);
    ASSERT_NE(platform_.versions, nullptr);
    scratch_ = backend_->ScratchFolder();
    std::random_device random;
    keyPath_ = u"Software\\TarnContractTests\\InstallationTests-" + DecimalText(random());
  }

  void TearDown() override {
    if (platform_.registry && created_) {
      (void)platform_.registry->DeleteTree(platform::kCurrentUser, keyPath_);
      platform::ScopedKey parent =
          platform::ScopedKey::Open(*platform_.registry, platform::kCurrentUser,
                                    u"Software\\TarnContractTests", platform::kKeyRead);
      if (parent && !platform_.registry->EnumKey(parent.get(), 0)) {
        parent.Reset();
        (void)platform_.registry->DeleteTree(platform::kCurrentUser,
                                             u"Software\\TarnContractTests");
      }
    }
    (void)platform_.environment->Set(u"TARN_TEST_DIR", std::nullopt);
  }

  void PutValue(TextView name, const RegValue& value) {
    WinError error = 0;
    platform::ScopedKey key = platform::ScopedKey::Create(
        *platform_.registry, platform::kCurrentUser, keyPath_, platform::kKeyAllAccess, &error);
    ASSERT_TRUE(key) << "creating the test key failed with " << error;
    created_ = true;
    ASSERT_EQ(platform_.registry->SetValue(key.get(), name, value), kErrorSuccess);
  }

  void PutFile(TextView name, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(platform_.files->WriteAll(scratch_ + u"\\" + Text(name), bytes), kErrorSuccess);
  }

  void Check(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      EXPECT_EQ(EvaluateTest(platform_, row.test), row.expected)
          << backend_->Name() << ": " << ToUtf8(row.test);
    }
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  Text scratch_;
  Text keyPath_;
  bool created_ = false;
};

TEST_F(InstallationTestsContract, RegistryForms) {
  PutValue(u"", RegValue::FromText(u"abc"));
  PutValue(u"Version", RegValue::FromText(u"3"));
  PutValue(u"Count", RegValue::FromDword(16));
  PutValue(u"Large", RegValue::FromDword(0x80000000u));
  PutValue(u"Big", RegValue::FromText(Text(300, u'z')));
  const Text key = u"HKCU:" + keyPath_ + u"\\";
  Check({
      {key, true},
      {u"hkcu:" + keyPath_ + u"\\", true},
      {u"HKCU:" + keyPath_ + u"-missing\\", false},
      {u"!HKCU:" + keyPath_ + u"-missing\\", true},
      {key + u"Version", true},
      {key + u"Nope", false},
      {key + u"Version?x=3", true},
      {key + u"Version?x!3", false},
      {key + u"Version?x>2", true},
      {key + u"?x=abc", true},
      {key + u"?x=ABC", false},
      {key + u"Count?x=16", true},
      {key + u"Count?x=0x10", true},
      {key + u"Count?x=020", true},
      {key + u"Count?x<15", false},
      {key + u"Large?x>1", true},
      {key + u"Big", true},
      {key + u"Big?x!z", false},
      {key + u"Nope?x!3", false},
      {key + u"Version?x3", false},
      {u"HKLM:" + keyPath_ + u"\\", false},
      {u"HKLM:SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\", true},
      {u"HKLM:SOFTWARE\\TarnNoSuchVendor\\App\\", false},
  });
}

TEST_F(InstallationTestsContract, FileForms) {
  PutFile(u"data.bin", std::vector<uint8_t>(10, 7));
  PutFile(u"app.exe", tarn::testing::BuildPeImage(
                          tarn::testing::BuildVersionBlock(tarn::testing::SampleVersionSpec())));
  ASSERT_EQ(platform_.files->CreateDirectory(scratch_ + u"\\Folder"), kErrorSuccess);
  ASSERT_EQ(platform_.environment->Set(u"TARN_TEST_DIR", scratch_), kErrorSuccess);
  const Text dir = u"%TARN_TEST_DIR%\\";
  Check({
      {dir + u"data.bin", true},
      {dir + u"DATA.BIN", true},
      {dir + u"Folder", true},
      {dir + u"missing.bin", false},
      {u"!" + dir + u"missing.bin", true},
      {dir + u"data.bin?size=10", true},
      {dir + u"data.bin?size>10", false},
      {dir + u"data.bin?size<11", true},
      {dir + u"missing.bin?size=1", true},
      {dir + u"missing.bin?version<1", true},
      {dir + u"Folder?size=1", true},
      {dir + u"data.bin?version=1", true},
      {dir + u"data.bin?version!1", true},
      {dir + u"app.exe?version=5.6.7.8", true},
      {dir + u"app.exe?version<2.5", false},
      {dir + u"app.exe?productversion>5.6.7.7", true},
      {dir + u"app.exe?fileversion=1.2.3.4", true},
      {dir + u"app.exe?fileversion!1.2.3.4", false},
      {dir + u"app.exe?version.CompanyName=Example Ltd", true},
      {dir + u"app.exe?version.CompanyName=example ltd", false},
      {dir + u"app.exe?version.Comments=", true},
  });
}

TEST_F(InstallationTestsContract, DateComparesTheLocalCreationTime) {
  PutFile(u"dated.txt", {'d'});
  const auto info = platform_.files->GetInfo(scratch_ + u"\\dated.txt");
  ASSERT_TRUE(info) << info.error();
  ASSERT_NE(platform_.system, nullptr);
  const auto local = platform_.system->FileTimeToLocalTime(info->creationTime);
  ASSERT_TRUE(local.has_value());
  const Text path = scratch_ + u"\\dated.txt?date";
  const Text day =
      DecimalText(local->year) + u"-" + DecimalText(local->month) + u"-" + DecimalText(local->day);
  Check({
      {path + u"=" + day, true},
      {path + u"=" + DecimalText(local->year), true},
      {path + u">" + DecimalText(local->year - 1) + u"-12-31", true},
      {path + u"<" + DecimalText(local->year + 1), true},
      {path + u"<" + day, false},
      {path + u"=" + day + u"T" + DecimalText(local->hour) + u":" + DecimalText(local->minute) +
           u":" + DecimalText(local->second),
       true},
  });
}

}  // namespace
}  // namespace tarn::contract
