// Local accounts and join information through the network management
// functions of netapi32.
#pragma once

#include "platform/accounts.h"
#include "platform/win32/win32_netapi.h"

namespace tarn::win32 {

// The network management functions the accounts go through. A test
// replaces them to see what is passed, where Wine's own are stubs that do
// nothing, fake an account database or crash. A replacement that answers
// a buffer allocates it with NetApiBufferAllocate. By default they are the
// system's, from netapi32 in the system folder.
struct NetGroupCalls {
  decltype(&NetUserSetInfo) setInfo = NetApiFunctions().userSetInfo;
  decltype(&NetLocalGroupAddMembers) addMembers = NetApiFunctions().localGroupAddMembers;
  decltype(&NetLocalGroupDelMembers) delMembers = NetApiFunctions().localGroupDelMembers;
  decltype(&NetUserAdd) addUser = NetApiFunctions().userAdd;
  decltype(&NetUserGetInfo) getInfo = NetApiFunctions().userGetInfo;
  decltype(&NetUserDel) deleteUser = NetApiFunctions().userDel;
  decltype(&NetLocalGroupGetMembers) getMembers = NetApiFunctions().localGroupGetMembers;
  decltype(&NetLocalGroupEnum) enumGroups = NetApiFunctions().localGroupEnum;
  decltype(&NetUserEnum) enumUsers = NetApiFunctions().userEnum;
};

class Win32Accounts : public platform::Accounts {
 public:
  [[nodiscard]] Result<platform::UserInfo> GetUserInfo(TextView server, TextView name,
                                                       uint32_t level) override;
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
  [[nodiscard]] WinError EnumerateUsers(TextView server,
                                        std::vector<platform::UserInfo>& users) override;

 private:
  NetGroupCalls calls_;
};

}  // namespace tarn::win32
