// Hostile users sections: any bytes become the users file of a simulated
// machine (which also holds one existing account with a profile); reading
// them must keep every field within its capacity, list the accounts newest
// first, and leave at most one primary record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "accounts/password_scrambling.h"
#include "accounts/users_section.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_profile_files.h"

namespace {

using namespace tarn;
using namespace tarn::accounts;

constexpr char16_t kFile[] = u"C:\\fuzz\\users.ini";

void CheckRecord(const UserAccount& account) {
  if (account.Name.size() > 20 || account.OldName.size() > 20 || account.Domain.size() > 15 ||
      account.Password.size() > 100 || account.FullName.size() > 100 ||
      account.Comment.size() > 200 || account.Home.size() > 260 || account.Script.size() > 260 ||
      account.Profile.size() > 260 || account.RoamingProfile.size() > 260) {
    std::abort();
  }
  for (const auto& folder : account.ShellFolders) {
    if (folder.size() > 260) std::abort();
  }
  for (const auto& variable : account.Environment) {
    if (variable.name.size() > 127 || variable.value.size() > 254) std::abort();
  }
  if (account.PasswordGiven != (account.Password.view() != kKeepPassword ? 1 : 0)) std::abort();
  if ((account.Status & kUfPasswordExpired) != 0 &&
      (account.Status & (kUfDontExpirePasswd | kUfPasswdCantChange)) != 0) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A machine per input: the bare one, as the layout of a whole system
  // would only slow every run down.
  sim::Machine machine(sim::MachineShape::kBare);
  platform::UserInfo existing;
  existing.name = u"guest2";
  machine.accounts().PutUser(existing);
  (void)machine.files().MakeDirectories(u"C:\\fuzz");
  (void)machine.files().PutFile(kFile, std::span<const uint8_t>(data, size));
  platform::Platform services = machine.platform();
  sim::SimProfileFiles profiles(machine.files());
  if (services.profiles == nullptr) services.profiles = &profiles;
  AccountStore store;
  const size_t count = ReadUsersSection(AccountServices{services, {}}, kFile, &store);
  if (count != store.list.count()) std::abort();
  int32_t expectedIndex = static_cast<int32_t>(count) - 1;
  size_t primaries = 0;
  for (const UserAccount& account : store.list) {
    if (account.Index != expectedIndex--) std::abort();
    primaries += account.Primary != 0 ? 1 : 0;
    CheckRecord(account);
  }
  if (primaries > 1) std::abort();
  (void)EncryptUsers(*services.profiles, kFile);
  (void)DecryptUsers(*services.profiles, kFile);
  return 0;
}
