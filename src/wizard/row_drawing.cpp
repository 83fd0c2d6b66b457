#include "wizard/row_drawing.h"

#include "wizard/frame_layout.h"

namespace tarn::wizard {

namespace {

// The margin around a glyph: two pixels at 96 DPI.
int32_t Margin(uint32_t dpi) {
  return ScaledToDpi(2, dpi);
}

// The glyph's size: the row's height less the margin above and below.
int32_t BoxSize(const Box& row, uint32_t dpi) {
  return row.bottom - row.top - 2 * Margin(dpi);
}

// The left edge of a row's expander, one box width further in per level.
int32_t IndentOf(const Box& row, uint32_t level, uint32_t dpi) {
  return row.left + static_cast<int32_t>(level) * BoxSize(row, dpi) + Margin(dpi);
}

bool Within(int32_t value, int32_t from, int32_t to) {
  return value >= from && value < to;
}

uint32_t Channel(Colour c, int shift) {
  return (c >> shift) & 0xFF;
}

}  // namespace

Box CheckBoxBox(const Box& row, uint32_t level, uint32_t dpi) {
  const int32_t h = BoxSize(row, dpi);
  const int32_t x0 = IndentOf(row, level, dpi) + h + ScaledToDpi(5, dpi);
  return {x0, row.top + Margin(dpi), x0 + h, row.bottom - Margin(dpi)};
}

Box ExpanderZone(const Box& row, uint32_t level, uint32_t dpi) {
  const int32_t x0 = IndentOf(row, level, dpi);
  return {x0, row.top + Margin(dpi), x0 + BoxSize(row, dpi), row.bottom - Margin(dpi)};
}

Box ExpanderGlyphBox(const Box& row, uint32_t level, uint32_t dpi) {
  const int32_t x0 = IndentOf(row, level, dpi);
  return {x0, row.top + Margin(dpi), CheckBoxBox(row, level, dpi).right, row.bottom - Margin(dpi)};
}

int32_t TextStart(const Box& row, uint32_t level, uint32_t dpi) {
  return CheckBoxBox(row, level, dpi).right + ScaledToDpi(5, dpi);
}

RowZone HitZone(const Box& row, uint32_t level, int32_t column0Width, int32_t x, int32_t y,
                uint32_t dpi) {
  const Box check = CheckBoxBox(row, level, dpi);
  if (x > row.left + column0Width || !Within(y, check.top, check.bottom)) return RowZone::kNone;
  if (Within(x, check.left, check.right)) return RowZone::kCheckBox;
  const Box expander = ExpanderZone(row, level, dpi);
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
