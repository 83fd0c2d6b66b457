// The keys of the configuration file that restart Windows in the middle of a
// run and continue after it, in one place: the reader of the settings, the
// catalogue loader and the checks of a configuration all take them from here.
#pragma once

#include <array>
#include <cstdint>

#include "base/text.h"

namespace tarn::app {

// [settings] "RestartOnRequest=1": restart whenever an entry ends needing a restart.
inline constexpr TextView kKeyRestartOnRequest = u"RestartOnRequest";
// [settings] "MaxRestarts=<n>": how many restarts one run may make.
inline constexpr TextView kKeyMaxRestarts = u"MaxRestarts";
// [settings] "RestartIfPending=1" (or 2, which counts pending file renames
// too): restart first when Windows already waits for a restart.
inline constexpr TextView kKeyRestartIfPending = u"RestartIfPending";
// Software sections: "restartafter" (a section's default) and
// "restartafter.<index path>" (an item): restart after the entry succeeds.
inline constexpr TextView kKeyRestartAfter = u"restartafter";

// The settings-section keys above, for whoever checks a configuration's keys.
inline constexpr std::array<TextView, 3> kRestartSettingsKeys = {
    kKeyRestartOnRequest, kKeyMaxRestarts, kKeyRestartIfPending};
// The software-section keys above (an item's key adds ".<index path>").
inline constexpr std::array<TextView, 1> kRestartEntryKeys = {kKeyRestartAfter};

inline constexpr int32_t kMaxRestartsDefault = 5;
// The largest MaxRestarts a configuration may give.
inline constexpr int32_t kMaxRestartsLimit = 100;

// What "RestartIfPending" asks for.
enum class PendingRestartCheck : int32_t {
  kOff = 0,
  kSystem = 1,            // component servicing, Windows Update, a computer rename
  kSystemAndRenames = 2,  // also files Windows replaces at the next start
};

}  // namespace tarn::app
