// The blank-password policy while a run keeps it relaxed, shared by the
// installation worker, which relaxes and restores it, and the user-interface
// thread, which must put it back itself when Windows ends the session: no
// thread of the program runs after that.
#pragma once

#include <mutex>
#include <optional>

#include "base/result.h"
#include "run/system_identity_settings.h"

namespace tarn::platform {
class Registry;
}

namespace tarn::run {

class RelaxedPolicy {
 public:
  // The policy was relaxed; `saved` is what to put back.
  void Hold(const SavedBlankPasswordPolicy& saved);
  // What to put back, handed over once: none when nothing is relaxed or
  // another thread has taken it.
  [[nodiscard]] std::optional<SavedBlankPasswordPolicy> Take();
  [[nodiscard]] bool held() const;

 private:
  mutable std::mutex mutex_;
  std::optional<SavedBlankPasswordPolicy> saved_;
};

// Windows ends the session: puts a relaxed policy back at once, on the
// calling thread and without the log (the worker owns it while the run goes
// on). Success when nothing was relaxed; a failure leaves the record, which
// the next run restores.
[[nodiscard]] WinError RestoreAtSessionEnd(platform::Registry& registry, RelaxedPolicy& policy);

}  // namespace tarn::run
