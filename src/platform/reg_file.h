// Registry export files (.reg) as regedit writes them: "REGEDIT4" (ANSI) and
// "Windows Registry Editor Version 5.00" (usually UTF-16). Importing fills any
// Registry, so a simulated machine can be described by the exports of a real
// one.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/registry.h"

namespace tarn::platform {

// What an import did; a line that could not be understood is skipped and
// counted, the rest of the file still applies.
struct RegImportReport {
  uint32_t keys = 0;           // keys created or opened by [KEY] lines
  uint32_t deletedKeys = 0;    // [-KEY] lines that removed a tree
  uint32_t values = 0;         // values set
  uint32_t deletedValues = 0;  // "name"=- lines that removed a value
  uint32_t skippedLines = 0;   // lines not understood, or failed
};

// Applies a .reg file to `registry`. The bytes may be UTF-16 LE with a
// byte-order mark, UTF-8 (with or without a mark) or ANSI (Windows-1252).
// Fails with kErrorInvalidData when the first line is not a known header.
// Keys begin with a root name: HKEY_LOCAL_MACHINE (HKLM), HKEY_CURRENT_USER
// (HKCU), HKEY_CLASSES_ROOT (HKCR), HKEY_USERS (HKU). Value forms: "name" or
// @ for the default value, then ="text" (escapes \\ and \"), =dword:8 hex
// digits, =hex:bytes (binary), =hex(N):bytes (type N; hex(2) expandable
// text, hex(7) multi-text, hex(b) 64-bit number), =- (delete). Hex lists may
// continue on the next line after a trailing backslash. In "REGEDIT4" files
// the bytes of hex(2) and hex(7) are ANSI text and are stored as UTF-16.
[[nodiscard]] Result<RegImportReport> ImportRegFile(Registry& registry,
                                                    std::span<const uint8_t> bytes);

// The text of a .reg file's bytes, decoded as ImportRegFile decodes them.
[[nodiscard]] Text DecodeRegFileText(std::span<const uint8_t> bytes);

}  // namespace tarn::platform
