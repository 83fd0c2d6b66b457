// Fault injection for the simulated machine: one plan, shared by every
// simulated service of a machine, makes a chosen call of a chosen kind fail
// and counts the calls of each kind, so a test can make each call of a whole
// run fail in turn. A machine whose plan was never armed behaves as before.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string_view>

#include "base/result.h"

namespace tarn::sim {

// The kinds of platform calls that can fail, at the granularity a run's
// failure handling differs by.
enum class CallKind : uint8_t {
  kRegistryOpen,      // OpenKey
  kRegistryCreate,    // CreateKey
  kRegistryRead,      // QueryValue
  kRegistryWrite,     // SetValue, FlushKey
  kRegistryDelete,    // DeleteValue, DeleteTree
  kRegistryEnum,      // EnumKey, EnumValue
  kRegistrySave,      // SaveKey
  kRegistrySecurity,  // key access lists
  kProfileLoad,       // LoadHive
  kProfileUnload,     // UnloadHive
  kProfileFolder,     // the profile folders of the system and the user
  kAccountAdd,        // CreateUser
  kAccountSet,        // SetUserText, SetUserFlags, SetUserPrivilege
  kAccountDelete,     // DeleteUser
  kAccountGet,        // GetUserInfo
  kAccountEnum,       // EnumerateUsers
  kGroupMembership,   // adding and removing local group members
  kGroupQuery,        // local groups and their members
  kAccountRights,     // adding and removing account rights
  kRightsQuery,       // enumerating an account's rights
  kSidLookup,         // LookupName, LookupSid
  kJoinInformation,   // GetJoinInformation
  kFileCreate,        // CreateAlways
  kFileWrite,         // WriteAll, WritableFile::Write
  kFileRead,          // ReadAll, OpenForReading, ReadableFile::ReadAt
  kFileInfo,          // GetInfo, SetAttributes
  kFileDelete,        // DeleteFile, RemoveDirectory
  kFileCopy,          // CopyFile
  kFileMove,          // MoveFile
  kFileList,          // ListDirectory
  kDirectoryCreate,   // CreateDirectory
  kFileSecurity,      // owners and access lists of files
  kVolume,            // volume state, label and formatting
  kProcessStart,      // Start
  kProcessWait,       // WaitOrAbort
  kProcessExitCode,   // ExitCode
  kProcessTerminate,  // Terminate
  kEventCreate,       // MakeEvent
  kEnvironmentSet,    // Set
  kEnvironmentBlock,  // ReplaceBlock, CreateEnvironmentBlock
  kProfileFileWrite,  // WriteString, WriteStruct
  kServiceQuery,      // IsServiceRunning
  kPrivileges,        // EnablePrivileges
  kSystemName,        // UserName, ComputerName
  kComputerRename,    // RenameComputer
  kWorkgroupJoin,     // JoinWorkgroup
  kPrivateData,       // StorePrivateData
  kCount
};

// The number of kinds, for tables indexed by kind.
inline constexpr size_t kCallKindCount = static_cast<size_t>(CallKind::kCount);

// The kind's name as written above, without the "k"; "?" when out of range.
[[nodiscard]] std::string_view CallKindName(CallKind kind);

// The answer of one check: no fault, or the error the call fails with. It
// turns into the failure of whatever the operation returns (a WinError or a
// Result), so a hook is one line: `if (auto e = faults_.Check(k)) return e;`.
class Fault {
 public:
  explicit Fault(WinError error) : error_(error) {}
  explicit operator bool() const { return error_ != kErrorSuccess; }
  // Precondition: the fault is set (a Result never fails with success).
  operator WinError() const { return error_; }  // NOLINT: implicit by design
  template <class T>
  operator Result<T>() const {  // NOLINT: implicit by design
    return Result<T>::Failure(error_);
  }

 private:
  WinError error_;
};

// Calls are counted from the last Arm and fail as planned until Disarm.
// Safe to use from several threads.
class FaultPlan {
 public:
  // Starts counting from zero; the planned failures stay.
  void Arm();
  // Stops counting and failing; the counts stay readable.
  void Disarm();
  // The `n`-th call (1-based) of `kind` after Arm fails with `error`.
  void FailNth(CallKind kind, uint64_t n, WinError error);
  // Forgets every planned failure.
  void ClearFailures();
  // Counts a call of `kind`; its planned failure, or no fault. Nothing is
  // counted or failed while disarmed.
  [[nodiscard]] Fault Check(CallKind kind);
  // The calls of `kind` since the last Arm.
  [[nodiscard]] uint64_t Count(CallKind kind) const;
  // How many planned failures have been handed out since the last Arm.
  [[nodiscard]] uint64_t Injected() const;

 private:
  mutable std::mutex mutex_;
  bool armed_ = false;
  std::array<uint64_t, kCallKindCount> counts_{};
  std::map<std::pair<CallKind, uint64_t>, WinError> failures_;
  uint64_t injected_ = 0;
};

// The NTSTATUS an LSA call answers for `error` (access denied, no memory,
// otherwise unsuccessful).
[[nodiscard]] uint32_t NtStatusOf(WinError error);

// A service's view of its machine's plan: no plan, no faults.
class FaultGate {
 public:
  // The plan outlives the service (the machine owns both).
  void Attach(FaultPlan& plan) { plan_ = &plan; }
  // The plan's answer for a call of `kind`; no fault without a plan.
  [[nodiscard]] Fault Check(CallKind kind) const {
    return plan_ != nullptr ? plan_->Check(kind) : Fault(kErrorSuccess);
  }

 private:
  FaultPlan* plan_ = nullptr;
};

}  // namespace tarn::sim
