#include "platform/folded_name_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn::platform {
namespace {

// Names owned outside the index, as the document owns them.
struct Names {
  std::vector<Text> names;
  FoldedNameIndex index;

  [[nodiscard]] auto NameOf() const {
    return [this](uint32_t id) { return TextView(names[id]); };
  }

  void Add(TextView name) {
    names.emplace_back(name);
    index.AddFirst(name, static_cast<uint32_t>(names.size() - 1), NameOf());
  }
  [[nodiscard]] std::optional<uint32_t> Find(TextView name) const {
    return index.Find(name, NameOf());
  }
};

Text NumberedName(int n) {
  return u"Command." + FromUtf8(std::to_string(n));
}

TEST(FoldedNameIndex, EmptyIndexFindsNothing) {
  const Names names;
  EXPECT_FALSE(names.Find(u"command").has_value());
  EXPECT_FALSE(names.Find(u"").has_value());
}

TEST(FoldedNameIndex, FindsIgnoringCaseAsTheProfileFunctionsCompare) {
  Names names;
  names.Add(u"Command");
  names.Add(u"Gr\u00FC\u00DFe");           // ü, ß: ß has no single upper-case form
  names.Add(u"\u0444\u0430\u0439\u043B");  // файл
  names.Add(u"");
  struct Row {
    const char16_t* query;
    std::optional<uint32_t> expected;
  } rows[] = {
      {u"COMMAND", 0},
      {u"command", 0},
      {u"cOmMaNd", 0},
      {u"GR\u00DC\u00DFE", 1},
      {u"GR\u00DCSSE", std::nullopt},
      {u"\u0424\u0410\u0419\u041B", 2},
      {u"", 3},
      {u"Command ", std::nullopt},
      {u"Comman", std::nullopt},
  };
  for (const Row& row : rows) {
    const auto found = names.Find(row.query);
    EXPECT_EQ(found, row.expected)
        << ToUtf8(row.query) << " -> " << (found ? std::to_string(*found) : "none");
  }
}

TEST(FoldedNameIndex, TheFirstOfEqualNamesWins) {
  Names names;
  names.Add(u"key");
  names.Add(u"KEY");
  names.Add(u"Key");
  names.Add(u"other");
  EXPECT_EQ(names.Find(u"kEy"), 0u);
  EXPECT_EQ(names.Find(u"OTHER"), 3u);
}

TEST(FoldedNameIndex, KeepsEveryNameThroughGrowth) {
  Names names;
  constexpr int kCount = 5000;
  for (int n = 0; n < kCount; ++n) names.Add(NumberedName(n));
  for (int n = 0; n < kCount; ++n) {
    const auto found = names.Find(ToUpper(NumberedName(n)));
    ASSERT_EQ(found, static_cast<uint32_t>(n)) << ToUtf8(NumberedName(n));
  }
  EXPECT_FALSE(names.Find(NumberedName(kCount)).has_value());
}

TEST(FoldedNameIndex, ClearForgetsEveryName) {
  Names names;
  names.Add(u"a");
  names.index.Clear();
  EXPECT_FALSE(names.Find(u"a").has_value());
  names.index.AddFirst(u"b", 0, [](uint32_t) { return TextView(u"b"); });
  EXPECT_EQ(names.index.Find(u"B", [](uint32_t) { return TextView(u"b"); }), 0u);
}

TEST(FoldedNameIndex, HashIgnoresCaseButNotLetters) {
  EXPECT_EQ(FoldedNameHash(u"Section.1.2"), FoldedNameHash(u"SECTION.1.2"));
  EXPECT_EQ(FoldedNameHash(u"\u00E9t\u00E9"), FoldedNameHash(u"\u00C9T\u00C9"));
  EXPECT_NE(FoldedNameHash(u"ab"), FoldedNameHash(u"ba"));
  // A high byte must count: these differ only above the low eight bits.
  EXPECT_NE(FoldedNameHash(u"\u0141"), FoldedNameHash(u"\u0041"));
}

}  // namespace
}  // namespace tarn::platform
