// Which item keys a software section can hold at all. The loader asks for
// up to 17 keys per item; a key whose base name occurs nowhere in the
// section is known to be empty without asking, which spares most look-ups
// in sections that use only a few of the keys.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace tarn::catalogue {

class ItemKeyPresence {
 public:
  // Every key may be present (nothing is known about the section).
  ItemKeyPresence() = default;

  // From a section's lines as GetPrivateProfileSectionW gives them
  // ("key=value" items separated by zeros). Conservative: a base name counts
  // as present when any line starts with it and a dot, ignoring case and
  // leading blanks, so no key that the section holds is ever missed.
  [[nodiscard]] static ItemKeyPresence FromSectionLines(TextView lines);

  // False only when no key "<base>.<anything>" can exist in the section.
  [[nodiscard]] bool MayHave(TextView base) const;

 private:
  explicit ItemKeyPresence(uint32_t present) : present_(present) {}
  uint32_t present_ = ~0u;
};

}  // namespace tarn::catalogue
