// Local accounts and join information through the network management
// functions of netapi32.
#pragma once

#include "platform/accounts.h"

namespace tarn::win32 {

class Win32Accounts : public platform::Accounts {
 public:
  [[nodiscard]] Result<platform::UserInfo> GetUserInfo(TextView server, TextView name,
                                                       uint32_t level) override;
  [[nodiscard]] WinError AddUser(TextView server, const platform::UserInfo& info,
                                 TextView password) override;
  [[nodiscard]] WinError DeleteUser(TextView server, TextView name) override;
  [[nodiscard]] Result<platform::JoinInformation> GetJoinInformation(TextView server) override;

  // Local groups and account rights.
  [[nodiscard]] WinError SetUserPrivilege(TextView server, TextView name,
                                          uint32_t privilege) override;
  [[nodiscard]] WinError AddLocalGroupMember(TextView server, TextView group,
                                             const platform::Sid& member) override;
  [[nodiscard]] WinError RemoveLocalGroupMember(TextView server, TextView group,
                                                const platform::Sid& member) override;
  [[nodiscard]] Result<std::vector<platform::Sid>> GetLocalGroupMembers(TextView server,
                                                                        TextView group) override;
  [[nodiscard]] Result<std::vector<Text>> EnumerateLocalGroups(TextView server) override;
};

}  // namespace tarn::win32
