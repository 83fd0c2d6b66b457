// Conversions between the core's UTF-16 text and the wide strings of the W
// functions. Both are 16-bit code units on Windows; only the type differs.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace tarn::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 on Windows");

// A zero-terminated wide copy of `text`, for passing to a W function.
[[nodiscard]] inline std::wstring Wide(TextView text) {
  return std::wstring(text.begin(), text.end());
}

// `wide` for a W function's optional argument: null when empty (the local
// computer for a server or system name, the caller's folder for a working
// folder). The pointer lives as long as `wide`.
[[nodiscard]] inline const wchar_t* WideOrNull(const std::wstring& wide) {
  return wide.empty() ? nullptr : wide.c_str();
}

// The text of `length` wide units at `data` (stops at nothing: zeros inside
// are kept, as environment blocks need).
[[nodiscard]] inline Text FromWide(const wchar_t* data, size_t length) {
  Text text(length, u'\0');
  for (size_t i = 0; i < length; ++i) text[i] = static_cast<char16_t>(data[i]);
  return text;
}

// The zero-terminated wide string at `data` (nullptr gives empty text).
[[nodiscard]] inline Text FromWide(const wchar_t* data) {
  return data ? FromWide(data, std::wstring_view(data).size()) : Text();
}

// A wide copy that may hold a password (a command line with one written
// out, an account's environment block, a value written to a profile file),
// wiped when it goes.
class WipedWide {
 public:
  explicit WipedWide(TextView text) : text_(Wide(text)) {}
  WipedWide(const WipedWide&) = delete;
  WipedWide& operator=(const WipedWide&) = delete;
  ~WipedWide() {
    volatile wchar_t* unit = text_.data();
    for (size_t i = 0; i < text_.size(); ++i) unit[i] = L'\0';
  }
  [[nodiscard]] std::wstring& get() { return text_; }

 private:
  std::wstring text_;
};

}  // namespace tarn::win32
