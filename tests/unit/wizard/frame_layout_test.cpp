#include "wizard/frame_layout.h"

#include <gtest/gtest.h>

namespace tarn::wizard {
namespace {

struct DimensionRow {
  const char16_t* value;
  uint32_t desktop;
  std::optional<uint32_t> expected;
};

TEST(FrameLayout, DimensionSettings) {
  const DimensionRow rows[] = {
      {u"", 1024, std::nullopt},  // keep the current size
      {u"80%", 1024, 819},       {u"0x300", 1024, 768},
      {u"0300", 1024, 192},   // octal, as the system reads a leading 0
      {u"640px", 1024, 640},  // trailing text other than % is ignored
      {u"50 %", 1024, 50},    // only a % right after the number counts
      {u"wide", 1024, 0},     // no digits read as 0
      {u"100%", 1280, 1280},
  };
  for (const DimensionRow& row : rows) {
    EXPECT_EQ(DimensionFromSetting(row.value, row.desktop), row.expected) << ToUtf8(row.value);
  }
}

TEST(FrameLayout, ButtonsStandAtTheBottomRightAndThePageShrinksByDialogUnits) {
  // Dialog base units 8 x 16 pixels: 10 units across are 20 px, 60 down 120.
  const FrameLayout layout = LayOutFrame({800, 600}, {75, 23}, 8, 16);
  EXPECT_EQ(layout.cancel.x, 800 - 75 - 10);
  EXPECT_EQ(layout.cancel.y, 600 - 23 - 10);
  EXPECT_EQ(layout.nextAndFinish.x, 800 - 150 - 20);
  EXPECT_EQ(layout.back.x + layout.back.width, layout.nextAndFinish.x) << "Back and Next touch";
  EXPECT_EQ(layout.cancel.x - (layout.nextAndFinish.x + 75), 10);
  EXPECT_EQ(layout.lineAboveButtons.y, 600 - 47);
  EXPECT_EQ(layout.lineUnderHeader.y, 58);
  EXPECT_EQ(layout.page.width, 780);
  EXPECT_EQ(layout.page.height, 480);
}

TEST(FrameLayout, CentringSplitterAndMinimumSize) {
  const Rect centred = CenteredOn({1024, 768}, {600, 401});
  EXPECT_EQ(centred.x, 512 - 300);
  EXPECT_EQ(centred.y, 384 - 200);
  EXPECT_EQ(SplitterPixels(600, 30), 420);
  EXPECT_EQ(SplitterPixels(600, 0), 600);
  const Size minimum = MinimumTrackingSize({500, 380});
  EXPECT_EQ(minimum.width, 500);
  EXPECT_EQ(minimum.height, 400);
}

}  // namespace
}  // namespace tarn::wizard
