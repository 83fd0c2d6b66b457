// With HasGaps only the indexes a section can hold are asked for; the items
// found must be exactly those a scan of every index finds.
#include <gtest/gtest.h>

#include "catalogue/item_index_map.h"
#include "unit/catalogue/catalogue_test_util.h"

namespace tarn::catalogue {
namespace {

using testing::Descriptions;
using testing::Entries;
using testing::LoadText;

Text Lines(std::initializer_list<const char16_t*> lines) {
  Text all;
  for (const char16_t* line : lines) {
    all += line;
    all.push_back(0);
  }
  return all;
}

TEST(CatalogueGaps, IndexMapListsCanonicalCommandKeysPerPath) {
  const ItemIndexMap map = ItemIndexMap::FromSectionLines(
      Lines({u"command.7=x", u"  COMMAND.3 = y", u"command.3.254=z", u"command.3.255=no",
             u"command.01=no", u"command.3.x=no", u"commands.1=no", u"command=no", u"command.5",
             u"description.9=no", u"command.3.0.2=deep"}));
  EXPECT_EQ(map.NextIndex(u"", 0).value_or(-1), 3);
  EXPECT_EQ(map.NextIndex(u"", 4).value_or(-1), 5) << "a line without '=' may still be a key";
  EXPECT_EQ(map.NextIndex(u"", 6).value_or(-1), 7);
  EXPECT_FALSE(map.NextIndex(u"", 8).has_value());
  EXPECT_EQ(map.NextIndex(u".3", 0).value_or(-1), 254);
  EXPECT_FALSE(map.NextIndex(u".3", 255).has_value());
  EXPECT_EQ(map.NextIndex(u".3.0", 0).value_or(-1), 2);
  EXPECT_FALSE(map.NextIndex(u".1", 0).has_value());
}

TEST(CatalogueGaps, EmptyCommandsAmongTheIndexesAreSkipped) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
command.0=
command.2=b
description.2=B
command.2.9=c
description.2.9=C
Command.200 = d
description.200=D
command.254=
)ini",
                                               true);
  EXPECT_EQ(Descriptions(Entries(catalogue)), (std::vector<std::string>{"S", "B", "C", "D"}));
}

TEST(CatalogueGaps, EveryLeafWithoutChildrenCostsNoScan) {
  std::string ini = "[S]\n";
  for (int i = 0; i < 255; ++i) ini += "command." + std::to_string(i) + "=x\n";
  testing::FakeIniSource source(ini);
  SoftwareCatalogue catalogue;
  LoadCatalogue(source, testing::FakeTest, LoadOptions{true}, catalogue);
  EXPECT_EQ(catalogue.EntryCount(), 256u);
  // Without the map this would ask 255 times below each of the 255 items.
  EXPECT_LT(source.valueCalls, 255 * 40) << source.valueCalls;
}

}  // namespace
}  // namespace tarn::catalogue
