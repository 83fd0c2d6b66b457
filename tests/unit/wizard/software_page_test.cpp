#include <gtest/gtest.h>

#include "app/app_context.h"
#include "catalogue/catalogue_loader.h"
#include "unit/accounts/account_test_machine.h"
#include "wizard/configuration_load.h"
#include "wizard/software_page_layout.h"

namespace tarn::wizard {
namespace {

TEST(SoftwarePageLayout, SplitterStaysInsideThePage) {
  struct Row {
    int32_t splitter, width;
    int32_t listWidth, helpX, helpWidth;
  };
  // A page 400 wide: the pane keeps at least the splitter's strip.
  const Row rows[] = {
      {150, 400, 150, 155, 245},
      {398, 400, 395, 400, 0},
      {-7, 400, 0, 5, 395},
  };
  for (const Row& row : rows) {
    SoftwarePageMetrics metrics;
    metrics.width = row.width;
    metrics.height = 300;
    metrics.listTop = 20;
    metrics.loadButton = {75, 23};
    metrics.selectAllButton = {120, 20};
    const SoftwarePageLayout layout = LayOutSoftwarePage(row.splitter, metrics);
    SCOPED_TRACE(row.splitter);
    EXPECT_EQ(layout.list.width, row.listWidth);
    EXPECT_EQ(layout.help.x, row.helpX);
    EXPECT_EQ(layout.help.width, row.helpWidth);
    EXPECT_EQ(layout.list.height, 300 - 23 - 20 - 10);
    EXPECT_EQ(layout.load.x, 400 - 75);
    EXPECT_EQ(layout.load.y, 300 - 23);
  }
  EXPECT_EQ(DraggedSplitter(3, 400, 96), kNarrowestList);
  EXPECT_EQ(DraggedSplitter(999, 400, 96), 395);
  EXPECT_TRUE(OnSplitter(154, 150, 96));
  EXPECT_FALSE(OnSplitter(155, 150, 96));
}

TEST(SoftwarePageLayout, StripGapsAndColumnGrowWithTheDpi) {
  // A page at 200 %: the strip, the gap above the buttons and the narrowest
  // list are twice their 96-DPI size, and the column leaves room for the
  // borders and the scroll bar measured at that scale.
  SoftwarePageMetrics metrics;
  metrics.width = 800;
  metrics.height = 600;
  metrics.listTop = 40;
  metrics.loadButton = {150, 46};
  metrics.selectAllButton = {240, 40};
  metrics.dialogFrameWidth = 4;
  metrics.scrollBarWidth = 34;
  metrics.listScrolls = true;
  metrics.dpi = 192;
  const SoftwarePageLayout layout = LayOutSoftwarePage(500, metrics);
  EXPECT_EQ(layout.help.x, 510);
  EXPECT_EQ(layout.list.y + layout.list.height + 20, layout.load.y);
  EXPECT_EQ(layout.columnWidth, 500 - 8 - 34);
  EXPECT_TRUE(OnSplitter(509, 500, 192));
  EXPECT_EQ(DraggedSplitter(3, 800, 192), 40);
  EXPECT_EQ(DraggedSplitter(999, 800, 192), 790);
}

class ConfigurationLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_.WriteIni(u"C:\\tarn\\install.ini", "[Office]\ndescription=Office\ncommand.0=office.exe\n");
    app_.config.IniPath = u"C:\\tarn\\install.ini";
    catalogue::LoadCatalogueFile(app_.platform, app_.config.IniPath.view(), {}, catalogue_);
  }
  accounts::testing::AccountMachine m_;
  AppContext app_{m_.platform()};
  accounts::AccountStore store_;
  catalogue::SoftwareCatalogue catalogue_;
};

TEST_F(ConfigurationLoadTest, AFileWithoutSoftwareLeavesEverythingAsItWas) {
  m_.WriteIni(u"C:\\tarn\\users.ini", "[users]\nUser.0=anna\n[environment]\nX=1\n");
  const struct {
    const char16_t* path;
    LoadOutcome outcome;
  } rows[] = {
      {u"C:\\tarn\\missing.ini", LoadOutcome::kUnreadable},
      {u"C:\\tarn\\users.ini", LoadOutcome::kNoSoftware},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(LoadConfiguration(app_, store_, row.path, catalogue_), row.outcome);
    EXPECT_EQ(catalogue_.EntryCount(), 2u);
    EXPECT_EQ(ToUtf8(catalogue_.FirstEntry()->Description), "Office");
    EXPECT_EQ(ToUtf8(app_.config.IniPath.view()), "C:\\tarn\\install.ini");
    EXPECT_FALSE(app_.platform.environment->Get(u"X").has_value());
  }
}

TEST_F(ConfigurationLoadTest, AnotherFileReplacesTheCatalogueAndItsVariables) {
  m_.WriteIni(u"C:\\setup\\more.ini",
              "[environment]\nTOOLS=%INIDIR%\\tools\n[Tools]\ndescription=Tools\n"
              "command.0=a.exe\ncommand.1=b.exe\n");
  EXPECT_EQ(LoadConfiguration(app_, store_, u"C:\\setup\\more.ini", catalogue_),
            LoadOutcome::kLoaded);
  EXPECT_EQ(catalogue_.EntryCount(), 3u);
  EXPECT_EQ(ToUtf8(app_.config.IniPath.view()), "C:\\setup\\more.ini");
  EXPECT_EQ(ToUtf8(app_.platform.environment->Get(u"TOOLS").value_or(u"")), "C:\\setup\\tools");
}

TEST_F(ConfigurationLoadTest, LoadedRowsStillNameTheInstallingAccount) {
  m_.WriteIni(u"C:\\setup\\more.ini",
              "[Tools]\ndescription=Tools for %ThisUser%\ncommand.0=a.exe\n");
  SetInstallingAccountVariables(app_, store_);
  const std::optional<Text> installing = app_.platform.environment->Get(u"ThisUser");
  ASSERT_TRUE(installing.has_value() && !installing->empty());
  ASSERT_EQ(LoadConfiguration(app_, store_, u"C:\\setup\\more.ini", catalogue_),
            LoadOutcome::kLoaded);
  EXPECT_EQ(
      ToUtf8(app_.platform.environment->Expand(catalogue_.FirstEntry()->Description, 260).text),
      "Tools for " + ToUtf8(*installing))
      << "shown before the page is entered again";
}

}  // namespace
}  // namespace tarn::wizard
