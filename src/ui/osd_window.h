// The on-screen countdown: large green glyphs straight on the desktop, above
// every window, shaped by a window region cut from the outline of the text.
// It never takes the activation, so keys keep going to the wizard.
#pragma once

#include "base/text.h"
#include "ui/gdi_handles.h"

namespace tarn::ui {

class OsdWindow {
 public:
  // Registers the window class and creates the (still 0 x 0) window at the
  // top-left corner of the screen; see created().
  explicit OsdWindow(HINSTANCE instance);
  // Destroys the window, then unregisters the class; the background brush,
  // which the class does not hold, is deleted last, once.
  ~OsdWindow();
  OsdWindow(const OsdWindow&) = delete;
  OsdWindow& operator=(const OsdWindow&) = delete;

  [[nodiscard]] bool created() const { return window_.valid(); }
  [[nodiscard]] HWND window() const { return window_.get(); }

  // Shows `text`, wrapped at the desktop's width, 20 pixels from the top.
  // An empty text shows nothing.
  void Show(TextView text);

 private:
  HINSTANCE instance_;
  // Declared first, so that it outlives the window that paints with it.
  UniqueBrush background_;
  bool registered_ = false;
  UniqueWindow window_;
};

}  // namespace tarn::ui
