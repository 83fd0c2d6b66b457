#include "app/machine_pattern.h"

#include <gtest/gtest.h>

namespace tarn::app {
namespace {

const MachineFacts kFacts = {u"CZC1234ABCDEF", u"00112233-4455-6677-8899-AABBCCDDEEFF",
                             u"00-1A-2B-3C-4D-5E", u"Contoso", u"Laptop 14"};

TEST(MachinePatternTest, VariablesAndCmdCuts) {
  struct Row {
    const char16_t* pattern;
    const char16_t* expected;
  };
  const Row rows[] = {
      {u"PC-%SERIAL%", u"PC-CZC1234ABCDEF"},
      {u"PC-%SERIAL:~-6%", u"PC-ABCDEF"},
      {u"%serial:~0,4%", u"CZC1"},
      {u"%SERIAL:~3%", u"1234ABCDEF"},
      {u"%SERIAL:~3,-6%", u"1234"},
      {u"%SERIAL:~-3,2%", u"DE"},
      {u"%SERIAL:~-99,2%", u"CZ"},
      {u"%SERIAL:~20%", u""},
      {u"%SERIAL:~2,-20%", u""},
      {u"%MAC:~-5%", u"4D-5E"},
      {u"%MAKER%-%MODEL%", u"Contoso-Laptop 14"},
      {u"%UUID:~0,8%", u"00112233"},
      // Not ours, or a cut that does not read: the pair stays as written.
      {u"%OTHER%-%SERIAL:~-2%", u"%OTHER%-EF"},
      {u"%SERIAL:~x%", u"%SERIAL:~x%"},
      {u"%SERIAL:~1,%", u"%SERIAL:~1,%"},
      // Percent signs pair up from the left.
      {u"50%%SERIAL%", u"50%%SERIAL%"},
      {u"A%SERIAL", u"A%SERIAL"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ExpandMachinePattern(row.pattern, kFacts), row.expected) << ToUtf8(row.pattern);
    EXPECT_EQ(UsesMachineVariables(row.pattern), Text(row.pattern) != row.expected)
        << ToUtf8(row.pattern);
  }
}

TEST(MachinePatternTest, AFactTheMachineLacksGivesNothing) {
  EXPECT_EQ(ExpandMachinePattern(u"PC-%SERIAL:~-6%", MachineFacts{}), u"PC-");
}

TEST(MachinePatternTest, NamesAreFittedToWhatWindowsAccepts) {
  struct Row {
    const char16_t* name;
    const char16_t* fitted;
    bool changed, cut;
  };
  const Row rows[] = {
      {u"PC-ABCDEF", u"PC-ABCDEF", false, false},
      {u"Contoso-Laptop 14", u"Contoso-Laptop-", true, true},
      {u"ABCDEFGHIJKLMNOPQ", u"ABCDEFGHIJKLMNO", false, true},
      {u"K\u00fcche*01/2", u"Kche012", true, false},
      {u"  PC-1  ", u"PC-1", false, false},
  };
  for (const Row& row : rows) {
    const FittedName fitted = FitComputerName(row.name);
    EXPECT_EQ(fitted.name, row.fitted) << ToUtf8(row.name);
    EXPECT_EQ(fitted.changed, row.changed) << ToUtf8(row.name);
    EXPECT_EQ(fitted.cut, row.cut) << ToUtf8(row.name);
  }
}

}  // namespace
}  // namespace tarn::app
