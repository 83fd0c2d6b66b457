// What the win32 backend passes to the membership, privilege and rights
// functions, seen through recording replacements: Wine's own functions are
// stubs that do nothing or crash, so the arguments are checked instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_identity.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

struct NetCall {
  std::wstring server;
  std::wstring name;
  DWORD level = 0;
  DWORD value = 0;
  Text sid;
  DWORD count = 0;
};
std::vector<NetCall> netCalls;

Text SidText(PSID sid) {
  const auto* bytes = static_cast<const uint8_t*>(sid);
  auto parsed = platform::Sid::FromBytes({bytes, bytes + GetLengthSid(sid)});
  return parsed ? parsed->ToText() : Text(u"<bad>");
}

NET_API_STATUS NET_API_FUNCTION RecordSetInfo(LPCWSTR server, LPCWSTR name, DWORD level,
                                              LPBYTE buffer, LPDWORD) {
  netCalls.push_back({server ? server : L"", name, level,
                      reinterpret_cast<USER_INFO_1005*>(buffer)->usri1005_priv, Text(), 0});
  return NERR_Success;
}

NET_API_STATUS NET_API_FUNCTION RecordMembers(LPCWSTR server, LPCWSTR group, DWORD level,
                                              LPBYTE buffer, DWORD count) {
  const auto* entry = reinterpret_cast<LOCALGROUP_MEMBERS_INFO_0*>(buffer);
  netCalls.push_back({server ? server : L"", group, level, 0, SidText(entry->lgrmi0_sid), count});
  return NERR_Success;
}

TEST(GroupCallsWin32, OneMemberAtLevelZeroAndPrivilegeAtLevel1005) {
  netCalls.clear();
  Win32Accounts accounts;
  accounts.ReplaceGroupCalls({&RecordSetInfo, &RecordMembers, &RecordMembers});
  const platform::Sid sid = *platform::Sid::FromText(u"S-1-5-21-1-2-3-1001");
  EXPECT_EQ(accounts.SetUserPrivilege(u"", u"anna", platform::kUserPrivUser), kErrorSuccess);
  EXPECT_EQ(accounts.AddLocalGroupMember(u"\\\\DESK", u"Benutzer", sid), kErrorSuccess);
  EXPECT_EQ(accounts.RemoveLocalGroupMember(u"", u"Administratoren", sid), kErrorSuccess);
  ASSERT_EQ(netCalls.size(), 3u);
  EXPECT_EQ(netCalls[0].name, L"anna");
  EXPECT_EQ(netCalls[0].level, 1005u);
  EXPECT_EQ(netCalls[0].value, platform::kUserPrivUser);
  EXPECT_EQ(netCalls[1].server, L"\\\\DESK");
  for (size_t i = 1; i < 3; ++i) {
    EXPECT_EQ(netCalls[i].level, 0u) << i;
    EXPECT_EQ(netCalls[i].count, 1u) << i;
    EXPECT_EQ(ToUtf8(netCalls[i].sid), "S-1-5-21-1-2-3-1001") << i;
  }
  EXPECT_EQ(netCalls[2].name, L"Administratoren");
}

struct RightsCall {
  Text sid;
  bool allRights = false;
  // Each counted string as "text/length/maximum".
  std::vector<std::string> rights;
};
std::vector<RightsCall> rightsCalls;
ACCESS_MASK openedWith = 0;
int openPolicies = 0;
int fakeHandle = 0;

NTSTATUS NTAPI RecordOpen(PLSA_UNICODE_STRING server, PLSA_OBJECT_ATTRIBUTES, ACCESS_MASK access,
                          PLSA_HANDLE handle) {
  EXPECT_EQ(server, nullptr) << "the local computer is passed as null";
  openedWith = access;
  ++openPolicies;
  *handle = &fakeHandle;
  return 0;
}

NTSTATUS NTAPI RecordClose(LSA_HANDLE) {
  --openPolicies;
  return 0;
}

NTSTATUS NTAPI RecordRemove(LSA_HANDLE, PSID sid, BOOLEAN all, PLSA_UNICODE_STRING rights,
                            ULONG count) {
  RightsCall call{SidText(sid), all != FALSE, {}};
  for (ULONG i = 0; i < count; ++i) {
    call.rights.push_back(ToUtf8(FromWide(rights[i].Buffer, rights[i].Length / sizeof(wchar_t))) +
                          "/" + std::to_string(rights[i].Length) + "/" +
                          std::to_string(rights[i].MaximumLength));
  }
  rightsCalls.push_back(call);
  return 0;
}

NTSTATUS NTAPI RecordAdd(LSA_HANDLE handle, PSID sid, PLSA_UNICODE_STRING rights, ULONG count) {
  return RecordRemove(handle, sid, TRUE, rights, count);
}

TEST(RightsCallsWin32, CountedNamesWithoutTerminatorAndThePolicyClosed) {
  rightsCalls.clear();
  Win32Security security;
  LsaRightsCalls calls;
  calls.openPolicy = &RecordOpen;
  calls.close = &RecordClose;
  calls.addRights = &RecordAdd;
  calls.removeRights = &RecordRemove;
  security.ReplaceRightsCalls(calls);
  const platform::Sid sid = *platform::Sid::FromText(u"S-1-5-21-1-2-3-1001");
  EXPECT_EQ(security.RemoveAccountRights(
                u"", sid, {u"SeDenyInteractiveLogonRight", u"SeDenyNetworkLogonRight"}),
            kErrorSuccess);
  EXPECT_EQ(security.AddAccountRights(u"", sid, {u"SeBatchLogonRight"}), kErrorSuccess);
  EXPECT_EQ(openPolicies, 0) << "every policy closed";
  EXPECT_EQ(openedWith & POLICY_LOOKUP_NAMES, static_cast<ACCESS_MASK>(POLICY_LOOKUP_NAMES));
  ASSERT_EQ(rightsCalls.size(), 2u);
  EXPECT_EQ(ToUtf8(rightsCalls[0].sid), "S-1-5-21-1-2-3-1001");
  EXPECT_FALSE(rightsCalls[0].allRights) << "only the named rights are withdrawn";
  EXPECT_EQ(rightsCalls[0].rights, (std::vector<std::string>{"SeDenyInteractiveLogonRight/54/56",
                                                             "SeDenyNetworkLogonRight/46/48"}));
  EXPECT_EQ(rightsCalls[1].rights, (std::vector<std::string>{"SeBatchLogonRight/34/36"}));
}

struct SecretCall {
  std::string key;
  std::string lengths;
  bool secretMatches = false;
};
std::vector<SecretCall> secretCalls;

NTSTATUS NTAPI RecordStore(LSA_HANDLE, PLSA_UNICODE_STRING key, PLSA_UNICODE_STRING secret) {
  const Text given = FromWide(secret->Buffer, secret->Length / sizeof(wchar_t));
  secretCalls.push_back({ToUtf8(FromWide(key->Buffer, key->Length / sizeof(wchar_t))),
                         std::to_string(key->Length) + "/" + std::to_string(key->MaximumLength) +
                             " " + std::to_string(secret->Length) + "/" +
                             std::to_string(secret->MaximumLength),
                         given == u"Pw-secret-3"});
  return 0;
}

TEST(SecretCallsWin32, TheSecretIsStoredCountedUnderItsKeyAndThePolicyClosed) {
  secretCalls.clear();
  openPolicies = 0;
  Win32Identity identity;
  LsaSecretCalls calls;
  calls.openPolicy = &RecordOpen;
  calls.close = &RecordClose;
  calls.storePrivateData = &RecordStore;
  identity.ReplaceSecretCalls(calls);
  EXPECT_EQ(identity.StorePrivateData(u"DefaultPassword", TextView(u"Pw-secret-3")), 0u);
  EXPECT_EQ(openPolicies, 0) << "the policy closed";
  EXPECT_EQ(openedWith & POLICY_CREATE_SECRET, static_cast<ACCESS_MASK>(POLICY_CREATE_SECRET));
  ASSERT_EQ(secretCalls.size(), 1u);
  EXPECT_EQ(secretCalls[0].key, "DefaultPassword");
  EXPECT_EQ(secretCalls[0].lengths, "30/32 22/24");
  EXPECT_TRUE(secretCalls[0].secretMatches);
}

}  // namespace
}  // namespace tarn::win32
