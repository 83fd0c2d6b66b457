#include "ui/status_page.h"

#include <string>

#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "run/account_worker.h"
#include "run/installation_run.h"
#include "run/run_environment.h"
#include "startup/account_steps.h"
#include "ui/translate_ui.h"
#include "ui/window_dpi.h"
#include "wizard/countdown.h"

namespace tarn::ui {
namespace {

using wizard::CancelStep;

// The worker's notice that events wait in the queue.
constexpr UINT kRunEventsMessage = WM_APP + 1;
// Answers the Cancel question with No when nobody is there to answer it.
constexpr UINT_PTR kCancelQuestionTimer = 1;
constexpr UINT kCancelQuestionMs = app::kUnattendedQuestionSeconds * 1000;
constexpr UINT_PTR kAbortTick = IDT_ABORT_TICK;
constexpr UINT_PTR kAutoFinish = IDT_AUTO_FINISH;

// The controls WM_SIZE moves and where the layout keeps each.
struct Placed {
  int id;
  wizard::StatusLayout::Box wizard::StatusLayout::*box;
};
constexpr Placed kPlaced[] = {{IDC_RUN_PROGRESS, &wizard::StatusLayout::progress},
                              {IDC_SPARE_PROGRESS, &wizard::StatusLayout::spare},
                              {IDC_ABORT_BUTTON, &wizard::StatusLayout::abort},
                              {IDC_STATUS_LIST, &wizard::StatusLayout::list},
                              {IDC_RESTART_CHECK, &wizard::StatusLayout::restart}};

void RunOnWorker(run::RunContext& context, wizard::QueuedRunStatus& status) {
  try {
    (void)run::RunInstallation(context);
  } catch (...) {
    // The run reports its own failures; nothing may leave the thread, and
    // a run that could not end its own way failed.
    context.app.runTotals.endedByError = true;
  }
  status.PushEnded();
}

wizard::StatusLayout::Box BoxOf(HWND page, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

struct QuestionBox {
  HWND owner;
  std::wstring caption;
};

BOOL CALLBACK AnswerNo(HWND window, LPARAM context) {
  const auto& box = *reinterpret_cast<const QuestionBox*>(context);
  wchar_t name[16] = {};
  wchar_t caption[256] = {};
  GetClassNameW(window, name, 16);
  GetWindowTextW(window, caption, 256);
  if (std::wstring_view(name) == L"#32770" && GetWindow(window, GW_OWNER) == box.owner &&
      box.caption == caption) {
    PostMessageW(window, WM_COMMAND, IDNO, 0);
    return FALSE;
  }
  return TRUE;
}

void SetColumnWidth(HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  ListView_SetColumnWidth(list, 0, client.right - client.left);
}

}  // namespace

StatusPage::StatusPage(WizardSession& session)
    : PropertyPage(IDD_STATUS_PAGE), session_(session), model_(session.app.config) {}

StatusPage::~StatusPage() {
  try {
    StopRun();
  } catch (...) {
    // A destructor lets nothing out.
  }
}

bool StatusPage::OnInitDialog() {
  const wizard::StatusView& view = model_.view();
  CheckDlgButton(window(), IDC_RESTART_CHECK, view.restartChecked ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(Control(IDC_RESTART_CHECK), view.restartEnabled ? TRUE : FALSE);
  SendMessageW(Control(IDC_RUN_PROGRESS), PBM_SETRANGE32, 0, 0);
  SetUpList();
  TranslateDialog(window(), IDD_STATUS_PAGE, session_.app.translator);
  const HWND page = window();
  status_.Connect([page] { PostMessageW(page, kRunEventsMessage, 0, 0); });
  // Set before the worker exists and removed after it has ended: the log
  // never sees its listener change while another thread writes.
  session_.app.log.SetListener(
      [this](Text message, int32_t level) { status_.PushLine(std::move(message), level); });
  listening_ = true;
  if (view.ticking) SetTimer(window(), kAbortTick, 1000, nullptr);
  shown_ = view;
  return true;
}

void StatusPage::SetUpList() {
  const HWND list = Control(IDC_STATUS_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | 0x200 /* regional */);
  const HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  images_.reset(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                 static_cast<UINT>(bits) | ILC_MASK, 2, 5));
  if (images_) {
    ImageList_SetBkColor(images_.get(), GetSysColor(COLOR_WINDOW));
    // The image index is the row's level: error, warning, information.
    for (const wchar_t* icon : {IDI_HAND, IDI_EXCLAMATION, IDI_ASTERISK}) {
      ImageList_AddIcon(images_.get(), LoadIconW(nullptr, icon));
    }
    // The list shares the images (LVS_SHAREIMAGELISTS): the page frees them.
    ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
  }
  std::wstring heading = win32::Wide(session_.app.translator.Translate(IDS_STATUS_COLUMN));
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = heading.data();
  RECT client{};
  GetClientRect(list, &client);
  column.cx = client.right - client.left;
  ListView_InsertColumn(list, 0, &column);
}

LONG_PTR StatusPage::OnSetActive() {
  PostMessageW(sheet(), PSM_SETWIZBUTTONS, 0, PSWIZB_DISABLEDFINISH);
  if (!started_) StartRun();
  return 0;
}

void StatusPage::StartRun() {
  started_ = true;
  AppContext& app = session_.app;
  unattended_ = session_.countdown.autoStartArmed() || session_.countdown.autoEndArmed() ||
                app.config.AutoInstallEnabled || app.config.AutoExitEnabled;
  // The run has begun: no countdown may press a button of this page.
  session_.frame.StopCountdown();
  variables_ = std::make_unique<run::RunEnvironment>(startup::VariablesOf(app, session_.accounts));
  // The drive questions count down only when nobody may be there to answer.
  prompter_ = std::make_unique<DialogPrompter>(session_, sheet());
  accountWorker_ = std::make_unique<run::SystemAccountWorker>(
      app, *prompter_, unattended_ ? app::kUnattendedQuestionSeconds : 0);
  context_ = std::make_unique<run::RunContext>(
      run::RunContext{app, session_.accounts.list, session_.catalogue.FirstEntry(), status_,
                      *accountWorker_, *variables_, session_.relaxedPolicy});
  // While the policy may be relaxed, Windows names the reason before it ends
  // the session; the frame puts the policy back then.
  if (run::BlankPasswordPolicyNeeded(app, session_.accounts.list.FindPrimary())) {
    blockingShutdown_ =
        ShutdownBlockReasonCreate(
            sheet(), win32::Wide(app.translator.Translate(IDS_POLICY_RELAXED)).c_str()) != FALSE;
  }
  run::RunContext& context = *context_;
  wizard::QueuedRunStatus& status = status_;
  if (!worker_.Start([&context, &status] { RunOnWorker(context, status); })) {
    // No thread, no run: it ends as one that failed, and the page says so.
    app.runTotals.endedByError = true;
    status_.PushEnded();
  }
}

INT_PTR StatusPage::OnMessage(UINT message, WPARAM, LPARAM, bool& handled) {
  handled = message == kRunEventsMessage;
  if (handled) TakeRunEvents();
  return handled ? TRUE : FALSE;
}

void StatusPage::TakeRunEvents() {
  bool endWizard = false;
  for (wizard::RunEvent& event : status_.Take()) endWizard |= model_.Apply(std::move(event));
  AppendRows();
  ShowView();
  // The ended event is the worker's last act: joining it takes no time.
  if (model_.runEnded()) worker_.Join();
  if (model_.runEnded() && blockingShutdown_) {
    ShutdownBlockReasonDestroy(sheet());
    blockingShutdown_ = false;
  }
  if (endWizard) PostMessageW(sheet(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void StatusPage::AppendRows() {
  const auto& rows = model_.rows();
  if (rowsShown_ == rows.size()) return;
  const HWND list = Control(IDC_STATUS_LIST);
  for (; rowsShown_ < rows.size(); ++rowsShown_) {
    std::wstring text = win32::Wide(rows[rowsShown_].message);
    const int32_t image = wizard::StatusRowImage(rows[rowsShown_].level);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = text.data();
    item.iImage = image < 0 ? I_IMAGENONE : image;
    ListView_InsertItem(list, &item);
  }
  // The vertical scroll bar narrows the list once it fills: the column
  // follows, so that no horizontal bar appears for lines that would fit.
  SetColumnWidth(list);
  ListView_EnsureVisible(list, ListView_GetItemCount(list) - 1, FALSE);
}

void StatusPage::ShowView() {
  const wizard::StatusView& view = model_.view();
  const HWND progress = Control(IDC_RUN_PROGRESS);
  if (view.progressMaximum != shown_.progressMaximum) {
    SendMessageW(progress, PBM_SETRANGE32, 0, static_cast<LPARAM>(view.progressMaximum));
  }
  if (view.progressPosition != shown_.progressPosition) {
    SendMessageW(progress, PBM_SETPOS, view.progressPosition, 0);
  }
  if (view.progressHidden != shown_.progressHidden) {
    ShowWindow(progress, view.progressHidden ? SW_HIDE : SW_SHOW);
  }
  if (view.currentText != shown_.currentText) {
    SetDlgItemTextW(window(), IDC_CURRENT_ENTRY_OUTPUT, win32::Wide(view.currentText).c_str());
  }
  if (view.abortShown != shown_.abortShown) {
    ShowWindow(Control(IDC_ABORT_BUTTON), view.abortShown ? SW_SHOW : SW_HIDE);
  }
  if (view.restartChecked != shown_.restartChecked) {
    CheckDlgButton(window(), IDC_RESTART_CHECK, view.restartChecked ? BST_CHECKED : BST_UNCHECKED);
  }
  if (!view.ticking && shown_.ticking) KillTimer(window(), kAbortTick);
  if (view.finishOffered && !shown_.finishOffered) {
    PostMessageW(sheet(), PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
  }
  if (view.autoFinishMs && !shown_.autoFinishMs) {
    SetTimer(window(), kAutoFinish, *view.autoFinishMs, nullptr);
  }
  shown_ = view;
}

bool StatusPage::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == IDC_ABORT_BUTTON) {
    model_.AbortClicked();
    return true;
  }
  if (id == IDC_RESTART_CHECK) {
    model_.RestartClicked(IsDlgButtonChecked(window(), IDC_RESTART_CHECK) == BST_CHECKED);
    ShowView();
    return true;
  }
  return false;
}

void StatusPage::OnTimer(UINT_PTR id) {
  if (id == kAbortTick) {
    model_.Tick();
    ShowView();
  } else if (id == kAutoFinish) {
    const wizard::AutoFinishStep step = model_.AutoFinishFired();
    if (step == wizard::AutoFinishStep::kWait) return;
    KillTimer(window(), kAutoFinish);
    ShowView();
    if (step == wizard::AutoFinishStep::kPress) {
      PostMessageW(sheet(), PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    }
  } else if (id == kCancelQuestionTimer) {
    KillTimer(window(), kCancelQuestionTimer);
    CloseCancelQuestion();
  }
}

bool StatusPage::OnQueryCancel() {
  const CancelStep step = model_.QueryCancel();
  if (step != CancelStep::kAsk) return step == CancelStep::kRefuse;
  const bool yes = AskCancel();
  const CancelStep answer = model_.AnswerCancel(yes);
  ShowView();
  return answer != CancelStep::kAllow;
}

bool StatusPage::AskCancel() {
  app::Translator& translator = session_.app.translator;
  const std::wstring text = win32::Wide(translator.Translate(IDS_CANCEL_QUESTION));
  const std::wstring caption = win32::Wide(translator.Translate(IDS_CANCEL_CAPTION));
  if (unattended_) SetTimer(window(), kCancelQuestionTimer, kCancelQuestionMs, nullptr);
  const int answer =
      MessageBoxW(sheet(), text.c_str(), caption.c_str(),
                  MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TASKMODAL | MB_TOPMOST);
  if (unattended_) KillTimer(window(), kCancelQuestionTimer);
  return answer == IDYES;
}

void StatusPage::CloseCancelQuestion() {
  QuestionBox box{sheet(), win32::Wide(session_.app.translator.Translate(IDS_CANCEL_CAPTION))};
  EnumThreadWindows(GetCurrentThreadId(), AnswerNo, reinterpret_cast<LPARAM>(&box));
}

void StatusPage::OnSize(int width, int height) {
  if (!Control(IDC_STATUS_LIST)) return;
  wizard::StatusLayout current;
  for (const Placed& placed : kPlaced) current.*placed.box = BoxOf(window(), Control(placed.id));
  const wizard::StatusLayout next = LayOutStatusPage(current, width, height, WindowDpi(window()));
  for (const Placed& placed : kPlaced) {
    const wizard::StatusLayout::Box& box = next.*placed.box;
    MoveWindow(Control(placed.id), box.x, box.y, box.width, box.height, TRUE);
  }
  SetColumnWidth(Control(IDC_STATUS_LIST));
}

void StatusPage::StopRun() {
  status_.Disconnect();
  if (worker_.joinable()) {
    // Only a wizard torn down from outside gets here with the run going on:
    // end it as a confirmed Cancel would, so the lists it uses stay alive
    // until it has stopped.
    if (!model_.runEnded()) status_.CancelRun();
    // A drive question still open would keep the worker, and so this
    // thread, waiting.
    if (prompter_) prompter_->Abandon();
    // Ending a command takes a while; the wizard's windows stay answered.
    worker_.Join();
  }
  if (listening_) session_.app.log.SetListener({});
  listening_ = false;
}

void StatusPage::OnDestroy() {
  StopRun();
  KillTimer(window(), kAbortTick);
  KillTimer(window(), kAutoFinish);
  images_.reset();
}

}  // namespace tarn::ui
