// Which entries have a row in the list when a catalogue has just been
// loaded: hidden entries have none, and neither has any entry below a hidden
// or collapsed one. The chain keeps them all; expanding adds rows later.
#pragma once

#include <vector>

#include "catalogue/software_catalogue.h"

namespace tarn::catalogue {

// The entries that get a row, in chain order. An entry gets one when it is
// not hidden and its parent (if any) has a row and is not collapsed, so a
// descendant never shows while an ancestor is hidden or collapsed, whatever
// the descendant's own flags say.
[[nodiscard]] std::vector<SoftwareEntry*> InitialRows(const SoftwareCatalogue& catalogue);

}  // namespace tarn::catalogue
