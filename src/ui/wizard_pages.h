// The pages of the wizard, in wizard order.
#pragma once

#include <memory>
#include <vector>

#include "ui/property_page.h"
#include "ui/wizard_session.h"

namespace tarn::ui {

// Creates the wizard's pages for `session`, in wizard order; they must
// outlive the sheet.
[[nodiscard]] std::vector<std::unique_ptr<PropertyPage>> MakeWizardPages(WizardSession& session);

}  // namespace tarn::ui
