// Edit controls, consoles and Windows text files break lines with CR LF, while
// the translated texts carry bare line feeds.
#pragma once

#include <string>

#include "base/text.h"

namespace tarn::ui {

// `text` as a wide string with every line feed that is not already preceded
// by a carriage return turned into CR LF.
[[nodiscard]] inline std::wstring WithCrLf(TextView text) {
  std::wstring wide;
  wide.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) wide.push_back(L'\r');
    wide.push_back(static_cast<wchar_t>(text[i]));
  }
  return wide;
}

}  // namespace tarn::ui
