// tarn_plan: shows what the software catalogue of a configuration file looks
// like on a described machine, and which commands an installation run with
// the selection as loaded would start, in order.
//
//   tarn_plan <install.ini> [--reg <file.reg>]... [--drives <folder>]
//             [--account <name>]... [--gaps] [--json] [--out <file>]
//   tarn_plan --check <install.ini> [--reg <file.reg>]... [--out <file>]
//   tarn_plan --reference
//   tarn_plan --import winget|choco|scoop <file> [--out <file>]
//
// --check reports what a run would get wrong in the file, one line per
// finding as compilers write them ("file:line:column: error: text"), and
// exits with 1 when any is an error. --reference prints the tables of every
// section and key that docs/configuration.md holds. --import prints a
// software section for install.ini from the package list another manager
// wrote (a winget export, Chocolatey's packages.config, a Scoop export):
// one item per package with the manager's silent install command. It exits
// with 2 when the file is no such list and with 1 when packages were left
// out for characters no package name has (each named on stderr).
//
// The machine is simulated: registry exports (.reg) fill its registry, and
// the subfolders c, d, ... of the drives folder stand for its drives. The
// environment variables are those the registry's Environment keys give (the
// machine's first, then the user's), so expansions read as they would there,
// and a document command shows as the open command its registry gives. The
// file is read as the program reads it there (startup/configuration_plan):
// in the machine's ANSI code page (the registry's Nls\CodePage ACP), with
// its [environment] section in the commands; a file outside the drives is
// seen on a drive of its own (the folder above the file's), so %INIDIR%
// holds the files beside it. HasGaps comes from the file's
// settings section as the program reads it; --gaps switches it on whatever
// the file says. --check reads in the code page of the --reg machine too.
//
// After the software plan comes what the account worker would do to each
// account of the users section; --account names a local account the
// described machine already has (with a profile folder on C:).
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "accounts/account_profiles.h"
#include "app/configuration_keys.h"
#include "base/paths.h"
#include "import/package_import.h"
#include "platform/reg_file.h"
#include "platform/sim/machine.h"
#include "startup/configuration_check.h"
#include "startup/configuration_plan.h"

namespace {

namespace fs = std::filesystem;
using tarn::Text;
using tarn::TextView;

struct Options {
  fs::path ini;
  std::vector<fs::path> regFiles;
  std::vector<std::string> accounts;
  std::optional<fs::path> drives;
  std::optional<fs::path> out;
  std::string importManager;
  std::optional<fs::path> importFile;
  bool json = false;
  bool gaps = false;
  bool check = false;
  bool reference = false;
};

constexpr const char* kUsage =
    "usage: tarn_plan <install.ini> [--reg <file.reg>]... [--drives <folder>] "
    "[--account <name>]... [--gaps] [--json] [--out <file>]\n"
    "       tarn_plan --check <install.ini> [--reg <file.reg>]... [--out <file>]\n"
    "       tarn_plan --reference\n"
    "       tarn_plan --import winget|choco|scoop <file> [--out <file>]\n";

std::optional<Options> ParseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--reg" && hasValue) {
      options.regFiles.emplace_back(argv[++i]);
    } else if (arg == "--account" && hasValue) {
      options.accounts.emplace_back(argv[++i]);
    } else if (arg == "--drives" && hasValue) {
      options.drives = argv[++i];
    } else if (arg == "--out" && hasValue) {
      options.out = argv[++i];
    } else if (arg == "--import" && i + 2 < argc) {
      options.importManager = argv[++i];
      options.importFile = argv[++i];
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--gaps") {
      options.gaps = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--reference") {
      options.reference = true;
    } else if (!arg.empty() && arg[0] != '-' && options.ini.empty()) {
      options.ini = arg;
    } else {
      return std::nullopt;
    }
  }
  const int modes =
      (options.ini.empty() ? 0 : 1) + (options.reference ? 1 : 0) + (options.importFile ? 1 : 0);
  if (modes != 1) return std::nullopt;
  return options;
}

std::optional<std::vector<uint8_t>> ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Each one-letter subfolder of `drives` becomes that drive. Returns the
// drive roots with their host folders.
std::vector<std::pair<Text, fs::path>> MountDrives(tarn::sim::Machine& machine,
                                                   const fs::path& drives) {
  std::vector<std::pair<Text, fs::path>> mounted;
  std::error_code error;
  for (const auto& item : fs::directory_iterator(drives, error)) {
    const std::string name = item.path().filename().string();
    if (!item.is_directory() || name.size() != 1 ||
        !std::isalpha(static_cast<unsigned char>(name[0]))) {
      continue;
    }
    Text root;
    root.push_back(static_cast<char16_t>(std::toupper(static_cast<unsigned char>(name[0]))));
    root.push_back(u':');
    machine.files().MountHostFolder(root, item.path());
    mounted.emplace_back(root, fs::weakly_canonical(item.path()));
  }
  return mounted;
}

// The machine's path of a host file that lies inside a mounted drive.
std::optional<Text> MachinePath(const std::vector<std::pair<Text, fs::path>>& mounted,
                                const fs::path& host) {
  const fs::path file = fs::weakly_canonical(host);
  for (const auto& [root, folder] : mounted) {
    const fs::path relative = file.lexically_relative(folder);
    if (relative.empty() || *relative.begin() == "..") continue;
    Text path = root;
    for (const auto& part : relative) {
      path += u'\\';
      path += tarn::FromUtf8(part.string());
    }
    return path;
  }
  return std::nullopt;
}

// Copies the values of one registry Environment key into the environment.
// As at logon, plain values come first, then the expandable ones are
// expanded against everything defined so far.
void LoadEnvironmentKey(tarn::platform::Platform platform, tarn::platform::RegKey root,
                        TextView path) {
  using namespace tarn::platform;
  ScopedKey key = ScopedKey::Open(*platform.registry, root, path, kKeyRead);
  if (!key) return;
  std::vector<std::pair<Text, Text>> expandable;
  for (uint32_t i = 0;; ++i) {
    auto value = platform.registry->EnumValue(key.get(), i);
    if (!value) break;
    const RegValue& data = value->second;
    if (data.type == kRegExpandSz) expandable.emplace_back(value->first, data.AsText());
    if (data.type == kRegSz || data.type == kRegExpandSz) {
      (void)platform.environment->Set(value->first, TextView(data.AsText()));
    }
  }
  for (const auto& [name, text] : expandable) {
    const Text expanded = platform.environment->Expand(text, 32767).text;
    (void)platform.environment->Set(name, TextView(expanded));
  }
}

// Puts each named account on the machine as one that has logged on before:
// a member of Users with a profile folder and its profile-list entry. A
// folder on a drive of the host is left alone.
void AddAccounts(tarn::sim::Machine& machine, const std::vector<std::string>& names,
                 const std::vector<std::pair<Text, fs::path>>& mounted) {
  bool hostC = false;
  for (const auto& drive : mounted) hostC = hostC || drive.first == u"C:";
  for (const std::string& utf8 : names) {
    tarn::platform::UserInfo info;
    info.name = tarn::FromUtf8(utf8);
    const uint32_t rid = machine.accounts().PutUser(info, u"");
    const tarn::platform::Sid sid = machine.accounts().UserSid(rid);
    (void)machine.accounts().AddLocalGroupMember(u"", u"Users", sid);
    const Text folder = u"C:\\Users\\" + info.name;
    if (!hostC) (void)machine.files().MakeDirectories(folder);
    const Text key = Text(tarn::accounts::kProfileListKey) + u"\\" + sid.ToText();
    (void)machine.registry().Put(
        tarn::platform::kLocalMachine, key, u"ProfileImagePath",
        tarn::platform::RegValue::FromText(folder, tarn::platform::kRegExpandSz));
  }
}

// The configuration's path on the machine: the file itself when a drive
// holds it, else the folder above its own mounted as a drive, so that the
// files beside it are there for %INIDIR% as they are for the program, and
// %INIDIR% is a folder, not a drive's root.
Text ConfigurationOnMachine(tarn::sim::Machine& machine,
                            std::vector<std::pair<Text, fs::path>>& mounted, const fs::path& ini) {
  if (const auto path = MachinePath(mounted, ini)) return *path;
  char16_t letter = u'Z';
  for (; letter > u'C'; --letter) {
    bool taken = false;
    for (const auto& drive : mounted) taken = taken || drive.first[0] == letter;
    if (!taken) break;
  }
  const Text root = Text(1, letter) + u":";
  std::error_code error;
  const fs::path own = fs::absolute(ini, error).parent_path();
  const fs::path folder = own.has_relative_path() ? own.parent_path() : own;
  machine.files().MountHostFolder(root, folder);
  mounted.emplace_back(root, fs::weakly_canonical(folder, error));
  return MachinePath(mounted, ini).value_or(root + u"\\" + tarn::FromUtf8(ini.filename().string()));
}

bool WriteOutput(const Options& options, const std::string& text) {
  if (!options.out) {
    std::cout << text;
    return static_cast<bool>(std::cout);
  }
  std::ofstream out(*options.out, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

// A path of the configuration's machine as a path of this host: the checked
// file's folder stands for %INIDIR%, and backslashes separate folders.
bool HostFileExists(TextView path) {
  std::string host = tarn::ToUtf8(path);
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  std::error_code error;
  return fs::exists(host, error);
}

// The described machine: its registry from the exports, its environment
// from the registry, its drives. False (said on stderr) when an export
// cannot be read.
bool DescribeMachine(const Options& options, tarn::sim::Machine& machine,
                     std::vector<std::pair<Text, fs::path>>& mounted) {
  const tarn::platform::Platform platform = machine.platform();
  if (options.drives) mounted = MountDrives(machine, *options.drives);
  for (const fs::path& reg : options.regFiles) {
    const auto bytes = ReadHostFile(reg);
    auto report = bytes ? tarn::platform::ImportRegFile(*platform.registry, *bytes)
                        : tarn::Result<tarn::platform::RegImportReport>::Failure(2);
    if (!report) {
      std::cerr << "tarn_plan: cannot import " << reg << " (error " << report.error() << ")\n";
      return false;
    }
    if (report->skippedLines > 0) {
      std::cerr << "tarn_plan: " << reg << ": " << report->skippedLines << " lines skipped\n";
    }
  }
  LoadEnvironmentKey(platform, tarn::platform::kLocalMachine,
                     u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment");
  LoadEnvironmentKey(platform, tarn::platform::kCurrentUser, u"Environment");
  AddAccounts(machine, options.accounts, mounted);
  return true;
}

// --check: the findings, and 1 when any is an error.
int CheckFile(const Options& options) {
  const auto bytes = ReadHostFile(options.ini);
  if (!bytes) {
    std::cerr << "tarn_plan: cannot read " << options.ini << "\n";
    return 2;
  }
  tarn::sim::Machine machine;
  std::vector<std::pair<Text, fs::path>> mounted;
  if (!DescribeMachine(options, machine, mounted)) return 2;
  std::error_code error;
  const fs::path folder = fs::absolute(options.ini, error).parent_path();
  tarn::startup::CheckInput input;
  input.file = tarn::FromUtf8(options.ini.string());
  input.iniDir = tarn::FromUtf8(folder.string());
  input.fileExists = HostFileExists;
  input.ansiCodePage = machine.system().AnsiCodePage();
  const auto diagnostics = tarn::startup::CheckConfiguration(*bytes, input);
  if (!WriteOutput(options, tarn::ToUtf8(tarn::startup::FormatDiagnostics(diagnostics)))) {
    std::cerr << "tarn_plan: cannot write the output\n";
    return 2;
  }
  return tarn::startup::HasErrors(diagnostics) ? 1 : 0;
}

// The plan of the file on the described machine.
int PlanFile(const Options& options) {
  if (!fs::is_regular_file(options.ini)) {
    std::cerr << "tarn_plan: cannot read " << options.ini << "\n";
    return 1;
  }
  tarn::sim::Machine machine;
  std::vector<std::pair<Text, fs::path>> mounted;
  if (!DescribeMachine(options, machine, mounted)) return 1;
  tarn::startup::PlanRequest request;
  request.iniPath = ConfigurationOnMachine(machine, mounted, options.ini);
  request.hasGaps = options.gaps;
  request.json = options.json;
  if (!WriteOutput(options, tarn::startup::PlanConfiguration(machine.platform(), request))) {
    std::cerr << "tarn_plan: cannot write the output\n";
    return 1;
  }
  return 0;
}

// --import: the software section, 2 when the file is unreadable or no list
// of that manager, 1 when packages were refused.
int ImportFile(const Options& options) {
  const auto manager = tarn::import::ManagerNamed(options.importManager);
  if (!manager) {
    std::cerr << "tarn_plan: --import takes winget, choco or scoop\n" << kUsage;
    return 2;
  }
  const fs::path& file = *options.importFile;
  const auto bytes = ReadHostFile(file);
  if (!bytes) {
    std::cerr << "tarn_plan: cannot read " << file << "\n";
    return 2;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  const tarn::import::PackageList list = tarn::import::ReadPackageList(*manager, text);
  if (!list.error.empty()) {
    std::cerr << "tarn_plan: " << file.string() << ": " << list.error << "\n";
    return 2;
  }
  for (const std::string& refused : list.refused) {
    std::cerr << "tarn_plan: " << file.string() << ": left out " << refused << "\n";
  }
  const std::string section =
      tarn::import::SoftwareSection(*manager, list, file.filename().string());
  if (!WriteOutput(options, section)) {
    std::cerr << "tarn_plan: cannot write the output\n";
    return 2;
  }
  return list.refused.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseArguments(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  if (options->reference) {
    return WriteOutput(*options, tarn::app::ConfigurationReferenceTables()) ? 0 : 1;
  }
  if (options->importFile) return ImportFile(*options);
  if (options->check) return CheckFile(*options);
  return PlanFile(*options);
}
