// The help pane of the software page: a read-only rich edit control that
// shows an entry's help document (RTF or text, pictures included), a short
// help built from its description and help text, or nothing. Web addresses
// are recognised; the page opens them on a double click.
#pragma once

#include "platform/win32/win32_windows.h"

#include <richedit.h>

#include "base/text.h"

struct IRichEditOle;
struct ITextDocument;

namespace tarn::ui {

class HelpPaneCallback;

// Makes the rich edit class ("RichEdit20W") available, loading RICHED20.DLL
// when no one has; the library stays loaded. False when it cannot be had.
[[nodiscard]] bool LoadRichEdit();

class HelpPane {
 public:
  HelpPane() = default;
  // Releases the interfaces and the callback.
  ~HelpPane();
  HelpPane(const HelpPane&) = delete;
  HelpPane& operator=(const HelpPane&) = delete;

  // Takes over the rich edit control: link detection, the notifications the
  // page handles (links, protection, object positions), the callback that
  // lets documents carry pictures and no other object; shows the control. False when the control
  // is missing; the pane then ignores every call.
  [[nodiscard]] bool Create(HWND richEdit);
  // Releases what Create took; safe to repeat. Call it while the control
  // still exists, so that the control lets go of the callback first.
  void Destroy();

  // Shows a document; `path` is already expanded and absolute. When it
  // cannot be shown the pane is emptied, never left with the previous help.
  // True when the document is shown.
  bool ShowHelpFile(TextView path);
  // Shows the title (bold, blue) over the body, both literally.
  void ShowHelpText(TextView title, TextView body);
  // Empties the pane.
  void Clear();

  // The text of a link the pane reported, however long.
  [[nodiscard]] Text LinkText(const ENLINK& link) const;

 private:
  // Replaces the whole content with RTF or plain text.
  void SetPaneText(const std::string& bytes);

  HWND control_ = nullptr;
  IRichEditOle* ole_ = nullptr;
  ITextDocument* document_ = nullptr;
  HelpPaneCallback* callback_ = nullptr;
};

}  // namespace tarn::ui
