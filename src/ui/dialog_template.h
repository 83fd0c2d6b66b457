// Reading the control identifiers out of a dialog template resource (the
// bytes of an RT_DIALOG resource), in both layouts: the extended one
// (DLGTEMPLATEEX, first 32-bit word 0xFFFF0001) and the classic one
// (DLGTEMPLATE).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tarn::ui {

struct DialogTemplateItems {
  // The identifiers of the items in template order; for the extended layout
  // the low 16 bits of each 32-bit identifier.
  std::vector<uint16_t> identifiers;
  // False when the template ended before all its items were read; the
  // identifiers read until then are still given.
  bool complete = false;
};

// Walks the header (menu, class, title and, when DS_SETFONT or DS_SHELLFONT
// is set, the font fields) and every item (class, title, creation data), each
// item starting on a 32-bit boundary from the start of the template. Never
// reads outside `bytes`.
[[nodiscard]] DialogTemplateItems ReadDialogTemplateItems(std::span<const uint8_t> bytes);

}  // namespace tarn::ui
