// The names of the configuration keys that decide how an entry's end is
// judged: which exit codes count as what, whether the entry is already
// present, and the log for the administrators' log viewers. Kept together so
// that whatever checks a configuration knows every one of them.
#pragma once

#include "base/text.h"

namespace tarn::app::keys {

// On an item as "<base>.<index path>" ("success.0.1"), on a section as the
// bare base name, where it is the default of the section's items.
// Exit codes that count as success ("0,1,2,3").
inline constexpr TextView kSuccessCodes = u"success";
// Exit codes that count as success needing a restart.
inline constexpr TextView kRestartCodes = u"needsrestart";
// One installation test that is true when the entry is present.
inline constexpr TextView kDetect = u"detect";

// Every base name above, for a checker of software sections.
inline constexpr TextView kEntryKeys[] = {kSuccessCodes, kRestartCodes, kDetect};

// In [settings]: "LogFormat=cmtrace" adds a log in the CMTrace line format.
inline constexpr TextView kLogFormat = u"LogFormat";
inline constexpr TextView kLogFormatCmtrace = u"cmtrace";

// Every settings key above, for a checker of the settings section.
inline constexpr TextView kSettingsKeys[] = {kLogFormat};

}  // namespace tarn::app::keys
