// The pixel rules of the software list's rows, without a device context:
// where the expander, the check box and the text stand on a row, which zone
// a point falls in, the colours of a row and the symbol-font pieces that
// make up a check box or a radio button. The list control paints and
// hit-tests with these numbers.
#pragma once

#include <cstdint>
#include <vector>

#include "wizard/software_selection.h"

namespace tarn::wizard {

// A rectangle by its edges, in client pixels; right and bottom are outside.
struct Box {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

// Where a point on a row falls.
enum class RowZone { kNone, kCheckBox, kExpander, kRightOfBox };

// Each takes the list's `dpi`: the glyphs fill the row's height less a
// margin, and the margins and gaps (2, 5 and 10 pixels at 96 DPI) scale.

// The check box square of a row indented by `level` steps (one box width each).
[[nodiscard]] Box CheckBoxBox(const Box& row, uint32_t level, uint32_t dpi);
// The expander's zone for clicks, left of the check box.
[[nodiscard]] Box ExpanderZone(const Box& row, uint32_t level, uint32_t dpi);
// Where the expander glyph is drawn: from the zone's left to the box's right.
[[nodiscard]] Box ExpanderGlyphBox(const Box& row, uint32_t level, uint32_t dpi);
// The x where the row's text begins, right of the check box.
[[nodiscard]] int32_t TextStart(const Box& row, uint32_t level, uint32_t dpi);
// The zone of point (x, y) on the row; points right of column 0 (whose
// width is `column0Width`) and outside the box band are in none.
[[nodiscard]] RowZone HitZone(const Box& row, uint32_t level, int32_t column0Width, int32_t x,
                              int32_t y, uint32_t dpi);

// A colour as the system keeps it: red in the low byte, then green, then blue.
using Colour = uint32_t;

[[nodiscard]] constexpr Colour Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return red | (green << 8) | (blue << 16);
}
// The per-channel mean of two colours, each half rounded up.
[[nodiscard]] Colour Mean(Colour a, Colour b);

// The system colours a row is painted with, and whether a high-contrast
// theme is on: then only these colours are used, never a blend of two,
// which could lose the contrast the theme was chosen for.
struct SystemColours {
  Colour window = 0;
  Colour windowText = 0;
  Colour highlight = 0;
  Colour highlightText = 0;
  Colour grayText = 0;
  Colour buttonShadow = 0;
  Colour buttonFace = 0;
  Colour buttonHighlight = 0;
  Colour darkShadow = 0;
  bool highContrast = false;
};

// A row's background (fill and brush), outline pen, text colour and the
// colour of the focus frame.
struct RowColours {
  Colour background = 0;
  Colour pen = 0;
  Colour text = 0;
  Colour focus = 0;
  bool outlined = false;  // a selected row is a rectangle drawn with the pen
};

// The colours of a row; `greyed` text starts from the button shadow (the
// grey text colour in high contrast, where a selected row is the theme's
// highlight, solid).
[[nodiscard]] RowColours ColoursOfRow(const SystemColours& system, bool selected, bool greyed);

// The colour a glyph piece is drawn in.
enum class GlyphRole { kBackground, kMark, kShadow, kDarkShadow, kWindow, kFace };

// One piece of a glyph: a symbol-font character drawn at the box's top left
// (or centred in the box), or, as character 0, the box filled.
struct GlyphPiece {
  char16_t character = 0;
  GlyphRole role = GlyphRole::kBackground;
  bool centred = false;
  friend bool operator==(const GlyphPiece&, const GlyphPiece&) = default;
};

// The pieces of a check box or radio button in drawing order; the mark
// comes last and only for a `marked` (selected) entry.
[[nodiscard]] std::vector<GlyphPiece> GlyphPieces(RowGlyph glyph, bool marked);
// The colour of a role for the row's glyph: a dimmed glyph on the face, a
// mixed selection on a light grey, anything else on the window colour. In
// high contrast a mixed or dimmed mark is grey text on the window colour.
[[nodiscard]] Colour GlyphColour(GlyphRole role, const RowView& view, const SystemColours& system);

// The symbol-font characters of the expander: pointing right or down.
inline constexpr char16_t kCollapsedGlyph = u'4';
inline constexpr char16_t kExpandedGlyph = u'6';

}  // namespace tarn::wizard
