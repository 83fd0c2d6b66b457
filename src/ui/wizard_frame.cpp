#include "ui/wizard_frame.h"

#include <algorithm>

#include "platform/win32/win32_text.h"
#include "resource.h"
#include "ui/about_dialog.h"
#include "ui/control_geometry.h"
#include "ui/window_dpi.h"
#include "wizard/frame_settings.h"
#include "wizard/osd_text.h"

namespace tarn::ui {

namespace {

constexpr wchar_t kFrameProperty[] = L"TarnFrame";

wizard::Size SizeOf(const RECT& rect) {
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// The sheet is created hidden, to be sized and centred first, and with a
// sizing border. Its template is a DLGTEMPLATEEX or a plain DLGTEMPLATE.
int CALLBACK SheetCallback(HWND, UINT message, LPARAM parameter) {
  if (message != PSCB_PRECREATE || parameter == 0) return 0;
  auto* words = reinterpret_cast<WORD*>(parameter);
  const bool extended = words[0] == 1 && words[1] == 0xFFFF;
  auto* style = reinterpret_cast<DWORD*>(extended ? words + 6 : words);
  *style = (*style & ~static_cast<DWORD>(WS_VISIBLE)) | WS_THICKFRAME;
  return 0;
}

RECT WorkArea() {
  RECT area{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    GetClientRect(GetDesktopWindow(), &area);
  }
  return area;
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// The header picture drawn for the scale nearest to `dpi`.
int HeaderPictureFor(uint32_t dpi) {
  switch (wizard::NearestPictureScale(dpi)) {
    case 200:
      return IDB_HEADER_200;
    case 150:
      return IDB_HEADER_150;
    default:
      return IDB_HEADER;
  }
}

// One pixel in the window colour, the header band's own.
HBITMAP BlankPicture() {
  const HDC screen = GetDC(nullptr);
  if (!screen) return nullptr;
  HBITMAP picture = CreateCompatibleBitmap(screen, 1, 1);
  const HDC memory = CreateCompatibleDC(screen);
  if (picture && memory) {
    const HGDIOBJ old = SelectObject(memory, picture);
    SetPixel(memory, 0, 0, GetSysColor(COLOR_WINDOW));
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

void MoveControl(HWND sheet, int id, const wizard::Rect& place, UINT flags) {
  const HWND control = GetDlgItem(sheet, id);
  if (!control) return;
  SetWindowPos(control, nullptr, place.x, place.y, place.width, place.height, flags);
  InvalidateRect(control, nullptr, TRUE);
}

}  // namespace

WizardFrame::WizardFrame(AppContext& app, wizard::Countdown& countdown, HINSTANCE instance)
    : app_(app), countdown_(countdown), instance_(instance) {}

WizardFrame::~WizardFrame() {
  if (sheet_) Close();
}

void WizardFrame::DescribePages() {
  pageTexts_.clear();
  pageRecords_.clear();
  for (const auto& page : *pages_) {
    const std::optional<size_t> index = wizard::WizardIndexOfDialog(page->dialogId());
    const app::PageTexts texts = index ? app_.pageHeaders[*index] : app::PageTexts{};
    pageTexts_.push_back({win32::Wide(texts.title), win32::Wide(texts.headerTitle),
                          win32::Wide(texts.headerSubTitle)});
  }
  // Only now that the texts no longer move are their pointers taken.
  for (size_t i = 0; i < pages_->size(); ++i) {
    pageRecords_.push_back((*pages_)[i]->Describe(
        instance_, pageTexts_[i][0].c_str(), pageTexts_[i][1].c_str(), pageTexts_[i][2].c_str()));
  }
}

bool WizardFrame::Open(const std::vector<std::unique_ptr<PropertyPage>>& pages) {
  // A sheet without pages would end at its first message and leave a
  // meaningless size behind.
  if (sheet_ || pages.empty()) return false;
  pages_ = &pages;
  DescribePages();
  std::vector<int> dialogs;
  for (const auto& page : pages) dialogs.push_back(page->dialogId());

  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  // The sheet gets a blank picture: it would draw a picture of any size in
  // the 49-pixel square of 96 DPI (Wine does), and it could not be given
  // another after a move to a screen of another scale. The frame draws the
  // picture for the window's DPI itself.
  headerPicture_.reset(BlankPicture());
  header.dwFlags = PSH_WIZARD97 | PSH_HEADER | PSH_MODELESS | PSH_USECALLBACK | PSH_PROPSHEETPAGE;
  if (headerPicture_) header.dwFlags |= PSH_USEHBMHEADER;
  header.hInstance = instance_;
  header.nPages = static_cast<UINT>(pageRecords_.size());
  header.nStartPage = static_cast<UINT>(wizard::StartPagePosition(app_.startPage, dialogs));
  header.ppsp = pageRecords_.data();
  header.pfnCallback = SheetCallback;
  if (headerPicture_) {
    header.hbmHeader = headerPicture_.get();
  } else {
    header.pszbmHeader = MAKEINTRESOURCEW(IDB_HEADER);
  }
  const INT_PTR created = PropertySheetW(&header);
  if (created == 0 || created == -1) return false;
  sheet_ = reinterpret_cast<HWND>(created);

  RECT client{};
  GetClientRect(sheet_, &client);
  minimum_ = wizard::MinimumTrackingSize(SizeOf(client), WindowDpi(sheet_));
  // Where the sheet put the first page, for its template at this scale:
  // every page goes there (the sheet places later pages by other rules).
  layoutDpi_ = WindowDpi(sheet_);
  if (const HWND first = CurrentPage(sheet_)) {
    const RECT placed = RectInParent(first);
    pageOrigin_ = {placed.left, placed.top};
  }
  SetPropW(sheet_, kFrameProperty, this);
  sheetProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(sheet_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SheetProcedure)));
  TranslateButtons();
  ShapeWindow();
  AddAboutEntry();
  PlaceWindow();
  StartTimers();
  return true;
}

void WizardFrame::TranslateButtons() {
  // The sheet labels its buttons in the system's language; the wizard's own
  // is the one the administrator chose. A text languages.ini lacks keeps the
  // system's.
  for (const int id :
       {IDC_SHEET_BACK_BUTTON, IDC_SHEET_NEXT_BUTTON, IDC_SHEET_FINISH_BUTTON, IDC_CANCEL_BUTTON}) {
    const std::optional<Text> text = app_.translator.Lookup(static_cast<uint32_t>(id));
    if (text) SetDlgItemTextW(sheet_, id, win32::Wide(*text).c_str());
  }
}

void WizardFrame::ShapeWindow() {
  SetWindowLongPtrW(sheet_, GWL_STYLE, WS_OVERLAPPEDWINDOW);
  if (app_.config.NoCancel) {
    SendMessageW(sheet_, PSM_CANCELTOCLOSE, 0, 0);
    RemoveMenu(GetSystemMenu(sheet_, FALSE), SC_CLOSE, MF_BYCOMMAND);
  }
  SetWindowPos(sheet_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void WizardFrame::AddAboutEntry() {
  const HMENU menu = GetSystemMenu(sheet_, FALSE);
  if (!menu) return;
  aboutPicture_.reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_ABOUT_MENU),
                                                      IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
  std::wstring text = win32::Wide(app_.translator.Translate(IDS_ABOUT_MENU));
  MENUITEMINFOW about{};
  about.cbSize = sizeof(about);
  about.fMask = MIIM_ID | MIIM_STRING | (aboutPicture_ ? MIIM_BITMAP : 0u);
  about.wID = IDM_ABOUT;
  about.dwTypeData = text.data();
  about.hbmpItem = aboutPicture_.get();
  MENUITEMINFOW separator{};
  separator.cbSize = sizeof(separator);
  separator.fMask = MIIM_FTYPE;
  separator.fType = MFT_SEPARATOR;
  if (GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
    InsertMenuItemW(menu, SC_CLOSE, FALSE, &about);
    InsertMenuItemW(menu, SC_CLOSE, FALSE, &separator);
    return;
  }
  // Without Close (NoCancel) the entry ends the menu, after a separator of
  // its own.
  const int count = GetMenuItemCount(menu);
  InsertMenuItemW(menu, static_cast<UINT>(count), TRUE, &separator);
  InsertMenuItemW(menu, static_cast<UINT>(count + 1), TRUE, &about);
}

void WizardFrame::PlaceWindow() {
  RECT desktop{};
  GetClientRect(GetDesktopWindow(), &desktop);
  const RECT work = WorkArea();
  RECT outer{};
  GetWindowRect(sheet_, &outer);
  const wizard::Size workSize = SizeOf(work);
  const wizard::Size size = wizard::OpeningSize(*app_.platform.profiles, app_.config.IniPath,
                                                SizeOf(desktop), SizeOf(outer), workSize);
  // The smallest size the user may drag to never exceeds the screen either.
  minimum_ = wizard::ClampToWorkArea(*minimum_, workSize);
  wizard::Rect place = wizard::CenteredOn(workSize, size);
  const bool topmost = app_.topmost;
  SetWindowPos(sheet_, topmost ? HWND_TOPMOST : nullptr, work.left + place.x, work.top + place.y,
               size.width, size.height, SWP_SHOWWINDOW | (topmost ? 0u : SWP_NOZORDER));
  RECT client{};
  GetClientRect(sheet_, &client);
  app_.config.SplitterPos = wizard::SplitterPixels(client.right, app_.config.SplitterPos);
  // The sheet placed its lines and the first page for 96 DPI; a window
  // that kept its size had no WM_SIZE to correct them.
  LayOut(client.right, client.bottom);
  // A first page made before the splitter had its pixels lays itself out again.
  LayOutCurrentPageAgain();
}

void WizardFrame::StartTimers() {
  if (countdown_.beeping()) SetTimer(sheet_, IDT_BEEP, countdown_.beepIntervalMs(), nullptr);
  if (!countdown_.displayed()) return;
  const Text format =
      wizard::OsdFormatOrDefault(app_.config.OsdText, app_.translator.Translate(IDS_OSD_TEXT));
  app_.config.OsdText = format;
  osdFormat_ = format;
  app_.config.CountdownMs = static_cast<int32_t>(countdown_.remainingMs());
  osd_ = std::make_unique<OsdWindow>(instance_);
  SetTimer(sheet_, IDT_OSD, 1000, nullptr);
}

void WizardFrame::StopCountdown() {
  countdown_.Stop();
  if (pages_) {
    for (const auto& page : *pages_) {
      if (!page->window()) continue;
      KillTimer(page->window(), IDT_AUTO_EXIT);
      KillTimer(page->window(), IDT_AUTO_INSTALL);
      page->OnCountdownStopped();
    }
  }
  if (sheet_) {
    KillTimer(sheet_, IDT_BEEP);
    KillTimer(sheet_, IDT_OSD);
  }
  osd_.reset();
}

bool WizardFrame::AutomaticEnd() const {
  const HWND page = PropSheet_GetCurrentPageHwnd(sheet_);
  return page && GetPropW(page, kAutoCancelProperty) != nullptr;
}

bool WizardFrame::Refuses(wizard::FrameInput input) {
  const wizard::FrameReaction reaction =
      wizard::ReactToInput(input, app_.config.NoCancel, countdown_);
  if (reaction.stopCountdown) StopCountdown();
  return reaction.refuse;
}

void WizardFrame::OnDisplayTimer() {
  const wizard::FrameReaction reaction =
      wizard::ReactToInput(wizard::FrameInput::kDisplayTimer, false, countdown_);
  if (reaction.killTimer) {
    KillTimer(sheet_, IDT_OSD);
    osd_.reset();
    return;
  }
  const uint32_t seconds = countdown_.Tick();
  app_.config.CountdownMs = static_cast<int32_t>(countdown_.remainingMs());
  if (osd_) osd_->Show(wizard::OsdText(osdFormat_, seconds));
}

void WizardFrame::OnBeepTimer() {
  const wizard::FrameReaction reaction =
      wizard::ReactToInput(wizard::FrameInput::kBeepTimer, false, countdown_);
  if (reaction.killTimer) {
    KillTimer(sheet_, IDT_BEEP);
    return;
  }
  for (DWORD frequency = 1500; frequency < 5000; frequency += 600) Beep(frequency, 10);
}

wizard::FrameLayout WizardFrame::CurrentLayout(wizard::Size client) const {
  RECT button{};
  GetClientRect(GetDlgItem(sheet_, IDCANCEL), &button);
  const wizard::FrameMetrics metrics{client, SizeOf(button), pageOrigin_.x, pageOrigin_.y,
                                     layoutDpi_};
  return wizard::LayOutFrame(metrics);
}

void WizardFrame::LayOut(int width, int height) {
  const wizard::FrameLayout layout = CurrentLayout({width, height});
  MoveControl(sheet_, IDC_SHEET_BUTTON_LINE, layout.lineAboveButtons, SWP_NOZORDER);
  MoveControl(sheet_, IDC_SHEET_HEADER_LINE, layout.lineUnderHeader, SWP_NOZORDER);
  const UINT moveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED;
  MoveControl(sheet_, IDCANCEL, layout.cancel, moveOnly);
  MoveControl(sheet_, IDC_SHEET_NEXT_BUTTON, layout.nextAndFinish, moveOnly);
  MoveControl(sheet_, IDC_SHEET_FINISH_BUTTON, layout.nextAndFinish, moveOnly);
  MoveControl(sheet_, IDC_SHEET_BACK_BUTTON, layout.back, moveOnly);
  const RECT headerBand{0, 0, layout.header.width, layout.header.height};
  InvalidateRect(sheet_, &headerBand, TRUE);
  ResizeCurrentPage();
}

bool WizardFrame::RunUnderWay() const {
  const HWND current = CurrentPage(sheet_);
  if (current == nullptr || !pages_) return false;
  for (const auto& page : *pages_) {
    if (page->window() == current) return page->dialogId() == IDD_STATUS_PAGE;
  }
  return false;
}

void WizardFrame::ResizeCurrentPage() {
  const HWND page = CurrentPage(sheet_);
  if (!page) return;
  RECT client{};
  GetClientRect(sheet_, &client);
  const wizard::Rect place = CurrentLayout(SizeOf(client)).page;
  SetWindowPos(page, nullptr, place.x, place.y, place.width, place.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void WizardFrame::LoadPictureForDpi() {
  const uint32_t dpi = WindowDpi(sheet_);
  if (scaledPicture_ && pictureDpi_ == dpi) return;
  scaledPicture_.reset(static_cast<HBITMAP>(LoadImageW(
      instance_, MAKEINTRESOURCEW(HeaderPictureFor(dpi)), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  pictureDpi_ = dpi;
}

void WizardFrame::PaintHeaderPicture() {
  LoadPictureForDpi();
  BITMAP size{};
  if (!scaledPicture_ || !GetObjectW(scaledPicture_.get(), sizeof(size), &size)) return;
  RECT client{};
  GetClientRect(sheet_, &client);
  const wizard::FrameLayout layout = CurrentLayout(SizeOf(client));
  // At the band's right end, centred between the top and the header line.
  const int x = client.right - size.bmWidth - wizard::ScaledToDpi(10, pictureDpi_);
  const int y = std::max(0, (layout.lineUnderHeader.y - static_cast<int>(size.bmHeight)) / 2);
  const HDC dc = GetDC(sheet_);
  if (!dc) return;
  const HDC memory = CreateCompatibleDC(dc);
  if (memory) {
    const HGDIOBJ old = SelectObject(memory, scaledPicture_.get());
    BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  ReleaseDC(sheet_, dc);
}

void WizardFrame::LayOutCurrentPageAgain() {
  const HWND page = CurrentPage(sheet_);
  if (!page) return;
  RECT client{};
  GetClientRect(page, &client);
  SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void WizardFrame::OnDpiChanged(const RECT& suggested) {
  // The system scaled the sheet's fonts and sized its buttons for the new
  // DPI; the window takes the place it suggests, and the move's WM_SIZE
  // lays the lines, buttons and page out again at the new scale.
  const uint32_t dpi = WindowDpi(sheet_);
  pageOrigin_ = {MulDiv(pageOrigin_.x, static_cast<int>(dpi), static_cast<int>(layoutDpi_)),
                 MulDiv(pageOrigin_.y, static_cast<int>(dpi), static_cast<int>(layoutDpi_))};
  layoutDpi_ = dpi;
  SetWindowPos(sheet_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(sheet_, &client);
  LayOut(client.right, client.bottom);
  if (minimum_) minimum_ = wizard::MinimumTrackingSize(SizeOf(client), dpi);
  // A page of unchanged size had no WM_SIZE: its gaps, splitter and list
  // column are laid out again for the new scale all the same.
  LayOutCurrentPageAgain();
}

void WizardFrame::OnSessionEnd() {
  if (policy_ == nullptr) return;
  (void)run::RestoreAtSessionEnd(*app_.platform.registry, *policy_);
  // Nothing is left to finish before the session may end.
  ShutdownBlockReasonDestroy(sheet_);
}

LRESULT WizardFrame::HandleSheetMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      // The sheet would keep its controls where they were: they follow here.
      if (wParam != SIZE_MINIMIZED) LayOut(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT: {
      // The sheet paints its header band; the picture goes on top.
      const LRESULT result = CallWindowProcW(sheetProcedure_, sheet_, message, wParam, lParam);
      PaintHeaderPicture();
      return result;
    }
    case WM_DPICHANGED:
      OnDpiChanged(*reinterpret_cast<const RECT*>(lParam));
      return 0;
    case PSM_PRESSBUTTON:
    case PSM_SETCURSEL:
    case PSM_SETCURSELID: {
      // A page that moves the wizard on by itself shows the next page at
      // the frame's size too, not at its template's.
      const LRESULT result = CallWindowProcW(sheetProcedure_, sheet_, message, wParam, lParam);
      if (sheet_ && IsWindow(sheet_)) ResizeCurrentPage();
      return result;
    }
    case WM_GETMINMAXINFO: {
      const LRESULT result = CallWindowProcW(sheetProcedure_, sheet_, message, wParam, lParam);
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minimum_) info->ptMinTrackSize = POINT{minimum_->width, minimum_->height};
      return result;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && Refuses(wizard::FrameInput::kCloseCommand)) return 0;
      if (wParam == IDM_ABOUT) {
        OpenAboutDialog(sheet_, app_, countdown_, !RunUnderWay());
        return 0;
      }
      break;
    case WM_CLOSE:
      if (Refuses(wizard::FrameInput::kCloseCommand)) return 0;
      break;
    case WM_QUERYENDSESSION:
      OnSessionEnd();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) OnSessionEnd();
      return 0;
    case WM_TIMER:
      if (wParam == IDT_OSD) {
        OnDisplayTimer();
        return 0;
      }
      if (wParam == IDT_BEEP) {
        OnBeepTimer();
        return 0;
      }
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDCANCEL && !AutomaticEnd() && Refuses(wizard::FrameInput::kCancelCommand)) {
        return 0;
      }
      const LRESULT result = CallWindowProcW(sheetProcedure_, sheet_, message, wParam, lParam);
      if (id == IDC_SHEET_BACK_BUTTON || id == IDC_SHEET_NEXT_BUTTON) ResizeCurrentPage();
      return result;
    }
    default:
      break;
  }
  return CallWindowProcW(sheetProcedure_, sheet_, message, wParam, lParam);
}

LRESULT CALLBACK WizardFrame::SheetProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  try {
    auto* frame = static_cast<WizardFrame*>(GetPropW(window, kFrameProperty));
    if (frame && frame->sheet_ == window) return frame->HandleSheetMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

bool WizardFrame::Prefilter(const MSG& message) {
  // Alt with a key is a menu or system command: the window procedure
  // judges those (Alt+F4 arrives there as the Close command).
  if (message.message != WM_KEYDOWN) return true;
  if (message.hwnd != sheet_ && !IsChild(sheet_, message.hwnd)) return true;
  const bool escape = message.wParam == VK_ESCAPE;
  return !Refuses(escape ? wizard::FrameInput::kEscapeKey : wizard::FrameInput::kKeyDown);
}

bool WizardFrame::Handle(MSG& message) {
  if (Prefilter(message) &&
      !SendMessageW(sheet_, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&message))) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (sheet_ && CurrentPage(sheet_)) return true;
  if (sheet_) Close();
  return false;
}

startup::WizardOutcome WizardFrame::Run() {
  MSG message{};
  while (sheet_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // Someone asked the thread to quit: the wizard ends as a cancelled one.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      Close();
      break;
    }
    if (!Handle(message)) break;
  }
  return outcome_;
}

bool WizardFrame::ProcessWaitingMessages() {
  MSG message{};
  while (sheet_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      Close();
      return false;
    }
    if (!Handle(message)) return false;
  }
  if (sheet_ && !CurrentPage(sheet_)) Close();
  return sheet_ != nullptr;
}

void WizardFrame::Close() {
  StopCountdown();
  outcome_ = wizard::OutcomeOfSheet(SendMessageW(sheet_, PSM_GETRESULT, 0, 0));
  // The normal size, so that a window closed maximised or minimised reopens
  // at the size the user gave it.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (GetWindowPlacement(sheet_, &placement)) closingSize_ = SizeOf(placement.rcNormalPosition);
  SetWindowLongPtrW(sheet_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(sheetProcedure_));
  RemovePropW(sheet_, kFrameProperty);
  DestroyWindow(sheet_);
  sheet_ = nullptr;
  aboutPicture_.reset();
  headerPicture_.reset();
  scaledPicture_.reset();
}

}  // namespace tarn::ui
