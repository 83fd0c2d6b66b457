#include "import/package_import.h"

#include <algorithm>
#include <exception>

namespace tarn::import {
namespace {

constexpr size_t kLongestName = 128;
// Items 0 to 254 of a level are read.
constexpr size_t kItemsPerSection = 255;

// The names a section and its comment give each manager.
struct ManagerWords {
  const char* section;
  const char* format;
};

ManagerWords WordsOf(Manager manager) {
  switch (manager) {
    case Manager::kWinget:
      return {"winget", "winget export"};
    case Manager::kChocolatey:
      return {"Chocolatey", "Chocolatey packages.config"};
    case Manager::kScoop:
      return {"Scoop", "Scoop export"};
  }
  return {"packages", "package list"};
}

// `text` with every byte outside printable ASCII shown as '?', so a comment
// stays one line of any code page.
std::string Printable(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) c = '?';
  }
  return shown;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 little-endian bytes (after the mark) as UTF-8; a lone surrogate
// becomes U+FFFD, an odd last byte is dropped.
std::string FromUtf16(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  const auto unit = [&](size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
      const char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, (c >= 0xD800 && c < 0xE000) ? char32_t(0xFFFD) : char32_t(c));
  }
  return out;
}

}  // namespace

std::optional<Manager> ManagerNamed(std::string_view word) {
  if (word == "winget") return Manager::kWinget;
  if (word == "choco" || word == "chocolatey") return Manager::kChocolatey;
  if (word == "scoop") return Manager::kScoop;
  return std::nullopt;
}

PackageList ReadPackageList(Manager manager, std::string_view bytes) {
  // The libraries report bad input as values; what is left (memory) must
  // not end the tool with an exception either.
  try {
    switch (manager) {
      case Manager::kWinget:
        return ReadWingetExport(bytes);
      case Manager::kChocolatey:
        return ReadChocolateyConfig(bytes);
      case Manager::kScoop:
        return ReadScoopExport(bytes);
    }
  } catch (const std::exception& error) {
    PackageList failed;
    failed.error = std::string("cannot read the list: ") + error.what();
    return failed;
  }
  return {};
}

bool SafeName(std::string_view text) {
  if (text.empty() || text.size() > kLongestName || text.front() == '-') return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == '+';
  });
}

void AddPackage(PackageList& list, Package package, std::string_view what) {
  const bool safe = SafeName(package.id) &&
                    (package.version.empty() || SafeName(package.version)) &&
                    (package.source.empty() || SafeName(package.source));
  if (safe) {
    list.packages.push_back(std::move(package));
    return;
  }
  list.refused.push_back(Printable(what) + " \"" + Printable(package.id.substr(0, kLongestName)) +
                         "\": a name, version or source holds characters no package has");
}

std::string Utf8Text(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    return FromUtf16(bytes.substr(2));
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return std::string(bytes.substr(3));
  }
  return std::string(bytes);
}

std::string InstallCommand(Manager manager, const Package& p) {
  std::string line;
  switch (manager) {
    case Manager::kWinget:
      line = "winget install --id " + p.id + " --exact";
      if (!p.source.empty()) line += " --source " + p.source;
      if (!p.version.empty()) line += " --version " + p.version;
      return line + " --silent --accept-package-agreements --accept-source-agreements";
    case Manager::kChocolatey:
      line = "choco install " + p.id + " -y --no-progress";
      if (!p.version.empty()) line += " --version " + p.version;
      return line;
    case Manager::kScoop:
      // Scoop is a script (scoop.cmd), and the run starts a bare name only as
      // a program file: the command interpreter finds the script on PATH.
      line = "cmd /c scoop install " + (p.source.empty() ? p.id : p.source + "/" + p.id);
      if (!p.version.empty()) line += "@" + p.version;
      if (p.global) line += " --global";
      return line;
  }
  return line;
}

std::string SoftwareSection(Manager manager, const PackageList& list, std::string_view sourceName) {
  const ManagerWords words = WordsOf(manager);
  // Cut and without '%', so the heading neither runs long nor shows a
  // variable's value.
  std::string from = Printable(sourceName.substr(0, 100));
  std::replace(from.begin(), from.end(), '%', '?');
  std::string out = std::string("; Imported from ") + words.format + " \"" + from +
                    "\": " + std::to_string(list.packages.size()) + " packages\r\n";
  // A level holds items 0 to 254 only: a longer list goes on in sections
  // "<name> 2", "<name> 3", ...
  const size_t sections =
      std::max<size_t>(1, (list.packages.size() + kItemsPerSection - 1) / kItemsPerSection);
  for (size_t section = 0; section < sections; ++section) {
    const std::string name = std::string(words.section) +
                             (section == 0 ? std::string() : " " + std::to_string(section + 1));
    out += "[" + name + "]\r\n";
    out += "description=" + name + " packages (" + from + ")\r\n";
    out += "selected=1,inherit\r\n";
    const size_t first = section * kItemsPerSection;
    const size_t end = std::min(list.packages.size(), first + kItemsPerSection);
    for (size_t i = first; i < end; ++i) {
      const std::string n = std::to_string(i - first);
      out += "command." + n + "=" + InstallCommand(manager, list.packages[i]) + "\r\n";
      out += "description." + n + "=" + list.packages[i].id + "\r\n";
    }
  }
  return out;
}

}  // namespace tarn::import
