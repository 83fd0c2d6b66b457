// The one-pass reader and the key-by-key reader must give the same
// catalogue.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "catalogue/catalogue_loader.h"
#include "catalogue/plan_view.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_profile_files.h"
#include "support/pe_image_builder.h"

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

// Counts the reads that reach the machine's version resources.
class CountingVersions : public platform::VersionResources {
 public:
  explicit CountingVersions(platform::VersionResources& machine) : machine_(machine) {}
  Result<std::unique_ptr<platform::VersionResource>> Read(TextView path) override {
    ++reads[ToUtf8(path)];
    return machine_.Read(path);
  }
  std::map<std::string, int> reads;

 private:
  platform::VersionResources& machine_;
};

TEST(CatalogueSources, EachFileVersionIsReadOncePerLoad) {
  sim::Machine machine;
  ASSERT_TRUE(machine.files().PutFile(u"C:\\App\\app.exe",
                                      tarn::testing::BuildPeImage(tarn::testing::BuildVersionBlock(
                                          tarn::testing::SampleVersionSpec()))));
  ASSERT_TRUE(machine.files().PutTextFile(u"C:\\App\\readme.txt", "no resource"));
  ASSERT_TRUE(machine.files().PutTextFile(kPath, R"ini([Tools]
command.0=a.exe
description.0=A if.true("old")
test.0.0=C:\App\app.exe?fileversion<2.0
test.0.1=C:\App\app.exe?version.CompanyName=Example Ltd
test.0.2=C:\App\readme.txt?version>1
test.eval.0=0&1&2
command.1=b.exe
description.1=B if.true("new")
test.1.0=C:\App\app.exe?version>5.6.7.8
test.1.1=C:\App\readme.txt?version.CompanyName=x
test.eval.1=0|1
)ini"));
  CountingVersions versions(*machine.platform().versions);
  platform::Platform platform = machine.platform();
  platform.versions = &versions;
  const std::map<std::string, int> once = {{"C:\\App\\app.exe", 1}, {"C:\\App\\readme.txt", 1}};
  for (const int load : {1, 2}) {
    SoftwareCatalogue catalogue;
    LoadCatalogueFile(platform, kPath, {}, catalogue);
    const SoftwareEntry* a = catalogue.FirstEntry() ? catalogue.FirstEntry()->Next : nullptr;
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->Next, nullptr);
    EXPECT_EQ(ToUtf8(a->Description), "A old");
    EXPECT_EQ(ToUtf8(a->Next->Description), "B ");
    // The answers go with the load: the next load reads each file again.
    std::map<std::string, int> expected = once;
    for (auto& [path, count] : expected) count = load;
    EXPECT_EQ(versions.reads, expected);
  }
}

TEST(CatalogueSources, MissingFileGivesAnEmptyCatalogue) {
  sim::Machine machine;
  EXPECT_EQ(LoadOnePass(machine).EntryCount(), 0u);
  EXPECT_EQ(LoadKeyByKey(machine).EntryCount(), 0u);
}

}  // namespace
}  // namespace tarn::catalogue
