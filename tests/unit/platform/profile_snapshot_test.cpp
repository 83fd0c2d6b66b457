// The settings are read from one copy of the configuration file: the copy
// must answer as the file did when it was taken, and must never swallow a
// write or a question about another file.
#include "platform/profile_snapshot.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace tarn::platform {
namespace {

TEST(ProfileSnapshot, AnswersFromTheCopyAndPassesTheRestOn) {
  sim::Machine machine;
  ProfileFiles& system = *machine.platform().profiles;
  ASSERT_EQ(system.WriteString(u"C:\\install.ini", u"settings", u"Computer", u"PC-01"),
            kErrorSuccess);
  ASSERT_EQ(system.WriteString(u"C:\\other.ini", u"settings", u"Computer", u"OTHER"),
            kErrorSuccess);
  ProfileSnapshot snapshot(system, *machine.platform().files, u"C:\\install.ini",
                           kCodePageWindows1252);

  // A change after the copy was taken is written to the file, not the copy.
  EXPECT_EQ(snapshot.WriteString(u"c:\\INSTALL.INI", u"settings", u"Computer", u"PC-02"),
            kErrorSuccess);
  EXPECT_EQ(system.GetString(u"C:\\install.ini", u"settings", u"Computer", u"", 64).data, u"PC-02");
  EXPECT_EQ(snapshot.GetString(u"c:\\INSTALL.INI", u"SETTINGS", u"computer", u"", 64).data,
            u"PC-01");
  EXPECT_EQ(snapshot.GetString(u"C:\\other.ini", u"settings", u"Computer", u"", 64).data, u"OTHER");
}

TEST(ProfileSnapshot, AMissingFileGivesTheSystemsDefaults) {
  sim::Machine machine;
  ProfileSnapshot snapshot(*machine.platform().profiles, *machine.platform().files,
                           u"C:\\missing.ini", kCodePageWindows1252);
  EXPECT_EQ(snapshot.GetString(u"C:\\missing.ini", u"settings", u"Org", u"none", 64).data, u"none");
  EXPECT_EQ(snapshot.GetInt(u"C:\\missing.ini", u"settings", u"Timeout", 7), 7);
}

}  // namespace
}  // namespace tarn::platform
