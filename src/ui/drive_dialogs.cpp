#include "ui/drive_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <variant>

#include "app/app_context.h"
#include "base/format.h"
#include "platform/file_system.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "ui/guarded_dialog.h"
#include "ui/timed_message_box.h"
#include "ui/translate_ui.h"
#include "wizard/drive_dialogs.h"

namespace tarn::ui {
namespace {

using wizard::DriveStep;
using wizard::FormatDialogModel;
using wizard::MissingVolumeModel;

constexpr wchar_t kStateProperty[] = L"TarnDriveDialog";
// Posted by the format thread: the percentage done, then the result.
constexpr UINT kFormatProgress = WM_APP + 15;
constexpr UINT kFormatEnded = WM_APP + 16;
// Posted from another thread: end with Cancel as soon as possible.
constexpr UINT kAbandon = WM_APP + 17;
constexpr int kLineGap = 10;
constexpr int kPathChars = 260;

struct DialogState {
  AppContext& app;
  std::variant<MissingVolumeModel, FormatDialogModel> model;
  DriveDialogSlot& slot;
  // The countdown line's height plus the gap: what the dialog shrinks by
  // when no line is shown.
  int lineSpace = 0;
  bool done = false;
  std::thread formatter;
  // The confirmation before a format is open.
  bool confirming = false;
};

DialogState* StateOf(HWND dialog) {
  return static_cast<DialogState*>(GetPropW(dialog, kStateProperty));
}

MissingVolumeModel* Missing(DialogState& state) {
  return std::get_if<MissingVolumeModel>(&state.model);
}
FormatDialogModel* Formatting(DialogState& state) {
  return std::get_if<FormatDialogModel>(&state.model);
}
wizard::DriveCountdown& CountdownOf(DialogState& state) {
  return std::visit([](auto& model) -> wizard::DriveCountdown& { return model.countdown(); },
                    state.model);
}
int CountdownLineId(const DialogState& state) {
  return std::holds_alternative<MissingVolumeModel>(state.model) ? IDC_MISSING_COUNTDOWN_OUTPUT
                                                                 : IDC_FORMAT_COUNTDOWN_OUTPUT;
}

void SetText(HWND dialog, int id, TextView text) {
  SetDlgItemTextW(dialog, id, win32::Wide(text).c_str());
}

void GrowBy(HWND dialog, int pixels) {
  RECT box{};
  GetWindowRect(dialog, &box);
  SetWindowPos(dialog, nullptr, 0, 0, box.right - box.left, box.bottom - box.top + pixels,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowCountdownLine(HWND dialog, DialogState& state) {
  const wizard::DriveCountdown& countdown = CountdownOf(state);
  const Text format = state.app.translator.Translate(IDS_DRIVE_COUNTDOWN);
  SetText(dialog, CountdownLineId(state), countdown.Line(format));
}

// A key or a click ends the countdown for good.
void StopCountdown(HWND dialog, DialogState& state) {
  wizard::DriveCountdown& countdown = CountdownOf(state);
  if (!countdown.running()) return;
  countdown.Stop();
  KillTimer(dialog, IDT_DRIVE_COUNTDOWN);
  ShowWindow(GetDlgItem(dialog, CountdownLineId(state)), SW_HIDE);
  GrowBy(dialog, -state.lineSpace);
}

void Finish(HWND dialog, DialogState& state) {
  KillTimer(dialog, IDT_DRIVE_COUNTDOWN);
  state.done = true;
  ShowWindow(dialog, SW_HIDE);
}

void FillVolumeList(HWND dialog, DialogState& state) {
  const HWND list = GetDlgItem(dialog, IDC_VOLUME_LIST);
  for (const Text& entry : Missing(state)->entries()) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(entry).c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void ShowFormatView(HWND dialog, const wizard::FormatView& view, app::Translator& translator) {
  EnableWindow(GetDlgItem(dialog, IDC_FILE_SYSTEM_COMBO), view.formatFieldsEnabled);
  EnableWindow(GetDlgItem(dialog, IDC_VOLUME_LABEL_EDIT), view.formatFieldsEnabled);
  EnableWindow(GetDlgItem(dialog, IDC_ALTERNATE_PATH_EDIT), view.pathEnabled);
  EnableWindow(GetDlgItem(dialog, IDC_FORMAT_BUTTON), view.startEnabled);
  EnableWindow(GetDlgItem(dialog, IDC_FORMAT_RADIO), !view.formatting);
  EnableWindow(GetDlgItem(dialog, IDC_ALTERNATE_PATH_RADIO), !view.formatting);
  SendDlgItemMessageW(dialog, IDC_VOLUME_LABEL_EDIT, EM_LIMITTEXT, view.labelLimit, 0);
  SetText(dialog, IDC_FORMAT_BUTTON, translator.Translate(view.startTextId));
  SendDlgItemMessageW(dialog, IDC_FORMAT_PROGRESS, PBM_SETPOS, view.percent, 0);
}

Text FormatPrompt(const FormatDialogModel& model, app::Translator& translator) {
  const auto letter = static_cast<unsigned>(model.driveLetter());
  const Text text = translator.Translate(model.view().promptTextId);
  if (model.view().promptTextId != IDS_FORMAT_FOREIGN_PROMPT) return Format(text, {letter});
  const Text system = model.partitionKind() == wizard::PartitionKind::kLinux
                          ? Text(u"Linux")
                          : translator.Translate(IDS_OTHER_SYSTEM);
  return Format(text, {letter, TextView(system)});
}

void InitialiseFormat(HWND dialog, DialogState& state) {
  FormatDialogModel& model = *Formatting(state);
  app::Translator& translator = state.app.translator;
  SetText(dialog, IDC_FORMAT_PROMPT_OUTPUT, FormatPrompt(model, translator));
  const HWND list = GetDlgItem(dialog, IDC_FILE_SYSTEM_COMBO);
  for (const char16_t* name : FormatDialogModel::kFileSystems) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(name).c_str()));
  }
  SendMessageW(list, CB_SETCURSEL, 0, 0);
  SendDlgItemMessageW(dialog, IDC_ALTERNATE_PATH_EDIT, EM_LIMITTEXT, kPathChars, 0);
  SetText(dialog, IDC_ALTERNATE_PATH_EDIT, model.alternatePath());
  const bool format = model.view().choice == wizard::FormatChoice::kFormat;
  CheckRadioButton(dialog, IDC_FORMAT_RADIO, IDC_ALTERNATE_PATH_RADIO,
                   format ? IDC_FORMAT_RADIO : IDC_ALTERNATE_PATH_RADIO);
  SendDlgItemMessageW(dialog, IDC_FORMAT_PROGRESS, PBM_SETRANGE32, 0, 100);
  ShowFormatView(dialog, model.view(), translator);
}

void Initialise(HWND dialog, DialogState& state) {
  SetPropW(dialog, kStateProperty, &state);
  const bool missing = Missing(state) != nullptr;
  TranslateDialog(dialog, missing ? IDD_MISSING_VOLUME : IDD_FORMAT_DRIVE, state.app.translator);
  if (missing) {
    SetText(dialog, IDC_MISSING_PROMPT_OUTPUT,
            Format(state.app.translator.Translate(IDS_MISSING_VOLUME_PROMPT),
                   {static_cast<unsigned>(Missing(state)->driveLetter())}));
    FillVolumeList(dialog, state);
  } else {
    InitialiseFormat(dialog, state);
  }
  RECT line{};
  GetWindowRect(GetDlgItem(dialog, CountdownLineId(state)), &line);
  state.lineSpace = line.bottom - line.top + kLineGap;
  if (CountdownOf(state).running()) {
    ShowCountdownLine(dialog, state);
    SetTimer(dialog, IDT_DRIVE_COUNTDOWN, 1000, nullptr);
  } else {
    ShowWindow(GetDlgItem(dialog, CountdownLineId(state)), SW_HIDE);
    GrowBy(dialog, -state.lineSpace);
  }
}

struct ConfirmationBox {
  HWND dialog;
};

BOOL CALLBACK AnswerNo(HWND window, LPARAM context) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring_view(name) != L"#32770" ||
      GetWindow(window, GW_OWNER) != reinterpret_cast<const ConfirmationBox*>(context)->dialog) {
    return TRUE;
  }
  PostMessageW(window, WM_COMMAND, IDNO, 0);
  return FALSE;
}

// Nobody waits for the answer any more: the open confirmation says No.
void CloseConfirmation(HWND dialog) {
  ConfirmationBox box{dialog};
  EnumThreadWindows(GetCurrentThreadId(), AnswerNo, reinterpret_cast<LPARAM>(&box));
}

// Once more, naming the drive: the format destroys whatever is on it. No is
// the default, so that Enter never formats.
bool ConfirmFormat(HWND dialog, DialogState& state) {
  const FormatDialogModel::Confirmation facts = Formatting(state)->confirmation();
  app::Translator& translator = state.app.translator;
  const Text size = facts.size.empty() ? translator.Translate(IDS_UNKNOWN_SIZE) : facts.size;
  const Text label = facts.label.empty() ? translator.Translate(IDS_NO_VOLUME_LABEL) : facts.label;
  const Text text = Format(translator.Translate(IDS_FORMAT_CONFIRM),
                           {static_cast<unsigned>(facts.letter), TextView(size), TextView(label)});
  state.confirming = true;
  const int answer = TimedMessageBox(
      dialog, text, translator.Translate(IDD_FORMAT_DRIVE),
      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TASKMODAL | MB_TOPMOST, 0, IDNO);
  state.confirming = false;
  return answer == IDYES && !state.done && !state.slot.abandoned;
}

// The start button: ends with the typed path, or starts the format once it
// is confirmed.
DriveStep StartFormat(HWND dialog, DialogState& state) {
  FormatDialogModel& model = *Formatting(state);
  wchar_t label[64] = {};
  GetDlgItemTextW(dialog, IDC_VOLUME_LABEL_EDIT, label, 64);
  model.SetLabel(win32::FromWide(label));
  // The question waits for the person who pressed Format: the countdown
  // line goes, as after a click.
  if (model.view().choice == wizard::FormatChoice::kFormat) StopCountdown(dialog, state);
  DriveStep step = model.Start();
  if (step == DriveStep::kConfirmFormat) step = model.ConfirmFormat(ConfirmFormat(dialog, state));
  if (step != DriveStep::kStartFormat) return step;
  KillTimer(dialog, IDT_DRIVE_COUNTDOWN);
  ShowWindow(GetDlgItem(dialog, IDC_FORMAT_COUNTDOWN_OUTPUT), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_FORMAT_PROGRESS), SW_SHOW);
  GrowBy(dialog, state.lineSpace);
  ShowFormatView(dialog, model.view(), state.app.translator);
  platform::FileSystem& files = *state.app.platform.files;
  state.formatter = std::thread([&files, request = model.formatRequest(), dialog] {
    WinError result = kErrorSuccess;
    try {
      result = files.FormatVolume(request, [dialog](uint32_t percent) {
        PostMessageW(dialog, kFormatProgress, percent, 0);
      });
    } catch (...) {
      result = platform::kErrorModNotFound;
    }
    PostMessageW(dialog, kFormatEnded, result, 0);
  });
  return DriveStep::kStay;
}

void FormatEnded(HWND dialog, DialogState& state, WinError result) {
  if (state.formatter.joinable()) state.formatter.join();
  FormatDialogModel& model = *Formatting(state);
  const DriveStep step = model.FormatEnded(result);
  ShowFormatView(dialog, model.view(), state.app.translator);
  if (step == DriveStep::kShowFailure && !state.slot.abandoned) {
    const Text text = Format(state.app.translator.Translate(IDS_FORMAT_FAILED),
                             {static_cast<unsigned>(model.driveLetter())});
    (void)TimedMessageBox(
        dialog, text, u"Format Error", MB_OK | MB_ICONHAND | MB_TASKMODAL | MB_TOPMOST,
        state.app.config.AutoInstallEnabled ? app::kUnattendedQuestionSeconds : 0, IDOK);
  }
  Finish(dialog, state);
}

void Command(HWND dialog, DialogState& state, int id, int code) {
  DriveStep step = DriveStep::kStay;
  if (MissingVolumeModel* missing = Missing(state)) {
    if (id == IDC_CHOOSE_BUTTON) {
      const LRESULT selected = SendDlgItemMessageW(dialog, IDC_VOLUME_LIST, LB_GETCURSEL, 0, 0);
      missing->Select(selected < 0 ? SIZE_MAX : static_cast<size_t>(selected));
      missing->SetDontAskAgain(IsDlgButtonChecked(dialog, IDC_DONT_ASK_AGAIN_CHECK) == BST_CHECKED);
      step = missing->Choose();
    } else if (id == IDCANCEL) {
      step = missing->Cancel();
    }
  } else {
    FormatDialogModel& model = *Formatting(state);
    if (id == IDC_FORMAT_RADIO || id == IDC_ALTERNATE_PATH_RADIO) {
      model.Choose(id == IDC_FORMAT_RADIO ? wizard::FormatChoice::kFormat
                                          : wizard::FormatChoice::kAlternatePath);
    } else if (id == IDC_FILE_SYSTEM_COMBO && code == CBN_SELCHANGE) {
      const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
      model.SelectFileSystem(index < 0 ? 0 : static_cast<size_t>(index));
    } else if (id == IDC_ALTERNATE_PATH_EDIT && code == EN_CHANGE) {
      wchar_t path[kPathChars + 1] = {};
      GetDlgItemTextW(dialog, id, path, kPathChars + 1);
      model.SetAlternatePath(win32::FromWide(path));
    } else if (id == IDC_FORMAT_BUTTON) {
      step = StartFormat(dialog, state);
    } else if (id == IDC_IGNORE_BUTTON) {
      step = model.Ignore();
    } else if (id == IDCANCEL) {
      step = model.Cancel();
    }
    ShowFormatView(dialog, model.view(), state.app.translator);
  }
  if (step == DriveStep::kEnd) Finish(dialog, state);
}

void Tick(HWND dialog, DialogState& state) {
  const DriveStep step = std::visit([](auto& model) { return model.Tick(); }, state.model);
  ShowCountdownLine(dialog, state);
  if (step == DriveStep::kEnd) Finish(dialog, state);
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto& state = *reinterpret_cast<DialogState*>(lParam);
    // A dialog that can't be set up ends at once, as a cancelled question.
    state.done = true;
    Initialise(dialog, state);
    state.done = false;
    return TRUE;
  }
  DialogState* state = StateOf(dialog);
  if (state == nullptr || state->done) return FALSE;
  switch (message) {
    case WM_COMMAND:
      Command(dialog, *state, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case kAbandon:
      if (state->confirming) CloseConfirmation(dialog);
      Command(dialog, *state, IDCANCEL, 0);
      return TRUE;
    case WM_CLOSE:
      Command(dialog, *state, IDCANCEL, 0);
      return TRUE;
    case WM_TIMER:
      if (wParam == IDT_DRIVE_COUNTDOWN) Tick(dialog, *state);
      return TRUE;
    case kFormatProgress:
      if (FormatDialogModel* model = Formatting(*state)) {
        model->Progress(static_cast<uint32_t>(wParam));
        SendDlgItemMessageW(dialog, IDC_FORMAT_PROGRESS, PBM_SETPOS, model->view().percent, 0);
      }
      return TRUE;
    case kFormatEnded:
      FormatEnded(dialog, *state, static_cast<WinError>(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

bool IsInputOn(HWND dialog, const MSG& message) {
  switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      return message.hwnd == dialog || IsChild(dialog, message.hwnd);
    default:
      return false;
  }
}

// The dialog's own loop: runs until the dialog has ended. A WM_QUIT is
// passed on to the thread's outer loop.
void RunLoop(HWND dialog, DialogState& state) {
  while (!state.done) {
    if (state.slot.abandoned && !state.formatter.joinable()) {
      PostMessageW(dialog, kAbandon, 0, 0);
    }
    MSG message{};
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (IsInputOn(dialog, message)) StopCountdown(dialog, state);
    if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

std::vector<Text> VolumeEntries(platform::FileSystem& files) {
  std::vector<Text> entries;
  for (const Text& root : files.LogicalDrives()) {
    auto label = files.VolumeLabel(root);
    entries.push_back(
        wizard::VolumeEntry(root, label ? std::optional<Text>(*label) : std::nullopt));
  }
  return entries;
}

// Over the middle of `wizard`, kept on the screen of the wizard's work area.
void CentreOver(HWND dialog, HWND wizard) {
  RECT over{};
  RECT box{};
  if (wizard == nullptr || !GetWindowRect(wizard, &over) || !GetWindowRect(dialog, &box)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(wizard, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const LONG width = box.right - box.left;
  const LONG height = box.bottom - box.top;
  LONG x = over.left + (over.right - over.left - width) / 2;
  LONG y = over.top + (over.bottom - over.top - height) / 2;
  x = std::max(work.left, std::min(x, work.right - width));
  y = std::max(work.top, std::min(y, work.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

app::VolumeReply ShowDriveDialog(AppContext& app, HINSTANCE instance, HWND wizard,
                                 const app::VolumeQuestion& question, DriveDialogSlot& slot) {
  if (slot.abandoned) return {};
  const bool missing = question.problem == app::VolumeProblem::Missing;
  DialogState state{
      app,
      missing ? decltype(DialogState::model)(std::in_place_type<MissingVolumeModel>, question,
                                             VolumeEntries(*app.platform.files))
              : decltype(DialogState::model)(std::in_place_type<FormatDialogModel>, question),
      slot,
      0,
      false,
      {},
      false};
  if (FormatDialogModel* format = Formatting(state)) {
    platform::FileSystem& files = *app.platform.files;
    const Text root = Text(1, format->driveLetter()) + u":\\";
    const Result<platform::PartitionFacts> partition = files.DescribePartition(root);
    const Result<Text> label = files.VolumeLabel(root);
    format->Describe(partition.ok() ? std::optional(*partition) : std::nullopt,
                     label.ok() ? std::optional(*label) : std::nullopt);
  }
  // No owner: a window owned across threads ties the two threads' input
  // together, and the wizard's thread would answer for the worker's dialog.
  // Top-most instead, so that the question never hides behind the wizard.
  const HWND dialog = CreateDialogParamW(
      instance, MAKEINTRESOURCEW(missing ? IDD_MISSING_VOLUME : IDD_FORMAT_DRIVE), nullptr,
      GuardedDialogProc<HandleMessage>, reinterpret_cast<LPARAM>(&state));
  if (dialog == nullptr) return {};
  CentreOver(dialog, wizard);
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(dialog);
  slot.window = dialog;
  RunLoop(dialog, state);
  slot.window = nullptr;
  if (state.formatter.joinable()) state.formatter.join();
  RemovePropW(dialog, kStateProperty);
  DestroyWindow(dialog);
  if (!state.done) return {};
  return std::visit([](auto& model) { return model.reply(); }, state.model);
}

void AbandonDriveDialog(DriveDialogSlot& slot) {
  slot.abandoned = true;
  if (const HWND dialog = slot.window) PostMessageW(dialog, kAbandon, 0, 0);
}

}  // namespace tarn::ui
