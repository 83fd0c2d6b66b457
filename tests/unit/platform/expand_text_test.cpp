#include "platform/expand_text.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_environment.h"

namespace tarn::platform {
namespace {

struct Case {
  const char16_t* text;
  uint32_t buffer;
  const char* expected;
};

TEST(ExpandIntoBuffer, WithoutEnvironmentTheTextIsCutToTheBuffer) {
  const Case cases[] = {
      {u"%A%\\tail", 0, ""},
      {u"%A%\\tail", 1, ""},
      {u"%A%\\tail", 4, "%A%"},
      {u"%A%\\tail", 9, "%A%\\tail"},
      {u"%A%\\tail", 100, "%A%\\tail"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(ExpandIntoBuffer(nullptr, c.text, c.buffer)), c.expected)
        << "buffer " << c.buffer;
  }
}

TEST(ExpandIntoBuffer, WithEnvironmentVariablesExpandWithinTheBuffer) {
  sim::SimEnvironment environment;
  ASSERT_EQ(environment.Set(u"A", u"value"), kErrorSuccess);
  EXPECT_EQ(ToUtf8(ExpandIntoBuffer(&environment, u"%A%\\tail", 100)), "value\\tail");
  EXPECT_EQ(ToUtf8(ExpandIntoBuffer(&environment, u"%A%\\tail", 4)), "val");
  EXPECT_EQ(ToUtf8(ExpandIntoBuffer(&environment, u"%A%\\tail", 0)), "");
}

}  // namespace
}  // namespace tarn::platform
