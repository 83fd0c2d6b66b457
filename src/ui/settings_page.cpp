#include "ui/settings_page.h"

#include <array>

#include "app/app_context.h"
#include "base/format.h"
#include "base/wipe.h"
#include "platform/system_info.h"
#include "resource.h"
#include "ui/control_geometry.h"
#include "ui/page_countdown.h"
#include "ui/translate_ui.h"
#include "wizard/countdown.h"

namespace tarn::ui {

namespace {

// Posted to the page by its initialisation: make the tooltips.
constexpr UINT kCreateTipsMessage = WM_APP + 20;

using wizard::SettingsField;

constexpr int kTipWidth = 260;
constexpr int kTipShowDelayMs = 200;
constexpr int kTipShownMs = 20000;

struct FieldControl {
  int id;
  SettingsField field;
  int limit;  // typed limit; 0 for none
};

// The text fields in tab order. Owner and organisation take any length as
// typed; the model cuts them to their fields.
constexpr std::array<FieldControl, 7> kFields = {{
    {IDC_NEW_USER_EDIT, SettingsField::kUser, 20},
    {IDC_USER_PASSWORD_EDIT, SettingsField::kPassword, 100},
    {IDC_USER_CONFIRM_EDIT, SettingsField::kConfirm, 100},
    {IDC_OWNER_EDIT, SettingsField::kOwner, 0},
    {IDC_ORG_EDIT, SettingsField::kOrg, 0},
    {IDC_COMPUTER_EDIT, SettingsField::kComputer, 15},
    {IDC_WORKGROUP_EDIT, SettingsField::kWorkgroup, 15},
}};

// Bottom up, as they stack at the bottom of the page.
constexpr std::array<int, 3> kBoxesBottomUp = {IDC_USE_CURRENT_CHECK, IDC_AUTO_LOGON_CHECK,
                                               IDC_ADMIN_RIGHTS_CHECK};

const FieldControl* FieldOf(int id) {
  for (const FieldControl& field : kFields) {
    if (field.id == id) return &field;
  }
  return nullptr;
}

const wchar_t* WideOf(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The control's text; the caller wipes it (it may be a password).
Text ReadText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  Text text(static_cast<size_t>(length) + 1, u'\0');
  const int read = GetWindowTextW(control, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(static_cast<size_t>(read > 0 ? read : 0));
  return text;
}

UINT BoxStateOf(wizard::BoxState state) {
  switch (state) {
    case wizard::BoxState::kChecked:
      return BST_CHECKED;
    case wizard::BoxState::kUnchecked:
      return BST_UNCHECKED;
    case wizard::BoxState::kIndeterminate:
      break;
  }
  return BST_INDETERMINATE;
}

wizard::BoxState ModelStateOf(UINT state) {
  if (state == BST_CHECKED) return wizard::BoxState::kChecked;
  if (state == BST_UNCHECKED) return wizard::BoxState::kUnchecked;
  return wizard::BoxState::kIndeterminate;
}

}  // namespace

SettingsPage::SettingsPage(WizardSession& session)
    : PropertyPage(IDD_SETTINGS_PAGE),
      session_(session),
      model_(session.app.config, session.accounts) {}

SettingsPage::~SettingsPage() {
  if (boxTips_ != nullptr && IsWindow(boxTips_)) DestroyWindow(boxTips_);
}

bool SettingsPage::OnInitDialog() {
  PrepareControls();
  const wizard::SettingsView view = model_.Init(session_.app.platform);
  PropSheet_SetWizButtons(sheet(), 0);
  TranslateDialog(window(), IDD_SETTINGS_PAGE, session_.app.translator);
  ShowLoggedOnUser();
  ShowView(view);
  ShowFields();
  Validate();
  // Each tooltip window costs several milliseconds to make; made once the
  // wizard is on screen, they cost no time before it appears.
  PostMessageW(window(), kCreateTipsMessage, 0, 0);
  ArmPageTimers(session_, window());
  SetFocus(Control(IDC_NEW_USER_EDIT));
  return false;
}

void SettingsPage::CreateBoxTips() {
  boxTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_BALLOON, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (boxTips_ == nullptr) return;
  for (const int id : kBoxesBottomUp) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = window();
    tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(boxTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  const Text title = session_.app.translator.Translate(IDS_TIP_TITLE);
  SendMessageW(boxTips_, TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(WideOf(title)));
  SendMessageW(boxTips_, TTM_SETDELAYTIME, TTDT_INITIAL, kTipShowDelayMs);
  SendMessageW(boxTips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTipShownMs);
}

void SettingsPage::PrepareControls() {
  // Clicks on the controls must reach the page: they stop the countdown.
  for (const FieldControl& field : kFields) {
    HWND control = Control(field.id);
    SetWindowLongPtrW(control, GWL_EXSTYLE,
                      GetWindowLongPtrW(control, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_NOPARENTNOTIFY});
    if (field.limit != 0) SendMessageW(control, EM_LIMITTEXT, field.limit, 0);
  }
  for (const int id : kBoxesBottomUp) {
    HWND control = Control(id);
    SetWindowLongPtrW(control, GWL_EXSTYLE,
                      GetWindowLongPtrW(control, GWL_EXSTYLE) & ~LONG_PTR{WS_EX_NOPARENTNOTIFY});
  }
}

void SettingsPage::ShowLoggedOnUser() {
  const std::optional<Text> format = session_.app.translator.Lookup(IDS_LOGGED_ON_AS);
  if (!format) return;
  const Text user = RunningUser();
  const Text line = Format(*format, {user});
  SetDlgItemTextW(window(), IDC_LOGGED_ON_LABEL, WideOf(line));
}

void SettingsPage::ShowView(const wizard::SettingsView& view) {
  CheckDlgButton(window(), IDC_USE_CURRENT_CHECK, view.useCurrent ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window(), IDC_ADMIN_RIGHTS_CHECK, view.adminRights ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window(), IDC_AUTO_LOGON_CHECK, BoxStateOf(view.autoLogon));
  for (const int id :
       {IDC_ADMIN_RIGHTS_CHECK, IDC_NEW_USER_EDIT, IDC_USER_PASSWORD_EDIT, IDC_USER_CONFIRM_EDIT}) {
    EnableWindow(Control(id), view.accountControlsEnabled);
  }
  EnableWindow(Control(IDC_USE_CURRENT_CHECK), view.logonBoxesEnabled);
  EnableWindow(Control(IDC_AUTO_LOGON_CHECK), view.logonBoxesEnabled);
}

void SettingsPage::ShowFields() {
  showing_ = true;
  for (const FieldControl& field : kFields) {
    SetDlgItemTextW(window(), field.id, WideOf(model_.FieldText(field.field)));
  }
  showing_ = false;
}

void SettingsPage::FieldChanged(int id, HWND control) {
  const FieldControl* field = FieldOf(id);
  if (field == nullptr || showing_) return;
  Text text = ReadText(control);
  model_.ChangeField(field->field, text);
  WipeText(text);
  if (field->field != SettingsField::kOwner && field->field != SettingsField::kOrg) Validate();
}

void SettingsPage::BoxClicked(int id) {
  const UINT state = IsDlgButtonChecked(window(), id);
  switch (id) {
    case IDC_USE_CURRENT_CHECK:
      ShowView(model_.SetUseCurrent(state == BST_CHECKED));
      ShowFields();
      Validate();
      return;
    case IDC_ADMIN_RIGHTS_CHECK:
      model_.SetAdminRights(state == BST_CHECKED);
      return;
    case IDC_AUTO_LOGON_CHECK:
      model_.SetAutoLogon(ModelStateOf(state));
      return;
    default:
      return;
  }
}

void SettingsPage::Validate() {
  const wizard::SettingsValidation result = model_.Validate();
  HWND target = result.balloon ? Control(result.balloon->control) : nullptr;
  // A balloon over a page not on screen would point at nothing.
  if (target != nullptr && IsWindowVisible(target)) {
    app::Translator& translator = session_.app.translator;
    balloon_.Show(target, translator.Translate(result.balloon->title),
                  translator.Translate(result.balloon->text));
  } else {
    balloon_.Hide();
  }
  PropSheet_SetWizButtons(sheet(), result.valid ? PSWIZB_NEXT : 0);
}

LONG_PTR SettingsPage::OnSetActive() {
  ShowView(model_.SetActive());
  ShowFields();
  Validate();
  return 0;
}

bool SettingsPage::OnKillActive() {
  balloon_.Hide();
  return false;
}

LONG_PTR SettingsPage::OnWizNext() {
  StopCountdown();
  return 0;
}

bool SettingsPage::OnQueryCancel() {
  return RefuseCancel(session_, window());
}

LRESULT SettingsPage::OnNotify(NMHDR& header, bool& handled) {
  handled = false;
  if (header.code != TTN_GETDISPINFOW || header.hwndFrom != boxTips_) return 0;
  auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
  SendMessageW(boxTips_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
  const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom));
  tipText_ = model_.TipText(id, session_.app.translator);
  info.lpszText = const_cast<wchar_t*>(WideOf(tipText_));
  handled = true;
  return 0;
}

bool SettingsPage::OnCommand(int id, int code, HWND control) {
  switch (code) {
    case EN_CHANGE:
      FieldChanged(id, control);
      return true;
    case EN_KILLFOCUS:
      if (balloon_.shownOn() == control) balloon_.Hide();
      return true;
    case BN_CLICKED:
      BoxClicked(id);
      return true;
    default:
      return false;
  }
}

void SettingsPage::StopCountdown() {
  ui::StopCountdown(session_, window());
}

void SettingsPage::OnTimer(UINT_PTR id) {
  switch (FirePageTimer(session_, window(), id, IsCurrent())) {
    case wizard::CountdownAction::kEndWizard:
      PressCancelForAutomaticEnd(window());
      return;
    case wizard::CountdownAction::kStartInstallation:
      AutomaticStart();
      return;
    case wizard::CountdownAction::kNothing:
      return;
  }
}

void SettingsPage::AutomaticStart() {
  const wizard::AutomaticStart start = model_.ApplyAutomaticStart(RunningUser());
  int target = start.nextPage;
  if (PropSheet_IdToIndex(sheet(), target) < 0) target = IDD_STATUS_PAGE;
  SendMessageW(sheet(), PSM_SETCURSELID, 0, target);
}

Text SettingsPage::RunningUser() const {
  Result<Text> user = session_.app.platform.system->UserName();
  return user.ok() ? *user : Text();
}

void SettingsPage::OnSize(int width, int height) {
  for (const FieldControl& field : kFields) {
    HWND control = Control(field.id);
    const RECT bounds = RectInParent(control);
    SetWindowPos(control, nullptr, 0, 0, width - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  std::array<RECT, 3> boxes{};
  std::array<int32_t, 3> heights{};
  for (size_t i = 0; i < kBoxesBottomUp.size(); ++i) {
    boxes[i] = RectInParent(Control(kBoxesBottomUp[i]));
    heights[i] = boxes[i].bottom - boxes[i].top;
  }
  const wizard::BoxStack stack = wizard::StackBoxes(height, heights);
  for (size_t i = 0; i < kBoxesBottomUp.size(); ++i) {
    SetWindowPos(Control(kBoxesBottomUp[i]), nullptr, boxes[i].left, stack.tops[i],
                 width - boxes[i].left, heights[i], SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A balloon follows its field to where it now is.
  if (balloon_.shownOn() != nullptr) Validate();
}

INT_PTR SettingsPage::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) {
  handled = false;
  if (message == kCreateTipsMessage) {
    CreateBoxTips();
    (void)balloon_.Create(window());
    // A value refused before the balloon existed shows its balloon now.
    Validate();
    handled = true;
    return TRUE;
  }
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
      (message == WM_PARENTNOTIFY && IsButtonPress(wParam))) {
    StopCountdown();
  }
  return 0;
}

void SettingsPage::OnDestroy() {
  KillPageTimers(window());
  if (boxTips_ != nullptr && IsWindow(boxTips_)) DestroyWindow(boxTips_);
  boxTips_ = nullptr;
  balloon_.Destroy();
  RemovePropW(window(), kAutoCancelProperty);
}

}  // namespace tarn::ui
