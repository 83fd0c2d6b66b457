// The services contract: service status queries and token privileges answer
// the same way on both backends.
#include <gtest/gtest.h>

#include "contract/backend.h"
#include "platform/services.h"

namespace tarn::contract {
namespace {

// ERROR_NOT_ALL_ASSIGNED: the request succeeded for the privileges held only.
constexpr WinError kNotAllAssigned = 1300;

TEST(ServicesContract, AnUnknownServiceHasNoStatus) {
  auto backend = MakeContractBackend();
  platform::Services& services = *backend->platform().services;
  EXPECT_EQ(services.IsServiceRunning(u"TarnNoSuchService"), std::nullopt);
}

TEST(ServicesContract, HeldPrivilegesAreEnabledAndUnknownNamesLeftOut) {
  auto backend = MakeContractBackend();
  platform::Services& services = *backend->platform().services;
  EXPECT_EQ(services.EnablePrivileges({u"SeShutdownPrivilege", u"SeTarnNoSuchPrivilege"}),
            kErrorSuccess);
  EXPECT_TRUE(backend->PrivilegeEnabled(u"SeShutdownPrivilege"));
  EXPECT_EQ(services.EnablePrivileges({u"SeTarnNoSuchPrivilege"}), kErrorSuccess);
  EXPECT_EQ(services.EnablePrivileges({}), kErrorSuccess);
}

// An administrator's token never holds the privilege to create tokens.
TEST(ServicesContract, APrivilegeNotHeldIsReportedAndTheOthersStillEnabled) {
  auto backend = MakeContractBackend();
  platform::Services& services = *backend->platform().services;
  EXPECT_EQ(services.EnablePrivileges({u"SeCreateTokenPrivilege", u"SeUndockPrivilege"}),
            kNotAllAssigned);
  EXPECT_FALSE(backend->PrivilegeEnabled(u"SeCreateTokenPrivilege"));
  EXPECT_TRUE(backend->PrivilegeEnabled(u"SeUndockPrivilege"));
}

}  // namespace
}  // namespace tarn::contract
