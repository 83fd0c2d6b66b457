#include "platform/win32/win32_accounts.h"

#include "base/wipe.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {

namespace {

// A buffer the network management functions allocated; freed on scope exit.
class NetBuffer {
 public:
  NetBuffer() = default;
  NetBuffer(const NetBuffer&) = delete;
  NetBuffer& operator=(const NetBuffer&) = delete;
  ~NetBuffer() {
    if (data_ != nullptr) NetApiFunctions().bufferFree(data_);
  }
  LPBYTE* out() { return &data_; }
  template <class T>
  T* as() const {
    return reinterpret_cast<T*>(data_);
  }

 private:
  LPBYTE data_ = nullptr;
};

platform::UserInfo FromLevelOne(const USER_INFO_1& one) {
  platform::UserInfo info;
  info.name = FromWide(one.usri1_name);
  info.privilege = one.usri1_priv;
  info.homeDir = FromWide(one.usri1_home_dir);
  info.comment = FromWide(one.usri1_comment);
  info.flags = one.usri1_flags;
  info.scriptPath = FromWide(one.usri1_script_path);
  return info;
}

platform::UserInfo FromLevel(const NetBuffer& buffer, uint32_t level) {
  platform::UserInfo info;
  if (level == 0) {
    info.name = FromWide(buffer.as<USER_INFO_0>()->usri0_name);
  } else if (level == 1) {
    info = FromLevelOne(*buffer.as<USER_INFO_1>());
  } else {
    const auto* three = buffer.as<USER_INFO_3>();
    info.name = FromWide(three->usri3_name);
    info.privilege = three->usri3_priv;
    info.homeDir = FromWide(three->usri3_home_dir);
    info.comment = FromWide(three->usri3_comment);
    info.flags = three->usri3_flags;
    info.scriptPath = FromWide(three->usri3_script_path);
    info.fullName = FromWide(three->usri3_full_name);
    info.profile = FromWide(three->usri3_profile);
  }
  return info;
}

// NetUserEnum(server, level 0 or 1, FILTER_NORMAL_ACCOUNT) page after page
// while it answers ERROR_MORE_DATA; each page's buffer is released before
// the next call, the resume handle carries the position.
NET_API_STATUS EnumerateUserPages(decltype(&NetUserEnum) enumUsers, LPCWSTR server, DWORD level,
                                  std::vector<platform::UserInfo>& users) {
  DWORD resume = 0;
  NET_API_STATUS status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    NetBuffer buffer;
    DWORD read = 0;
    DWORD total = 0;
    status = enumUsers(server, level, FILTER_NORMAL_ACCOUNT, buffer.out(), MAX_PREFERRED_LENGTH,
                       &read, &total, &resume);
    if ((status != NERR_Success && status != ERROR_MORE_DATA) || buffer.as<BYTE>() == nullptr) {
      break;
    }
    for (DWORD i = 0; i < read; ++i) {
      if (level == 1) {
        users.push_back(FromLevelOne(buffer.as<USER_INFO_1>()[i]));
      } else {
        platform::UserInfo named;
        named.name = FromWide(buffer.as<USER_INFO_0>()[i].usri0_name);
        users.push_back(std::move(named));
      }
    }
  }
  return status;
}

}  // namespace

Result<platform::UserInfo> Win32Accounts::GetUserInfo(TextView server, TextView name,
                                                      uint32_t level) {
  if (level != 0 && level != 1 && level != 3) {
    return Result<platform::UserInfo>::Failure(ERROR_INVALID_LEVEL);
  }
  const std::wstring serverName = Wide(server);
  const std::wstring userName = Wide(name);
  NetBuffer buffer;
  const NET_API_STATUS status =
      calls_.getInfo(WideOrNull(serverName), userName.c_str(), level, buffer.out());
  if (status != NERR_Success) return Result<platform::UserInfo>::Failure(status);
  return FromLevel(buffer, level);
}

WinError Win32Accounts::DeleteUser(TextView server, TextView name) {
  const std::wstring serverName = Wide(server);
  const std::wstring userName = Wide(name);
  return calls_.deleteUser(WideOrNull(serverName), userName.c_str());
}

Result<platform::JoinInformation> Win32Accounts::GetJoinInformation(TextView server) {
  const std::wstring serverName = Wide(server);
  NetBuffer name;
  NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
  const NET_API_STATUS result = NetApiFunctions().getJoinInformation(
      WideOrNull(serverName), reinterpret_cast<LPWSTR*>(name.out()), &status);
  if (result != NERR_Success) return Result<platform::JoinInformation>::Failure(result);
  return platform::JoinInformation{FromWide(name.as<wchar_t>()), static_cast<uint32_t>(status)};
}

WinError Win32Accounts::SetUserPrivilege(TextView server, TextView name, uint32_t privilege) {
  const std::wstring serverName = Wide(server);
  const std::wstring userName = Wide(name);
  USER_INFO_1005 level{privilege};
  DWORD errorField = 0;
  return calls_.setInfo(WideOrNull(serverName), userName.c_str(), 1005,
                        reinterpret_cast<LPBYTE>(&level), &errorField);
}

namespace {

// NetLocalGroupAddMembers and NetLocalGroupDelMembers take the same one-entry
// list of level 0.
WinError ChangeOneMember(decltype(&NetLocalGroupAddMembers) change, TextView server, TextView group,
                         const platform::Sid& member) {
  const std::wstring serverName = Wide(server);
  const std::wstring groupName = Wide(group);
  std::vector<uint8_t> sid = member.ToBytes();
  LOCALGROUP_MEMBERS_INFO_0 entry{sid.data()};
  return change(WideOrNull(serverName), groupName.c_str(), 0, reinterpret_cast<LPBYTE>(&entry), 1);
}

}  // namespace

WinError Win32Accounts::AddLocalGroupMember(TextView server, TextView group,
                                            const platform::Sid& member) {
  return ChangeOneMember(calls_.addMembers, server, group, member);
}

WinError Win32Accounts::RemoveLocalGroupMember(TextView server, TextView group,
                                               const platform::Sid& member) {
  return ChangeOneMember(calls_.delMembers, server, group, member);
}

Result<std::vector<platform::Sid>> Win32Accounts::GetLocalGroupMembers(TextView server,
                                                                       TextView group) {
  using Answer = Result<std::vector<platform::Sid>>;
  const std::wstring serverName = Wide(server);
  const std::wstring groupName = Wide(group);
  NetBuffer buffer;
  DWORD read = 0;
  DWORD total = 0;
  const NET_API_STATUS status =
      calls_.getMembers(WideOrNull(serverName), groupName.c_str(), 0, buffer.out(),
                        MAX_PREFERRED_LENGTH, &read, &total, nullptr);
  if (status != NERR_Success) return Answer::Failure(status);
  std::vector<platform::Sid> members;
  const auto* entries = buffer.as<LOCALGROUP_MEMBERS_INFO_0>();
  for (DWORD i = 0; i < read; ++i) {
    const auto* bytes = static_cast<const uint8_t*>(entries[i].lgrmi0_sid);
    const std::vector<uint8_t> sid(bytes, bytes + GetLengthSid(entries[i].lgrmi0_sid));
    if (auto parsed = platform::Sid::FromBytes(sid)) members.push_back(*parsed);
  }
  return members;
}

Result<std::vector<Text>> Win32Accounts::EnumerateLocalGroups(TextView server) {
  using Answer = Result<std::vector<Text>>;
  const std::wstring serverName = Wide(server);
  NetBuffer buffer;
  DWORD read = 0;
  DWORD total = 0;
  const NET_API_STATUS status = calls_.enumGroups(WideOrNull(serverName), 0, buffer.out(),
                                                  MAX_PREFERRED_LENGTH, &read, &total, nullptr);
  if (status != NERR_Success) return Answer::Failure(status);
  std::vector<Text> names;
  const auto* entries = buffer.as<LOCALGROUP_INFO_0>();
  for (DWORD i = 0; i < read; ++i) names.push_back(FromWide(entries[i].lgrpi0_name));
  return names;
}

WinError Win32Accounts::CreateUser(TextView server, const platform::UserInfo& info,
                                   TextView password) {
  const std::wstring serverName = Wide(server);
  std::wstring name = Wide(info.name);
  std::wstring secret = Wide(password);
  std::wstring home = Wide(info.homeDir);
  std::wstring comment = Wide(info.comment);
  std::wstring script = Wide(info.scriptPath);
  std::wstring fullName = Wide(info.fullName);
  std::wstring anyServer = L"\\\\*";
  USER_INFO_4 four{};
  four.usri4_name = name.data();
  four.usri4_password = secret.data();
  four.usri4_priv = info.privilege;
  four.usri4_home_dir = home.data();
  four.usri4_comment = comment.data();
  four.usri4_flags = info.flags;
  four.usri4_script_path = script.data();
  four.usri4_full_name = fullName.data();
  four.usri4_acct_expires = TIMEQ_FOREVER;
  four.usri4_max_storage = USER_MAXSTORAGE_UNLIMITED;
  four.usri4_logon_server = anyServer.data();
  four.usri4_primary_group_id = DOMAIN_GROUP_RID_USERS;
  four.usri4_password_expired = (info.flags & UF_PASSWORD_EXPIRED) != 0 ? 1 : 0;
  DWORD errorField = 0;
  const NET_API_STATUS status =
      calls_.addUser(WideOrNull(serverName), 4, reinterpret_cast<LPBYTE>(&four), &errorField);
  SecureZero(secret.data(), secret.size() * sizeof(wchar_t));
  return status;
}

WinError Win32Accounts::SetUserText(TextView server, TextView name, uint32_t level, TextView text) {
  switch (level) {
    case 0:
    case 1003:
    case 1006:
    case 1007:
    case 1009:
    case 1011:
    case 1052:
      break;
    default:
      return ERROR_INVALID_LEVEL;
  }
  const std::wstring serverName = Wide(server);
  const std::wstring userName = Wide(name);
  std::wstring value = Wide(text);
  // USER_INFO_0, _1003, _1006, _1007, _1009, _1011 and _1052 each hold
  // exactly one text pointer, so one layout serves them all.
  static_assert(sizeof(USER_INFO_1003) == sizeof(LPWSTR) &&
                sizeof(USER_INFO_1052) == sizeof(LPWSTR));
  USER_INFO_1003 member{value.data()};
  DWORD errorField = 0;
  const NET_API_STATUS status = calls_.setInfo(WideOrNull(serverName), userName.c_str(), level,
                                               reinterpret_cast<LPBYTE>(&member), &errorField);
  SecureZero(value.data(), value.size() * sizeof(wchar_t));
  return status;
}

WinError Win32Accounts::SetUserFlags(TextView server, TextView name, uint32_t flags) {
  const std::wstring serverName = Wide(server);
  const std::wstring userName = Wide(name);
  USER_INFO_1008 member{flags};
  DWORD errorField = 0;
  return calls_.setInfo(WideOrNull(serverName), userName.c_str(), 1008,
                        reinterpret_cast<LPBYTE>(&member), &errorField);
}

WinError Win32Accounts::EnumerateUsers(TextView server, std::vector<platform::UserInfo>& users) {
  const std::wstring serverName = Wide(server);
  const size_t first = users.size();
  NET_API_STATUS status = EnumerateUserPages(calls_.enumUsers, WideOrNull(serverName), 1, users);
  if (status != ERROR_INVALID_LEVEL || users.size() != first) return status;
  // Wine lists names only: the rest of level 1 comes from each account.
  status = EnumerateUserPages(calls_.enumUsers, WideOrNull(serverName), 0, users);
  for (size_t i = first; i < users.size(); ++i) {
    auto details = GetUserInfo(server, users[i].name, 1);
    if (details.ok()) users[i] = std::move(*details);
  }
  return status;
}

}  // namespace tarn::win32
