// The installation run's own overhead per launched command on the simulated
// machine: resolving, expanding, choosing the folder, logging the result (to
// a log file) and waiting for the resume event, measured from one command's
// end to the next one's start. Goal: under 5 ms per command.
#include <benchmark/benchmark.h>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "launch_timing.h"
#include "platform/profile_files.h"
#include "platform/sim/machine.h"
#include "run/installation_run.h"
#include "support/headless_runner.h"
#include "support/idle_run_parts.h"

namespace tarn {
namespace {

using run::NoAccounts;
using run::NoVariables;

void BM_RunOverheadPerCommand(benchmark::State& state) {
  const auto commands = static_cast<int>(state.range(0));
  sim::Machine machine;
  (void)machine.files().MakeDirectories(u"C:\\tarn\\tools");
  (void)machine.registry().Put(platform::kClassesRoot, u".txt", u"",
                               platform::RegValue::FromText(u"txtfile"));
  machine.processes().AddProgram(u"setup.exe", sim::SimProgram{});
  bench::TimedProcesses timed(machine.processes());
  platform::Platform services = machine.platform();
  services.processes = &timed;
  catalogue::SoftwareCatalogue catalogue;
  for (int i = 0; i < commands; ++i) {
    catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
    entry->State = catalogue::kStateSelected;
    entry->Description = u"Package %TARN%";
    entry->Command = u"%TARN%\\setup.exe /q /norestart";
    entry->WorkDir = u"tools";
  }
  (void)machine.environment().Set(u"TARN", u"C:\\tarn");
  double gapSum = 0;
  size_t gapCount = 0;
  for (auto _ : state) {
    state.PauseTiming();
    AppContext app(services);
    app.config.Verbose = 1;
    app.log.Open(u"C:\\tarn\\tarn.log");
    timed.Clear();
    NoAccounts accountWorker;
    NoVariables variables;
    run::RecordingStatus status;
    accounts::AccountStore store;
    run::RunContext context{app,    store.list,    catalogue.FirstEntry(),
                            status, accountWorker, variables};
    state.ResumeTiming();
    run::HeadlessRunner(context).Run();
    state.PauseTiming();
    const auto gaps = timed.GapsMicroseconds();
    for (const double gap : gaps) gapSum += gap;
    gapCount += gaps.size();
    state.ResumeTiming();
  }
  state.counters["overhead_us_per_command"] =
      gapCount == 0 ? 0 : gapSum / static_cast<double>(gapCount);
  state.SetItemsProcessed(state.iterations() * commands);
}
BENCHMARK(BM_RunOverheadPerCommand)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarn

BENCHMARK_MAIN();
