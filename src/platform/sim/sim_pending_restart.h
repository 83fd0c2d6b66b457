// What Windows leaves in its registry while it waits for a restart, written
// into a simulated machine the way the system writes it.
#pragma once

#include "platform/sim/sim_registry.h"

namespace tarn::sim {

enum class PendingRestart {
  // Component servicing (CBS) finished a package that needs a restart: the
  // key "...\Component Based Servicing\RebootPending" exists.
  kComponentServicing,
  // Windows Update installed updates that need a restart: the key
  // "...\WindowsUpdate\Auto Update\RebootRequired" exists.
  kWindowsUpdate,
  // SetComputerNameEx took a new name: "ComputerName\ComputerName" holds it
  // while "ComputerName\ActiveComputerName" still holds the running one.
  kComputerRename,
  // MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT: the Session Manager's
  // "PendingFileRenameOperations" lists the file to move or delete.
  kFileRename,
};

// Leaves `registry` as Windows does when it waits for a restart for `why`.
void MarkRestartPending(SimRegistry& registry, PendingRestart why);

}  // namespace tarn::sim
