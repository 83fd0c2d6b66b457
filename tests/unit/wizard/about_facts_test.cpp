#include "wizard/about_facts.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace tarn::wizard {
namespace {

// The simulated machine keeps local time at UTC and writes dates in English.
struct DateCase {
  std::optional<int64_t> sourceDate;
  const char* shown;
};

TEST(AboutFactsTest, TheBuildDateIsTheCommitsTimeInTheLongFormat) {
  const DateCase cases[] = {
      {1'765'000'000, "Saturday, December 6, 2025, 5:46:40 AM"},
      {0, "Thursday, January 1, 1970, 12:00:00 AM"},
      {std::nullopt, ""},
      {-5, ""},
  };
  sim::Machine machine;
  for (const DateCase& c : cases) {
    const AboutFacts facts = AboutFactsOf(machine.platform(), {u"5.6.7", c.sourceDate});
    EXPECT_EQ(ToUtf8(facts.version), "5.6.7");
    EXPECT_EQ(ToUtf8(facts.buildDate), c.shown);
  }
}

}  // namespace
}  // namespace tarn::wizard
