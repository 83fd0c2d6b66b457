#include "ui/shell_open.h"

#include <exdisp.h>
#include <ole2.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "app/log_file.h"
#include "platform/win32/win32_com.h"
#include "platform/win32/win32_text.h"
#include "wizard/link_targets.h"

namespace tarn::ui {

using win32::ComPointer;
using win32::MakeBstr;
using win32::UniqueBstr;
namespace {

// Spelled out here so that the program needs no uuid library for them.
constexpr CLSID kClsidShellWindows = {
    0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr IID kIidShellWindows = {
    0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidServiceProvider = {
    0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
constexpr GUID kSidTopLevelBrowser = {
    0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr IID kIidShellBrowser = {
    0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellFolderViewDual = {
    0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidShellDispatch2 = {
    0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

template <class T>
ComPointer<T> Query(IUnknown* from, const IID& iid) {
  void* found = nullptr;
  if (from == nullptr || FAILED(from->QueryInterface(iid, &found))) return nullptr;
  return ComPointer<T>(static_cast<T*>(found));
}

// The IShellDispatch2 of the desktop's folder view, which runs in Explorer.
ComPointer<IShellDispatch2> DesktopShell() {
  IShellWindows* rawWindows = nullptr;
  if (FAILED(CoCreateInstance(kClsidShellWindows, nullptr, CLSCTX_LOCAL_SERVER, kIidShellWindows,
                              reinterpret_cast<void**>(&rawWindows)))) {
    return nullptr;
  }
  const ComPointer<IShellWindows> windows(rawWindows);
  VARIANT desktop{};
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  VARIANT empty{};
  long window = 0;
  IDispatch* rawFound = nullptr;
  if (windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &rawFound) !=
      S_OK) {
    if (rawFound != nullptr) rawFound->Release();
    return nullptr;
  }
  const ComPointer<IDispatch> found(rawFound);
  const auto provider = Query<IServiceProvider>(found.get(), kIidServiceProvider);
  if (!provider) return nullptr;
  void* rawBrowser = nullptr;
  if (FAILED(provider->QueryService(kSidTopLevelBrowser, kIidShellBrowser, &rawBrowser))) {
    return nullptr;
  }
  const ComPointer<IShellBrowser> browser(static_cast<IShellBrowser*>(rawBrowser));
  IShellView* rawView = nullptr;
  if (FAILED(browser->QueryActiveShellView(&rawView))) return nullptr;
  const ComPointer<IShellView> view(rawView);
  void* rawBackground = nullptr;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, kIidDispatch, &rawBackground))) {
    return nullptr;
  }
  const ComPointer<IDispatch> background(static_cast<IDispatch*>(rawBackground));
  const auto folderView = Query<IShellFolderViewDual>(background.get(), kIidShellFolderViewDual);
  if (!folderView) return nullptr;
  IDispatch* rawApplication = nullptr;
  if (FAILED(folderView->get_Application(&rawApplication))) return nullptr;
  const ComPointer<IDispatch> application(rawApplication);
  return Query<IShellDispatch2>(application.get(), kIidShellDispatch2);
}

bool ExecuteThrough(IShellDispatch2& shell, TextView target) {
  const UniqueBstr file = MakeBstr(win32::Wide(target));
  if (!file) return false;
  VARIANT none{};
  none.vt = VT_EMPTY;
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  return SUCCEEDED(shell.ShellExecute(file.get(), none, none, none, show));
}

}  // namespace

LinkOutcome OpenLinkUnelevated(TextView target) {
  if (!wizard::IsOpenableLink(target)) return LinkOutcome::kRefused;
  const win32::ComScope com(COINIT_APARTMENTTHREADED);
  if (!com.usable()) return LinkOutcome::kNoDesktopShell;
  const ComPointer<IShellDispatch2> shell = DesktopShell();
  if (!shell || !ExecuteThrough(*shell, target)) return LinkOutcome::kNoDesktopShell;
  return LinkOutcome::kOpened;
}

void FollowLink(TextView target, app::LogFile* log) {
  const LinkOutcome outcome = OpenLinkUnelevated(target);
  if (log == nullptr || outcome == LinkOutcome::kOpened) return;
  if (outcome == LinkOutcome::kRefused) {
    log->WriteFormat(app::kLogWarning, 0,
                     u"The link '%s' was not opened: only http, https "
                     u"and mailto addresses are.",
                     {target});
    return;
  }
  log->WriteFormat(app::kLogWarning, 0,
                   u"The link '%s' was not opened: no desktop shell could open it for the "
                   u"logged-on user, and it is never opened elevated.",
                   {target});
}

}  // namespace tarn::ui
