// The installation run over a small catalogue on each backend: under Wine it
// starts real processes (cmd.exe), opens a document through an association
// the test registers, starts a batch file through the system's own
// association, runs a command in a working folder and with the user's PATH,
// ends a long command by Abort, and writes the log and the registry values
// checked afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "../../bench/launch_timing.h"
#include "accounts/user_account.h"
#include "app/app_context.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "contract/backend.h"
#include "platform/accounts.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "run/launch_entry.h"
#include "run/resolve_command.h"
#include "run/run_environment.h"
#include "run/system_identity_settings.h"
#include "support/headless_runner.h"
#include "support/idle_run_parts.h"

namespace tarn::contract {
namespace {

using platform::RegValue;

class NoAccountChanges : public run::AccountWorker {
 public:
  void CreateUsers(accounts::UserAccountList&, run::AccountProgress&) override { ++calls; }
  WinError LowerToStandardUser(const accounts::UserAccount&) override { return kErrorSuccess; }
  int calls = 0;
};

using run::NoVariables;

std::vector<uint8_t> Utf16WithMark(TextView text) {
  std::vector<uint8_t> bytes{0xFF, 0xFE};
  for (const char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

Text FromUtf16(const std::vector<uint8_t>& bytes) {
  Text text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return text;
}

// Keeps machine-wide values and writes them back (or removes them) when it
// goes out of scope.
class RegistrySnapshot {
 public:
  RegistrySnapshot(platform::Registry& registry,
                   std::vector<std::pair<const char16_t*, const char16_t*>> values)
      : registry_(registry), values_(std::move(values)) {
    for (const auto& [key, name] : values_) {
      platform::ScopedKey k =
          platform::ScopedKey::Open(registry_, platform::kLocalMachine, key, platform::kKeyRead);
      std::optional<RegValue> value;
      if (k) {
        auto read = registry_.QueryValue(k.get(), name);
        if (read) value = *read;
      }
      saved_.push_back(value);
    }
  }
  ~RegistrySnapshot() {
    for (size_t i = 0; i < values_.size(); ++i) {
      platform::ScopedKey k = platform::ScopedKey::Open(registry_, platform::kLocalMachine,
                                                        values_[i].first, platform::kKeyAllAccess);
      if (!k) continue;
      if (saved_[i]) {
        (void)registry_.SetValue(k.get(), values_[i].second, *saved_[i]);
      } else {
        (void)registry_.DeleteValue(k.get(), values_[i].second);
      }
    }
  }

 private:
  platform::Registry& registry_;
  std::vector<std::pair<const char16_t*, const char16_t*>> values_;
  std::vector<std::optional<RegValue>> saved_;
};

// Sets one value of the user's own environment and puts the previous one
// back (or removes it) when it goes out of scope, whatever the case did.
class UserEnvironmentValue {
 public:
  UserEnvironmentValue(platform::Registry& registry, TextView name, const RegValue& value)
      : registry_(registry), name_(name) {
    platform::ScopedKey key = Open();
    if (!key) return;
    auto previous = registry_.QueryValue(key.get(), name_);
    if (previous) previous_ = *previous;
    set_ = registry_.SetValue(key.get(), name_, value) == kErrorSuccess;
  }
  ~UserEnvironmentValue() {
    platform::ScopedKey key = Open();
    if (!key) return;
    if (previous_) {
      (void)registry_.SetValue(key.get(), name_, *previous_);
    } else {
      (void)registry_.DeleteValue(key.get(), name_);
    }
  }
  UserEnvironmentValue(const UserEnvironmentValue&) = delete;
  UserEnvironmentValue& operator=(const UserEnvironmentValue&) = delete;
  [[nodiscard]] bool set() const { return set_; }

 private:
  platform::ScopedKey Open() {
    return platform::ScopedKey::Create(registry_, platform::kCurrentUser, u"Environment",
                                       platform::kKeyAllAccess);
  }
  platform::Registry& registry_;
  Text name_;
  std::optional<RegValue> previous_;
  bool set_ = false;
};

// Gives the system the usual association of .cmd files (cmdfile, "%1" %*)
// when it has neither the extension nor the type, as Wine 8, and removes
// both again when it goes out of scope.
class UsualCmdAssociation {
 public:
  explicit UsualCmdAssociation(platform::Registry& registry) : registry_(registry) {
    for (const char16_t* key : {u".cmd", u"cmdfile"}) {
      if (platform::ScopedKey::Open(registry_, platform::kClassesRoot, key, platform::kKeyRead)) {
        return;
      }
    }
    added_ = true;
    platform::ScopedKey ext = platform::ScopedKey::Create(registry_, platform::kClassesRoot,
                                                          u".cmd", platform::kKeyAllAccess);
    if (ext) (void)registry_.SetValue(ext.get(), u"", RegValue::FromText(u"cmdfile"));
    platform::ScopedKey open =
        platform::ScopedKey::Create(registry_, platform::kClassesRoot,
                                    u"cmdfile\\shell\\open\\command", platform::kKeyAllAccess);
    if (open) (void)registry_.SetValue(open.get(), u"", RegValue::FromText(u"\"%1\" %*"));
  }
  ~UsualCmdAssociation() {
    if (!added_) return;
    (void)registry_.DeleteTree(platform::kClassesRoot, u".cmd");
    (void)registry_.DeleteTree(platform::kClassesRoot, u"cmdfile");
  }
  UsualCmdAssociation(const UsualCmdAssociation&) = delete;
  UsualCmdAssociation& operator=(const UsualCmdAssociation&) = delete;

 private:
  platform::Registry& registry_;
  bool added_ = false;
};

// Puts the whole process environment back when it goes out of scope: the
// logged-on user's variables a run sets would otherwise stay for later cases.
class EnvironmentRestore {
 public:
  explicit EnvironmentRestore(platform::Environment& environment)
      : environment_(environment), saved_(environment.CurrentBlock()) {}
  ~EnvironmentRestore() { (void)environment_.ReplaceBlock(saved_); }
  EnvironmentRestore(const EnvironmentRestore&) = delete;
  EnvironmentRestore& operator=(const EnvironmentRestore&) = delete;

 private:
  platform::Environment& environment_;
  platform::EnvironmentBlock saved_;
};

std::vector<uint8_t> Ansi(std::string_view text) {
  return {text.begin(), text.end()};
}

class RunContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    services_ = backend_->platform();
    ASSERT_NE(services_.processes, nullptr) << "no process service";
    scratch_ = backend_->ScratchFolder();
    // The run's texts come from a translation file in the current folder.
    const Text languages =
        u"[en]\r\n140=\"%s\" ended with exit code %d.\r\n141=Error %d: \"%s\" could not be "
        u"started.\r\n143=Installation finished.\r\n160=\"%s\" completed successfully.\r\n";
    ASSERT_EQ(services_.files->WriteAll(scratch_ + u"\\languages.ini", Utf16WithMark(languages)),
              kErrorSuccess);
    ASSERT_EQ(services_.files->SetCurrentDirectory(scratch_), kErrorSuccess);
    (void)services_.environment->Set(u"TARNSCRATCH", scratch_);
    // Commands without a working folder run in the program's folder.
    (void)services_.files->CreateDirectory(PathRemoveFileSpec(services_.system->ModuleFileName()));
  }

  catalogue::SoftwareEntry& Add(uint32_t level, TextView description, TextView command,
                                TextView workDir = u"") {
    catalogue::SoftwareEntry* entry = catalogue_.AllocEntry();
    entry->Level = level;
    entry->State = catalogue::kStateSelected;
    entry->Description = Text(description);
    entry->Command = Text(command);
    if (!workDir.empty()) entry->WorkDir = Text(workDir);
    return *entry;
  }

  std::vector<run::StatusRow> Run(AppContext& app) { return Run(app, variables_); }
  std::vector<run::StatusRow> Run(AppContext& app, run::RunVariables& variables) {
    run::RunContext context{app,     store_.list, catalogue_.FirstEntry(),
                            status_, accounts_,   variables};
    run::HeadlessRunner runner(context);
    runner.Run();
    return runner.rows();
  }

  bool IsWin32() const { return backend_->Name() == "win32"; }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform services_;
  Text scratch_;
  catalogue::SoftwareCatalogue catalogue_;
  run::RecordingStatus status_;
  NoAccountChanges accounts_;
  NoVariables variables_;
  accounts::AccountStore store_;
};

TEST_F(RunContract, ASmallCatalogueStartsRealProcessesAndLogsThem) {
  platform::Registry& registry = *services_.registry;
  // A document type of the test's own: opening one copies it beside it.
  {
    platform::ScopedKey ext = platform::ScopedKey::Create(registry, platform::kClassesRoot,
                                                          u".tarndoc", platform::kKeyAllAccess);
    ASSERT_TRUE(ext);
    ASSERT_EQ(registry.SetValue(ext.get(), u"", RegValue::FromText(u"TarnContract.Doc")), 0u);
    platform::ScopedKey open = platform::ScopedKey::Create(
        registry, platform::kClassesRoot, u"TarnContract.Doc\\Shell\\Open\\Command",
        platform::kKeyAllAccess);
    ASSERT_TRUE(open);
    ASSERT_EQ(registry.SetValue(
                  open.get(), u"",
                  RegValue::FromText(u"cmd.exe /c copy %1 \"" + scratch_ + u"\\opened copy.txt\"")),
              0u);
  }
  ASSERT_EQ(services_.files->CreateDirectory(scratch_ + u"\\work dir"), kErrorSuccess);
  ASSERT_EQ(services_.files->WriteAll(scratch_ + u"\\my notes.tarndoc", Utf16WithMark(u"x")),
            kErrorSuccess);

  // The run changes machine-wide values; the test puts them back afterwards
  // and keeps the computer's present name.
  const std::vector<std::pair<const char16_t*, const char16_t*>> touched = {
      {run::kWinlogonKey, u"DefaultUserName"},
      {run::kWinlogonKey, u"AutoAdminLogon"},
      {run::kWinlogonKey, u"DefaultDomainName"},
      {run::kCurrentVersionKey, u"RegisteredOwner"},
      {run::kCurrentVersionKey, u"RegisteredOrganization"},
      {run::kTcpipParametersKey, u"NV Hostname"}};
  RegistrySnapshot snapshot(registry, touched);
  const Text computer = services_.system->ComputerName().value_or(u"TARNPC");

  AppContext app(services_);
  app.config.Verbose = 1;
  app.config.AutoLogon = app::AutoLogonMode::kOn;
  app.config.User = u"tarnuser";
  app.config.Computer = computer;
  app.config.Owner = u"Owner Name";
  app.config.Org = u"";
  app.log.Open(scratch_ + u"\\run.log");
  Add(0, u"Restart needed", u"cmd.exe /c exit 3010");
  Add(0, u"Broken", u"%TARNSCRATCH%\\no-such-setup.exe /q");
  Add(1, u"Below broken", u"cmd.exe /c exit 0");
  Add(0, u"Document", u"\"%TARNSCRATCH%\\my notes.tarndoc\"");
  Add(0, u"In folder", u"cmd.exe /c cd > here.txt", u"%TARNSCRATCH%\\work dir\\.\\");
  Add(0, u"Fails", u"cmd.exe /c exit 1603");

  const auto rows = Run(app);
  app.log.Close();

  std::vector<std::string> results;
  for (const auto& row : rows) {
    if (!StartsWithIgnoreCase(row.message, u"Command:") &&
        !StartsWithIgnoreCase(row.message, u"Setting")) {
      results.push_back(std::to_string(row.level) + ":" + ToUtf8(row.message));
    }
  }
  ASSERT_EQ(results.size(), 6u) << ::testing::PrintToString(results);
  EXPECT_EQ(results[0], "2:\"Restart needed\" completed successfully.");
  EXPECT_EQ(results[1].rfind("0:Error 2: \"Broken\" could not be started. ", 0), 0u) << results[1];
  EXPECT_EQ(results[2], "2:\"Document\" completed successfully.");
  EXPECT_EQ(results[3], "2:\"In folder\" completed successfully.");
  EXPECT_EQ(results[4], "1:\"Fails\" ended with exit code 1603.");
  EXPECT_EQ(results[5], "2:Installation finished.");

  // The log file holds the same lines.
  const auto log = services_.files->ReadAll(scratch_ + u"\\run.log");
  ASSERT_TRUE(log);
  const Text logText = FromUtf16(*log);
  EXPECT_NE(logText.find(u"Warning(1603): "), Text::npos) << ToUtf8(logText);
  EXPECT_NE(logText.find(u"Error(2): "), Text::npos);
  EXPECT_NE(logText.find(u" - Command: cmd.exe /c copy \"" + scratch_ + u"\\my notes.tarndoc\""),
            Text::npos)
      << ToUtf8(logText);

  // Identity values in the registry.
  auto machineText = [&](TextView key, TextView name) -> std::string {
    platform::ScopedKey k =
        platform::ScopedKey::Open(registry, platform::kLocalMachine, key, platform::kKeyRead);
    if (!k) return "<no key>";
    const auto value = registry.QueryValue(k.get(), name);
    return value ? ToUtf8(value->AsText()) : "<none>";
  };
  if (machineText(run::kWinlogonKey, u"DefaultUserName") != "<no key>") {
    EXPECT_EQ(machineText(run::kWinlogonKey, u"DefaultUserName"), "tarnuser");
    EXPECT_EQ(machineText(run::kWinlogonKey, u"AutoAdminLogon"), "1");
    EXPECT_EQ(machineText(run::kWinlogonKey, u"DefaultDomainName"), ToUtf8(computer));
    EXPECT_EQ(machineText(run::kWinlogonKey, u"DefaultPassword"), "<none>");
  }
  if (machineText(run::kCurrentVersionKey, u"RegisteredOwner") != "<no key>") {
    EXPECT_EQ(machineText(run::kCurrentVersionKey, u"RegisteredOwner"), "Owner Name");
    EXPECT_EQ(machineText(run::kCurrentVersionKey, u"RegisteredOrganization"), "");
  }
  EXPECT_EQ(accounts_.calls, 1);

  if (IsWin32()) {
    // The real commands left their traces.
    EXPECT_TRUE(services_.files->Exists(scratch_ + u"\\opened copy.txt"));
    const auto here = services_.files->ReadAll(scratch_ + u"\\work dir\\here.txt");
    ASSERT_TRUE(here) << "the command ran elsewhere";
    const std::string folder(here->begin(), here->end());
    EXPECT_NE(folder.find("work dir"), std::string::npos) << folder;
  }
  (void)registry.DeleteTree(platform::kClassesRoot, u".tarndoc");
  (void)registry.DeleteTree(platform::kClassesRoot, u"TarnContract.Doc");
}

// A user's own classes (HKCU\Software\Classes, merged into
// HKEY_CLASSES_ROOT) never choose what a document starts: only the
// machine's.
TEST_F(RunContract, AUsersOwnFileTypeIsNotFollowed) {
  platform::Registry& registry = *services_.registry;
  for (const TextView key : {u"Software\\Classes\\.tarnuser",
                             u"Software\\Classes\\TarnUser.Doc\\Shell\\Open\\Command"}) {
    platform::ScopedKey created =
        platform::ScopedKey::Create(registry, platform::kCurrentUser, key, platform::kKeyAllAccess);
    ASSERT_TRUE(created);
    const Text value = key.ends_with(u"Command") ? u"cmd.exe /c echo %1" : u"TarnUser.Doc";
    ASSERT_EQ(registry.SetValue(created.get(), u"", RegValue::FromText(value)), 0u);
  }
  EXPECT_EQ(run::RegisteredOpenCommand(registry, services_.environment, u".tarnuser"), u"");
  (void)registry.DeleteTree(platform::kCurrentUser, u"Software\\Classes\\.tarnuser");
  (void)registry.DeleteTree(platform::kCurrentUser, u"Software\\Classes\\TarnUser.Doc");
}

// The message of the first row that begins with `prefix`, or "<none>".
std::string RowStartingWith(const std::vector<run::StatusRow>& rows, TextView prefix) {
  for (const auto& row : rows) {
    if (StartsWithIgnoreCase(row.message, prefix)) return ToUtf8(row.message);
  }
  return "<none>";
}

TEST_F(RunContract, BatchFileInAFolderWithABlankStartsThroughTheSystemsAssociation) {
  const Text folder = scratch_ + u"\\my tools";
  ASSERT_EQ(services_.files->CreateDirectory(folder), kErrorSuccess);
  ASSERT_EQ(services_.files->WriteAll(folder + u"\\setup.cmd",
                                      Ansi("@echo %1> \"%TARNSCRATCH%\\my tools\\ran.txt\"\r\n")),
            kErrorSuccess);
  UsualCmdAssociation association(*services_.registry);
  AppContext app(services_);
  app.config.SkipSettings = 1;
  app.config.Verbose = 1;
  Add(0, u"Batch", u"\"%TARNSCRATCH%\\my tools\\setup.cmd\" quiet");
  const auto rows = Run(app);
  EXPECT_EQ(RowStartingWith(rows, u"Command:"),
            "Command: \"" + ToUtf8(folder) + "\\setup.cmd\" quiet ");
  // The simulated process table runs only the programs it knows; the real
  // command interpreter runs the batch file.
  if (IsWin32()) {
    EXPECT_EQ(RowStartingWith(rows, u"\"Batch\""), "\"Batch\" completed successfully.");
    const auto ran = services_.files->ReadAll(folder + u"\\ran.txt");
    ASSERT_TRUE(ran) << "the batch file did not run";
    EXPECT_EQ(std::string(ran->begin(), ran->end()), "quiet\r\n");
  }
}

TEST_F(RunContract, CommandsStillFindSystem32AfterTheUserSetsAPath) {
  platform::Environment& environment = *services_.environment;
  EnvironmentRestore restore(environment);
  // A bare simulated machine has no PATH; a real one has System32 on it.
  if (!environment.Get(u"PATH")) {
    ASSERT_EQ(environment.Set(u"PATH", u"C:\\WINDOWS\\system32;C:\\WINDOWS"), kErrorSuccess);
  }
  const Text machinePath = environment.Get(u"PATH").value_or(Text());
  UserEnvironmentValue userPath(*services_.registry, u"Path", RegValue::FromText(scratch_));
  ASSERT_TRUE(userPath.set());

  AppContext app(services_);
  app.config.SkipSettings = 1;
  run::RunEnvironment variables(
      run::VariableContext{{services_, {}}, &app.config, &store_.defaults});
  // hostname.exe lives in System32 and is found only through PATH.
  Add(0, u"Needs System32", u"cmd.exe /c hostname > nul");
  const auto rows = Run(app, variables);
  EXPECT_EQ(RowStartingWith(rows, u"\"Needs"), "\"Needs System32\" completed successfully.");
  const Text path = environment.Get(u"PATH").value_or(Text());
  EXPECT_TRUE(StartsWithIgnoreCase(path, machinePath)) << ToUtf8(path);
  EXPECT_TRUE(path.ends_with(u";" + scratch_)) << ToUtf8(path);
}

TEST_F(RunContract, AbortEndsALongCommandWithItsChildAndTheRunGoesOn) {
  AppContext app(services_);
  app.config.SkipSettings = 1;
  Add(0, u"Long", u"cmd.exe /c ping -n 60 127.0.0.1");
  Add(0, u"Next", u"cmd.exe /c exit 0");
  const size_t pingsBefore = backend_->CountRunning(u"ping.exe");
  std::atomic<bool> pingSeen{false};
  std::thread presser;
  status_.onCurrentText = [&](run::RecordingStatus& status, TextView text) {
    if (text != u"Long") return;
    // Abort once the command interpreter has started its ping, so that the
    // press has a child to end.
    presser = std::thread([this, &pingSeen, pingsBefore, signals = status.signals()] {
      const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (std::chrono::steady_clock::now() < limit) {
        if (backend_->CountRunning(u"ping.exe") > pingsBefore) {
          pingSeen = true;
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      signals->abort->Set();
    });
  };
  const auto started = std::chrono::steady_clock::now();
  const auto rows = Run(app);
  if (presser.joinable()) presser.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(40));
  ASSERT_TRUE(pingSeen) << "the command's ping never ran";
  // Ending is asynchronous for the processes of a job; give them a moment.
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (backend_->CountRunning(u"ping.exe") > pingsBefore &&
         std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(backend_->CountRunning(u"ping.exe"), pingsBefore) << "the command's ping still runs";
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(ToUtf8(rows[0].message), "\"Long\" ended with exit code 1067.");
  EXPECT_EQ(rows[0].level, 1);
  EXPECT_EQ(ToUtf8(rows[1].message), "\"Next\" completed successfully.");
}

TEST_F(RunContract, CommandsStartUnderThePrimaryAccount) {
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "CreateProcessWithLogonW returns FALSE under Wine (no seclogon service)";
  }
  AppContext app(services_);
  app.config.SkipSettings = 1;
  // The command's environment comes from the account's own logon: the
  // account must be there, with the password the record gives.
  constexpr TextView kPassword = u"Tarn-User-7x!";
  platform::UserInfo info;
  info.name = u"tarnuser";
  info.flags = 0x201;
  const WinError made = services_.accounts->CreateUser(u"", info, kPassword);
  ASSERT_TRUE(made == kErrorSuccess || made == kNerrUserExists) << made;
  ASSERT_EQ(
      services_.accounts->SetUserText(u"", u"tarnuser", platform::kUserLevelPassword, kPassword),
      kErrorSuccess);
  accounts::UserAccount& primary = store_.list.AddBlank();
  primary.Name = u"tarnuser";
  primary.Password = kPassword;
  primary.Primary = 1;
  Add(0, u"As user", u"cmd.exe /c exit 0");
  const auto rows = Run(app);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(ToUtf8(rows[0].message), "\"As user\" completed successfully.");
}

TEST_F(RunContract, RunOverheadPerCommandIsReported) {
  bench::TimedProcesses timed(*services_.processes);
  services_.processes = &timed;
  AppContext app(services_);
  app.config.SkipSettings = 1;
  app.config.Verbose = 1;
  app.log.Open(scratch_ + u"\\overhead.log");
  for (int i = 0; i < 20; ++i)
    Add(0, u"Quick %TARNSCRATCH%", u"cmd.exe /c exit 0", u"%TARNSCRATCH%");
  (void)Run(app);
  const auto gaps = timed.GapsMicroseconds();
  ASSERT_EQ(gaps.size(), 19u);
  const double mean = bench::Mean(gaps);
  RecordProperty("run_overhead_us_per_command", static_cast<int>(mean));
  std::printf("run overhead per command on %s: %.0f us\n", backend_->Name().c_str(), mean);
}

}  // namespace
}  // namespace tarn::contract
