// What the status page's handoff adds to an installation run under Wine:
// the same catalogue of quick commands (this program started again with
// "--exit", which ends at once) run through the headless runner and through
// QueuedRunStatus posting to a hidden window whose message loop applies each
// batch to the page's model, as the status page does. Prints, for both
// ways, the wall time and the run's own time between one command's end and
// the next one's start (process creation left out, it varies far more than
// what is measured). Goal: the handoff adds under 5 ms per command.
//   status_handoff_timing.exe [commands]   (default 1000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "launch_timing.h"
#include "platform/system_info.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "run/installation_run.h"
#include "support/headless_runner.h"
#include "support/idle_run_parts.h"
#include "wizard/run_event_queue.h"
#include "wizard/status_page_model.h"

namespace tarn {
namespace {

constexpr UINT kRunEventsMessage = WM_APP + 1;

using run::NoAccounts;
using run::NoVariables;

struct Page {
  wizard::QueuedRunStatus queue;
  wizard::StatusPageModel* model = nullptr;
};

LRESULT CALLBACK PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunEventsMessage) return DefWindowProcW(window, message, wParam, lParam);
  auto* page = reinterpret_cast<Page*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  for (wizard::RunEvent& event : page->queue.Take()) (void)page->model->Apply(std::move(event));
  return 0;
}

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

double RunHeadless(AppContext& app, catalogue::SoftwareCatalogue& catalogue) {
  NoAccounts accounts;
  NoVariables variables;
  run::RecordingStatus status;
  accounts::AccountStore store;
  run::RunContext context{app, store.list, catalogue.FirstEntry(), status, accounts, variables};
  const auto start = std::chrono::steady_clock::now();
  run::HeadlessRunner(context).Run();
  return Seconds(std::chrono::steady_clock::now() - start);
}

double RunWithPage(AppContext& app, catalogue::SoftwareCatalogue& catalogue, size_t& rows) {
  NoAccounts accounts;
  NoVariables variables;
  accounts::AccountStore store;
  Page page;
  wizard::StatusPageModel model(app.config);
  page.model = &model;
  const HWND window = CreateWindowExW(0, L"TarnHandoffPage", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&page));
  page.queue.Connect([window] { PostMessageW(window, kRunEventsMessage, 0, 0); });
  app.log.SetListener(
      [&page](Text message, int32_t level) { page.queue.PushLine(std::move(message), level); });
  run::RunContext context{app, store.list, catalogue.FirstEntry(), page.queue, accounts, variables};
  const auto start = std::chrono::steady_clock::now();
  std::thread worker([&] {
    (void)run::RunInstallation(context);
    page.queue.PushEnded();
  });
  MSG message;
  while (!model.runEnded() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  worker.join();
  app.log.SetListener({});
  page.queue.Disconnect();
  DestroyWindow(window);
  rows = model.rows().size();
  return seconds;
}

}  // namespace
}  // namespace tarn

int main(int argc, char** argv) {
  using namespace tarn;
  if (argc > 1 && std::strcmp(argv[1], "--exit") == 0) return 0;
  const int commands = argc > 1 ? std::atoi(argv[1]) : 1000;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PageProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TarnHandoffPage";
  RegisterClassW(&windowClass);

  win32::Win32Platform system;
  platform::Platform services = system.platform();
  bench::TimedProcesses timed(*services.processes);
  services.processes = &timed;
  AppContext app(services);
  app.config.SkipSettings = true;
  const Text self = services.system->ModuleFileName();
  catalogue::SoftwareCatalogue catalogue;
  for (int i = 0; i < commands; ++i) {
    catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
    entry->State = catalogue::kStateSelected;
    entry->Description = u"Package";
    entry->Command = u"\"" + self + u"\" --exit";
  }
  const double headless = RunHeadless(app, catalogue);
  const double headlessGap = bench::Mean(timed.GapsMicroseconds());
  timed.Clear();
  size_t rows = 0;
  const double withPage = RunWithPage(app, catalogue, rows);
  const double withPageGap = bench::Mean(timed.GapsMicroseconds());
  std::printf("%d commands, %zu rows with the page\n", commands, rows);
  std::printf("headless:  %.3f s in all, %.1f us between commands\n", headless, headlessGap);
  std::printf("with page: %.3f s in all, %.1f us between commands\n", withPage, withPageGap);
  std::printf("handoff adds %.3f ms per command (goal: under 5 ms)\n",
              (withPageGap - headlessGap) / 1000.0);
  return rows == static_cast<size_t>(commands) + 1 ? 0 : 1;
}
