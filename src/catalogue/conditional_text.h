// Conditional text: if.true("...") and if.false("...") constructs in a value
// are replaced by their quoted text or removed, depending on the condition.
#pragma once

#include "base/text.h"

namespace tarn::catalogue {

// Rewrites `value` in place; returns true when it held at least one
// construct. The result is never longer than the value.
bool ApplyConditionalText(Text& value, bool condition);

}  // namespace tarn::catalogue
