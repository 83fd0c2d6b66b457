// Scrambled passwords as the profile functions store them: both backends
// write and read the struct values the same way, so a users file scrambled
// by one reads back on the other. The platform's own run-encoding routines
// are never called here (under Wine they are crashing stubs); the portable
// pair is checked against worked vectors in the unit tests.
#include <gtest/gtest.h>

#include <string>

#include "accounts/password_scrambling.h"
#include "contract/backend.h"
#include "platform/file_system.h"
#include "platform/profile_files.h"

namespace tarn::contract {
namespace {

using accounts::DecryptUsers;
using accounts::EncryptUsers;
using accounts::ReadScrambledPassword;
using accounts::ScramblePassword;

class ScramblingContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    ASSERT_NE(platform_.profiles, nullptr);
    ASSERT_NE(platform_.files, nullptr);
    file_ = backend_->ScratchFolder() + u"\\users.ini";
  }
  Text Value(TextView key) {
    return platform_.profiles->GetString(file_, u"users", key, u"<missing>", 512).data;
  }
  std::string FileText() {
    auto bytes = platform_.files->ReadAll(file_);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }
  void Write(TextView key, TextView value) {
    ASSERT_EQ(platform_.profiles->WriteString(file_, u"users", key, value), kErrorSuccess);
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  Text file_;
};

TEST_F(ScramblingContract, StructValueHasHexDigitsAndAChecksum) {
  ASSERT_EQ(platform_.profiles->WriteStruct(file_, u"users", u"password.0",
                                            ScramblePassword(u"Passw0rd")),
            kErrorSuccess);
  EXPECT_NE(FileText().find("password.0=9753F6328541F6328145B175C307A763A763CA"), std::string::npos)
      << FileText();
  auto password = ReadScrambledPassword(*platform_.profiles, file_, 0, 18, 1024);
  ASSERT_TRUE(password.has_value());
  EXPECT_EQ(ToUtf8(*password), "Passw0rd");
}

TEST_F(ScramblingContract, StructValueWithAWrongSizeOrChecksumIsRejected) {
  Write(u"Password.0", u"A662A66210");
  EXPECT_TRUE(platform_.profiles->GetStruct(file_, u"users", u"Password.0", 4).has_value());
  EXPECT_FALSE(platform_.profiles->GetStruct(file_, u"users", u"Password.0", 3).has_value());
  Write(u"Password.0", u"A662A66211");
  EXPECT_FALSE(platform_.profiles->GetStruct(file_, u"users", u"Password.0", 4).has_value());
}

TEST_F(ScramblingContract, EncryptThenDecryptRestoresTheFile) {
  Write(u"user.0", u"anna");
  Write(u"password.0", u"Secret-1");
  Write(u"user.1", u"ben");
  Write(u"user.2", u"carl");
  Write(u"password.2", u"two words");
  EncryptUsers(*platform_.profiles, file_);
  EXPECT_EQ(ToUtf8(Value(u"crypted.0")), "18");
  EXPECT_EQ(ToUtf8(Value(u"crypted.1")), "<missing>");
  EXPECT_EQ(ToUtf8(Value(u"crypted.2")), "20");
  EXPECT_EQ(FileText().find("Secret-1"), std::string::npos);
  const std::string scrambled = FileText();
  EncryptUsers(*platform_.profiles, file_);
  EXPECT_EQ(FileText(), scrambled) << "a second run changes nothing";
  DecryptUsers(*platform_.profiles, file_);
  EXPECT_EQ(ToUtf8(Value(u"password.0")), "Secret-1");
  EXPECT_EQ(ToUtf8(Value(u"password.2")), "two words");
  EXPECT_EQ(FileText().find("crypted"), std::string::npos) << FileText();
}

}  // namespace
}  // namespace tarn::contract
