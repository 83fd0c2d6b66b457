#include "ui/program_host.h"

#include "app/app_context.h"
#include "ui/help_window.h"

namespace tarn::ui {

void ProgramHost::ShowHelp(AppContext& app, TextView text, TextView caption) {
  if (!ShowHelpWindow(text, caption, app.translator)) {
    startup::NoWizardHost::ShowHelp(app, text, caption);
  }
}

}  // namespace tarn::ui
