// The wizard's main window: a modeless Wizard97 property sheet over the
// pages, made a freely resizable, centred window with an About entry in its
// system menu, driven by its own message loop. It owns the beep and display
// timers and the on-screen countdown, and stops them for the pages.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "run/relaxed_policy.h"
#include "startup/startup_hosts.h"
#include "ui/gdi_handles.h"
#include "ui/osd_window.h"
#include "ui/property_page.h"
#include "ui/wizard_session.h"
#include "wizard/countdown.h"
#include "wizard/frame_layout.h"
#include "wizard/frame_rules.h"

namespace tarn::ui {

class WizardFrame : public FrameControl {
 public:
  // The frame reads the settings of `app` and drives `countdown`; both must
  // outlive it.
  WizardFrame(AppContext& app, wizard::Countdown& countdown, HINSTANCE instance);
  // Destroys a sheet that is still open.
  ~WizardFrame() override;
  WizardFrame(const WizardFrame&) = delete;
  WizardFrame& operator=(const WizardFrame&) = delete;

  // Creates the sheet over `pages` (which must outlive the frame), sizes,
  // centres and shows it, and arms the timers; false without pages or when
  // the system refused the sheet.
  [[nodiscard]] bool Open(const std::vector<std::unique_ptr<PropertyPage>>& pages);
  // Runs the message loop until the sheet closes; how it ended.
  [[nodiscard]] startup::WizardOutcome Run();
  // Handles the messages waiting now, without blocking; false once the sheet
  // has closed.
  [[nodiscard]] bool ProcessWaitingMessages();

  // The sheet window, or nullptr when it is not open.
  [[nodiscard]] HWND window() const { return sheet_; }
  // The outer size of the window when it closed (zero before).
  [[nodiscard]] wizard::Size closingSize() const { return closingSize_; }
  [[nodiscard]] startup::WizardOutcome outcome() const { return outcome_; }

  void StopCountdown() override;
  // The policy a run may keep relaxed: put back when Windows ends the
  // session. Must outlive the frame.
  void WatchPolicy(run::RelaxedPolicy& policy) { policy_ = &policy; }

 private:
  static LRESULT CALLBACK SheetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleSheetMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // False when the message is to be kept from the sheet.
  bool Prefilter(const MSG& message);
  // One message of the loop; false once the sheet has closed.
  bool Handle(MSG& message);
  // The current page is pressing Cancel for its automatic end.
  [[nodiscard]] bool AutomaticEnd() const;
  bool Refuses(wizard::FrameInput input);
  void DescribePages();
  // The sheet's buttons in the wizard's language.
  void TranslateButtons();
  void ShapeWindow();
  void AddAboutEntry();
  void PlaceWindow();
  void StartTimers();
  // Where the frame's controls and the current page go for `client`, at the
  // window's DPI.
  [[nodiscard]] wizard::FrameLayout CurrentLayout(wizard::Size client) const;
  void LayOut(int width, int height);
  void ResizeCurrentPage();
  // Sends the current page a WM_SIZE of its present size, so that it lays
  // itself out again when its size did not change.
  void LayOutCurrentPageAgain();
  // The header picture drawn for the window's DPI, loaded again when that
  // changed, and drawn at the header band's right end.
  void LoadPictureForDpi();
  void PaintHeaderPicture();
  // WM_DPICHANGED: the window moved to a screen of another scale.
  void OnDpiChanged(const RECT& suggested);
  // True while the status page is shown: the installation worker may own
  // the log.
  [[nodiscard]] bool RunUnderWay() const;
  void OnDisplayTimer();
  void OnBeepTimer();
  // WM_QUERYENDSESSION and WM_ENDSESSION: nothing of the program runs once
  // the session has ended.
  void OnSessionEnd();
  void Close();

  AppContext& app_;
  wizard::Countdown& countdown_;
  HINSTANCE instance_;
  const std::vector<std::unique_ptr<PropertyPage>>* pages_ = nullptr;
  // Page texts handed to the sheet; alive until the sheet has closed.
  std::vector<std::array<std::wstring, 3>> pageTexts_;
  std::vector<PROPSHEETPAGEW> pageRecords_;
  HWND sheet_ = nullptr;
  WNDPROC sheetProcedure_ = nullptr;
  std::optional<wizard::Size> minimum_;
  std::unique_ptr<OsdWindow> osd_;
  Text osdFormat_;
  UniqueBitmap aboutPicture_;
  // The blank picture given to the sheet by handle (Wine's sheet draws no
  // header picture named by resource), and the one the frame draws.
  UniqueBitmap headerPicture_;
  UniqueBitmap scaledPicture_;
  uint32_t pictureDpi_ = 0;
  // Where every page goes, and the DPI the frame is laid out for.
  POINT pageOrigin_{};
  uint32_t layoutDpi_ = wizard::kStandardDpi;
  wizard::Size closingSize_;
  startup::WizardOutcome outcome_ = startup::WizardOutcome::kCancelled;
  run::RelaxedPolicy* policy_ = nullptr;
};

}  // namespace tarn::ui
