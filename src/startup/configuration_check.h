// Checks a configuration file the way the program will read it and reports
// what a run would silently get wrong: keys nothing reads, entries lost after
// a gap, duplicates, expressions that do not parse, names Windows refuses,
// values a key cannot take and files that are not there. Portable: the native
// plan tool and the program's /check= option share it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/ansi_code_pages.h"

namespace tarn::startup {

enum class Severity { kError, kWarning };

// One finding, at the line and column (from 1) where it stands.
struct Diagnostic {
  Text file;
  uint32_t line = 1;
  uint32_t column = 1;
  Severity severity = Severity::kError;
  Text text;
};

// Answers whether a file of the machine exists; `path` is a path as the
// configuration writes it once %INIDIR% and the environment section are put
// in (backslashes, perhaps a drive).
using FileExistsQuery = std::function<bool(TextView path)>;

struct CheckInput {
  // The name the diagnostics give the file.
  Text file;
  // The folder %INIDIR% stands for; the files named relative to it are
  // looked up through `fileExists` (no lookups without one).
  Text iniDir;
  FileExistsQuery fileExists;
  uint32_t ansiCodePage = platform::kCodePageWindows1252;
};

// Every finding of the file `bytes`, in the order of the lines. The values
// read (passwords among them) are wiped before it returns.
[[nodiscard]] std::vector<Diagnostic> CheckConfiguration(std::span<const uint8_t> bytes,
                                                         const CheckInput& input);

// Whether any finding is an error (the tools' exit code 1).
[[nodiscard]] bool HasErrors(const std::vector<Diagnostic>& diagnostics);

// The findings in the compilers' form, one line each:
// "file:line:column: error: text" (or "warning:"), so editors jump to them.
[[nodiscard]] Text FormatDiagnostics(const std::vector<Diagnostic>& diagnostics);

}  // namespace tarn::startup
