#include "wizard/row_drawing.h"

namespace tarn::wizard {

namespace {

// The glyph's size: the row's height less a two-pixel margin above and below.
int32_t BoxSize(const Box& row) {
  return row.bottom - row.top - 4;
}

// The left edge of a row's expander, one box width further in per level.
int32_t IndentOf(const Box& row, uint32_t level) {
  return row.left + static_cast<int32_t>(level) * BoxSize(row) + 2;
}

bool Within(int32_t value, int32_t from, int32_t to) {
  return value >= from && value < to;
}

uint32_t Channel(Colour c, int shift) {
  return (c >> shift) & 0xFF;
}

}  // namespace

Box CheckBoxBox(const Box& row, uint32_t level) {
  const int32_t h = BoxSize(row);
  const int32_t x0 = IndentOf(row, level);
  return {x0 + h + 5, row.top + 2, x0 + 2 * h + 5, row.bottom - 2};
}

Box ExpanderZone(const Box& row, uint32_t level) {
  const int32_t x0 = IndentOf(row, level);
  return {x0, row.top + 2, x0 + BoxSize(row), row.bottom - 2};
}

Box ExpanderGlyphBox(const Box& row, uint32_t level) {
  const int32_t x0 = IndentOf(row, level);
  return {x0, row.top + 2, x0 + 2 * BoxSize(row) + 5, row.bottom - 2};
}

int32_t TextStart(const Box& row, uint32_t level) {
  return IndentOf(row, level) + 2 * BoxSize(row) + 10;
}

RowZone HitZone(const Box& row, uint32_t level, int32_t column0Width, int32_t x, int32_t y) {
  const Box check = CheckBoxBox(row, level);
  if (x > row.left + column0Width || !Within(y, check.top, check.bottom)) return RowZone::kNone;
  if (Within(x, check.left, check.right)) return RowZone::kCheckBox;
  const Box expander = ExpanderZone(row, level);
  if (Within(x, expander.left, expander.right)) return RowZone::kExpander;
  return x >= check.right ? RowZone::kRightOfBox : RowZone::kNone;
}

Colour Mean(Colour a, Colour b) {
  const auto half = [&](int shift) { return (Channel(a, shift) + Channel(b, shift) + 1) / 2; };
  return Rgb(half(0), half(8), half(16));
}

RowColours ColoursOfRow(const SystemColours& system, bool selected, bool greyed) {
  if (system.highContrast) {
    if (!selected) {
      return {system.window, system.window, greyed ? system.grayText : system.windowText,
              system.windowText, false};
    }
    return {system.highlight, system.highlight, system.highlightText, system.highlightText, false};
  }
  const Colour base = greyed ? system.buttonShadow : system.windowText;
  if (!selected) return {system.window, system.window, base, system.highlight, false};
  return {Mean(system.window, Mean(system.window, system.highlight)), system.highlight,
          Mean(base, system.highlight), system.highlight, true};
}

std::vector<GlyphPiece> GlyphPieces(RowGlyph glyph, bool marked) {
  // Marlett draws a control's frame as four shaded quarters around a face.
  std::vector<GlyphPiece> pieces;
  if (glyph == RowGlyph::kRadio) {
    pieces = {{u'n', GlyphRole::kBackground},
              {u'j', GlyphRole::kShadow},
              {u'l', GlyphRole::kDarkShadow},
              {u'k', GlyphRole::kWindow},
              {u'm', GlyphRole::kFace}};
  } else {
    pieces = {{0, GlyphRole::kBackground},
              {u'c', GlyphRole::kShadow},
              {u'e', GlyphRole::kDarkShadow},
              {u'd', GlyphRole::kWindow},
              {u'f', GlyphRole::kFace}};
  }
  if (marked) pieces.push_back({glyph == RowGlyph::kRadio ? u'i' : u'b', GlyphRole::kMark, true});
  return pieces;
}

Colour GlyphColour(GlyphRole role, const RowView& view, const SystemColours& system) {
  const bool faint = view.dimmed || view.mark == RowMark::kIndeterminate;
  if (system.highContrast && role == GlyphRole::kBackground) return system.window;
  if (system.highContrast && role == GlyphRole::kMark) {
    return faint ? system.grayText : system.windowText;
  }
  switch (role) {
    case GlyphRole::kBackground:
      if (view.dimmed) return system.buttonFace;
      if (view.mark == RowMark::kIndeterminate)
        return Mean(system.buttonHighlight, system.buttonFace);
      return system.window;
    case GlyphRole::kMark:
      if (view.dimmed) return system.darkShadow;
      if (view.mark == RowMark::kIndeterminate) return system.buttonShadow;
      return system.windowText;
    case GlyphRole::kShadow:
      return system.buttonShadow;
    case GlyphRole::kDarkShadow:
      return system.darkShadow;
    case GlyphRole::kWindow:
      return system.window;
    case GlyphRole::kFace:
      return system.buttonFace;
  }
  return system.window;
}

}  // namespace tarn::wizard
