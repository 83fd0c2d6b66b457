/* Lists the child windows of the top-level window titled argv[1], one a
 * line: control id, class, left, top, width, height in the top-level
 * window's client coordinates, style in hexadecimal, whether a vertical
 * or horizontal scroll bar shows ("v", "h", "vh" or "-") and, last, the
 * control's text (its first 255 characters). The first line is
 * the top-level window itself: "window", its client width and height, the
 * DPI it reports and where its client area starts inside the window. The end-to-end cases read the
 * layout of a page from it. */
#include <stdio.h>
#include <windows.h>

static HWND top_level;

static const char* scroll_bars(HWND window) {
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const int v = (style & WS_VSCROLL) != 0;
  const int h = (style & WS_HSCROLL) != 0;
  return v && h ? "vh" : v ? "v" : h ? "h" : "-";
}

static BOOL CALLBACK print_child(HWND child, LPARAM unused) {
  (void)unused;
  if (!IsWindowVisible(child)) return TRUE;
  wchar_t name[64] = L"";
  GetClassNameW(child, name, 64);
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(NULL, top_level, (POINT*)&r, 2);
  /* GetWindowTextW does not ask a control of another process for its
   * text (an edit control's would stay empty): the message does. */
  wchar_t text[256] = L"";
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(child, WM_GETTEXT, 256, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &copied);
  text[255] = L'\0';
  wprintf(L"%d %ls %ld %ld %ld %ld %08lx %hs %ls\n", GetDlgCtrlID(child), name, r.left, r.top,
          r.right - r.left, r.bottom - r.top, (unsigned long)GetWindowLongW(child, GWL_STYLE),
          scroll_bars(child), text);
  return TRUE;
}

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  top_level = FindWindowW(NULL, argv[1]);
  if (!top_level) return 1;
  RECT client;
  GetClientRect(top_level, &client);
  HDC screen = GetDC(NULL);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  RECT outer;
  GetWindowRect(top_level, &outer);
  POINT origin = {0, 0};
  ClientToScreen(top_level, &origin);
  wprintf(L"window %ld %ld %d %ld %ld\n", client.right, client.bottom, dpi, origin.x - outer.left,
          origin.y - outer.top);
  EnumChildWindows(top_level, print_child, 0);
  return 0;
}
