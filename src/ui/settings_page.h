// The wizard's first page, "Create user account": binds the settings page
// model to the dialog's controls, shows its balloons and tips, runs the
// page's share of the unattended countdown and asks before a cancel.
#pragma once

#include "base/text.h"
#include "ui/balloon_tip.h"
#include "ui/property_page.h"
#include "ui/wizard_session.h"
#include "wizard/settings_page_model.h"

namespace tarn::ui {

class SettingsPage final : public PropertyPage {
 public:
  // `session` must outlive the page.
  explicit SettingsPage(WizardSession& session);
  ~SettingsPage() override;

 protected:
  bool OnInitDialog() override;
  LONG_PTR OnSetActive() override;
  bool OnKillActive() override;
  LONG_PTR OnWizNext() override;
  bool OnQueryCancel() override;
  LRESULT OnNotify(NMHDR& header, bool& handled) override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(int width, int height) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void CreateBoxTips();
  void PrepareControls();
  void ShowLoggedOnUser();
  void ShowView(const wizard::SettingsView& view);
  void ShowFields();
  void FieldChanged(int id, HWND control);
  void BoxClicked(int id);
  void Validate();
  void StopCountdown();
  void AutomaticStart();
  [[nodiscard]] Text RunningUser() const;

  WizardSession& session_;
  wizard::SettingsPageModel model_;
  BalloonTip balloon_;
  // The check boxes' tips; the text asked for last stays alive for the tooltip.
  HWND boxTips_ = nullptr;
  Text tipText_;
  // Set while the page itself puts texts into the fields.
  bool showing_ = false;
};

}  // namespace tarn::ui
