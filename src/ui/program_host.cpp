#include "ui/program_host.h"

#include "app/app_context.h"
#include "ui/console_output.h"
#include "ui/help_window.h"

namespace tarn::ui {

void ProgramHost::ShowHelp(AppContext& app, TextView text, TextView caption) {
  // The window still opens after printing: a program started from a shortcut
  // or Explorer may have been handed an output nobody reads.
  (void)WriteToConsole(text);
  if (!ShowHelpWindow(text, caption, app.translator)) {
    startup::NoWizardHost::ShowHelp(app, text, caption);
  }
}

}  // namespace tarn::ui
