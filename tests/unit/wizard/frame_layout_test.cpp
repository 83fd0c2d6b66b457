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

TEST(FrameLayout, ButtonsStandAtTheBottomRightAndThePageFillsDownToTheButtonLine) {
  const FrameLayout layout = LayOutFrame({{800, 600}, {75, 23}, 11, 66, 96});
  EXPECT_EQ(layout.cancel.x, 800 - 75 - 10);
  EXPECT_EQ(layout.cancel.y, 600 - 23 - 10);
  EXPECT_EQ(layout.nextAndFinish.x, 800 - 150 - 20);
  EXPECT_EQ(layout.back.x + layout.back.width, layout.nextAndFinish.x) << "Back and Next touch";
  EXPECT_EQ(layout.cancel.x - (layout.nextAndFinish.x + 75), 10);
  EXPECT_EQ(layout.lineAboveButtons.y, 600 - 47);
  EXPECT_EQ(layout.lineUnderHeader.y, 58);
  EXPECT_EQ(layout.page.x, 11);
  EXPECT_EQ(layout.page.y, 66);
  EXPECT_EQ(layout.page.width, 800 - 22);
  EXPECT_EQ(layout.page.y + layout.page.height, 600 - 47 - 7);
}

struct ScaleRow {
  uint32_t dpi;
  Size button;  // the sheet's buttons at that scale
  int32_t headerLine;
  int32_t edgeGap;  // between the buttons and the client area's edges
};

TEST(FrameLayout, EveryLineAndGapGrowsWithTheDpi) {
  const ScaleRow rows[] = {
      {96, {75, 23}, 58, 10},
      {120, {94, 29}, 73, 13},    // 125 %
      {144, {113, 35}, 87, 15},   // 150 %
      {192, {150, 46}, 116, 20},  // 200 %
  };
  for (const ScaleRow& row : rows) {
    const Size client{ScaledToDpi(560, row.dpi), ScaledToDpi(400, row.dpi)};
    const int32_t pageTop = ScaledToDpi(66, row.dpi);
    const FrameLayout layout = LayOutFrame({client, row.button, 0, pageTop, row.dpi});
    EXPECT_EQ(layout.lineUnderHeader.y, row.headerLine) << row.dpi;
    EXPECT_GE(layout.header.height, layout.lineUnderHeader.y + layout.lineUnderHeader.height);
    EXPECT_EQ(LayOutFrame({client, row.button, 0, 0, row.dpi}).lineUnderHeader.y, row.headerLine)
        << "without a page";
    EXPECT_EQ(client.width - (layout.cancel.x + row.button.width), row.edgeGap) << row.dpi;
    EXPECT_EQ(client.height - (layout.cancel.y + row.button.height), row.edgeGap) << row.dpi;
    EXPECT_EQ(layout.cancel.x - (layout.nextAndFinish.x + row.button.width), row.edgeGap);
    // The button line keeps its 96-DPI distance above the buttons, scaled:
    // it never crosses them however tall they are.
    EXPECT_EQ(layout.cancel.y - layout.lineAboveButtons.y, ScaledToDpi(14, row.dpi)) << row.dpi;
    EXPECT_EQ(layout.page.y, pageTop) << row.dpi;
    EXPECT_EQ(layout.lineAboveButtons.y - (layout.page.y + layout.page.height),
              ScaledToDpi(7, row.dpi))
        << row.dpi;
  }
}

TEST(FrameLayout, TheHeaderLineKeepsItsDistanceAboveThePage) {
  // Wine's sheet at 150 % puts the page at 91, its header font being less
  // than one and a half times as tall: the line follows the page.
  const FrameLayout layout = LayOutFrame({{747, 520}, {124, 30}, 16, 91, 144});
  EXPECT_EQ(layout.lineUnderHeader.y, 91 - 12);
  EXPECT_EQ(layout.header.height, 91 - 12 + 2);
}

TEST(FrameLayout, PicturesAreChosenForTheNearestScale) {
  const std::pair<uint32_t, int32_t> rows[] = {{96, 100},  {110, 100}, {120, 150}, {144, 150},
                                               {168, 200}, {192, 200}, {288, 200}, {72, 100}};
  for (const auto& [dpi, scale] : rows) EXPECT_EQ(NearestPictureScale(dpi), scale) << dpi;
  EXPECT_EQ(ScaledToDpi(58, 144), 87);
  EXPECT_EQ(ScaledToDpi(-47, 144), -71) << "negative offsets round like positive ones";
}

TEST(FrameLayout, CentringSplitterAndMinimumSize) {
  const Rect centred = CenteredOn({1024, 768}, {600, 401});
  EXPECT_EQ(centred.x, 512 - 300);
  EXPECT_EQ(centred.y, 384 - 200);
  EXPECT_EQ(SplitterPixels(600, 30), 420);
  EXPECT_EQ(SplitterPixels(600, 0), 600);
  const Size minimum = MinimumTrackingSize({500, 380}, 96);
  EXPECT_EQ(minimum.width, 500);
  EXPECT_EQ(minimum.height, 400);
  EXPECT_EQ(MinimumTrackingSize({750, 570}, 144).height, 600) << "the grip at 150 %";
}

}  // namespace
}  // namespace tarn::wizard
