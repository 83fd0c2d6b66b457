// Measures the installation run's own time between two commands: from the
// moment the wait for one command returns to the moment the next command is
// handed to the system. Wraps any process service, so the same measurement
// runs on the simulated machine and on the real system.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "platform/processes.h"

namespace tarn::bench {

class TimedProcesses : public platform::Processes {
 public:
  using Clock = std::chrono::steady_clock;

  explicit TimedProcesses(platform::Processes& inner) : inner_(inner) {}

  std::unique_ptr<platform::Event> MakeEvent(bool manualReset, bool initiallySet) override {
    return inner_.MakeEvent(manualReset, initiallySet);
  }

  Result<std::unique_ptr<platform::Process>> Start(const platform::StartRequest& request) override {
    starts_.push_back(Clock::now());
    auto process = inner_.Start(request);
    if (!process) return process;
    return std::unique_ptr<platform::Process>(
        std::make_unique<TimedProcess>(std::move(*process), ends_));
  }

  Result<platform::EnvironmentBlock> LogonEnvironment(
      const platform::LogonCredentials& logon) override {
    return inner_.LogonEnvironment(logon);
  }

  Result<std::unique_ptr<platform::MachineLock>> TakeMachineLock(TextView name) override {
    return inner_.TakeMachineLock(name);
  }

  // Microseconds from each command's observed end to the next command's start.
  [[nodiscard]] std::vector<double> GapsMicroseconds() const {
    std::vector<double> gaps;
    for (size_t i = 0; i + 1 < starts_.size() && i < ends_.size(); ++i) {
      gaps.push_back(std::chrono::duration<double, std::micro>(starts_[i + 1] - ends_[i]).count());
    }
    return gaps;
  }

  void Clear() {
    starts_.clear();
    ends_.clear();
  }

 private:
  class TimedProcess : public platform::Process {
   public:
    TimedProcess(std::unique_ptr<platform::Process> inner, std::vector<Clock::time_point>& ends)
        : inner_(std::move(inner)), ends_(ends) {}
    Result<platform::ProcessWait> WaitOrAbort(platform::Event& abort, uint32_t timeoutMs) override {
      Result<platform::ProcessWait> result = inner_->WaitOrAbort(abort, timeoutMs);
      ends_.push_back(Clock::now());
      return result;
    }
    bool Wait(uint32_t timeoutMs) override { return inner_->Wait(timeoutMs); }
    WinError Terminate(uint32_t exitCode) override { return inner_->Terminate(exitCode); }
    WinError TreeError() const override { return inner_->TreeError(); }
    Result<uint32_t> ExitCode() override { return inner_->ExitCode(); }

   private:
    std::unique_ptr<platform::Process> inner_;
    std::vector<Clock::time_point>& ends_;
  };

  platform::Processes& inner_;
  std::vector<Clock::time_point> starts_;
  std::vector<Clock::time_point> ends_;
};

// Mean of `values`; 0 for none.
inline double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (const double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

}  // namespace tarn::bench
