// Version resources: the backend's answers (the version API on Windows) and
// the portable PE reader agree on the same files, and every kind of file
// test gives the same outcome through either.
#include <gtest/gtest.h>

#include "catalogue/installation_tests.h"
#include "contract/backend.h"
#include "platform/file_system.h"
#include "platform/pe_version_reader.h"
#include "platform/portable_version_resources.h"
#include "platform/system_info.h"
#include "support/pe_image_builder.h"

namespace tarn::contract {
namespace {

namespace build = tarn::testing;

const char16_t* const kStringNames[] = {u"CompanyName", u"FileVersion",     u"ProductVersion",
                                        u"ProductName", u"FileDescription", u"Comments",
                                        u"companyname"};

std::string Show(const std::optional<Text>& text) {
  return text ? "\"" + ToUtf8(*text) + "\"" : "(none)";
}

// Every answer of `a` and `b` for the sub-blocks the tests use.
void ExpectSameAnswers(const platform::VersionResource& a, const platform::VersionResource& b,
                       const std::string& what) {
  const auto fixedA = a.Fixed();
  const auto fixedB = b.Fixed();
  ASSERT_EQ(fixedA.has_value(), fixedB.has_value()) << what;
  if (fixedA) {
    EXPECT_EQ(fixedA->fileVersion, fixedB->fileVersion) << what;
    EXPECT_EQ(fixedA->productVersion, fixedB->productVersion) << what;
  }
  const auto translations = a.Translations();
  ASSERT_EQ(translations, b.Translations()) << what;
  std::vector<Text> tables = {u"00000000", u"040904b0", u"040904B0", u"040704e4"};
  for (const platform::Translation& t : translations) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    Text key;
    const uint32_t v = (uint32_t{t.language} << 16) | t.codePage;
    for (int shift = 28; shift >= 0; shift -= 4) key.push_back(kHex[(v >> shift) & 0xF]);
    tables.push_back(key);
  }
  for (const Text& table : tables) {
    for (const char16_t* name : kStringNames) {
      const Text path = u"\\StringFileInfo\\" + table + u"\\" + name;
      EXPECT_EQ(Show(a.String(path)), Show(b.String(path))) << what << " " << ToUtf8(path);
    }
  }
}

class VersionResourcesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    ASSERT_NE(platform_.versions, nullptr);
    ASSERT_NE(platform_.files, nullptr);
    portable_ = std::make_unique<platform::PortableVersionResources>(*platform_.files);
    portablePlatform_ = platform_;
    portablePlatform_.versions = portable_.get();
    scratch_ = backend_->ScratchFolder();
  }

  // Reads `path` through the backend and the portable reader and compares.
  void CompareFile(const Text& path, const std::string& what) {
    auto system = platform_.versions->Read(path);
    auto portable = portable_->Read(path);
    ASSERT_EQ(system.ok(), portable.ok())
        << what << ": backend error " << system.error() << ", reader error " << portable.error();
    if (system) ExpectSameAnswers(**system, **portable, backend_->Name() + " " + what);
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  std::unique_ptr<platform::PortableVersionResources> portable_;
  platform::Platform portablePlatform_;
  Text scratch_;
};

TEST_F(VersionResourcesContract, BuiltImagesReadTheSameThroughBoth) {
  struct Case {
    const char* what;
    build::VersionSpec layout;
    build::PeOptions options;
  };
  build::VersionSpec twoTranslations = build::SampleVersionSpec();
  twoTranslations.translations = {0x04E40407, 0x04B00409};
  twoTranslations.tables.push_back(
      {u"040704e4", {{u"CompanyName", u"Beispiel GmbH"}, {u"ProductVersion", u"2, 5 beta"}}});
  build::VersionSpec noTranslation = build::SampleVersionSpec();
  noTranslation.withTranslationTable = false;
  noTranslation.tables.push_back({u"00000000", {{u"CompanyName", u"Neutral"}}});
  build::VersionSpec emptyStrings = build::SampleVersionSpec();
  emptyStrings.tables[0].strings = {{u"Comments", u""}, {u"CompanyName", u"A, B  and C"}};
  const Case cases[] = {
      {"sample PE32+", build::SampleVersionSpec(), {}},
      {"sample PE32", build::SampleVersionSpec(), {.pe32Plus = false}},
      {"two translations", twoTranslations, {}},
      {"no translation table", noTranslation, {}},
      {"empty strings", emptyStrings, {}},
  };
  for (const Case& c : cases) {
    const Text path = scratch_ + u"\\" + FromUtf8(c.what) + u".exe";
    ASSERT_EQ(platform_.files->WriteAll(
                  path, build::BuildPeImage(build::BuildVersionBlock(c.layout), c.options)),
              kErrorSuccess);
    CompareFile(path, c.what);
  }
}

TEST_F(VersionResourcesContract, FilesWithoutAVersionResourceFailThroughBoth) {
  const Text text = scratch_ + u"\\plain.txt";
  ASSERT_EQ(platform_.files->WriteAll(text, std::vector<uint8_t>(600, 'a')), kErrorSuccess);
  CompareFile(text, "plain text");
  CompareFile(scratch_ + u"\\missing.exe", "missing file");
}

// The sample program of the Windows build carries a version resource made by
// the resource compiler; the native run stands in an image of the same
// content made by the builder.
class SampleProgramContract : public VersionResourcesContract {
 protected:
  void SetUp() override {
    VersionResourcesContract::SetUp();
    if (HasFatalFailure()) return;
    const Text module = platform_.system->ModuleFileName();
    sample_ = module.substr(0, module.rfind(u'\\') + 1) + u"versioned_sample.exe";
    if (backend_->Name() == "sim") {
      (void)platform_.files->CreateDirectory(module.substr(0, module.rfind(u'\\')));
      build::VersionSpec layout;
      layout.fileVersion = 0x0001000200030004ull;
      layout.productVersion = 0x0005000600070008ull;
      layout.translations = {0x04B00409, 0x04E40407};
      layout.tables = {
          {u"040904b0",
           {{u"CompanyName", u"Example Ltd"},
            {u"FileDescription", u"Versioned sample"},
            {u"FileVersion", u"1, 2, 3, 4 (test build)"},
            {u"ProductVersion", u"5.6 beta, 7"},
            {u"ProductName", u"Sample, with commas"}}},
          {u"040704e4", {{u"CompanyName", u"Beispiel GmbH"}, {u"ProductVersion", u"9.9.9.9"}}}};
      ASSERT_EQ(
          platform_.files->WriteAll(sample_, build::BuildPeImage(build::BuildVersionBlock(layout))),
          kErrorSuccess);
    }
    ASSERT_TRUE(platform_.files->Exists(sample_)) << ToUtf8(sample_);
  }

  Text sample_;
};

TEST_F(SampleProgramContract, ReaderAndBackendAgree) {
  CompareFile(sample_, "sample program");
}

TEST_F(SampleProgramContract, EveryKindOfFileTestAgrees) {
  const struct {
    const char16_t* test;
    bool expected;
  } rows[] = {
      {u"?version=5.6.0.7", true},
      {u"?version<5.6.0.8", true},
      {u"?productversion=5.6.0.7", true},
      {u"?ProductVersion>5.6", true},
      {u"?fileversion=1.2.3.4", true},
      {u"?fileversion<1.2.3.4", false},
      {u"?anything=5.6.0.7", true},
      {u"?version.CompanyName=Example Ltd", true},
      {u"?version.CompanyName!Example Ltd", false},
      {u"?version.companyname=Example Ltd", true},
      {u"?version.ProductName=Sample, with commas", true},
      {u"?version.Comments=", true},
      {u"?version.FileVersion=1, 2, 3, 4 (test build)", true},
      {u"?size>1000", true},
      {u"?size=0", false},
      {u"?date>1990", true},
  };
  for (const auto& row : rows) {
    const Text test = sample_ + row.test;
    const bool system = catalogue::EvaluateTest(platform_, test);
    const bool portable = catalogue::EvaluateTest(portablePlatform_, test);
    EXPECT_EQ(system, row.expected) << backend_->Name() << ": " << ToUtf8(row.test);
    EXPECT_EQ(portable, system) << backend_->Name() << ": " << ToUtf8(row.test);
  }
  for (const auto kind : {catalogue::VersionKind::kProduct, catalogue::VersionKind::kFile}) {
    const auto system = catalogue::ReadFileVersion(platform_, sample_, kind);
    const auto portable = catalogue::ReadFileVersion(portablePlatform_, sample_, kind);
    ASSERT_TRUE(system && portable);
    EXPECT_EQ(ToUtf8(*system), ToUtf8(*portable));
    EXPECT_EQ(ToUtf8(*system),
              kind == catalogue::VersionKind::kProduct ? "5.6.0.7" : "1.2.3.4.0.0");
  }
}

}  // namespace
}  // namespace tarn::contract
