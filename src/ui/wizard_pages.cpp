#include "ui/wizard_pages.h"

#include "ui/settings_page.h"

namespace tarn::ui {

std::vector<std::unique_ptr<PropertyPage>> MakeWizardPages(WizardSession& session) {
  std::vector<std::unique_ptr<PropertyPage>> pages;
  pages.push_back(std::make_unique<SettingsPage>(session));
  return pages;
}

}  // namespace tarn::ui
