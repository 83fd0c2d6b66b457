// What the status page's handoff adds to an installation run: 1,000 quick
// commands on the simulated machine, once through the headless runner
// (RecordingStatus, rows collected under a lock) and once through
// QueuedRunStatus with a stand-in for the page's message pump, a second
// thread that wakes on each notice, takes the batch and applies it to the
// page's model as the user-interface thread does. Goal: under 5 ms per
// command more than the headless runner.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "platform/sim/machine.h"
#include "run/installation_run.h"
#include "support/headless_runner.h"
#include "support/idle_run_parts.h"
#include "wizard/run_event_queue.h"
#include "wizard/status_page_model.h"

namespace tarn {
namespace {

using run::NoAccounts;
using run::NoVariables;

struct Workload {
  sim::Machine machine;
  catalogue::SoftwareCatalogue catalogue;

  explicit Workload(int commands) {
    (void)machine.files().MakeDirectories(u"C:\\tarn");
    machine.processes().AddProgram(u"setup.exe", sim::SimProgram{});
    for (int i = 0; i < commands; ++i) {
      catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
      entry->State = catalogue::kStateSelected;
      entry->Description = u"Package";
      entry->Command = u"C:\\tarn\\setup.exe /q";
    }
  }
};

// The page's message pump: sleeps until the queue posts a notice, then
// takes the batch and applies it to the model, until the run has ended.
class PumpStandIn {
 public:
  PumpStandIn(wizard::QueuedRunStatus& queue, wizard::StatusPageModel& model)
      : queue_(queue), model_(model) {
    queue_.Connect([this] { Notice(); });
    thread_ = std::thread([this] { Loop(); });
  }
  ~PumpStandIn() {
    thread_.join();
    queue_.Disconnect();
  }

 private:
  void Notice() {
    std::lock_guard lock(mutex_);
    ++notices_;
    wake_.notify_one();
  }
  void Loop() {
    while (!model_.runEnded()) {
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return notices_ > 0; });
        notices_ = 0;
      }
      for (wizard::RunEvent& event : queue_.Take()) (void)model_.Apply(std::move(event));
    }
  }

  wizard::QueuedRunStatus& queue_;
  wizard::StatusPageModel& model_;
  std::mutex mutex_;
  std::condition_variable wake_;
  int notices_ = 0;
  std::thread thread_;
};

void BM_HeadlessRun(benchmark::State& state) {
  const auto commands = static_cast<int>(state.range(0));
  Workload work(commands);
  for (auto _ : state) {
    AppContext app(work.machine.platform());
    NoAccounts accountWorker;
    NoVariables variables;
    run::RecordingStatus status;
    accounts::AccountStore store;
    run::RunContext context{app,    store.list,    work.catalogue.FirstEntry(),
                            status, accountWorker, variables};
    run::HeadlessRunner(context).Run();
  }
  state.SetItemsProcessed(state.iterations() * commands);
}
BENCHMARK(BM_HeadlessRun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RunWithStatusPageHandoff(benchmark::State& state) {
  const auto commands = static_cast<int>(state.range(0));
  Workload work(commands);
  size_t rows = 0;
  for (auto _ : state) {
    AppContext app(work.machine.platform());
    NoAccounts accountWorker;
    NoVariables variables;
    accounts::AccountStore store;
    wizard::QueuedRunStatus queue;
    wizard::StatusPageModel model(app.config);
    {
      PumpStandIn pump(queue, model);
      app.log.SetListener(
          [&queue](Text message, int32_t level) { queue.PushLine(std::move(message), level); });
      run::RunContext context{app,   store.list,    work.catalogue.FirstEntry(),
                              queue, accountWorker, variables};
      std::thread worker([&] {
        (void)run::RunInstallation(context);
        queue.PushEnded();
      });
      worker.join();
    }
    app.log.SetListener({});
    rows = model.rows().size();
  }
  if (rows != static_cast<size_t>(commands) + 1) state.SkipWithError("rows went missing");
  state.SetItemsProcessed(state.iterations() * commands);
}
BENCHMARK(BM_RunWithStatusPageHandoff)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tarn

BENCHMARK_MAIN();
