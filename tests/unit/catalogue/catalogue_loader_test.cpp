#include <gtest/gtest.h>

#include "catalogue/catalogue_navigation.h"
#include "catalogue/catalogue_rows.h"
#include "unit/catalogue/catalogue_test_util.h"

namespace tarn::catalogue {
namespace {

using testing::Descriptions;
using testing::Entries;
using testing::Find;
using testing::Hex;
using testing::LoadText;

constexpr std::string_view kToolsExample = R"ini([Tools]
description=Tools
collapsed=1
command.0=*
description.0=Viewer (choose one)
group.0=1
selected.0=1
command.0.0=viewa.exe /S
description.0.0=Viewer A
selected.0.0=1
command.0.1=viewb.exe /S
description.0.1=Viewer B
command.1=%INIDIR%\app\setup.exe if.true("/update")if.false("/install")
description.1=App if.true("(update)")
test.1.0=%ProgramFiles%\App\app.exe
test.eval.1=0
selected.1=1
)ini";

TEST(CatalogueLoader, WorkedExampleLoadsToTheDocumentedStates) {
  bool appInstalled = true;
  auto tests = [&](TextView) { return appInstalled; };
  const SoftwareCatalogue catalogue = LoadText(kToolsExample, false, tests);
  const auto all = Entries(catalogue);
  ASSERT_EQ(all.size(), 5u) << ::testing::PrintToString(Descriptions(all));

  struct Expected {
    const char* description;
    uint32_t level;
    uint32_t flags;
    int32_t state;
    int32_t initial;
  };
  const Expected expected[] = {
      {"Tools", 0, EF_NO_COMMAND | EF_COLLAPSED, 12, 4},
      {"Viewer (choose one)", 1, EF_NO_COMMAND | EF_COLLAPSED | EF_GROUP, 12, 4},
      {"Viewer A", 2, EF_COLLAPSED, 4, 4},
      {"Viewer B", 2, EF_COLLAPSED, 0, 0},
      {"App (update)", 1, EF_COLLAPSED, 4, 4},
  };
  for (size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE(expected[i].description);
    EXPECT_EQ(ToUtf8(all[i]->Description), expected[i].description);
    EXPECT_EQ(all[i]->Level, expected[i].level);
    EXPECT_EQ(Hex(all[i]->Flags), Hex(expected[i].flags));
    EXPECT_EQ(all[i]->State, expected[i].state);
    EXPECT_EQ(all[i]->InitialState, expected[i].initial);
    EXPECT_EQ(all[i]->SnapshotState, expected[i].initial);
    EXPECT_EQ(all[i]->RememberedState, expected[i].state);
  }
  EXPECT_FALSE(all[0]->Command.has_value());
  EXPECT_FALSE(all[1]->Command.has_value());
  EXPECT_EQ(ToUtf8(all[2]->Command.value_or(u"?")), "viewa.exe /S");
  EXPECT_EQ(ToUtf8(all[4]->Command.value_or(u"?")), "%INIDIR%\\app\\setup.exe /update");
  // Collapsed at the top: only the section's own row is shown.
  EXPECT_EQ(Descriptions(InitialRows(catalogue)), std::vector<std::string>{"Tools"});

  appInstalled = false;
  const SoftwareCatalogue fresh = LoadText(kToolsExample, false, tests);
  const auto freshAll = Entries(fresh);
  ASSERT_EQ(freshAll.size(), all.size());
  const SoftwareEntry* app = freshAll.back();
  EXPECT_EQ(ToUtf8(app->Command.value_or(u"?")), "%INIDIR%\\app\\setup.exe /install");
  EXPECT_EQ(ToUtf8(app->Description), "App ");
}

TEST(CatalogueLoader, ReservedSectionsAreNotSoftware) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([Environment]
a=1
[environment.2]
[ENVIRONMENTAL]
[Settings]
[USERS]
[users.operation]
[users.2]
[Setting]
[Apps]
)ini");
  EXPECT_EQ(Descriptions(Entries(catalogue)),
            (std::vector<std::string>{"users.2", "Setting", "Apps"}));
  for (const char* name :
       {"environment", "Environment.3", "EnViRoNmEnTx", "settings", "Users", "USERS.OPERATION"}) {
    EXPECT_FALSE(IsSoftwareSection(FromUtf8(name))) << name;
  }
  for (const char* name : {"environmen", "user", "users.op", "settings2", "Apps"}) {
    EXPECT_TRUE(IsSoftwareSection(FromUtf8(name))) << name;
  }
}

TEST(CatalogueLoader, SectionWithOnlyADescriptionIsOneSelectedEntry) {
  const SoftwareCatalogue catalogue = LoadText("[Office]\ndescription=Office tools\n");
  const auto all = Entries(catalogue);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(ToUtf8(all[0]->Description), "Office tools");
  EXPECT_EQ(all[0]->State, kStateSelected);
  EXPECT_EQ(Hex(all[0]->Flags), Hex(EF_NO_COMMAND));
  EXPECT_EQ(InitialRows(catalogue).size(), 1u);
}

TEST(CatalogueLoader, SectionDescriptionDefaultsToItsName) {
  const SoftwareCatalogue catalogue = LoadText("[Drivers]\ncommand.0=a.exe\n");
  ASSERT_NE(Find(catalogue, "Drivers"), nullptr);
  ASSERT_NE(Find(catalogue, "<missing description>"), nullptr);
}

struct SelectedCase {
  const char* value;
  int32_t state;
  uint32_t flags;
};

class SectionSelected : public ::testing::TestWithParam<SelectedCase> {};

TEST_P(SectionSelected, TokensDecideStateAndHandDown) {
  const std::string ini = std::string("[S]\nselected=") + GetParam().value + "\n";
  const SoftwareCatalogue catalogue = LoadText(ini);
  const SoftwareEntry* s = catalogue.FirstEntry();
  EXPECT_EQ(s->State, GetParam().state) << GetParam().value;
  EXPECT_EQ(Hex(s->Flags), Hex(EF_NO_COMMAND | GetParam().flags)) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, SectionSelected,
                         ::testing::Values(SelectedCase{"", 4, 0}, SelectedCase{"1", 4, 0},
                                           SelectedCase{"1,inherit", 4, EF_SELECTED_INHERIT},
                                           SelectedCase{"INHERIT 1", 4, EF_SELECTED_INHERIT},
                                           SelectedCase{"0", 0, 0}, SelectedCase{"no", 0, 0},
                                           SelectedCase{"inherit", 0, EF_UNSELECTED_INHERIT},
                                           SelectedCase{"0\tinherit", 0, EF_UNSELECTED_INHERIT},
                                           SelectedCase{"10", 0, 0}));

struct SectionAttributeCase {
  const char* key;
  const char* value;
  uint32_t flags;
};

class SectionAttributes : public ::testing::TestWithParam<SectionAttributeCase> {};

TEST_P(SectionAttributes, FollowTheTokenTable) {
  const auto& c = GetParam();
  const std::string ini = std::string("[S]\n") + c.key + "=" + c.value + "\n";
  const SoftwareCatalogue catalogue = LoadText(ini);
  const SoftwareEntry* s = catalogue.FirstEntry();
  EXPECT_EQ(Hex(s->Flags & ~EF_NO_COMMAND), Hex(c.flags)) << c.key << "=" << c.value;
  EXPECT_EQ(s->State & ES_DIMMED, 0) << "a section's box is never dimmed";
}

INSTANTIATE_TEST_SUITE_P(
    Values, SectionAttributes,
    ::testing::Values(SectionAttributeCase{"hidden", "1", EF_HIDDEN},
                      SectionAttributeCase{"hidden", "1,inherit", EF_HIDDEN},
                      SectionAttributeCase{"hidden", "inherit", EF_UNHIDDEN_INHERIT},
                      SectionAttributeCase{"hidden", "0", 0}, SectionAttributeCase{"hidden", "", 0},
                      SectionAttributeCase{"collapsed", "1", EF_COLLAPSED},
                      SectionAttributeCase{"collapsed", "inherit", EF_EXPANDED_INHERIT},
                      SectionAttributeCase{"group", "1", EF_GROUP},
                      SectionAttributeCase{"group", "1 inherit", EF_GROUP | EF_GROUP_INHERIT},
                      SectionAttributeCase{"group", "inherit", EF_NOGROUP_INHERIT},
                      SectionAttributeCase{"locked", "1", EF_LOCKED},
                      SectionAttributeCase{"locked", "1,inherit", EF_LOCKED | EF_LOCKED_INHERIT},
                      SectionAttributeCase{"locked", "inherit", EF_UNLOCKED_INHERIT},
                      SectionAttributeCase{"disabled", "1", EF_DISABLED | EF_LOCKED},
                      SectionAttributeCase{
                          "disabled", "1,inherit",
                          EF_DISABLED | EF_LOCKED | EF_DISABLED_INHERIT | EF_LOCKED_INHERIT},
                      SectionAttributeCase{"disabled", "inherit", EF_ENABLED_INHERIT},
                      SectionAttributeCase{"flags", "bold,italic underline\tstriked",
                                           EF_BOLD | EF_ITALIC | EF_UNDERLINE | EF_STRIKED},
                      SectionAttributeCase{"flags", "bold:if.true italic:if.false", 0},
                      SectionAttributeCase{"flags", "BOLD, nonsense", EF_BOLD}));

TEST(CatalogueLoader, HandedDownSelectionAndItsCancellation) {
  const SoftwareCatalogue kept = LoadText(R"ini([S]
selected=1,inherit
command.0=a
description.0=A
selected.0=0
command.0.0=b
description.0.0=B
)ini");
  EXPECT_EQ(Find(kept, "A")->State & ES_SELECTED, 0);
  EXPECT_EQ(Find(kept, "B")->State, kStateSelected) << "the section's hand-down still reaches B";

  const SoftwareCatalogue cancelled = LoadText(R"ini([S]
selected=1,inherit
command.0=a
description.0=A
selected.0=0,inherit
command.0.0=b
description.0.0=B
)ini");
  EXPECT_EQ(Find(cancelled, "B")->State, kStateUnselected);
  EXPECT_EQ(Hex(Find(cancelled, "A")->Flags & (EF_SELECTED_INHERIT | EF_UNSELECTED_INHERIT)),
            Hex(EF_UNSELECTED_INHERIT));
}

TEST(CatalogueLoader, EmptyAttributeKeepsWhatWasTakenOver) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
selected=1,inherit
selected.0=
command.0=a
description.0=A
)ini");
  EXPECT_EQ(Find(catalogue, "A")->State, kStateSelected);
}

TEST(CatalogueLoader, ConditionalAttributeKeepsTheInheritedValueWhenNotMet) {
  const std::string base = "[S]\nselected=1,inherit\ncommand.0=a\ndescription.0=A\n";
  struct Case {
    const char* value;
    const char* test;
    int32_t state;
  };
  const Case cases[] = {
      {"if.true", "true", 4},  {"if.true", "false", 4},  // set, or kept as inherited
      {"if.false", "true", 4}, {"if.false", "false", 4}, {"0", "true", 0}, {"1", "false", 4},
  };
  for (const Case& c : cases) {
    const std::string ini =
        base + "selected.0=" + c.value + "\ntest.0.0=" + c.test + "\ntest.eval.0=0\n";
    EXPECT_EQ(Find(LoadText(ini), "A")->State, c.state) << c.value << " with " << c.test;
  }
  // Without a hand-down from the section, if.true under a false condition
  // leaves the item unselected, and if.false under it selects.
  const std::string plain = "[S]\ncommand.0=a\ndescription.0=A\ntest.0.0=false\ntest.eval.0=0\n";
  EXPECT_EQ(Find(LoadText(plain + "selected.0=if.true\n"), "A")->State, 0);
  EXPECT_EQ(Find(LoadText(plain + "selected.0=if.false\n"), "A")->State, 4);
  EXPECT_EQ(Find(LoadText(plain + "selected.0=if.false,if.true\n"), "A")->State, 0)
      << "if.true is examined before if.false";
}

TEST(CatalogueLoader, TestsWithoutEvalDoNotChangeTheCondition) {
  const std::string ini =
      "[S]\ncommand.0=x if.true(\"T\")if.false(\"F\")\ndescription.0=A\ntest.0.0=false\n";
  EXPECT_EQ(ToUtf8(Find(LoadText(ini), "A")->Command.value_or(u"?")), "x T");
  EXPECT_EQ(ToUtf8(Find(LoadText(ini + "test.eval.0=0\n"), "A")->Command.value_or(u"?")), "x F");
}

TEST(CatalogueLoader, EveryTestIsEvaluatedInOrderUntilTheFirstEmptyOne) {
  std::vector<std::string> seen;
  auto record = [&](TextView test) {
    seen.push_back(ToUtf8(test));
    return true;
  };
  (void)LoadText(R"ini([S]
command.0=a
test.0.0=first
test.0.1=second
test.0.3=after the gap
command.1=b
test.1.0=other
)ini",
                 false, record);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second", "other"}));
}

TEST(CatalogueLoader, DisabledIsReadAfterLocked) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
command.0=a
description.0=A
locked.0=1
disabled.0=0
command.1=b
description.1=B
disabled.1=1
)ini");
  EXPECT_EQ(Hex(Find(catalogue, "A")->Flags & (EF_LOCKED | EF_DISABLED)), Hex(0));
  const SoftwareEntry* b = Find(catalogue, "B");
  EXPECT_EQ(Hex(b->Flags & (EF_LOCKED | EF_DISABLED)), Hex(EF_LOCKED | EF_DISABLED));
  EXPECT_EQ(b->State & ES_DIMMED, ES_DIMMED) << "a disabled item's box is dimmed";
}

TEST(CatalogueLoader, DisabledHandedDownAndReEnabled) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
command.0=a
description.0=A
disabled.0=1,inherit
command.0.0=b
description.0.0=B
command.0.1=c
description.0.1=C
disabled.0.1=0,inherit
command.0.1.0=d
description.0.1.0=D
)ini");
  const SoftwareEntry* b = Find(catalogue, "B");
  EXPECT_EQ(Hex(b->Flags & (EF_LOCKED | EF_DISABLED | EF_DIMMED_INHERIT)),
            Hex(EF_LOCKED | EF_DISABLED | EF_DIMMED_INHERIT));
  EXPECT_EQ(b->State & ES_DIMMED, ES_DIMMED);
  const SoftwareEntry* c = Find(catalogue, "C");
  EXPECT_EQ(Hex(c->Flags & (EF_LOCKED | EF_DISABLED | EF_LOCKED_INHERIT | EF_ENABLED_INHERIT |
                            EF_DISABLED_INHERIT)),
            Hex(EF_ENABLED_INHERIT));
  EXPECT_EQ(c->State & ES_DIMMED, 0);
  const SoftwareEntry* d = Find(catalogue, "D");
  EXPECT_EQ(Hex(d->Flags & (EF_LOCKED | EF_DISABLED)), Hex(0));
  EXPECT_EQ(d->State & ES_DIMMED, 0);
}

TEST(CatalogueLoader, HiddenSubtreeAndUnhiddenHandDown) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
hidden=inherit
command.0=a
description.0=A
hidden.0=1
command.0.0=b
description.0.0=B
command.0.0.0=c
description.0.0.0=C
[T]
hidden=1
command.0=d
description.0=D
)ini");
  EXPECT_TRUE(Find(catalogue, "A")->Has(EF_HIDDEN));
  EXPECT_FALSE(Find(catalogue, "B")->Has(EF_HIDDEN)) << "the section's unhide reaches B";
  EXPECT_TRUE(Find(catalogue, "D")->Has(EF_HIDDEN)) << "hidden is always handed down";
  // Neither B nor C shows while their ancestor A is hidden.
  EXPECT_EQ(Descriptions(InitialRows(catalogue)), std::vector<std::string>{"S"});
}

TEST(CatalogueLoader, RowsLeaveOutChildrenOfCollapsedEntriesAtAnyDepth) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
command.0=a
description.0=A
command.0.0=b
description.0.0=B
collapsed.0.0=1
command.0.0.0=c
description.0.0.0=C
command.1=d
description.1=D
collapsed.1=1
collapsed.1.0=0
command.1.0=e
description.1.0=E
command.1.0.0=f
description.1.0.0=F
)ini");
  EXPECT_EQ(Descriptions(InitialRows(catalogue)), (std::vector<std::string>{"S", "A", "B", "D"}));
  EXPECT_FALSE(Find(catalogue, "E")->Has(EF_COLLAPSED));
}

TEST(CatalogueLoader, AggregationGivesFourOrTwelve) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([AllSelected]
command.0=a
selected.0=1
command.1=b
selected.1=1
[NoneSelected]
command.0=a
[NotSelected]
selected=0
command.0=a
selected.0=1
[DimmedSelected]
command.0=*
selected.0=1
disabled.0=1
command.0.0=x
selected.0.0=1
)ini");
  EXPECT_EQ(Find(catalogue, "AllSelected")->State, 4);
  EXPECT_EQ(Find(catalogue, "NoneSelected")->State, 12);
  EXPECT_EQ(Find(catalogue, "NotSelected")->State, 0);
  EXPECT_EQ(Find(catalogue, "NotSelected")->RememberedState, 0);
  EXPECT_EQ(Find(catalogue, "DimmedSelected")->State, 4);
  const SoftwareEntry* dimmed = FirstChildOf(Find(catalogue, "DimmedSelected"));
  EXPECT_EQ(dimmed->State, 4) << "aggregation assigns the state, so the dim bit goes";
  EXPECT_EQ(dimmed->InitialState, ES_SELECTED | ES_DIMMED);
}

TEST(CatalogueLoader, HiddenDescendantsCountForAggregation) {
  const SoftwareCatalogue catalogue =
      LoadText("[S]\ncommand.0=a\nselected.0=1\ncommand.1=b\nhidden.1=1\n");
  EXPECT_EQ(Entries(catalogue).at(0)->State, 12);
}

TEST(CatalogueLoader, GapsAreFollowedOnlyWithHasGaps) {
  const std::string ini = R"ini([S]
command.0=a
description.0=A
command.1=b
description.1=B
command.3=d
description.3=D
command.3.1=e
description.3.1=E
command.3.254=f
description.3.254=F
command.3.255=g
description.3.255=G
)ini";
  EXPECT_EQ(Descriptions(Entries(LoadText(ini, false))), (std::vector<std::string>{"S", "A", "B"}));
  EXPECT_EQ(Descriptions(Entries(LoadText(ini, true))),
            (std::vector<std::string>{"S", "A", "B", "D", "E", "F"}));
}

TEST(CatalogueLoader, LevelEndsAtIndex254) {
  std::string ini = "[S]\n";
  for (int i = 0; i <= 300; ++i) ini += "command." + std::to_string(i) + "=x\n";
  EXPECT_EQ(LoadText(ini).EntryCount(), 1u + 255u);
}

TEST(CatalogueLoader, HeadingsAndConditionalStar) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
command.0=*
description.0=Heading
command.1=if.true("*")
description.1=Star
command.2=if.false("x")
description.2=Empty
)ini");
  const SoftwareEntry* heading = Find(catalogue, "Heading");
  EXPECT_FALSE(heading->Command.has_value());
  EXPECT_TRUE(heading->Has(EF_NO_COMMAND));
  EXPECT_TRUE(Find(catalogue, "Star")->Has(EF_NO_COMMAND));
  const SoftwareEntry* empty = Find(catalogue, "Empty");
  ASSERT_NE(empty, nullptr) << "the item exists although its command resolved to nothing";
  EXPECT_EQ(ToUtf8(empty->Command.value_or(u"none")), "");
  EXPECT_FALSE(empty->Has(EF_NO_COMMAND));
}

TEST(CatalogueLoader, SectionKeysOfCommandsAreNotRead) {
  const SoftwareCatalogue catalogue =
      LoadText("[S]\ncommand=run.exe\nworkdir=c:\\\ntest=false\ntest.eval=0\n");
  const SoftwareEntry* s = Entries(catalogue).at(0);
  EXPECT_FALSE(s->Command.has_value());
  EXPECT_FALSE(s->WorkDir.has_value());
  EXPECT_EQ(catalogue.EntryCount(), 1u);
}

TEST(CatalogueLoader, ItemValuesAreConditionalAndKeptUnexpanded) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
help=%TARN%\s.rtf
helptext=if.true("x")
command.0=a
description.0=%USERNAME% if.false("no")
workdir.0=%TEMP%\if.true("t")
help.0=if.true("h.rtf")
helptext.0=if.false("gone")
test.0.0=true
test.eval.0=0
)ini");
  const SoftwareEntry* s = Entries(catalogue).at(0);
  EXPECT_EQ(ToUtf8(s->HelpFile.value_or(u"?")), "%TARN%\\s.rtf");
  EXPECT_EQ(ToUtf8(s->HelpText.value_or(u"?")), "if.true(\"x\")")
      << "sections are never conditional";
  const SoftwareEntry* item = Entries(catalogue).at(1);
  EXPECT_EQ(ToUtf8(item->Description), "%USERNAME% ");
  EXPECT_EQ(ToUtf8(item->WorkDir.value_or(u"?")), "%TEMP%\\t");
  EXPECT_EQ(ToUtf8(item->HelpFile.value_or(u"?")), "h.rtf");
  EXPECT_EQ(ToUtf8(item->HelpText.value_or(u"?")), "");
}

TEST(CatalogueLoader, ItemStylesFollowTheCondition) {
  struct Case {
    const char* flags;
    const char* test;
    uint32_t expected;
  };
  const Case cases[] = {
      {"bold italic", "true", EF_BOLD | EF_ITALIC},
      {"bold:if.true,underline:if.false", "true", EF_BOLD},
      {"bold:if.true,underline:if.false", "false", EF_UNDERLINE},
      {"STRIKED:IF.FALSE", "false", EF_STRIKED},
      {"bold:if.maybe", "true", 0},
  };
  for (const Case& c : cases) {
    const std::string ini = std::string("[S]\ncommand.0=a\ndescription.0=A\nflags.0=") + c.flags +
                            "\ntest.0.0=" + c.test + "\ntest.eval.0=0\n";
    EXPECT_EQ(Hex(Find(LoadText(ini), "A")->Flags & ~EF_NO_COMMAND), Hex(c.expected)) << c.flags;
  }
}

TEST(CatalogueLoader, StylesAreNotHandedDown) {
  const SoftwareCatalogue catalogue = LoadText(
      "[S]\nflags=bold\ncommand.0=a\ndescription.0=A\nflags.0=italic\n"
      "command.0.0=b\ndescription.0.0=B\n");
  EXPECT_EQ(Hex(Find(catalogue, "A")->Flags), Hex(EF_ITALIC));
  EXPECT_EQ(Hex(Find(catalogue, "B")->Flags), Hex(0));
}

TEST(CatalogueLoader, GroupHandDownAndItsCancellation) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([S]
group=1,inherit
command.0=a
description.0=A
command.0.0=b
description.0.0=B
group.0.0=inherit
command.0.0.0=c
description.0.0.0=C
)ini");
  EXPECT_EQ(Hex(Find(catalogue, "A")->Flags), Hex(EF_GROUP | EF_GROUP_INHERIT));
  // "inherit" alone on an item clears the attribute and hands the clear down.
  EXPECT_EQ(Hex(Find(catalogue, "B")->Flags), Hex(EF_NOGROUP_INHERIT));
  EXPECT_EQ(Hex(Find(catalogue, "C")->Flags), Hex(EF_NOGROUP_INHERIT));
}

TEST(CatalogueLoader, ValuesAreCutToTheirBuffers) {
  const std::string longDescription(200, 'd');
  const std::string longCommand(5000, 'c');
  const std::string longSection(300, 's');
  const std::string padding(97, ',');
  const SoftwareCatalogue catalogue =
      LoadText("[S]\ndescription=" + longSection + "\ncommand.0=" + longCommand +
               "\ndescription.0=" + longDescription + "\nselected.0=" + padding + "x,1\n");
  const auto all = Entries(catalogue);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0]->Description.size(), 260u);
  EXPECT_EQ(all[1]->Command.value_or(u"").size(), 4095u);
  EXPECT_EQ(all[1]->Description.size(), 129u);
  EXPECT_EQ(all[1]->State, 0) << "the token 1 stands beyond the 99 units examined";
  const std::string shorter(96, ',');
  const SoftwareCatalogue inside = LoadText("[S]\ncommand.0=a\nselected.0=" + shorter + "x,1\n");
  EXPECT_EQ(Entries(inside).at(1)->State, 4) << "the token 1 ends at unit 99";
}

TEST(CatalogueLoader, DeepNestingEndsWhereKeyNamesNoLongerFit) {
  std::string ini = "[S]\n";
  std::string path;
  for (int depth = 0; depth < 40; ++depth) {
    path += ".0";
    ini += "command" + path + "=x\n";
  }
  const SoftwareCatalogue catalogue = LoadText(ini);
  // "description" and the index path share 63 units: 26 levels of ".0".
  EXPECT_EQ(catalogue.EntryCount(), 1u + 26u);
  EXPECT_EQ(catalogue.LastEntry()->Level, 26u);
}

TEST(CatalogueLoader, SectionNamesBeyondTheFirstBufferAreRead) {
  std::string ini;
  for (int i = 0; i < 200; ++i) ini += "[Section number " + std::to_string(i) + "]\n";
  testing::FakeIniSource source(ini);
  SoftwareCatalogue catalogue;
  LoadCatalogue(source, testing::FakeTest, {}, catalogue);
  EXPECT_EQ(catalogue.EntryCount(), 200u);
  EXPECT_GT(source.sectionNameCalls, 1);
}

TEST(CatalogueLoader, EntriesGetKeysAndTheirOwnOrTheirSectionsTimeLimit) {
  const SoftwareCatalogue catalogue = LoadText(
      "[T]\ntimeout=600\ncommand.0=a\ntimeout.0= 5\ncommand.1=*\ncommand.1.0=b\n"
      "command.2=c\ntimeout.2=0\n[P]\ncommand.0=d\ntimeout.0=soon\n");
  const std::pair<const char*, std::optional<uint32_t>> expected[] = {
      {"T", 600}, {"T.0", 5}, {"T.1", 600}, {"T.1.0", 600}, {"T.2", 0}, {"P", {}}, {"P.0", {}}};
  const auto all = Entries(catalogue);
  ASSERT_EQ(all.size(), std::size(expected));
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(ToUtf8(all[i]->Key), expected[i].first);
    EXPECT_EQ(all[i]->TimeoutSeconds, expected[i].second) << expected[i].first;
  }
}

TEST(CatalogueLoader, EntriesRestartAfterThemWhenTheyOrTheirSectionAskForIt) {
  const SoftwareCatalogue catalogue = LoadText(
      "[T]\nrestartafter=1\ncommand.0=a\ncommand.1=b\nrestartafter.1=0\n"
      "[P]\ncommand.0=c\ncommand.1=d\nrestartafter.1=1\n");
  std::string restarting;
  for (const SoftwareEntry* entry : Entries(catalogue)) {
    if (entry->RestartAfter && entry->Command) restarting += ToUtf8(entry->Key) + " ";
  }
  EXPECT_EQ(restarting, "T.0 P.1 ");
}

}  // namespace
}  // namespace tarn::catalogue
