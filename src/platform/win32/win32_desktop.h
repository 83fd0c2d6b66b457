// Message boxes through user32; the time-out variant is looked up by name.
#pragma once

#include "platform/desktop.h"

namespace tarn::win32 {

class Win32Desktop : public platform::Desktop {
 public:
  int MessageBox(TextView text, TextView caption, uint32_t flags) override;
  std::optional<int> MessageBoxTimeout(TextView text, TextView caption, uint32_t flags,
                                       uint32_t milliseconds) override;
};

}  // namespace tarn::win32
