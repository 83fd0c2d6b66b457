// The services contract: service status queries and token privileges answer
// the same way on both backends.
#include <gtest/gtest.h>

#include "contract/backend.h"
#include "platform/services.h"

namespace tarn::contract {
namespace {

TEST(ServicesContract, AnUnknownServiceHasNoStatus) {
  auto backend = MakeContractBackend();
  platform::Services& services = *backend->platform().services;
  EXPECT_EQ(services.IsServiceRunning(u"TarnNoSuchService"), std::nullopt);
}

TEST(ServicesContract, HeldPrivilegesAreEnabledAndUnknownNamesLeftOut) {
  auto backend = MakeContractBackend();
  platform::Services& services = *backend->platform().services;
  EXPECT_EQ(services.EnablePrivileges({u"SeShutdownPrivilege"}), kErrorSuccess);
  EXPECT_EQ(services.EnablePrivileges({u"SeShutdownPrivilege", u"SeTarnNoSuchPrivilege"}),
            kErrorSuccess);
  EXPECT_EQ(services.EnablePrivileges({u"SeTarnNoSuchPrivilege"}), kErrorSuccess);
  EXPECT_EQ(services.EnablePrivileges({}), kErrorSuccess);
}

}  // namespace
}  // namespace tarn::contract
