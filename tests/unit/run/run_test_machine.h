// A simulated machine prepared for installation runs: the translation texts
// of the run, the registry keys the run writes into, a catalogue built entry
// by entry, and recording doubles for the account worker and the variables.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "platform/sim/machine.h"
#include "run/system_identity_settings.h"
#include "support/headless_runner.h"

namespace tarn::run::testing {

// Records every call; nothing is applied to the machine.
class RecordingAccountWorker : public AccountWorker {
 public:
  void CreateUsers(accounts::UserAccountList& accounts, AccountProgress&) override {
    ++calls;
    lastList = &accounts;
    if (throws) throw std::runtime_error("account worker broke");
  }
  WinError LowerToStandardUser(const accounts::UserAccount& account) override {
    lowered.push_back(account.Name.str());
    return kErrorSuccess;
  }
  int calls = 0;
  // CreateUsers throws, as a run that breaks off on an error of its own.
  bool throws = false;
  accounts::UserAccountList* lastList = nullptr;
  std::vector<Text> lowered;
};

// Records the calls; entering sets ThisUser so that the block a command gets
// can be recognised.
class RecordingVariables : public RunVariables {
 public:
  explicit RecordingVariables(platform::Environment& environment) : environment_(environment) {}
  bool EnterForAccount(accounts::UserAccount& primary) override {
    calls.push_back(u"enter:" + primary.Name.str());
    (void)environment_.Set(u"ThisUser", primary.Name.view());
    return makesBlock;
  }
  void SetLoggedOnUser() override { calls.push_back(u"loggedOn"); }
  void Leave() override { calls.push_back(u"leave"); }

  bool makesBlock = true;
  std::vector<Text> calls;

 private:
  platform::Environment& environment_;
};

inline constexpr char16_t kLanguagesFile[] = u"C:\\tarn\\languages.ini";

class RunTestMachine {
 public:
  RunTestMachine() : variables(machine.environment()) {
    app = std::make_unique<AppContext>(machine.platform());
    (void)machine.files().MakeDirectories(u"C:\\tarn");
    SetText(140, u"\"%s\" ended with exit code %d.");
    SetText(141, u"Error %d: \"%s\" could not be started.");
    SetText(143, u"Installation finished.");
    SetText(160, u"\"%s\" completed successfully.");
    for (const char16_t* key : {kLsaKey, kWinlogonKey, kTcpipParametersKey, kCurrentVersionKey}) {
      (void)machine.registry().Put(platform::kLocalMachine, key, u"TarnProbe",
                                   platform::RegValue::FromDword(1));
    }
  }

  void SetText(uint32_t number, TextView text, TextView language = u"en") {
    EXPECT_EQ(machine.platform().profiles->WriteString(kLanguagesFile, language,
                                                       DecimalText(number), text),
              kErrorSuccess);
  }

  // Appends an entry; `command` empty means none (a section or heading).
  catalogue::SoftwareEntry& Add(uint32_t level, bool selected, TextView description,
                                TextView command = u"", TextView workDir = u"") {
    catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
    entry->Level = level;
    entry->State = selected ? catalogue::kStateSelected : catalogue::kStateUnselected;
    entry->Description = Text(description);
    if (!command.empty()) entry->Command = Text(command);
    if (!workDir.empty()) entry->WorkDir = Text(workDir);
    return *entry;
  }

  // A program that ends at once with `exitCode`.
  void AddProgram(TextView name, uint32_t exitCode = 0) {
    sim::SimProgram program;
    program.exitCode = exitCode;
    machine.processes().AddProgram(name, program);
  }

  accounts::UserAccount& AddPrimary(TextView name, TextView password) {
    accounts::UserAccount& account = accounts.list.AddBlank();
    account.Name = name;
    account.Password = password;
    account.Domain = u"TARN-PC";
    account.Primary = 1;
    return account;
  }

  // Runs the installation on a worker thread and returns the log rows.
  std::vector<StatusRow> Run() {
    RunContext context{*app, accounts.list, catalogue.FirstEntry(), status, worker, variables};
    context.relaxedPolicy = relaxedPolicy;
    HeadlessRunner runner(context);
    runner.Run();
    return runner.rows();
  }

  // The command lines started, in order.
  std::vector<std::string> Started() {
    std::vector<std::string> out;
    for (const auto& launch : machine.processes().launches())
      out.push_back(ToUtf8(launch.commandLine));
    return out;
  }

  std::optional<platform::RegValue> Machine(TextView key, TextView name) {
    return machine.registry().Get(platform::kLocalMachine, key, name);
  }

  sim::Machine machine;
  std::unique_ptr<AppContext> app;
  accounts::AccountStore accounts;
  RecordingAccountWorker worker;
  RecordingVariables variables;
  RecordingStatus status;
  catalogue::SoftwareCatalogue catalogue;
  // Handed to the run when set, as the wizard does.
  RelaxedPolicy* relaxedPolicy = nullptr;
};

// Rows as "level:message" for readable comparisons.
inline std::vector<std::string> RowTexts(const std::vector<StatusRow>& rows) {
  std::vector<std::string> out;
  for (const StatusRow& row : rows)
    out.push_back(std::to_string(row.level) + ":" + ToUtf8(row.message));
  return out;
}

}  // namespace tarn::run::testing
