#include "ui/wizard_pages.h"

namespace tarn::ui {

std::vector<std::unique_ptr<PropertyPage>> MakeWizardPages(WizardSession&) { return {}; }

}  // namespace tarn::ui
