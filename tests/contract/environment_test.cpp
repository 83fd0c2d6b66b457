// The process environment contract: both backends answer these cases the
// same way.
#include <gtest/gtest.h>

#include "contract/backend.h"
#include "platform/environment.h"

namespace tarn::contract {
namespace {

// Variables of its own, removed when the test ends.
class EnvironmentContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    env_ = backend_->platform().environment;
    ASSERT_NE(env_, nullptr);
    ASSERT_EQ(env_->Set(u"TARN_CT_A", u"alpha"), kErrorSuccess);
    ASSERT_EQ(env_->Set(u"TARN_CT_B", u"%TARN_CT_A%"), kErrorSuccess);
  }

  void TearDown() override {
    for (const char16_t* name : {u"TARN_CT_A", u"TARN_CT_B", u"TARN_CT_NEW", u"TARN_CT_ONLY"}) {
      (void)env_->Set(name, std::nullopt);
    }
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Environment* env_ = nullptr;
};

TEST_F(EnvironmentContract, SetGetAndRemoveIgnoreCase) {
  EXPECT_EQ(env_->Get(u"tarn_ct_a"), std::optional<Text>(u"alpha"));
  ASSERT_EQ(env_->Set(u"Tarn_Ct_New", u"one"), kErrorSuccess);
  ASSERT_EQ(env_->Set(u"TARN_CT_NEW", u"two"), kErrorSuccess);
  EXPECT_EQ(env_->Get(u"tarn_ct_new"), std::optional<Text>(u"two"));
  ASSERT_EQ(env_->Set(u"tarn_ct_NEW", std::nullopt), kErrorSuccess);
  EXPECT_EQ(env_->Get(u"TARN_CT_NEW"), std::nullopt);
  EXPECT_EQ(env_->Get(u"TARN_CT_NEVER_SET"), std::nullopt);
}

TEST_F(EnvironmentContract, ExpansionFollowsTheSystemRules) {
  struct Row {
    const char16_t* input;
    const char16_t* expected;
  } rows[] = {
      {u"%TARN_CT_A%", u"alpha"},
      {u"x%tarn_ct_a%y", u"xalphay"},
      {u"%TARN_CT_A%%TARN_CT_A%", u"alphaalpha"},
      {u"%TARN_CT_UNDEFINED%", u"%TARN_CT_UNDEFINED%"},
      {u"a%TARN_CT_UNDEFINED%TARN_CT_A%b", u"a%TARN_CT_UNDEFINED%TARN_CT_A%b"},
      {u"100%", u"100%"},
      {u"%", u"%"},
      {u"%%", u"%%"},
      {u"50% of %TARN_CT_A%", u"50% of %TARN_CT_A%"},
      {u"%TARN_CT_A%50% of %TARN_CT_A%", u"alpha50% of %TARN_CT_A%"},
      {u"%TARN_CT_B%", u"%TARN_CT_A%"},
      {u"no variables", u"no variables"},
      {u"", u""},
  };
  for (const Row& row : rows) {
    const platform::Expansion expansion = env_->Expand(row.input, 1024);
    EXPECT_EQ(ToUtf8(expansion.text), ToUtf8(row.expected)) << ToUtf8(row.input);
    EXPECT_EQ(expansion.required, std::char_traits<char16_t>::length(row.expected) + 1)
        << ToUtf8(row.input);
    EXPECT_TRUE(expansion.complete()) << ToUtf8(row.input);
  }
}

TEST_F(EnvironmentContract, ExpansionIsCutToTheBufferAndReportsTheSizeNeeded) {
  struct Row {
    uint32_t capacity;
    const char16_t* text;
  } rows[] = {{0, u""}, {1, u""}, {3, u"[a"}, {7, u"[alpha"}, {8, u"[alpha]"}, {100, u"[alpha]"}};
  for (const Row& row : rows) {
    const platform::Expansion expansion = env_->Expand(u"[%TARN_CT_A%]", row.capacity);
    EXPECT_EQ(ToUtf8(expansion.text), ToUtf8(row.text)) << "capacity " << row.capacity;
    EXPECT_EQ(expansion.required, 8u) << "capacity " << row.capacity;
    EXPECT_EQ(expansion.complete(), row.capacity >= 8) << "capacity " << row.capacity;
  }
}

TEST_F(EnvironmentContract, CurrentBlockHoldsTheVariablesAndEndsWithTwoZeros) {
  const platform::EnvironmentBlock block = env_->CurrentBlock();
  ASSERT_GE(block.size(), 2u);
  EXPECT_EQ(block[block.size() - 1], u'\0');
  EXPECT_EQ(block[block.size() - 2], u'\0');
  EXPECT_NE(block.find(Text(u"TARN_CT_A=alpha") + u'\0'), Text::npos);
}

TEST_F(EnvironmentContract, ReplaceBlockSwapsTheWholeEnvironmentAndBack) {
  const Text replacement = Text(u"TARN_CT_ONLY=1") + u'\0' + u"TARN_CT_NEW=x" + u'\0' + u'\0';
  auto previous = env_->ReplaceBlock(replacement);
  ASSERT_TRUE(previous) << previous.error();
  const std::optional<Text> only = env_->Get(u"tarn_ct_only");
  const std::optional<Text> goneA = env_->Get(u"TARN_CT_A");
  auto mine = env_->ReplaceBlock(*previous);
  ASSERT_TRUE(mine) << mine.error();

  EXPECT_EQ(only, std::optional<Text>(u"1"));
  EXPECT_EQ(goneA, std::nullopt);
  EXPECT_NE(previous->find(Text(u"TARN_CT_A=alpha") + u'\0'), Text::npos);
  EXPECT_NE(mine->find(Text(u"TARN_CT_ONLY=1") + u'\0'), Text::npos);
  EXPECT_EQ(env_->Get(u"TARN_CT_A"), std::optional<Text>(u"alpha"));
  EXPECT_EQ(env_->Get(u"TARN_CT_ONLY"), std::nullopt);
}

TEST_F(EnvironmentContract, ReplaceBlockRefusesAnUnterminatedBlock) {
  auto result = env_->ReplaceBlock(u"TARN_CT_ONLY=1");
  EXPECT_FALSE(result);
  EXPECT_EQ(env_->Get(u"TARN_CT_A"), std::optional<Text>(u"alpha"));
  EXPECT_EQ(env_->Get(u"TARN_CT_ONLY"), std::nullopt);
}

TEST_F(EnvironmentContract, ReplaceBlockKeepsTheFirstOfTwoEqualNames) {
  const Text replacement =
      Text(u"TARN_CT_ONLY=first") + u'\0' + u"tarn_ct_only=second" + u'\0' + u'\0';
  auto previous = env_->ReplaceBlock(replacement);
  ASSERT_TRUE(previous) << previous.error();
  const std::optional<Text> only = env_->Get(u"TARN_CT_ONLY");
  ASSERT_TRUE(env_->ReplaceBlock(*previous));

  EXPECT_EQ(only, std::optional<Text>(u"first"));
}

}  // namespace
}  // namespace tarn::contract
