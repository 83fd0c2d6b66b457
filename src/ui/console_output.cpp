#include "ui/console_output.h"

#include <algorithm>
#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_windows.h"
#include "ui/line_breaks.h"

namespace tarn::ui {
namespace {

// Bounded pieces: WriteConsoleW fails on very long buffers on some systems.
constexpr size_t kPieceLength = 4096;

bool WriteWide(HANDLE console, const std::wstring& text) {
  for (size_t at = 0; at < text.size();) {
    const auto length = static_cast<DWORD>(std::min(kPieceLength, text.size() - at));
    DWORD written = 0;
    if (!WriteConsoleW(console, text.data() + at, length, &written, nullptr) || written == 0) {
      return false;
    }
    at += written;
  }
  return true;
}

bool WriteUtf8(HANDLE file, const std::wstring& text) {
  if (text.empty()) return true;
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  for (size_t at = 0; at < bytes.size();) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written,
                   nullptr) ||
        written == 0) {
      return false;
    }
    at += written;
  }
  return true;
}

bool WriteTo(HANDLE output, const std::wstring& text) {
  DWORD mode = 0;
  return GetConsoleMode(output, &mode) ? WriteWide(output, text) : WriteUtf8(output, text);
}

bool IsRedirected(HANDLE output) {
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(output);
  return type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK || type == FILE_TYPE_CHAR;
}

}  // namespace

bool WriteToConsole(TextView text) {
  std::wstring lines = WithCrLf(text);
  if (lines.size() < 2 || lines.compare(lines.size() - 2, 2, L"\r\n") != 0) lines += L"\r\n";

  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsRedirected(output)) return WriteTo(output, lines);

  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  bool written = false;
  {
    win32::UniqueFile console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    // The console's prompt has already come back, since nobody waits for a
    // windowed program: start below it.
    if (console) written = WriteTo(console.get(), L"\r\n" + lines);
  }
  FreeConsole();
  return written;
}

}  // namespace tarn::ui
