#include "ui/program_host.h"

#include "app/app_context.h"
#include "catalogue/catalogue_loader.h"
#include "ui/console_output.h"
#include "ui/help_window.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_pages.h"
#include "wizard/countdown.h"
#include "wizard/frame_settings.h"

namespace tarn::ui {

void ProgramHost::ShowHelp(AppContext& app, TextView text, TextView caption) {
  // The window still opens after printing: a program started from a shortcut
  // or Explorer may have been handed an output nobody reads.
  (void)WriteToConsole(text);
  if (!ShowHelpWindow(text, caption, app.translator)) {
    startup::NoWizardHost().ShowHelp(app, text, caption);
  }
}

void ProgramHost::ShowVersion(AppContext& app, TextView line, TextView caption) {
  // Scripts ask for the version and must not wait on a window; a start from
  // Explorer or a shortcut has nowhere to print and gets one.
  if (!WriteToConsole(line)) startup::NoWizardHost().ShowVersion(app, line, caption);
}

void ProgramHost::PrepareUserInterface(AppContext& app) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  catalogue_.Free();
  catalogue::LoadCatalogueFile(app.platform, app.config.IniPath,
                               {app.config.HasGaps, app.config.MachineSelection}, catalogue_);
}

startup::WizardOutcome ProgramHost::RunWizard(AppContext& app) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  wizard::Countdown countdown(wizard::CountdownFromConfig(app.config));
  run::RelaxedPolicy policy;
  WizardFrame frame(app, countdown, instance);
  frame.WatchPolicy(policy);
  WizardSession session{app, accounts_, catalogue_, countdown, frame, instance, &policy};
  const std::vector<std::unique_ptr<PropertyPage>> pages = MakeWizardPages(session);
  if (!frame.Open(pages)) return startup::WizardOutcome::kCancelled;
  const startup::WizardOutcome outcome = frame.Run();
  closingSize_ = frame.closingSize();
  return outcome;
}

void ProgramHost::ReleaseUserInterface(AppContext&) {
  catalogue_.Free();
}

void ProgramHost::SaveWizardSize(AppContext& app) {
  if (closingSize_.width <= 0 || closingSize_.height <= 0) return;
  (void)wizard::SaveClosingSize(*app.platform.profiles, app.config.IniPath, closingSize_);
}

}  // namespace tarn::ui
