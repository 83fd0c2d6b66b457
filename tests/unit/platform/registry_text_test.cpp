#include "platform/registry_text.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace tarn::platform {
namespace {

struct Case {
  TextView stored;
  uint32_t maxBytes;
  const char* expected;
};

TEST(ValueText, KeepsTheTextWithinTheBytesUpToTheFirstZero) {
  const Case cases[] = {
      {u"abcdef", 1000, "abcdef"}, {u"abcdef", 6, "abc"}, {u"abcdef", 7, "abc"},
      {u"abcdef", 1, ""},          {u"abcdef", 0, ""},    {TextView(u"ab\0cd", 5), 1000, "ab"},
  };
  for (const Case& c : cases) {
    const auto value = platform::RegValue::FromText(c.stored, platform::kRegExpandSz);
    EXPECT_EQ(ToUtf8(ValueText(value, c.maxBytes)), c.expected) << "max bytes " << c.maxBytes;
  }
}

TEST(ReadTextValue, MissingValueReadsAsEmpty) {
  sim::Machine machine;
  auto& registry = machine.registry();
  ASSERT_TRUE(
      registry.Put(platform::kCurrentUser, u"K", u"V", platform::RegValue::FromText(u"xyz")));
  platform::ScopedKey key =
      platform::ScopedKey::Open(registry, platform::kCurrentUser, u"K", platform::kKeyRead);
  ASSERT_TRUE(key.valid());
  EXPECT_EQ(ToUtf8(ReadTextValue(registry, key.get(), u"V", 4)), "xy");
  EXPECT_EQ(ToUtf8(ReadTextValue(registry, key.get(), u"other", 100)), "");
}

}  // namespace
}  // namespace tarn::platform
