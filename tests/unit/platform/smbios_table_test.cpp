#include "platform/smbios_table.h"

#include <gtest/gtest.h>

#include "support/smbios_builder.h"

namespace tarn::platform {
namespace {

using testing::kStoredUuid;
using testing::SmbiosBuilder;

constexpr SmbiosBuilder::Uuid kZeroUuid{};
const SmbiosBuilder::Uuid kOnesUuid = [] {
  SmbiosBuilder::Uuid uuid;
  uuid.fill(0xFF);
  return uuid;
}();

TEST(SmbiosTableTest, ReadsTheSystemFactsWithTheUuidsFirstFieldsLittleEndian) {
  const auto bytes = SmbiosBuilder()
                         .Add(0, {1, 2, 0, 0}, {"BIOS vendor", "1.0"})
                         .System("  Contoso Ltd ", "Laptop 14", "CZC1234ABCDEF", kStoredUuid)
                         .EndOfTable()
                         .Bytes();
  const FirmwareIdentity identity = ReadFirmwareIdentity(bytes);
  EXPECT_EQ(identity.maker, u"Contoso Ltd");
  EXPECT_EQ(identity.model, u"Laptop 14");
  EXPECT_EQ(identity.serial, u"CZC1234ABCDEF");
  EXPECT_EQ(identity.uuid, u"00112233-4455-6677-8899-AABBCCDDEEFF");
}

TEST(SmbiosTableTest, APlaceholderSerialFallsBackToTheBaseboardThenTheEnclosure) {
  struct Row {
    const char* system;
    const char* board;
    const char16_t* expected;
  };
  const Row rows[] = {
      {"To be filled by O.E.M.", "BOARD-7", u"BOARD-7"},
      {"Default string", "Default string", u"CHASSIS-9"},
      {"0", "", u"CHASSIS-9"},
      {"System Serial Number", "00000000", u"CHASSIS-9"},
      {"", "", u"CHASSIS-9"},
      {"REAL-1", "BOARD-7", u"REAL-1"},
  };
  for (const Row& row : rows) {
    const auto bytes = SmbiosBuilder()
                           .System("M", "P", row.system, kStoredUuid)
                           .Board(2, row.board)
                           .Board(3, "CHASSIS-9")
                           .EndOfTable()
                           .Bytes();
    EXPECT_EQ(ReadFirmwareIdentity(bytes).serial, row.expected) << row.system << " / " << row.board;
  }
}

TEST(SmbiosTableTest, AUuidOfAllZerosOrAllOnesIsNone) {
  for (const auto& uuid : {kZeroUuid, kOnesUuid}) {
    const auto bytes = SmbiosBuilder().System("M", "P", "S", uuid).EndOfTable().Bytes();
    EXPECT_EQ(ReadFirmwareIdentity(bytes).uuid, u"");
  }
}

TEST(SmbiosTableTest, AnOldShortSystemStructureHasNoUuidButItsStrings) {
  // SMBIOS 2.0: manufacturer, product, version and serial only.
  const auto bytes = SmbiosBuilder().Add(1, {1, 2, 0, 3}, {"M", "P", "S-20"}).Bytes();
  const FirmwareIdentity identity = ReadFirmwareIdentity(bytes);
  EXPECT_EQ(identity.serial, u"S-20");
  EXPECT_EQ(identity.uuid, u"");
}

TEST(SmbiosTableTest, StringsKeepPrintableAsciiAndNumbersBeyondTheSetAreNone) {
  const auto bytes = SmbiosBuilder().Add(1, {1, 9, 0, 0}, {"Ma\x01k\xE9r\t"}).Bytes();
  const FirmwareIdentity identity = ReadFirmwareIdentity(bytes);
  EXPECT_EQ(identity.maker, u"Makr");
  EXPECT_EQ(identity.model, u"");
}

TEST(SmbiosTableTest, NothingBeyondTheEndOfTableOrTheHeadersLengthIsRead) {
  const auto afterEnd = SmbiosBuilder().EndOfTable().System("M", "P", "S", kStoredUuid).Bytes();
  EXPECT_EQ(ReadFirmwareIdentity(afterEnd).serial, u"");

  auto beyondLength = SmbiosBuilder().System("M", "P", "S", kStoredUuid).Bytes();
  beyondLength[4] = 10;  // the table's length ends inside the structure
  EXPECT_EQ(ReadFirmwareIdentity(beyondLength).serial, u"");
}

TEST(SmbiosTableTest, EveryCutTableGivesNothingOrWhatTheWholeOneGives) {
  const auto whole =
      SmbiosBuilder().Board(2, "BOARD-7").System("M", "P", "S-1", kStoredUuid).EndOfTable().Bytes();
  const FirmwareIdentity full = ReadFirmwareIdentity(whole);
  for (size_t size = 0; size < whole.size(); ++size) {
    const FirmwareIdentity cut = ReadFirmwareIdentity(std::span(whole).first(size));
    for (const auto& [got, all] :
         {std::pair{cut.maker, full.maker}, {cut.model, full.model}, {cut.uuid, full.uuid}}) {
      EXPECT_TRUE(got.empty() || got == all) << size;
    }
    EXPECT_TRUE(cut.serial.empty() || cut.serial == u"S-1" || cut.serial == u"BOARD-7") << size;
  }
}

}  // namespace
}  // namespace tarn::platform
