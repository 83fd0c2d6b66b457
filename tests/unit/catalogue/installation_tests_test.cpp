#include "catalogue/installation_tests.h"

#include <gtest/gtest.h>

#include "platform/file_time.h"
#include "platform/sim/machine.h"
#include "support/pe_image_builder.h"

namespace tarn::catalogue {
namespace {

using platform::RegValue;

struct Row {
  const char16_t* test;
  bool expected;
};

class InstallationTestsTest : public ::testing::Test {
 protected:
  InstallationTestsTest() : platform_(machine_.platform()) {}

  void Put(platform::RegKey root, TextView key, TextView name, const RegValue& value) {
    ASSERT_TRUE(machine_.registry().Put(root, key, name, value)) << ToUtf8(key);
  }
  void PutFile(TextView path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(machine_.files().PutFile(path, bytes)) << ToUtf8(path);
  }
  void SetVariable(TextView name, TextView value) {
    ASSERT_EQ(machine_.environment().Set(name, value), kErrorSuccess);
  }
  void Check(const Row& row) {
    EXPECT_EQ(EvaluateTest(platform_, row.test), row.expected) << ToUtf8(row.test);
  }

  sim::Machine machine_;
  platform::Platform platform_;
};

class RegistryTestsTest : public InstallationTestsTest {
 protected:
  RegistryTestsTest() {
    const platform::RegKey hklm = platform::kLocalMachine;
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"", RegValue::FromText(u"abc"));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Version", RegValue::FromText(u"3"));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Count", RegValue::FromDword(16));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Large", RegValue::FromDword(0x80000000u));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Name", RegValue::FromText(u"Beta"));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Path",
        RegValue::FromText(u"%X%", platform::kRegExpandSz));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Expr", RegValue::FromText(u"a>b"));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"What?", RegValue::FromText(u"1"));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Big", RegValue::FromText(Text(300, u'z')));
    Put(hklm, u"SOFTWARE\\Vendor\\App", u"Fits", RegValue::FromText(Text(260, u'z')));
    Put(hklm, u"SOFTWARE\\Vendor\\Empty", u"Other", RegValue::FromText(u"x"));
    Put(platform::kCurrentUser, u"Software\\Test", u"Flag", RegValue::FromDword(0));
    SetVariable(u"VENDOR", u"Vendor");
  }
};

TEST_F(RegistryTestsTest, KeyAndValueExistence) {
  const Row rows[] = {
      {u"HKLM:SOFTWARE\\Vendor\\App\\", true},
      {u"hklm:software\\VENDOR\\app\\", true},
      {u"HKLM:SOFTWARE\\Vendor\\Missing\\", false},
      {u"!HKLM:SOFTWARE\\Vendor\\Missing\\", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\version", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Nope", false},
      {u"!HKLM:SOFTWARE\\Vendor\\App\\Version", false},
      {u"HKLM:SOFTWARE\\%VENDOR%\\App\\Version", true},
      {u"HKLM:SOFTWARE\\Vendor\\Missing\\Version", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Big", true},
      {u"HKCU:Software\\Test\\Flag", true},
      {u"HKCU:Software\\Test\\", true},
      {u"HKLM:Software\\Test\\Flag", false},
      {u"HKCU:SOFTWARE\\Vendor\\App\\", false},
      // Decided: no '\' at all, or nothing after the prefix, is false.
      {u"HKLM:SOFTWARE", false},
      {u"HKLM:", false},
      {u"!HKLM:", true},
      // A '?' at the very end does not split: the value is named "What?".
      {u"HKLM:SOFTWARE\\Vendor\\App\\What?", true},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(RegistryTestsTest, StringComparisonsAreCaseSensitive) {
  const Row rows[] = {
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version?x=3", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version?x!3", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version?x>2", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version?x<2", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version?any words at all=3", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Name?x=Beta", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Name?x=beta", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Name?x!beta", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Name?x<Beta2", true},
      // The key's default value.
      {u"HKLM:SOFTWARE\\Vendor\\App\\?x=abc", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\?x=ABC", false},
      // A key without a default value: the value cannot be read.
      {u"HKLM:SOFTWARE\\Vendor\\Empty\\?x!abc", false},
      // The first operator character after the '?' is the operator.
      {u"HKLM:SOFTWARE\\Vendor\\App\\Expr?x=a>b", true},
      // Split at the last '?'.
      {u"HKLM:SOFTWARE\\Vendor\\App\\What??x=1", true},
      // Expansion applies to the whole test, the text included; the data is
      // compared as stored.
      {u"HKLM:SOFTWARE\\Vendor\\App\\Name?x!%VENDOR%", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Path?x=%X%", true},
      // Values that do not fit in 522 bytes cannot be compared at all.
      {u"HKLM:SOFTWARE\\Vendor\\App\\Big?x!z", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Big?x=z", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Fits?x>z", true},
      // Missing value or key: false whatever the operator.
      {u"HKLM:SOFTWARE\\Vendor\\App\\Nope?x!3", false},
      {u"HKLM:SOFTWARE\\Vendor\\Missing\\Version?x!3", false},
      {u"!HKLM:SOFTWARE\\Vendor\\Missing\\Version?x=3", true},
      // Decided: a '?' without an operator makes the test false.
      {u"HKLM:SOFTWARE\\Vendor\\App\\Version?x3", false},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(RegistryTestsTest, DwordValuesCompareAsUnsignedNumbersWithAutomaticBase) {
  const Row rows[] = {
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x=16", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x=0x10", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x=0X10", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x=020", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x=10", false},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x>15", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x<0x11", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Count?x!16", false},
      // Unsigned: 0x80000000 is large, not negative.
      {u"HKLM:SOFTWARE\\Vendor\\App\\Large?x>1", true},
      {u"HKLM:SOFTWARE\\Vendor\\App\\Large?x=2147483648", true},
      {u"HKCU:Software\\Test\\Flag?x=0", true},
      {u"HKCU:Software\\Test\\Flag?x=", true},
      {u"HKCU:Software\\Test\\Flag?x=abc", true},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(RegistryTestsTest, ExpansionThatDoesNotFitMakesTheTestFalse) {
  SetVariable(u"LONG", Text(300, u'k'));
  Check({u"HKLM:SOFTWARE\\Vendor\\App\\Version?%LONG%=3", false});
  Check({u"HKLM:SOFTWARE\\Vendor\\App\\", true});
}

class FileTestsTest : public InstallationTestsTest {
 protected:
  void SetUp() override {
    PutFile(u"C:\\App\\app.exe",
            testing::BuildPeImage(testing::BuildVersionBlock(testing::SampleVersionSpec())));
    PutFile(u"C:\\App\\data.bin", std::vector<uint8_t>(10, 7));
    PutFile(u"C:\\App\\empty.txt", {});
    PutFile(u"C:\\App\\plain.txt", {'h', 'i'});
    PutFile(u"C:\\App\\icons.exe", testing::BuildPeImage({1, 2, 3, 4}, {.resourceType = 3}));
    EXPECT_TRUE(machine_.files().MakeDirectories(u"C:\\App\\Folder"));
    const auto created = platform::CalendarToFileTime({2006, 5, 0, 31, 18, 30, 15, 0});
    ASSERT_TRUE(created.has_value());
    EXPECT_TRUE(machine_.files().SetTimes(u"C:\\App\\data.bin", *created, *created + 1));
    SetVariable(u"APPDIR", u"C:\\App");
  }
};

TEST_F(FileTestsTest, Existence) {
  const Row rows[] = {
      {u"C:\\App\\app.exe", true},
      {u"c:\\app\\APP.EXE", true},
      {u"C:\\App\\missing.exe", false},
      {u"!C:\\App\\missing.exe", true},
      {u"!C:\\App\\app.exe", false},
      {u"C:\\App\\Folder", true},
      {u"%APPDIR%\\app.exe", true},
      {u"%NOSUCH%\\app.exe", false},
      {u"", false},
      {u"!", true},
      {u"C:\\App\\app.exe?", false},
      {u"C:\\App\\app.exe?size", false},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(FileTestsTest, VersionKinds) {
  // Product 5.6.7.8, file 1.2.3.4.
  const Row rows[] = {
      {u"C:\\App\\app.exe?version<2.5", false},
      {u"C:\\App\\app.exe?version>5.6", true},
      {u"C:\\App\\app.exe?version=5.6.7.8", true},
      {u"C:\\App\\app.exe?version=5,6,7,8", true},
      {u"C:\\App\\app.exe?version!5.6.7.8", false},
      {u"C:\\App\\app.exe?VERSION=5.6.7.8", true},
      {u"C:\\App\\app.exe?productversion=5.6.7.8", true},
      {u"C:\\App\\app.exe?ProductVersion<5.6.7.9", true},
      {u"C:\\App\\app.exe?fileversion=1.2.3.4", true},
      {u"C:\\App\\app.exe?FileVersion<1.2.3.5", true},
      {u"C:\\App\\app.exe?fileversion>1.2.3.4", false},
      {u"C:\\App\\app.exe?whatever=5.6.7.8", true},
      {u"C:\\App\\app.exe?=5.6.7.8", true},
      {u"C:\\App\\app.exe?version=5.65542.7.8", true},
      {u"!C:\\App\\app.exe?version=5.6.7.8", false},
      {u"%APPDIR%\\app.exe?version=5.6.7.8", true},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(FileTestsTest, ComparisonsThatCannotBeMadeAreTrue) {
  const Row rows[] = {
      {u"C:\\App\\missing.exe?version<2.5", true},
      {u"C:\\App\\missing.exe?version>2.5", true},
      {u"C:\\App\\missing.exe?size=0", true},
      {u"C:\\App\\missing.exe?date=2006", true},
      {u"C:\\App\\missing.exe?version.CompanyName=x", true},
      {u"!C:\\App\\missing.exe?version<2.5", false},
      {u"C:\\App\\plain.txt?version=1", true},
      {u"C:\\App\\plain.txt?version!1", true},
      {u"C:\\App\\icons.exe?fileversion>1", true},
      {u"C:\\App\\icons.exe?fileversion<1", true},
      {u"C:\\App\\Folder?size=1", true},
      {u"C:\\App\\Folder?date=1999", true},
      {u"C:\\App\\Folder?version=1", true},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(FileTestsTest, SizeComparesSixtyFourBitNumbers) {
  const Row rows[] = {
      {u"C:\\App\\data.bin?size=10", true},
      {u"C:\\App\\data.bin?size>9", true},
      {u"C:\\App\\data.bin?size<10", false},
      {u"C:\\App\\data.bin?size!10", false},
      {u"C:\\App\\data.bin?SIZE=10", true},
      {u"C:\\App\\data.bin?size= 10", true},
      {u"C:\\App\\data.bin?size=0xA", false},
      {u"C:\\App\\data.bin?size<99999999999999999999", true},
      {u"C:\\App\\empty.txt?size>0", false},
      {u"C:\\App\\empty.txt?size=0", true},
      {u"C:\\App\\empty.txt?size=", true},
      {u"C:\\App\\app.exe?size>0", true},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(FileTestsTest, DateComparesOnlyTheFieldsGiven) {
  // data.bin was created 2006-05-31 18:30:15 (the machine's local time is UTC).
  const Row rows[] = {
      {u"C:\\App\\data.bin?date<2006-06-01", true},
      {u"C:\\App\\data.bin?date=2006-05-31", true},
      {u"C:\\App\\data.bin?date>2006-05-31", false},
      {u"C:\\App\\data.bin?date<2006-01-01", false},
      {u"C:\\App\\data.bin?date=2006", true},
      {u"C:\\App\\data.bin?date=2006-05", true},
      {u"C:\\App\\data.bin?date=2006-05-31T18:30", true},
      {u"C:\\App\\data.bin?date<2006-05-31T18:31", true},
      {u"C:\\App\\data.bin?date>2006-05-31T18:30:14", true},
      {u"C:\\App\\data.bin?date=2006-05-31T18:30:15.001", false},
      {u"C:\\App\\data.bin?Date!2006/05/31", false},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(FileTestsTest, VersionStringsCompareCaseSensitively) {
  const Row rows[] = {
      {u"C:\\App\\app.exe?version.CompanyName=Example Ltd", true},
      {u"C:\\App\\app.exe?version.CompanyName=example ltd", false},
      {u"C:\\App\\app.exe?version.CompanyName!example ltd", true},
      {u"C:\\App\\app.exe?Version.companyname=Example Ltd", true},
      {u"C:\\App\\app.exe?version.CompanyName>Example", true},
      // A missing string compares as the empty string.
      {u"C:\\App\\app.exe?version.Comments=", true},
      {u"C:\\App\\app.exe?version.Comments=x", false},
      {u"C:\\App\\app.exe?version.Comments<x", true},
      {u"C:\\App\\app.exe?version.=", true},
      {u"C:\\App\\plain.txt?version.CompanyName=", true},
  };
  for (const auto& row : rows) Check(row);
}

TEST_F(FileTestsTest, PathIsExpandedAgainAfterTheSplit) {
  SetVariable(u"INDIRECT", u"%APPDIR%");
  Check({u"%INDIRECT%\\app.exe?version=5.6.7.8", true});
  Check({u"%INDIRECT%\\app.exe", true});
  SetVariable(u"LONG", Text(300, u'k'));
  Check({u"C:\\App\\%LONG%?size=1", false});
  SetVariable(u"LONGER", u"%LONG%");
  Check({u"C:\\App\\%LONGER%?size=1", true});
  Check({u"C:\\App\\%LONGER%", false});
}

// ---- ReadFileVersion and ReadVersionString ----

class FileVersionTest : public InstallationTestsTest {
 protected:
  Result<Text> Version(const testing::VersionSpec& layout, VersionKind kind) {
    PutFile(u"C:\\v.exe", testing::BuildPeImage(testing::BuildVersionBlock(layout)));
    return ReadFileVersion(platform_, u"C:\\v.exe", kind);
  }
};

TEST_F(FileVersionTest, StringOfTheFirstTranslationWinsOverFixedInformation) {
  testing::VersionSpec layout = testing::SampleVersionSpec();
  layout.translations = {0x04B00409, 0x04E40407};
  layout.tables = {{u"040904b0", {{u"ProductVersion", u"2, 5"}, {u"FileVersion", u"0x10_3"}}},
                   {u"040704e4", {{u"ProductVersion", u"9.9"}}}};
  auto product = Version(layout, VersionKind::kProduct);
  ASSERT_TRUE(product) << product.error();
  EXPECT_EQ(ToUtf8(*product), "2.5.0.0");
  auto file = Version(layout, VersionKind::kFile);
  ASSERT_TRUE(file);
  EXPECT_EQ(ToUtf8(*file), "16.3.0.0");
}

TEST_F(FileVersionTest, FixedInformationWhenTheStringIsMissingEmptyOrHasNoNumber) {
  for (const char16_t* productString : {u"", u"beta", static_cast<const char16_t*>(nullptr)}) {
    testing::VersionSpec layout = testing::SampleVersionSpec();
    layout.tables[0].strings = {};
    if (productString) layout.tables[0].strings.push_back({u"ProductVersion", productString});
    auto product = Version(layout, VersionKind::kProduct);
    ASSERT_TRUE(product);
    EXPECT_EQ(ToUtf8(*product), "5.6.7.8") << (productString ? ToUtf8(productString) : "none");
  }
  testing::VersionSpec noTranslation = testing::SampleVersionSpec();
  noTranslation.withTranslationTable = false;
  auto file = Version(noTranslation, VersionKind::kFile);
  ASSERT_TRUE(file);
  EXPECT_EQ(ToUtf8(*file), "1.2.3.4");
  testing::VersionSpec big = testing::SampleVersionSpec();
  big.withTranslationTable = false;
  big.fileVersion = 0xFFFF00FE00000001ull;
  file = Version(big, VersionKind::kFile);
  ASSERT_TRUE(file);
  EXPECT_EQ(ToUtf8(*file), "65535.254.0.1");
}

TEST_F(FileVersionTest, FailsWithoutAnyVersion) {
  testing::VersionSpec layout;
  layout.withFixedInfo = false;
  layout.withTranslationTable = false;
  EXPECT_FALSE(Version(layout, VersionKind::kProduct));
  EXPECT_TRUE(EvaluateTest(platform_, u"C:\\v.exe?version=1"));
  EXPECT_TRUE(EvaluateTest(platform_, u"C:\\v.exe?version!1"));
  EXPECT_FALSE(ReadFileVersion(platform_, u"C:\\nothing.exe", VersionKind::kFile));
}

TEST_F(FileVersionTest, VersionStringUsesTheFirstTranslationOrTheNeutralTable) {
  testing::VersionSpec layout = testing::SampleVersionSpec();
  layout.translations = {0x04E40407, 0x04B00409};
  layout.tables.push_back({u"040704E4", {{u"CompanyName", u"Beispiel GmbH"}}});
  PutFile(u"C:\\v.exe", testing::BuildPeImage(testing::BuildVersionBlock(layout)));
  auto company = ReadVersionString(platform_, u"C:\\v.exe", u"CompanyName");
  ASSERT_TRUE(company);
  EXPECT_EQ(ToUtf8(*company), "Beispiel GmbH");
  EXPECT_FALSE(ReadVersionString(platform_, u"C:\\v.exe", u"FileVersion"));

  layout.withTranslationTable = false;
  layout.tables.push_back({u"00000000", {{u"CompanyName", u"Neutral"}}});
  PutFile(u"C:\\v.exe", testing::BuildPeImage(testing::BuildVersionBlock(layout)));
  company = ReadVersionString(platform_, u"C:\\v.exe", u"CompanyName");
  ASSERT_TRUE(company);
  EXPECT_EQ(ToUtf8(*company), "Neutral");
}

}  // namespace
}  // namespace tarn::catalogue
