#include "app/machine_table.h"

#include <gtest/gtest.h>

namespace tarn::app {
namespace {

TEST(MachineTableTest, RowsReadTheirKeyAndFields) {
  const RowReading reading = ReadMachineRow(
      u" Serial : CZC1 ",
      u"Computer=ACC-01; workgroup = ACCOUNTS ;Owner=\"Doe, Jane\"; Org=Ex; Selection=office;"
      u" Computer=SECOND");
  ASSERT_TRUE(reading.row) << ToUtf8(reading.problem);
  const MachineRow& row = *reading.row;
  EXPECT_EQ(row.match, MachineMatch::kSerial);
  EXPECT_EQ(row.id, u"CZC1");
  EXPECT_EQ(row.computer, u"ACC-01") << "the first of two wins";
  EXPECT_EQ(row.workgroup, u"ACCOUNTS");
  EXPECT_EQ(row.owner, u"Doe, Jane");
  EXPECT_EQ(row.org, u"Ex");
  EXPECT_EQ(row.selection, u"office");
}

TEST(MachineTableTest, SerialRowsComeFirstThenUuidMacAndName) {
  const auto row = [](TextView key) { return *ReadMachineRow(key, u"Computer=" + Text(key)).row; };
  const std::vector<MachineRow> rows = {row(u"name:OLD-PC"), row(u"mac:001a2b3c4d5e"),
                                        row(u"uuid:{00112233-4455-6677-8899-aabbccddeeff}"),
                                        row(u"serial:czc1")};
  MachineFacts facts = {u"CZC1", u"00112233-4455-6677-8899-AABBCCDDEEFF", u"00-1A-2B-3C-4D-5E", u"",
                        u""};
  const struct {
    MachineFacts facts;
    TextView computerName;
    const char16_t* found;
  } cases[] = {
      {facts, u"old-pc", u"serial:czc1"},
      {{u"", facts.uuid, facts.mac, u"", u""},
       u"old-pc",
       u"uuid:{00112233-4455-6677-8899-aabbccddeeff}"},
      {{u"", u"", facts.mac, u"", u""}, u"old-pc", u"mac:001a2b3c4d5e"},
      {{}, u"OLD-PC", u"name:OLD-PC"},
      {{u"OTHER", u"", u"", u"", u""}, u"", nullptr},
  };
  for (const auto& c : cases) {
    const MachineRow* found = FindMachineRow(rows, c.facts, c.computerName);
    if (c.found == nullptr) {
      EXPECT_EQ(found, nullptr);
    } else {
      ASSERT_NE(found, nullptr) << ToUtf8(c.found);
      EXPECT_EQ(found->computer, c.found);
    }
  }
}

}  // namespace
}  // namespace tarn::app
