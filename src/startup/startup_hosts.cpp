#include "startup/startup_hosts.h"

#include "app/app_context.h"
#include "platform/desktop.h"

namespace tarn::startup {

// MB_ICONINFORMATION | MB_TASKMODAL | MB_TOPMOST.
constexpr uint32_t kInformationBoxFlags = 0x42040;

void NoWizardHost::ShowHelp(AppContext& app, TextView text, TextView caption) {
  app.platform.desktop->MessageBox(text, caption, kInformationBoxFlags);
}

void NoWizardHost::ShowVersion(AppContext& app, TextView line, TextView caption) {
  app.platform.desktop->MessageBox(line, caption, kInformationBoxFlags);
}

}  // namespace tarn::startup
