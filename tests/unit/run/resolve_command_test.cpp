#include "run/resolve_command.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace tarn::run {
namespace {

class ResolveCommandTest : public ::testing::Test {
 protected:
  void Register(TextView extension, TextView type, TextView command,
                uint32_t valueType = platform::kRegSz) {
    ASSERT_TRUE(machine_.registry().Put(platform::kClassesRoot, extension, u"",
                                        platform::RegValue::FromText(type)));
    ASSERT_TRUE(machine_.registry().Put(platform::kClassesRoot,
                                        Text(type) + u"\\Shell\\Open\\Command", u"",
                                        platform::RegValue::FromText(command, valueType)));
  }
  std::string Resolve(TextView command, size_t* count = nullptr) {
    Text line;
    const size_t n =
        ResolveCommandLine(machine_.registry(), &machine_.environment(), command, line);
    if (count) *count = n;
    return ToUtf8(line);
  }
  sim::Machine machine_;
};

TEST_F(ResolveCommandTest, WithoutAnAssociationTheCommandStaysAsWritten) {
  size_t count = 0;
  EXPECT_EQ(Resolve(u"setup.xyz  /q \"a b\"", &count), "setup.xyz  /q \"a b\"");
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(Resolve(u"README"), "README");
}

TEST_F(ResolveCommandTest, TheUsualTemplatesQuoteTheDocumentThemselves) {
  (void)machine_.environment().Set(u"SystemRoot", u"C:\\WINDOWS");
  struct Row {
    const char16_t* command;
    const char* line;
  } rows[] = {
      {u"setup.exe /q", "\"setup.exe\" /q "},
      {u"\"D:\\My Apps\\setup.exe\" /q \"a b\"", "\"D:\\My Apps\\setup.exe\" /q \"a b\" "},
      {u"\"D:\\My Apps\\go.bat\"", "\"D:\\My Apps\\go.bat\" "},
      {u"\"D:\\My Apps\\go.cmd\" x", "\"D:\\My Apps\\go.cmd\" x "},
      // Arguments go in as written: a script reads ">>"C:\m.txt"" and "a&b"
      // otherwise without their quotes.
      {u"D:\\go.cmd echo A0>>\"C:\\m.txt\" \"a&b\"",
       "\"D:\\go.cmd\" echo A0>>\"C:\\m.txt\" \"a&b\" "},
      {u"\"D:\\My Apps\\app.msi\" /qn",
       "\"C:\\WINDOWS\\System32\\msiexec.exe\" /i \"D:\\My Apps\\app.msi\" /qn "},
      {u"\"D:\\My Apps\\fix.vbs\"",
       "\"C:\\WINDOWS\\System32\\WScript.exe\" \"D:\\My Apps\\fix.vbs\" "},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Resolve(row.command), row.line) << ToUtf8(row.command);
  }
}

TEST_F(ResolveCommandTest, AnArgumentHoldingAQuoteIsRefusedInsideAQuotedPart) {
  Register(u".doc", u"docfile", u"viewer.exe \"%1\" %2 %*");
  Register(u".rtf", u"rtffile", u"viewer.exe \"%1\" \"%2\"");
  struct Row {
    const char16_t* command;
    const char* line;  // empty: refused
  } rows[] = {
      // In its own quotes, escaped, where the template leaves it bare.
      {u"a.doc \"x\\\" /y\"", "viewer.exe \"a.doc\" \"x\\\" /y\" "},
      {u"a.doc b \"c\\\"d\"", "viewer.exe \"a.doc\" b \"c\\\"d\" "},
      // Inside the template's quotes it would close them and add arguments.
      {u"a.rtf \"x\\\" /evil \\\"y\"", ""},
      {u"a.rtf plain", "viewer.exe \"a.rtf\" \"plain\""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Resolve(row.command), row.line) << ToUtf8(row.command);
  }
}

TEST_F(ResolveCommandTest, DocumentsOpenWithTheRegisteredProgram) {
  Register(u".txt", u"txtfile", u"notepad.exe %1");
  EXPECT_EQ(Resolve(u"C:\\Setup\\notes.txt"), "notepad.exe C:\\Setup\\notes.txt");
  EXPECT_EQ(Resolve(u"\"C:\\My Setup\\notes.txt\""), "notepad.exe \"C:\\My Setup\\notes.txt\"");
  // Unplaced arguments are dropped when the template has no %*.
  EXPECT_EQ(Resolve(u"doc.txt /p"), "notepad.exe doc.txt");
  // Extensions compare ignoring case, as the registry does.
  EXPECT_EQ(Resolve(u"READ.TXT"), "notepad.exe READ.TXT");
}

TEST_F(ResolveCommandTest, PlaceholdersBeyondOneAndExpandableTemplates) {
  Register(u".cfg", u"cfgfile", u"%SystemRoot%\\tool.exe -f %1 -o %2 %*", platform::kRegExpandSz);
  (void)machine_.environment().Set(u"SystemRoot", u"C:\\Windows");
  EXPECT_EQ(Resolve(u"a.cfg \"out dir\" x y"),
            "C:\\Windows\\tool.exe -f a.cfg -o \"out dir\" x y ");
}

TEST_F(ResolveCommandTest, ATypeWithoutOpenCommandLeavesTheCommand) {
  ASSERT_TRUE(machine_.registry().Put(platform::kClassesRoot, u".bin", u"",
                                      platform::RegValue::FromText(u"binfile")));
  EXPECT_EQ(Resolve(u"data.bin -x"), "data.bin -x");
}

TEST(FindExtensionTest, FindsTheLastExtensionOfTheLastComponent) {
  struct Row {
    const char16_t* path;
    const char16_t* extension;
  } rows[] = {
      {u"a.txt", u".txt"},       {u"C:\\x.y\\file", u""}, {u"archive.tar.gz", u".gz"},
      {u"name.with space", u""}, {u"noext", u""},         {u".profile", u".profile"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindExtension(row.path), TextView(row.extension)) << ToUtf8(row.path);
  }
}

}  // namespace
}  // namespace tarn::run
