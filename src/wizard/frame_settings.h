// The wizard's size in the settings section: "dimension.width" and
// "dimension.height" are read when the wizard opens and, with
// "dimension.update" non-zero, written back when it closes. Both are the
// outer size of the window, so that a size written back opens the same
// window again.
#pragma once

#include <optional>

#include "base/text.h"
#include "platform/profile_files.h"
#include "wizard/frame_layout.h"

namespace tarn::wizard {

// The outer size to open with: each dimension from the settings (see
// DimensionFromSetting, percentages of `desktop`), or `current` where the
// setting is empty; then no larger than `workArea`.
[[nodiscard]] Size OpeningSize(platform::ProfileFiles& profiles, TextView iniPath, Size desktop,
                               Size current, Size workArea);

// `size` limited to `workArea` in each dimension (and never negative).
[[nodiscard]] Size ClampToWorkArea(Size size, Size workArea);

// Writes `outer` as "dimension.width" and "dimension.height" when the
// settings' "dimension.update" is non-zero; returns whether it wrote.
[[nodiscard]] bool SaveClosingSize(platform::ProfileFiles& profiles, TextView iniPath, Size outer);

}  // namespace tarn::wizard
