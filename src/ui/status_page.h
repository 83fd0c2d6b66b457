// The installation status page: becoming active starts the installation run
// on its own thread; the page shows what the run reports and every log line,
// offers Abort for a long command, asks before the wizard is cancelled and
// never lets the wizard close while the run still works on the shared lists.
#pragma once

#include <memory>
#include <thread>

#include "app/prompter.h"
#include "ui/dialog_icons.h"
#include "ui/drive_prompter.h"
#include "ui/property_page.h"
#include "ui/pumped_thread.h"
#include "ui/wizard_session.h"
#include "wizard/run_event_queue.h"
#include "wizard/status_page_model.h"

namespace tarn::run {
class RunEnvironment;
class SystemAccountWorker;
struct RunContext;
}  // namespace tarn::run

namespace tarn::ui {

class StatusPage : public PropertyPage {
 public:
  // `session` outlives the page.
  explicit StatusPage(WizardSession& session);
  // Ends a run still under way (through a cancel) and waits for its worker.
  ~StatusPage() override;

 protected:
  bool OnInitDialog() override;
  LONG_PTR OnSetActive() override;
  bool OnQueryCancel() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(int width, int height) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  // The status list's image list and its one column.
  void SetUpList();
  // Starts the run on its worker thread, once.
  void StartRun();
  // Applies the queued events of the run to the model and the controls.
  void TakeRunEvents();
  // Copies what changed in the model's view into the controls.
  void ShowView();
  // Appends the rows the list does not have yet.
  void AppendRows();
  // Asks the Cancel question; true for Yes.
  [[nodiscard]] bool AskCancel();
  // Answers an open Cancel question with No.
  void CloseCancelQuestion();
  // Drops later events, ends a run still going on, joins the worker and
  // removes the log's listener.
  void StopRun();

  WizardSession& session_;
  wizard::StatusPageModel model_;
  wizard::QueuedRunStatus status_;
  wizard::StatusView shown_;
  size_t rowsShown_ = 0;
  UniqueImageList images_;
  bool started_ = false;
  // A shutdown block reason is set for the run (ShutdownBlockReasonCreate).
  bool blockingShutdown_ = false;
  bool listening_ = false;
  bool unattended_ = false;
  // Asks the run's drive questions; made when the run starts.
  std::unique_ptr<DialogPrompter> prompter_;
  std::unique_ptr<run::RunEnvironment> variables_;
  std::unique_ptr<run::SystemAccountWorker> accountWorker_;
  std::unique_ptr<run::RunContext> context_;
  PumpedThread worker_;
};

}  // namespace tarn::ui
