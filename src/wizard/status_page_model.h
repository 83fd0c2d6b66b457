// What the installation status page shows and decides while the run works on
// its own thread: the progress, the current entry, the Abort button, the rows
// of the status list, the restart choice, the Cancel question and the
// automatic Finish. The run's calls arrive as RunEvents on the user-interface
// thread, in the order the run made them; the page only copies the view into
// its controls.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/text.h"
#include "run/run_status.h"

namespace tarn::app {
struct InstallConfig;
}

namespace tarn::wizard {

// Seconds a single command runs before the Abort button is offered.
inline constexpr uint32_t kAbortAfterSeconds = 60;

enum class RunEventKind : uint8_t {
  kSignals,       // RunStatus::AttachSignals
  kRange,         // SetProgressRange(number)
  kPosition,      // SetProgressPosition(number)
  kHideProgress,  // HideProgress
  kCurrentText,   // SetCurrentText(text)
  kAbortButton,   // ShowAbortButton(number != 0)
  kFinish,        // OfferFinish(autoFinishMs)
  kLine,          // a log line: text at level
  kEnded,         // the worker is done: nothing follows
};

// One call of the run (or one log line), carried from the worker to the page.
struct RunEvent {
  RunEventKind kind = RunEventKind::kEnded;
  uint32_t number = 0;
  int32_t level = 0;
  Text text;
  std::optional<uint32_t> autoFinishMs;
  std::shared_ptr<run::RunSignals> signals;
};

// An event of `kind` carrying `number`, nothing else set.
[[nodiscard]] inline RunEvent MakeRunEvent(RunEventKind kind, uint32_t number = 0) {
  RunEvent event;
  event.kind = kind;
  event.number = number;
  return event;
}

// One row of the status list: the message alone and its level.
struct StatusRow {
  Text message;
  int32_t level = 0;
};

// The image of a row: its level for error, warning and information, none
// (-1) for any other level.
[[nodiscard]] int32_t StatusRowImage(int32_t level);

struct StatusView {
  uint32_t progressMaximum = 0;
  uint32_t progressPosition = 0;
  bool progressHidden = false;
  Text currentText;
  bool abortShown = false;
  bool restartChecked = true;
  bool restartEnabled = true;
  // The one-second timer runs (never with NoAbort, stopped at the end).
  bool ticking = false;
  // Finish is offered: the run has reached its end.
  bool finishOffered = false;
  // Finish is pressed by itself this long after it was offered.
  std::optional<uint32_t> autoFinishMs;
};

// What the page does with the wizard's Cancel.
enum class CancelStep {
  kAsk,     // ask the question (the run is held meanwhile)
  kRefuse,  // keep the wizard open
  kAllow,   // let the wizard close
};

// What the page does when the automatic-finish timer fires.
enum class AutoFinishStep {
  kPress,    // press Finish
  kWait,     // a question is open: keep the timer and try again
  kNothing,  // nothing pending: stop the timer
};

class StatusPageModel {
 public:
  // Reads NoAbort, NoCancel, NoRestartChange and SkipRestart of `config`,
  // which outlives the model; writes SkipRestart when the box is clicked.
  explicit StatusPageModel(app::InstallConfig& config);

  // What the controls show now.
  [[nodiscard]] const StatusView& view() const { return view_; }
  // Every row so far, oldest first; rows are only ever appended.
  [[nodiscard]] const std::vector<StatusRow>& rows() const { return rows_; }
  // The worker has sent its last event.
  [[nodiscard]] bool runEnded() const { return runEnded_; }

  // Applies one event of the run. True when the page must now end the
  // wizard: the run has ended after a confirmed Cancel.
  [[nodiscard]] bool Apply(RunEvent event);

  // One second of the page's timer: counts the launch seconds while a
  // command runs and offers Abort at the 60th.
  void Tick();
  // The restart box now reads `checked`.
  void RestartClicked(bool checked);
  // Abort clicked: ends the command that runs.
  void AbortClicked();

  // The wizard's Cancel. kAsk holds the run until AnswerCancel.
  [[nodiscard]] CancelStep QueryCancel();
  // The question's answer. Yes ends the run early; the wizard may close only
  // once the run has ended (Apply then says so).
  [[nodiscard]] CancelStep AnswerCancel(bool yes);

  // The automatic-finish timer fired.
  [[nodiscard]] AutoFinishStep AutoFinishFired();

 private:
  // The command that ran (if any) is over: its seconds no longer count.
  void CommandEnded();

  app::InstallConfig& config_;
  StatusView view_;
  std::vector<StatusRow> rows_;
  std::shared_ptr<run::RunSignals> signals_;
  bool commandRunning_ = false;
  bool questionOpen_ = false;
  bool cancelConfirmed_ = false;
  bool runEnded_ = false;
};

// Where the page's controls go when the page is `width` x `height` pixels.
// Rectangles are in the page's client coordinates.
struct StatusLayout {
  struct Box {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
  };
  Box progress;  // 1006
  Box spare;     // 1007
  Box abort;     // 1128
  Box list;      // 1137
  Box restart;   // 1129
};

// The list keeps the page's width and ends 10 pixels above the restart box,
// which stands at the page's bottom edge; Abort keeps its top at the right
// edge; both bars take the page's width, the spare one 10 pixels high. Widths
// keep each control's left margin on the right as well; none goes below 0.
// The 10 pixels are those of 96 DPI, scaled to `dpi`.
[[nodiscard]] StatusLayout LayOutStatusPage(const StatusLayout& current, int32_t width,
                                            int32_t height, uint32_t dpi);

}  // namespace tarn::wizard
