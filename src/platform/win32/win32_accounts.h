// Local accounts and join information through the network management
// functions of netapi32.
#pragma once

#include "platform/accounts.h"
#include "platform/win32/win32_windows.h"
// windows.h first: the network management headers need its types.
#include <lm.h>

namespace tarn::win32 {

// The network management functions that change memberships and privilege
// levels. A test replaces them to see what is passed, where Wine's own are
// stubs that do nothing or crash.
struct NetGroupCalls {
  decltype(&NetUserSetInfo) setInfo = &NetUserSetInfo;
  decltype(&NetLocalGroupAddMembers) addMembers = &NetLocalGroupAddMembers;
  decltype(&NetLocalGroupDelMembers) delMembers = &NetLocalGroupDelMembers;
};

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
  void ReplaceGroupCalls(const NetGroupCalls& calls) { calls_ = calls; }

  // Creating and changing accounts.
  [[nodiscard]] WinError CreateUser(TextView server, const platform::UserInfo& info,
                                    TextView password) override;
  [[nodiscard]] WinError SetUserText(TextView server, TextView name, uint32_t level,
                                     TextView text) override;
  [[nodiscard]] WinError SetUserFlags(TextView server, TextView name, uint32_t flags) override;

 private:
  NetGroupCalls calls_;
};

}  // namespace tarn::win32
