// One run of the account worker on a simulated machine, with the helpers
// the worker's tests share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "platform/sim/sim_accounts.h"
#include "run/account_worker.h"
#include "support/scripted_prompter.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::run::testing {

using accounts::UserAccount;
using accounts::testing::AccountMachine;

inline constexpr char16_t kLogPath[] = u"C:\\tarn\\accounts.log";

// Keeps every record the worker reports; passes over the keys in `done`.
struct RecordingProgress : AccountProgress {
  bool AlreadyDone(TextView key, TextView) override {
    return std::ranges::find(done, Text(key)) != done.end();
  }
  void AccountFinished(app::StepRecord& step) override { steps.push_back(step); }
  std::vector<Text> done;
  std::vector<app::StepRecord> steps;
};

// One run of the worker on a fresh machine, with verbose logging to a file.
struct WorkerRun {
  explicit WorkerRun(bool olderDefaults = true) : m(olderDefaults) {
    (void)m.machine.files().MakeDirectories(u"C:\\tarn");
    // Start-up enables these for the hives, as the run needs them.
    EXPECT_EQ(m.machine.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
              kErrorSuccess);
    app = std::make_unique<AppContext>(m.platform());
    app->config.Verbose = 1;
    app->log.Open(kLogPath);
    app->log.SetListener([this](Text message, int32_t) { messages.push_back(std::move(message)); });
  }

  UserAccount& Add(TextView name, TextView password = accounts::kKeepPassword) {
    UserAccount& record = list.AddBlank();
    record.Name = name;
    record.OldName = name;
    record.Password = password;
    record.Status = accounts::kDefaultStatus;
    record.Group = accounts::kGroupUnchanged;
    return record;
  }

  // An account already on the machine, member of Users, with a profile.
  uint32_t Existing(TextView name) {
    platform::UserInfo info;
    info.name = Text(name);
    info.comment = u"old comment";
    const uint32_t rid = accounts().PutUser(info, u"old-password");
    (void)accounts().AddLocalGroupMember(u"", u"Users", accounts().UserSid(rid));
    const Text folder = Text(u"C:\\Users\\") + Text(name);
    (void)m.machine.files().MakeDirectories(folder);
    m.AddProfileListEntry(accounts().UserSid(rid).ToText(), folder, u"", std::nullopt);
    return rid;
  }

  // An existing account that is also a member of Administrators.
  uint32_t Administrator(TextView name) {
    const uint32_t rid = Existing(name);
    (void)accounts().AddLocalGroupMember(u"", u"Administrators", accounts().UserSid(rid));
    return rid;
  }
  void DisableBuiltinAdministrator() {
    ASSERT_EQ(accounts().SetUserFlags(u"", u"Administrator", 0x10203), kErrorSuccess);
  }

  void Run() {
    SystemAccountWorker worker(*app, prompter);
    worker.CreateUsers(list, progress);
    app->log.Close();
    const auto bytes = m.machine.files().ReadAll(kLogPath);
    ASSERT_TRUE(bytes.ok());
    for (size_t i = 0; i + 1 < bytes->size(); i += 2) {
      log.push_back(static_cast<char16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
    }
  }

  sim::SimAccounts& accounts() { return m.machine.accounts(); }
  bool InGroup(uint32_t groupRid, TextView name) {
    const sim::SimUser* user = accounts().FindUser(name);
    if (user == nullptr) return false;
    const auto& members = accounts().FindGroupByRid(groupRid)->members;
    return std::ranges::find(members, accounts().UserSid(user->rid)) != members.end();
  }
  bool FolderExists(TextView path) {
    return m.machine.files().GetAttributes(path) != platform::kInvalidFileAttributes;
  }
  bool Logged(TextView text) const { return log.find(text) != Text::npos; }
  // How the worker reported the record with `key`.
  std::string OutcomeOf(TextView key) const {
    for (const app::StepRecord& step : progress.steps) {
      if (step.key == key) return ToUtf8(app::OutcomeName(step.outcome));
    }
    return "(not reported)";
  }

  AccountMachine m;
  std::unique_ptr<AppContext> app;
  tarn::testing::ScriptedPrompter prompter;
  RecordingProgress progress;
  accounts::UserAccountList list;
  std::vector<Text> messages;
  Text log;
};

}  // namespace tarn::run::testing
