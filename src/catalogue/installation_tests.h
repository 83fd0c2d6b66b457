// Installation tests: one test string looks at the computer (files, version
// resources, registry values) and gives true or false; a test expression
// combines an item's tests into its condition.
#pragma once

#include <span>

#include "base/result.h"
#include "base/text.h"
#include "platform/platform.h"

namespace tarn::catalogue {

enum class VersionKind { kProduct, kFile };

// Evaluates one test string (negation, HKLM:/HKCU: registry tests, file
// tests with their comparisons) against the machine behind `platform`.
[[nodiscard]] bool EvaluateTest(const platform::Platform& platform, TextView test);

// Evaluates a test.eval expression over the outcomes of tests 0..n-1, left to
// right without precedence.
[[nodiscard]] bool EvaluateTestExpression(TextView expression, std::span<const bool> results);

// The product or file version of a file as a text with at least four parts.
[[nodiscard]] Result<Text> ReadFileVersion(const platform::Platform& platform, TextView path,
                                           VersionKind kind);

// A named string of a file's version resource.
[[nodiscard]] Result<Text> ReadVersionString(const platform::Platform& platform, TextView path,
                                             TextView name);

}  // namespace tarn::catalogue
