#include <gtest/gtest.h>

#include "unit/catalogue/catalogue_test_util.h"

namespace tarn::catalogue {
namespace {

using testing::Descriptions;
using testing::Entries;
using testing::FakeIniSource;
using testing::Find;

constexpr std::string_view kConfiguration = R"ini([machines]
serial:CZC1 = Computer=LAB-01; Selection=lab
[machines.lab]
Office=0
Tools.1=1
Tools.0=
[Office]
command.0=office.exe
description.0=Office
selected.0=1
[Tools]
selected=1
command.0=viewer.exe
description.0=Viewer
selected.0=1
command.1=editor.exe
description.1=Editor
)ini";

SoftwareCatalogue Load(TextView selection) {
  FakeIniSource source(kConfiguration);
  SoftwareCatalogue catalogue;
  LoadCatalogue(source, testing::FakeTest, LoadOptions{false, Text(selection)}, catalogue);
  return catalogue;
}

TEST(MachineSelection, TheMachinesSectionsAreNoSoftware) {
  EXPECT_EQ(Descriptions(Entries(Load(u""))),
            (std::vector<std::string>{"Office", "Office", "Tools", "Viewer", "Editor"}));
}

TEST(MachineSelection, ASelectionSwitchesSectionsAndItemsItNamesAndNothingElse) {
  const SoftwareCatalogue plain = Load(u"");
  const SoftwareCatalogue lab = Load(u"lab");
  const struct {
    const char* entry;
    bool plainSelected, labSelected;
  } rows[] = {
      {"Viewer", true, true},  // an empty value leaves the item's own
      {"Editor", false, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ((Find(plain, row.entry)->State & ES_SELECTED) != 0, row.plainSelected) << row.entry;
    EXPECT_EQ((Find(lab, row.entry)->State & ES_SELECTED) != 0, row.labSelected) << row.entry;
  }
  EXPECT_NE(Entries(plain).front()->State & ES_SELECTED, 0) << "the Office section";
  EXPECT_EQ(Entries(lab).front()->State & ES_SELECTED, 0) << "the Office section";
}

}  // namespace
}  // namespace tarn::catalogue
