#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile_files.h"

namespace tarn::platform {
namespace {

std::vector<std::string> Items(TextView list) {
  std::vector<std::string> items;
  for (const TextView item : SplitZeroList(list)) items.push_back(ToUtf8(item));
  return items;
}

TEST(SplitZeroList, KeepsEmptyItemsAndAnUnterminatedLastOne) {
  using Strings = std::vector<std::string>;
  EXPECT_EQ(Items(u""), Strings{});
  EXPECT_EQ(Items(TextView(u"a\0b\0", 4)), (Strings{"a", "b"}));
  EXPECT_EQ(Items(TextView(u"a\0\0b\0", 5)), (Strings{"a", "", "b"}));
  EXPECT_EQ(Items(TextView(u"\0a", 2)), (Strings{"", "a"}));
  EXPECT_EQ(Items(u"tail"), (Strings{"tail"}));
}

// A list of `size` units that a buffer of `capacity` cuts as the system does.
ProfileBuffer Answer(uint32_t size, uint32_t capacity) {
  ProfileBuffer buffer;
  if (size + 1 < capacity) {
    buffer.data = Text(size, u'x');
    buffer.returned = size;
  } else {
    buffer.data = Text(capacity - 2, u'x');
    buffer.returned = capacity - 2;
  }
  return buffer;
}

TEST(ReadWholeList, DoublesUntilTheListFitsOrTheLimitIsReached) {
  std::vector<uint32_t> asked;
  const auto read = [&](uint32_t size) {
    return [&asked, size](uint32_t capacity) {
      asked.push_back(capacity);
      return Answer(size, capacity);
    };
  };
  EXPECT_EQ(ReadWholeList(read(100), 512, 4096).data.size(), 100u);
  EXPECT_EQ(asked, (std::vector<uint32_t>{512}));
  asked.clear();
  EXPECT_EQ(ReadWholeList(read(1500), 512, 4096).data.size(), 1500u);
  EXPECT_EQ(asked, (std::vector<uint32_t>{512, 1024, 2048}));
  asked.clear();
  const ProfileBuffer cut = ReadWholeList(read(100000), 512, 4096);
  EXPECT_EQ(asked, (std::vector<uint32_t>{512, 1024, 2048, 4096}));
  EXPECT_EQ(cut.returned, 4094u) << "the last answer is taken as it is";
}

}  // namespace
}  // namespace tarn::platform
