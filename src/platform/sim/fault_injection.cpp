#include "platform/sim/fault_injection.h"

namespace tarn::sim {
namespace {

constexpr std::string_view kNames[] = {
    "RegistryOpen",     "RegistryCreate",  "RegistryRead",    "RegistryWrite",
    "RegistryDelete",   "RegistryEnum",    "RegistrySave",    "RegistrySecurity",
    "ProfileLoad",      "ProfileUnload",   "ProfileFolder",   "AccountAdd",
    "AccountSet",       "AccountDelete",   "AccountGet",      "AccountEnum",
    "GroupMembership",  "GroupQuery",      "AccountRights",   "RightsQuery",
    "SidLookup",        "JoinInformation", "FileCreate",      "FileWrite",
    "FileRead",         "FileInfo",        "FileDelete",      "FileCopy",
    "FileMove",         "FileList",        "DirectoryCreate", "FileSecurity",
    "Volume",           "ProcessStart",    "ProcessWait",     "ProcessExitCode",
    "ProcessTerminate", "EventCreate",     "EnvironmentSet",  "EnvironmentBlock",
    "ProfileFileWrite", "ServiceQuery",    "Privileges",      "SystemName",
    "ComputerRename",   "WorkgroupJoin",   "PrivateData"};

static_assert(std::size(kNames) == kCallKindCount, "one name per kind");

}  // namespace

std::string_view CallKindName(CallKind kind) {
  const auto index = static_cast<size_t>(kind);
  return index < kCallKindCount ? kNames[index] : std::string_view("?");
}

uint32_t NtStatusOf(WinError error) {
  switch (error) {
    case kErrorAccessDenied:
      return 0xC0000022;  // STATUS_ACCESS_DENIED
    case kErrorNotEnoughMemory:
      return 0xC0000017;  // STATUS_NO_MEMORY
    default:
      return 0xC0000001;  // STATUS_UNSUCCESSFUL
  }
}

void FaultPlan::Arm() {
  std::lock_guard lock(mutex_);
  armed_ = true;
  counts_.fill(0);
  injected_ = 0;
}

void FaultPlan::Disarm() {
  std::lock_guard lock(mutex_);
  armed_ = false;
}

void FaultPlan::FailNth(CallKind kind, uint64_t n, WinError error) {
  std::lock_guard lock(mutex_);
  failures_[{kind, n}] = error;
}

void FaultPlan::ClearFailures() {
  std::lock_guard lock(mutex_);
  failures_.clear();
}

Fault FaultPlan::Check(CallKind kind) {
  std::lock_guard lock(mutex_);
  const auto index = static_cast<size_t>(kind);
  if (!armed_ || index >= kCallKindCount) return Fault(kErrorSuccess);
  const auto planned = failures_.find({kind, ++counts_[index]});
  if (planned == failures_.end() || planned->second == kErrorSuccess) return Fault(kErrorSuccess);
  ++injected_;
  return Fault(planned->second);
}

uint64_t FaultPlan::Count(CallKind kind) const {
  std::lock_guard lock(mutex_);
  const auto index = static_cast<size_t>(kind);
  return index < kCallKindCount ? counts_[index] : 0;
}

uint64_t FaultPlan::Injected() const {
  std::lock_guard lock(mutex_);
  return injected_;
}

}  // namespace tarn::sim
