#include "platform/sim/sim_identity.h"

namespace tarn::sim {
namespace {

// MAX_COMPUTERNAME_LENGTH.
constexpr size_t kMaxComputerName = 15;

bool ValidComputerName(TextView name) {
  if (name.empty() || name.size() > kMaxComputerName) return false;
  return name.find_first_of(u"\\/:*?\"<>| ") == TextView::npos;
}

}  // namespace

std::optional<Text> SimIdentity::Secret(TextView keyName) const {
  const auto found = secrets_.find(ToUpper(keyName));
  if (found == secrets_.end()) return std::nullopt;
  return found->second;
}

WinError SimIdentity::RenameComputer(TextView name) {
  if (auto e = faults_.Check(CallKind::kComputerRename)) return e;
  if (computerNameResult_ != 0) return computerNameResult_;
  if (!ValidComputerName(name)) return kErrorInvalidParameter;
  computerName_ = Text(name);
  return kErrorSuccess;
}

WinError SimIdentity::JoinWorkgroup(TextView workgroup) {
  if (auto e = faults_.Check(CallKind::kWorkgroupJoin)) return e;
  if (joinResult_ != 0) return joinResult_;
  if (workgroup.empty()) return kErrorInvalidParameter;
  workgroup_ = Text(workgroup);
  if (joinListener_) joinListener_(workgroup);
  return kErrorSuccess;
}

uint32_t SimIdentity::StorePrivateData(TextView keyName, std::optional<TextView> data) {
  if (auto e = faults_.Check(CallKind::kPrivateData)) return NtStatusOf(e);
  if (secretResult_ != 0) return secretResult_;
  if (!data) {
    return secrets_.erase(ToUpper(keyName)) != 0 ? 0 : platform::kStatusObjectNameNotFound;
  }
  secrets_[ToUpper(keyName)] = Text(*data);
  return 0;
}

}  // namespace tarn::sim
