// What the software page's help pane shows for an entry, decided without
// the control: the entry's help document, its short help, the page's
// default help, or nothing, and the RTF of the short help.
#pragma once

#include <string>

#include "base/text.h"
#include "catalogue/software_entry.h"

namespace tarn::platform {
class Environment;
}

namespace tarn::wizard {

enum class HelpKind {
  kFile,   // show the document at `path`
  kText,   // show `title` over `body`
  kEmpty,  // empty the pane
};

struct HelpContent {
  HelpKind kind = HelpKind::kEmpty;
  Text path;   // kFile: expanded and absolute
  Text title;  // kText: expanded
  Text body;   // kText: expanded
};

// The help of `entry`: its help document, else its help text under its
// description, else `defaultHelp` when not empty, else nothing. Variables
// are expanded; a relative document path is taken from `programFolder`.
[[nodiscard]] HelpContent HelpFor(const catalogue::SoftwareEntry& entry, TextView defaultHelp,
                                  platform::Environment& environment, TextView programFolder);

// The pane's default help alone (`defaultHelp` may be empty: nothing).
[[nodiscard]] HelpContent DefaultHelpContent(TextView defaultHelp,
                                             platform::Environment& environment,
                                             TextView programFolder);

// The short help as 8-bit RTF: the title in bold dark blue over the body,
// both shown literally (every character escaped). With `systemColours` (a
// high-contrast theme) both are in the window's text colour instead.
[[nodiscard]] std::string ShortHelpRtf(TextView title, TextView body, bool systemColours = false);

}  // namespace tarn::wizard
