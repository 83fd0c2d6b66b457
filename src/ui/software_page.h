// The wizard's software page: the catalogue as a tree of checkable rows on
// the left, the help of the current entry on the right, a splitter between
// them, "Select all" and the Load menu below. It runs the page's share of
// the unattended countdown and asks before a cancel.
#pragma once

#include <memory>
#include <vector>

#include "base/text.h"
#include "ui/ex_list_view.h"
#include "ui/help_pane.h"
#include "ui/property_page.h"
#include "ui/wizard_session.h"
#include "wizard/software_selection.h"

namespace tarn::ui {

class SoftwarePage final : public PropertyPage {
 public:
  // `session` must outlive the page.
  explicit SoftwarePage(WizardSession& session);
  ~SoftwarePage() override;
  void OnCountdownStopped() override;

 protected:
  bool OnInitDialog() override;
  LONG_PTR OnSetActive() override;
  LONG_PTR OnWizNext() override;
  bool OnQueryCancel() override;
  LRESULT OnNotify(NMHDR& header, bool& handled) override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(int width, int height) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void SetUpList();
  // The help pane's control, after the list; nullptr when rich edit is missing.
  [[nodiscard]] HWND CreateHelpControl();
  void CreateLoadMenu();
  // Load is offered only while the countdown is off.
  void ShowLoadButton();
  // Lays the controls out around the splitter.
  void LayOut();
  // Shows the help of a row; a row that does not exist leaves the pane.
  void ShowHelpOf(std::optional<size_t> row);
  void ShowDefaultHelp();
  // The row that became the list's current row by `change`; none for any
  // other change.
  [[nodiscard]] static std::optional<size_t> FocusGained(const NMLISTVIEW& change);
  void CycleSelectAll();
  void ShowSelectAllState();
  void OpenLoadMenu();
  void LoadMenuCommand(UINT command);
  // Replaces the catalogue with that of `path`, or says why it stays.
  void LoadFrom(const Text& path);
  void StopCountdown();
  [[nodiscard]] bool OnMouse(UINT message, LPARAM lParam);
  [[nodiscard]] Text ProgramFolder() const;

  WizardSession& session_;
  std::unique_ptr<wizard::SoftwareSelection> selection_;
  ExListView list_;
  HelpPane help_;
  HMENU menu_ = nullptr;
  std::vector<Text> configurationFiles_;
  bool dragging_ = false;
  // The entry whose help the pane shows; nullptr for the default help.
  const catalogue::SoftwareEntry* helpEntry_ = nullptr;
};

}  // namespace tarn::ui
