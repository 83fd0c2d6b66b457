#include "wizard/link_targets.h"

#include <gtest/gtest.h>

namespace tarn::wizard {
namespace {

TEST(LinkTargets, OnlyWebAndMailAddressesAreOpened) {
  struct Row {
    const char16_t* target;
    bool opened;
  } rows[] = {
      {u"https://example.org/tarn", true},
      {u"HTTP://example.org", true},
      {u"mailto:team@example.org", true},
      {u"https://", false},
      {u"mailto:", false},
      {u"file:///C:/Windows/System32/cmd.exe", false},
      {u"C:\\Windows\\System32\\cmd.exe", false},
      {u"\\\\server\\share\\setup.exe", false},
      {u"javascript:alert(1)", false},
      {u"ms-settings:", false},
      {u"search-ms:query=x", false},
      {u"www.example.org", false},
      {u"https://example.org\n\\\\server\\x.exe", false},
      {u" https://example.org", false},
      {u"", false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsOpenableLink(row.target), row.opened) << ToUtf8(row.target);
  }
}

}  // namespace
}  // namespace tarn::wizard
