#include "ui/balloon_tip.h"

#include <algorithm>

#include "platform/win32/win32_text.h"
#include "ui/window_dpi.h"

namespace tarn::ui {

namespace {

constexpr UINT_PTR kToolId = 1;
// The widest a balloon gets and how far into the control its stem points,
// in pixels at 96 DPI; both are scaled to the control's DPI.
constexpr int kMaxTipWidth = 300;
constexpr int kStemInset = 16;

}  // namespace

TOOLINFOW BalloonTip::Tool(wchar_t* text) const {
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_TRACK;
  tool.hwnd = dialog_;
  tool.uId = kToolId;
  tool.lpszText = text;
  return tool;
}

bool BalloonTip::Create(HWND dialog) {
  Destroy();
  dialog_ = dialog;
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_ALWAYSTIP, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
  if (tip_ == nullptr) return false;
  wchar_t empty[] = L"";
  TOOLINFOW tool = Tool(empty);
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, ScaledForWindow(dialog, kMaxTipWidth));
  return true;
}

void BalloonTip::Show(HWND control, TextView title, TextView text, int icon) {
  if (tip_ == nullptr || control == nullptr) return;
  std::wstring wideTitle = win32::Wide(title);
  std::wstring wideText = win32::Wide(text);
  SendMessageW(tip_, TTM_SETTITLEW, static_cast<WPARAM>(icon),
               reinterpret_cast<LPARAM>(wideTitle.c_str()));
  TOOLINFOW tool = Tool(wideText.data());
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  RECT bounds{};
  GetWindowRect(control, &bounds);
  // The dialog may have moved to a screen of another scale since Create.
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, ScaledForWindow(control, kMaxTipWidth));
  const int inset = ScaledForWindow(control, kStemInset);
  const int x = bounds.left + std::min(inset, static_cast<int>(bounds.right - bounds.left) / 2);
  SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(x, bounds.bottom));
  SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  shownOn_ = control;
}

void BalloonTip::Hide() {
  if (tip_ == nullptr || shownOn_ == nullptr) return;
  TOOLINFOW tool = Tool(nullptr);
  SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  shownOn_ = nullptr;
}

void BalloonTip::Destroy() {
  // The tooltip is owned by the dialog's top-level window and may already
  // have gone with it.
  if (tip_ != nullptr && IsWindow(tip_)) DestroyWindow(tip_);
  tip_ = nullptr;
  shownOn_ = nullptr;
}

}  // namespace tarn::ui
