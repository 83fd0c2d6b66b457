// Per-machine data at start-up: the facts the firmware and the network
// adapters give, the variables made of them, the row of [machines] that
// names this machine and the computer name patterns. Nothing is read
// unless the configuration asks for it: without a [machines] section and
// without a pattern in [settings] Computer, a run is what it always was.
#pragma once

#include <vector>

#include "app/app_context.h"
#include "app/machine_table.h"
#include "base/text.h"

namespace tarn::startup {

// The identity fields the command line gave; the table never overrides them.
struct IdentityGiven {
  bool computer = false, workgroup = false, owner = false, org = false;
};
[[nodiscard]] IdentityGiven IdentityFromCommandLine(const app::InstallConfig& config);

// The firmware's maker, model, serial number and UUID (from the raw SMBIOS
// table) and the first adapter's MAC address; what cannot be read is empty.
[[nodiscard]] app::MachineFacts ReadMachineFacts(platform::SystemInfo& system);

// The rows of `iniPath`'s [machines] section, then those of the file its
// File= key names (expanded, relative to the configuration's folder).
// Rows that do not read are passed over and written to `log` when given.
[[nodiscard]] std::vector<app::MachineRow> ReadMachineRows(const platform::Platform& platform,
                                                           TextView iniPath, app::LogFile* log);

// Runs after the settings are read and the log is open: when the
// configuration asks for per-machine data, sets the variables SERIAL, UUID,
// MAC, MAKER and MODEL, and fills Computer, Workgroup, Owner, Org and the
// selection from the machine's row (the command line still wins), else
// Computer from a pattern in [settings]. Every name is fitted to the
// computer-name rules; a change or cut is logged.
void ApplyMachineData(AppContext& app, const IdentityGiven& given);

}  // namespace tarn::startup
