#include "wizard/link_markup.h"

#include <gtest/gtest.h>

namespace tarn::wizard {
namespace {

struct MarkupRow {
  const char16_t* windowText;
  const char16_t* shown;
  const char16_t* target;
};

TEST(LinkMarkup, ShownTextAndTarget) {
  const MarkupRow rows[] = {
      {u"<A HREF=\"https://tarn.example.org\">Homepage</A>", u"Homepage",
       u"https://tarn.example.org"},
      {u"<a href=\"x\">y</a>", u"y", u"x"},
      {u"<A ID=\"help\">Help</A>", u"Help", u"help"},
      {u"Visit us", u"Visit us", u""},  // no markup: all of it, nowhere to go
      {u"<A HREF=\"open\">Open</A>", u"Open", u"open"},
      {u"<A HREF=\"unclosed>Text</A>", u"Text", u""},  // no closing quote
      {u"<A HREF=\"x\">never closed", u"", u"x"},
      {u"<A HREF=\"x\"", u"", u"x"},  // no end of the tag
      {u"<A ", u"", u""},
      {u"before <A HREF=\"a\">one</A> after", u"one", u"a"},
      {u"<A ID=\"i\" HREF=\"h\">both</A>", u"both", u"i"},  // HREF= must follow "<A " at once
      {u"<A HREF=x>bare</A>", u"bare", u""},
      {u"<A HREF=\"\">empty</A>", u"empty", u""},
  };
  for (const MarkupRow& row : rows) {
    const LinkMarkup markup = ParseLinkMarkup(row.windowText);
    EXPECT_EQ(ToUtf8(markup.shown), ToUtf8(row.shown)) << ToUtf8(row.windowText);
    EXPECT_EQ(ToUtf8(markup.target), ToUtf8(row.target)) << ToUtf8(row.windowText);
  }
}

TEST(LinkMarkup, ALongTargetIsCutToTheNotificationsField) {
  const Text target(5000, u'x');
  const LinkMarkup markup = ParseLinkMarkup(u"<A HREF=\"" + target + u"\">far</A>");
  EXPECT_EQ(markup.target.size(), kLinkTargetCapacity - 1);
  EXPECT_EQ(markup.shown, u"far");
}

TEST(LinkMarkup, TranslatedWordsKeepTheTemplatesTarget) {
  const char16_t kTemplate[] =
      u"<a href=\"https://tarn.example.org/translate/\">The translators</a>";
  const MarkupRow rows[] = {
      {u"Die Übersetzer", u"Die Übersetzer", u"https://tarn.example.org/translate/"},
      {u"<b>Bold</b> </a><a href=\"evil\">x", u"bBold/b /aa href=\"evil\"x",
       u"https://tarn.example.org/translate/"},
  };
  for (const MarkupRow& row : rows) {
    const LinkMarkup markup = ParseLinkMarkup(LinkWithShownText(kTemplate, row.windowText));
    EXPECT_EQ(ToUtf8(markup.shown), ToUtf8(row.shown));
    EXPECT_EQ(ToUtf8(markup.target), ToUtf8(row.target));
  }
  EXPECT_EQ(LinkWithShownText(u"plain", u"Wörter"), u"Wörter") << "no target: no link markup";
}

}  // namespace
}  // namespace tarn::wizard
