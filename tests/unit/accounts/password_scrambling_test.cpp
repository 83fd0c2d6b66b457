#include "accounts/password_scrambling.h"

#include <gtest/gtest.h>

#include <string>

#include "account_test_machine.h"
#include "support/text_helpers.h"

namespace tarn::accounts {
namespace {

using tarn::testing::T;

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

struct Vector {
  const char* password;
  const char* scrambled;
};

class KnownVectors : public ::testing::TestWithParam<Vector> {};

// Worked by hand from the run-encoding rule with the seed 0xC4: byte 0 XOR
// 0xC7, then each byte XOR the encoded byte before it XOR 0xC4.
TEST_P(KnownVectors, ScrambleGivesTheKnownBytesAndUnscrambleRestores) {
  const Vector& v = GetParam();
  std::vector<uint8_t> bytes = ScramblePassword(T(v.password));
  EXPECT_EQ(Hex(bytes), v.scrambled);
  EXPECT_EQ(bytes.size(), (std::string(v.password).size() + 1) * 2);
  EXPECT_EQ(ToUtf8(UnscramblePassword(bytes)), v.password);
  EXPECT_TRUE(bytes.empty()) << "the scrambled bytes are wiped after use";
}

INSTANTIATE_TEST_SUITE_P(Passwords, KnownVectors,
                         ::testing::Values(Vector{"a", "A662A662"},
                                           Vector{"Passw0rd",
                                                  "9753F6328541F6328145B175C307A763A763"},
                                           Vector{"", "C703"}));

TEST(Scrambling, EncodeThenDecodeIsTheIdentityForEveryLengthUpToTheBuffer) {
  for (size_t length = 0; length + 1 <= kReadBufferBytes / 2; ++length) {
    Text password;
    for (size_t i = 0; i < length; ++i) password += static_cast<char16_t>(0x20 + (i * 37) % 0x2F00);
    std::vector<uint8_t> bytes = ScramblePassword(password);
    ASSERT_EQ(bytes.size(), 2 * length + 2);
    ASSERT_EQ(UnscramblePassword(bytes), password) << "length " << length;
  }
}

TEST(Scrambling, RunDecodeInvertsRunEncodeForAnySeed) {
  std::vector<uint8_t> original;
  for (int i = 0; i < 64; ++i) original.push_back(static_cast<uint8_t>(i * 7 + 3));
  for (int seed = 0; seed < 256; ++seed) {
    std::vector<uint8_t> bytes = original;
    RunEncode(bytes, static_cast<uint8_t>(seed));
    RunDecode(bytes, static_cast<uint8_t>(seed));
    ASSERT_EQ(bytes, original) << "seed " << seed;
  }
}

class UsersFile : public ::testing::Test {
 protected:
  static constexpr char16_t kFile[] = u"C:\\setup\\install.ini";
  void SetUp() override {
    m.WriteIni(kFile,
               "[users]\n"
               "user.0=anna\npassword.0=Secret-1\n"
               "user.1=ben\n"
               "user.2=carl\npassword.2=x\n"
               "user.4=dora\npassword.4=beyond the gap\n");
  }
  platform::ProfileFiles& profiles() { return *platform.profiles; }
  Text Value(TextView key) {
    return profiles().GetString(kFile, u"users", key, u"<missing>", 512).data;
  }

  testing::AccountMachine m;
  platform::Platform platform = m.platform();
};

TEST_F(UsersFile, EncryptScramblesEveryPlainPasswordOnce) {
  EncryptUsers(profiles(), kFile);
  EXPECT_EQ(ToUtf8(Value(u"crypted.0")), "18");
  EXPECT_EQ(Value(u"Password.0").size(), 2u * 18 + 2) << "two digits per byte and a checksum";
  EXPECT_EQ(ToUtf8(Value(u"crypted.1")), "<missing>") << "an empty password stays plain";
  EXPECT_EQ(ToUtf8(Value(u"crypted.2")), "4");
  EXPECT_EQ(ToUtf8(Value(u"password.4")), "beyond the gap");
  const auto before = m.machine.files().ReadAll(kFile);
  ASSERT_TRUE(before.ok());
  EncryptUsers(profiles(), kFile);
  const auto after = m.machine.files().ReadAll(kFile);
  ASSERT_TRUE(after.ok());
  EXPECT_EQ(*before, *after) << "a second run changes nothing";
}

TEST_F(UsersFile, DecryptRestoresEveryPasswordAndRemovesTheCounts) {
  EncryptUsers(profiles(), kFile);
  DecryptUsers(profiles(), kFile);
  EXPECT_EQ(ToUtf8(Value(u"password.0")), "Secret-1");
  EXPECT_EQ(ToUtf8(Value(u"password.2")), "x");
  EXPECT_EQ(ToUtf8(Value(u"crypted.0")), "<missing>");
  EXPECT_EQ(ToUtf8(Value(u"crypted.2")), "<missing>");
}

TEST_F(UsersFile, ScrambledValueReadsBackAsAStruct) {
  EncryptUsers(profiles(), kFile);
  auto password = ReadScrambledPassword(profiles(), kFile, 0, 18, kReadBufferBytes);
  ASSERT_TRUE(password.has_value());
  EXPECT_EQ(ToUtf8(*password), "Secret-1");
  EXPECT_FALSE(ReadScrambledPassword(profiles(), kFile, 0, 16, kReadBufferBytes).has_value())
      << "a wrong byte count is rejected";
  EXPECT_FALSE(ReadScrambledPassword(profiles(), kFile, 0, -18, kReadBufferBytes).has_value());
}

TEST_F(UsersFile, APasswordTooLongToComeBackWholeStaysPlain) {
  const Text longest(kLongestScrambledPassword, u'q');
  const Text tooLong = longest + u"!";
  ASSERT_EQ(profiles().WriteString(kFile, u"users", u"password.0", TextView(longest)),
            kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(kFile, u"users", u"password.2", TextView(tooLong)),
            kErrorSuccess);
  std::vector<std::string> leftPlain;
  EncryptUsers(profiles(), kFile, [&](TextView user) { leftPlain.push_back(ToUtf8(user)); });
  EXPECT_EQ(leftPlain, std::vector<std::string>{"carl"});
  EXPECT_EQ(Value(u"password.2"), tooLong) << "kept whole, in clear";
  EXPECT_EQ(ToUtf8(Value(u"crypted.2")), "<missing>");
  EXPECT_EQ(ToUtf8(Value(u"crypted.0")), "200");
  DecryptUsers(profiles(), kFile);
  EXPECT_EQ(Value(u"password.0"), longest) << "the longest scrambled password comes back whole";
  EXPECT_EQ(Value(u"password.2"), tooLong);
}

TEST_F(UsersFile, DecryptSkipsValuesLongerThanItsBuffer) {
  const Text longPassword(120, u'p');
  const std::vector<uint8_t> bytes = ScramblePassword(longPassword);
  ASSERT_EQ(profiles().WriteStruct(kFile, u"users", u"password.0", bytes), kErrorSuccess);
  ASSERT_EQ(profiles().WriteString(kFile, u"users", u"crypted.0", u"242"), kErrorSuccess);
  DecryptUsers(profiles(), kFile);
  EXPECT_EQ(ToUtf8(Value(u"crypted.0")), "242") << "left scrambled, not cut";
  auto whole = ReadScrambledPassword(profiles(), kFile, 0, 242, kReadBufferBytes);
  ASSERT_TRUE(whole.has_value());
  EXPECT_EQ(*whole, longPassword);
}

}  // namespace
}  // namespace tarn::accounts
