#include "ui/account_sheet_pages.h"

#include "app/app_context.h"
#include "base/format.h"
#include "platform/win32/win32_text.h"
#include "ui/translate_ui.h"

namespace tarn::ui {

Text ControlText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(control, buffer.data(), length + 1);
  Text text = win32::FromWide(buffer.data(), static_cast<size_t>(read > 0 ? read : 0));
  // The buffer may have held a password.
  SecureZero(buffer.data(), buffer.size() * sizeof(wchar_t));
  return text;
}

void TranslateSheetButtons(HWND sheet, app::Translator& translator) {
  for (const int id : {IDOK, IDCANCEL}) {
    if (const std::optional<Text> text = translator.Lookup(static_cast<uint32_t>(id))) {
      SetControlText(GetDlgItem(sheet, id), *text);
    }
  }
}

void SetControlText(HWND control, TextView text) {
  std::wstring wide = win32::Wide(text);
  SetWindowTextW(control, wide.c_str());
  SecureZero(wide.data(), wide.size() * sizeof(wchar_t));
}

void ShowAccountBalloon(BalloonTip& tip, HWND page, app::Translator& translator,
                        const std::optional<wizard::AccountBalloon>& balloon) {
  HWND target = balloon ? GetDlgItem(page, balloon->control) : nullptr;
  if (target == nullptr || !IsWindowVisible(target)) {
    tip.Hide();
    return;
  }
  Text text = translator.Translate(balloon->text);
  if (!balloon->argument.empty()) text = Format(text, {balloon->argument});
  tip.Show(target, translator.Translate(balloon->title), text,
           balloon->warning ? TTI_WARNING : TTI_INFO);
}

bool DeletedAccountPage::OnInitDialog() {
  SetPropW(window(), kUserDataProperty, &state_);
  TranslateDialog(window(), IDD_DELETED_ACCOUNT, state_.session.app.translator);
  TranslateSheetButtons(sheet(), state_.session.app.translator);
  return true;
}

LRESULT DeletedAccountPage::OnNotify(NMHDR& header, bool& handled) {
  handled = header.code == PSN_APPLY;
  if (handled) state_.accepted = true;
  return PSNRET_NOERROR;
}

}  // namespace tarn::ui
