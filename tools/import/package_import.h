// Software sections for install.ini from the package lists other package
// managers write: a winget export (JSON), a Chocolatey packages.config (XML)
// and a Scoop export (JSON). Native only: the readers use nlohmann/json and
// pugixml, which the program itself never links.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::import {

enum class Manager { kWinget, kChocolatey, kScoop };

// One package as its manager names it. Every field holds only characters
// package names, versions and sources use (SafeName), so it can stand in a
// command line and an INI value as it is.
struct Package {
  std::string id;       // winget PackageIdentifier, Chocolatey id, Scoop app name
  std::string version;  // empty: whatever the manager finds newest
  std::string source;   // winget source, Scoop bucket; empty when none
  bool global = false;  // Scoop: installed for all users
};

// What a list held. `error` is set (and nothing else is) when the file is
// not a list of that manager at all; `refused` names, one line each, the
// packages left out because a field held characters no package has.
struct PackageList {
  std::vector<Package> packages;
  std::vector<std::string> refused;
  std::string error;
};

// "winget", "choco" (or "chocolatey") and "scoop", as the command line names
// them; none for any other word.
[[nodiscard]] std::optional<Manager> ManagerNamed(std::string_view word);

// The packages of a file of `manager`. Never throws, whatever the bytes.
[[nodiscard]] PackageList ReadPackageList(Manager manager, std::string_view bytes);

// The readers behind ReadPackageList, one per format.
[[nodiscard]] PackageList ReadWingetExport(std::string_view bytes);
[[nodiscard]] PackageList ReadChocolateyConfig(std::string_view bytes);
[[nodiscard]] PackageList ReadScoopExport(std::string_view bytes);

// The command line that installs `package` silently with its manager.
[[nodiscard]] std::string InstallCommand(Manager manager, const Package& package);

// Software sections of install.ini, ASCII only and lines ending with CR LF:
// a comment naming `sourceName` and the manager, then a section selected
// with its items, one item per package (its install command, its name as
// the description), a further section for each further 255 packages.
[[nodiscard]] std::string SoftwareSection(Manager manager, const PackageList& list,
                                          std::string_view sourceName);

// True when `text` is a name, version or source a package can have: 1 to
// 128 ASCII letters, digits and ". - _ +", not beginning with "-" (an
// option of the manager, not a name). Anything else could end the command
// line's argument, start a variable (%), or begin a key or section in the
// INI file.
[[nodiscard]] bool SafeName(std::string_view text);

// Adds `package` to `list` when each non-empty field is SafeName (the id
// must be there), else a line to `list.refused` that names it by `what`
// with control characters and non-ASCII shown as '?'.
void AddPackage(PackageList& list, Package package, std::string_view what);

// UTF-8 text of a file that may be UTF-16 little-endian with its mark (as
// Windows PowerShell 5 redirects output) or UTF-8 with or without one.
[[nodiscard]] std::string Utf8Text(std::string_view bytes);

}  // namespace tarn::import
