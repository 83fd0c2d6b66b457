// What every import must hold whatever the package list it reads: no crash,
// and an output of software sections (one per 255 packages) of printable
// ASCII lines that the configuration check finds clean, with one item per
// package read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "import/package_import.h"
#include "startup/configuration_check.h"

namespace tarn::import::fuzzing {

inline void CheckImport(Manager manager, const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const PackageList list = ReadPackageList(manager, bytes);
  if (!list.error.empty()) {
    if (!list.packages.empty()) std::abort();
    return;
  }
  const std::string section = SoftwareSection(manager, list, bytes.substr(0, 40));
  size_t headers = 0;
  size_t commands = 0;
  for (size_t at = 0; at < section.size();) {
    const size_t end = section.find("\r\n", at);
    if (end == std::string::npos) std::abort();
    const std::string_view line(section.data() + at, end - at);
    for (const char c : line) {
      if (c < 0x20 || c > 0x7E) std::abort();
    }
    headers += line.starts_with("[") ? 1 : 0;
    commands += line.starts_with("command.") ? 1 : 0;
    at = end + 2;
  }
  const size_t sections = list.packages.empty() ? 1 : (list.packages.size() + 254) / 255;
  if (headers != sections || commands != list.packages.size()) std::abort();
  startup::CheckInput input;
  input.file = u"imported.ini";
  const auto* raw = reinterpret_cast<const uint8_t*>(section.data());
  if (!startup::CheckConfiguration(std::span<const uint8_t>(raw, section.size()), input).empty()) {
    std::abort();
  }
}

}  // namespace tarn::import::fuzzing
