// The one-pass reader and the key-by-key reader must give the same
// catalogue.
#include <gtest/gtest.h>

#include "catalogue/catalogue_loader.h"
#include "catalogue/plan_view.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_profile_files.h"

namespace tarn::catalogue {
namespace {

constexpr TextView kPath = u"C:\\setup\\install.ini";

// Exercises quoting, blanks, case, duplicates, gaps and the reserved sections.
constexpr std::string_view kIni = R"ini([settings]
HasGaps=1
[ Tools ]
Description = "  Quoted tools  "
SELECTED=1,inherit
Command.0 = viewer.exe /s
description.0="Viewer" if.true("(present)")
test.0.0=C:\setup\install.ini
test.eval.0=0
HIDDEN.0=0
command.0.0=*
command.0.0=ignored duplicate
flags.0.0=bold:if.false italic
[environment]
x=1
[Tools]
description=second section of the same name
command.0=second.exe
[Empty]
)ini";

SoftwareCatalogue LoadOnePass(sim::Machine& machine) {
  SoftwareCatalogue catalogue;
  LoadCatalogueFile(machine.platform(), kPath, {}, catalogue);
  return catalogue;
}

SoftwareCatalogue LoadKeyByKey(sim::Machine& machine) {
  sim::SimProfileFiles profiles(machine.files());
  platform::Platform platform = machine.platform();
  if (!platform.profiles) platform.profiles = &profiles;
  SoftwareCatalogue catalogue;
  LoadCatalogueKeyByKey(platform, kPath, {}, catalogue);
  return catalogue;
}

TEST(CatalogueSources, OnePassAndKeyByKeyGiveTheSameCatalogue) {
  sim::Machine machine;
  ASSERT_TRUE(machine.files().PutTextFile(kPath, kIni));
  const SoftwareCatalogue onePass = LoadOnePass(machine);
  const SoftwareCatalogue keyByKey = LoadKeyByKey(machine);
  platform::Environment& environment = *machine.platform().environment;
  const std::string text = PlanText(onePass, environment);
  EXPECT_EQ(text, PlanText(keyByKey, environment));
  EXPECT_GE(onePass.EntryCount(), 4u) << text;
  ASSERT_NE(onePass.FirstEntry(), nullptr);
  EXPECT_EQ(ToUtf8(onePass.FirstEntry()->Description), "  Quoted tools  ") << text;
  EXPECT_EQ(ToUtf8(onePass.FirstEntry()->Next->Description), "\"Viewer\" (present)") << text;
}

TEST(CatalogueSources, MissingFileGivesAnEmptyCatalogue) {
  sim::Machine machine;
  EXPECT_EQ(LoadOnePass(machine).EntryCount(), 0u);
  EXPECT_EQ(LoadKeyByKey(machine).EntryCount(), 0u);
}

}  // namespace
}  // namespace tarn::catalogue
