// Time to window: starts a program, waits until one of its windows is visible
// and stops the clock, then ends the program. Two programs are timed in turn
// (A B A B ...) inside one Wine session, so that both pay the same start-up
// costs, and the median of each and of the ratios A/B pair by pair are
// printed.
//
//   window_timing.exe [runs] -- <command line A> -- <command line B>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Search {
  DWORD processId;
  bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from CreateProcessW to the first visible top-level window, or a
// negative number when the program ended or took longer than 30 s.
double TimeToWindow(const std::wstring& commandLine) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const Clock::time_point start = Clock::now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  double elapsed = -1;
  while (Clock::now() - start < std::chrono::seconds(30)) {
    Search search{process.dwProcessId, false};
    EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    if (WaitForSingleObject(process.hProcess, 2) == WAIT_OBJECT_0) break;
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The arguments as a command line. Only an argument with a blank is quoted:
// the program reads options from its raw command line, where "/skipsettings"
// in quotes is not the option /skipsettings.
std::wstring JoinArguments(int first, int last, wchar_t** arguments) {
  std::wstring line;
  for (int index = first; index < last; ++index) {
    if (!line.empty()) line += L' ';
    const std::wstring argument = arguments[index];
    const bool quoted = argument.empty() || argument.find_first_of(L" \t") != std::wstring::npos;
    if (quoted) line += L'"';
    line += argument;
    if (quoted) line += L'"';
  }
  return line;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
  int index = 1;
  int runs = 7;
  if (index < count && wcscmp(arguments[index], L"--") != 0) runs = _wtoi(arguments[index++]);
  if (index >= count || wcscmp(arguments[index], L"--") != 0) {
    std::fprintf(stderr, "usage: window_timing.exe [runs] -- <A...> -- <B...>\n");
    return 2;
  }
  const int aFirst = ++index;
  while (index < count && wcscmp(arguments[index], L"--") != 0) ++index;
  const std::wstring a = JoinArguments(aFirst, index, arguments);
  const std::wstring b = JoinArguments(index + 1, count, arguments);
  if (a.empty() || b.empty() || runs < 1) return 2;

  (void)TimeToWindow(a);  // warm-up: the first start loads everything from disk
  (void)TimeToWindow(b);
  std::vector<double> timesA, timesB, ratios;
  for (int run = 0; run < runs; ++run) {
    const double timeA = TimeToWindow(a);
    const double timeB = TimeToWindow(b);
    if (timeA < 0 || timeB <= 0) {
      std::fprintf(stderr, "run %d: no window (A %.1f ms, B %.1f ms)\n", run, timeA, timeB);
      return 1;
    }
    timesA.push_back(timeA);
    timesB.push_back(timeB);
    ratios.push_back(timeA / timeB);
  }
  std::printf(
      "runs %d\nA median %.1f ms (min %.1f, max %.1f)\nB median %.1f ms (min %.1f, max %.1f)\n"
      "A/B median %.2f\n",
      runs, Median(timesA), *std::min_element(timesA.begin(), timesA.end()),
      *std::max_element(timesA.begin(), timesA.end()), Median(timesB),
      *std::min_element(timesB.begin(), timesB.end()),
      *std::max_element(timesB.begin(), timesB.end()), Median(ratios));
  return 0;
}
