// What a run of a configuration would do on a machine, read the way the
// program's start reads it: the settings, %INIDIR%, the software catalogue
// in the machine's ANSI code page (its tests evaluated there), the
// environment section, then the accounts. The native plan tool describes a
// machine and asks this, so its plan cannot read a file otherwise than a run.
#pragma once

#include <string>

#include "base/text.h"
#include "platform/platform.h"

namespace tarn::startup {

struct PlanRequest {
  // The configuration file, a path of the machine.
  Text iniPath;
  // As "/hasgaps" on the command line: switches HasGaps on whatever the
  // file says; the file switches on what this leaves off.
  bool hasGaps = false;
  // The JSON form instead of the text form.
  bool json = false;
};

// The catalogue and its commands (catalogue::PlanText / PlanJson, each
// command as the launch starts it, the passwords the settings give masked),
// followed by the account plan of the users section (run::AccountPlanText /
// AccountPlanJson). `platform` must be complete. Sets the installation
// variables of the file in the machine's environment, as the start does; the
// account variables of each planned account are put back afterwards.
[[nodiscard]] std::string PlanConfiguration(const platform::Platform& platform,
                                            const PlanRequest& request);

}  // namespace tarn::startup
