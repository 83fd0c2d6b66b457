#include "ui/wizard_pages.h"

#include "ui/account_list_page.h"
#include "ui/settings_page.h"
#include "ui/software_page.h"
#include "ui/status_page.h"

namespace tarn::ui {

std::vector<std::unique_ptr<PropertyPage>> MakeWizardPages(WizardSession& session) {
  std::vector<std::unique_ptr<PropertyPage>> pages;
  pages.push_back(std::make_unique<SettingsPage>(session));
  pages.push_back(std::make_unique<AccountListPage>(session));
  pages.push_back(std::make_unique<SoftwarePage>(session));
  pages.push_back(std::make_unique<StatusPage>(session));
  return pages;
}

}  // namespace tarn::ui
