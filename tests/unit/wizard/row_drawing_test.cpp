#include "wizard/row_drawing.h"

#include <gtest/gtest.h>

namespace tarn::wizard {
namespace {

// A row 20 pixels high (boxes of 16) from x = 10, at y = 40.
constexpr Box kRow{10, 40, 400, 60};

TEST(RowDrawing, GlyphsMoveOneBoxWidthInPerLevel) {
  EXPECT_EQ(ExpanderZone(kRow, 0, 96), (Box{12, 42, 28, 58}));
  EXPECT_EQ(CheckBoxBox(kRow, 0, 96), (Box{33, 42, 49, 58}));
  EXPECT_EQ(CheckBoxBox(kRow, 2, 96), (Box{65, 42, 81, 58}));
  EXPECT_EQ(ExpanderGlyphBox(kRow, 1, 96), (Box{28, 42, 65, 58}));
  EXPECT_EQ(TextStart(kRow, 1, 96), 28 + 32 + 10);
}

TEST(RowDrawing, MarginsAndGapsGrowWithTheDpi) {
  // The same row at 200 %: 40 pixels high, margins of 4, gaps of 10 and 20.
  constexpr Box kTall{20, 80, 800, 120};
  EXPECT_EQ(ExpanderZone(kTall, 0, 192), (Box{24, 84, 56, 116}));
  EXPECT_EQ(CheckBoxBox(kTall, 0, 192), (Box{66, 84, 98, 116}));
  EXPECT_EQ(CheckBoxBox(kTall, 1, 192), (Box{98, 84, 130, 116}));
  EXPECT_EQ(TextStart(kTall, 0, 192), 98 + 10);
  EXPECT_EQ(HitZone(kTall, 0, 600, 60, 100, 192), RowZone::kNone) << "the gap, twice as wide";
  EXPECT_EQ(HitZone(kTall, 0, 600, 66, 85, 192), RowZone::kCheckBox);
}

TEST(RowDrawing, HitZones) {
  struct Case {
    uint32_t level;
    int32_t column0;
    int32_t x, y;
    RowZone expected;
  };
  const Case cases[] = {
      {0, 300, 12, 50, RowZone::kExpander},   {0, 300, 27, 42, RowZone::kExpander},
      {0, 300, 30, 50, RowZone::kNone},  // the gap between expander and box
      {0, 300, 33, 50, RowZone::kCheckBox},   {0, 300, 48, 57, RowZone::kCheckBox},
      {0, 300, 40, 41, RowZone::kNone},  // above the box band
      {0, 300, 40, 58, RowZone::kNone},  // below it
      {0, 300, 49, 50, RowZone::kRightOfBox}, {0, 300, 310, 50, RowZone::kRightOfBox},
      {0, 300, 311, 50, RowZone::kNone},  // beyond column 0
      {1, 300, 40, 50, RowZone::kExpander},   {1, 300, 50, 50, RowZone::kCheckBox},
      {0, 20, 33, 50, RowZone::kNone},  // a column narrower than the box
      {0, 300, 5, 50, RowZone::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HitZone(kRow, c.level, c.column0, c.x, c.y, 96), c.expected)
        << "level " << c.level << " at " << c.x << "," << c.y;
  }
}

SystemColours System() {
  SystemColours s;
  s.window = Rgb(255, 255, 255);
  s.windowText = Rgb(0, 0, 0);
  s.highlight = Rgb(0, 120, 215);
  s.buttonShadow = Rgb(160, 160, 160);
  s.buttonFace = Rgb(240, 240, 240);
  s.buttonHighlight = Rgb(255, 255, 255);
  s.darkShadow = Rgb(105, 105, 105);
  return s;
}

TEST(RowDrawing, RowColours) {
  const SystemColours s = System();
  const RowColours plain = ColoursOfRow(s, false, false);
  EXPECT_EQ(plain.background, s.window);
  EXPECT_EQ(plain.text, s.windowText);
  EXPECT_FALSE(plain.outlined);
  EXPECT_EQ(ColoursOfRow(s, false, true).text, s.buttonShadow);
  const RowColours selected = ColoursOfRow(s, true, false);
  // mean(white, mean(white, highlight)) = mean(white, (128,188,235)).
  EXPECT_EQ(selected.background, Rgb(192, 222, 245));
  EXPECT_EQ(selected.pen, s.highlight);
  EXPECT_EQ(selected.text, Rgb(0, 60, 108));
  EXPECT_TRUE(selected.outlined);
  EXPECT_EQ(ColoursOfRow(s, true, true).text, Rgb(80, 140, 188)) << "halves round up";
}

// The "High Contrast Black" theme's colours.
SystemColours HighContrastBlack() {
  SystemColours s;
  s.window = Rgb(0, 0, 0);
  s.windowText = Rgb(255, 255, 255);
  s.highlight = Rgb(26, 235, 255);
  s.highlightText = Rgb(0, 0, 0);
  s.grayText = Rgb(63, 242, 63);
  s.buttonShadow = Rgb(128, 128, 128);
  s.buttonFace = Rgb(0, 0, 0);
  s.buttonHighlight = Rgb(255, 255, 255);
  s.darkShadow = Rgb(128, 128, 128);
  s.highContrast = true;
  return s;
}

TEST(RowDrawing, HighContrastRowsUseTheThemesColoursUnblended) {
  const SystemColours s = HighContrastBlack();
  const RowColours selected = ColoursOfRow(s, true, false);
  EXPECT_EQ(selected.background, s.highlight);
  EXPECT_EQ(selected.text, s.highlightText);
  EXPECT_EQ(selected.focus, s.highlightText) << "a frame in the fill's colour would not show";
  EXPECT_EQ(ColoursOfRow(s, true, true).text, s.highlightText);
  EXPECT_EQ(ColoursOfRow(s, false, false).text, s.windowText);
  EXPECT_EQ(ColoursOfRow(s, false, true).text, s.grayText);
  EXPECT_EQ(ColoursOfRow(s, false, false).focus, s.windowText);
  for (const RowMark mark : {RowMark::kChecked, RowMark::kIndeterminate}) {
    for (const bool dimmed : {false, true}) {
      RowView view;
      view.mark = mark;
      view.dimmed = dimmed;
      const bool faint = dimmed || mark == RowMark::kIndeterminate;
      EXPECT_EQ(GlyphColour(GlyphRole::kBackground, view, s), s.window);
      EXPECT_EQ(GlyphColour(GlyphRole::kMark, view, s), faint ? s.grayText : s.windowText);
    }
  }
}

TEST(RowDrawing, GlyphPiecesAndTheirColours) {
  const std::vector<GlyphPiece> box = GlyphPieces(RowGlyph::kCheckBox, true);
  ASSERT_EQ(box.size(), 6u);
  EXPECT_EQ(box.front(), (GlyphPiece{0, GlyphRole::kBackground, false}));
  EXPECT_EQ(box[1], (GlyphPiece{u'c', GlyphRole::kShadow, false}));
  EXPECT_EQ(box.back(), (GlyphPiece{u'b', GlyphRole::kMark, true}));
  const std::vector<GlyphPiece> radio = GlyphPieces(RowGlyph::kRadio, false);
  ASSERT_EQ(radio.size(), 5u) << "no mark for an unselected entry";
  EXPECT_EQ(radio.front(), (GlyphPiece{u'n', GlyphRole::kBackground, false}));
  EXPECT_EQ(radio.back(), (GlyphPiece{u'm', GlyphRole::kFace, false}));
  EXPECT_EQ(GlyphPieces(RowGlyph::kRadio, true).back().character, u'i');

  struct Case {
    bool dimmed;
    RowMark mark;
    Colour background, markColour;
  };
  const SystemColours s = System();
  const Case cases[] = {
      {true, RowMark::kIndeterminate, s.buttonFace, s.darkShadow},
      {false, RowMark::kIndeterminate, Rgb(248, 248, 248), s.buttonShadow},
      {false, RowMark::kChecked, s.window, s.windowText},
      {false, RowMark::kUnchecked, s.window, s.windowText},
  };
  for (const Case& c : cases) {
    RowView view;
    view.dimmed = c.dimmed;
    view.mark = c.mark;
    EXPECT_EQ(GlyphColour(GlyphRole::kBackground, view, s), c.background) << c.dimmed;
    EXPECT_EQ(GlyphColour(GlyphRole::kMark, view, s), c.markColour) << c.dimmed;
    EXPECT_EQ(GlyphColour(GlyphRole::kFace, view, s), s.buttonFace);
  }
}

}  // namespace
}  // namespace tarn::wizard
