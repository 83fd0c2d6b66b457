#include "base/paths.h"

#include <gtest/gtest.h>

#include "base/shell_folder_names.h"

namespace tarn {
namespace {

struct Row {
  const char16_t* in;
  const char16_t* out;
};

TEST(PathsTest, IsRelative) {
  struct Case {
    const char16_t* path;
    bool relative;
  } cases[] = {{u"", true},     {u"a.ini", true}, {u"..\\a", true},       {u"C:\\a", false},
               {u"c:a", false}, {u"\\a", false},  {u"\\\\srv\\s", false}, {u"1:\\a", true},
               {u":a", true}};
  for (const Case& c : cases) {
    EXPECT_EQ(PathIsRelative(c.path), c.relative) << ToUtf8(c.path);
  }
}

TEST(PathsTest, Canonicalize) {
  const Row rows[] = {
      {u"C:\\a\\.\\b", u"C:\\a\\b"},
      {u"C:\\a\\..\\b", u"C:\\b"},
      {u"C:\\..\\..\\b", u"C:\\b"},
      {u"C:\\a\\b\\..", u"C:\\a"},
      {u"C:\\a\\..", u"C:\\"},
      {u"C:\\a\\.", u"C:\\a"},
      {u"C:\\a\\b\\", u"C:\\a\\b\\"},
      {u"\\\\srv\\share\\x\\..\\y", u"\\\\srv\\share\\y"},
      {u"\\\\srv\\share\\..", u"\\\\srv\\share"},
      {u"a\\..\\b", u"b"},
      {u"", u"\\"},
      {u"C:a\\..\\b", u"C:b"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PathCanonicalize(row.in), Text(row.out)) << ToUtf8(row.in);
  }
}

TEST(PathsTest, Append) {
  struct Case {
    const char16_t* path;
    const char16_t* more;
    const char16_t* out;
  } cases[] = {
      {u"C:\\prog", u"install.ini", u"C:\\prog\\install.ini"},
      {u"C:\\prog\\", u"install.ini", u"C:\\prog\\install.ini"},
      {u"C:\\prog", u"..\\cfg\\a.ini", u"C:\\cfg\\a.ini"},
      {u"C:\\prog", u"\\a.ini", u"C:\\prog\\a.ini"},
      {u"C:\\prog", u"D:\\x.ini", u"D:\\x.ini"},
      {u"C:\\prog", u"\\\\srv\\s\\x.ini", u"\\\\srv\\s\\x.ini"},
      {u"C:\\prog", u"", u"C:\\prog"},
      {u"", u"a.ini", u"a.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathAppend(c.path, c.more), Text(c.out)) << ToUtf8(c.path) << " + " << ToUtf8(c.more);
  }
}

TEST(PathsTest, RemoveFileSpecAndStripToRoot) {
  const Row removed[] = {
      {u"C:\\prog\\tarn.exe", u"C:\\prog"},
      {u"C:\\tarn.exe", u"C:\\"},
      {u"C:\\", u"C:\\"},
      {u"\\a", u"\\"},
      {u"a", u""},
      {u"C:a", u"C:"},
      {u"C:\\a\\", u"C:\\a"},
      {u"\\\\srv\\share\\f", u"\\\\srv\\share"},
  };
  for (const Row& row : removed) {
    EXPECT_EQ(PathRemoveFileSpec(row.in), Text(row.out)) << ToUtf8(row.in);
  }
  const Row roots[] = {
      {u"D:\\I386", u"D:\\"}, {u"D:", u"D:"},   {u"\\\\srv\\share\\i386", u"\\\\srv\\share"},
      {u"\\x\\y", u"\\"},     {u"rel\\x", u""},
  };
  for (const Row& row : roots) {
    EXPECT_EQ(PathStripToRoot(row.in), Text(row.out)) << ToUtf8(row.in);
  }
  EXPECT_EQ(PathFindFileName(u"C:\\a\\b.ini"), u"b.ini");
}

TEST(ShellFolderNamesTest, TableOrderAndCaseInsensitiveLookup) {
  const auto& names = ShellFolderNames();
  EXPECT_EQ(names.front(), u"My Music");
  EXPECT_EQ(names[8], u"Desktop");
  EXPECT_EQ(names[13], u"Local Settings");
  EXPECT_EQ(names.back(), u"Templates");
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(FindShellFolder(ToUpper(names[i])), std::optional<size_t>(i)) << ToUtf8(names[i]);
  }
  EXPECT_EQ(FindShellFolder(u"My  Music"), std::nullopt);
  EXPECT_EQ(FindShellFolder(u"Desktop "), std::nullopt);
}

}  // namespace
}  // namespace tarn
