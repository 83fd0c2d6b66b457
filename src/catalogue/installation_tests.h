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

// Capacity of the buffer each expansion of a test goes into. An expansion of
// the whole test that does not fit makes the test false (a cut path could
// name another file); a second expansion of a file path that does not fit
// counts as a missing file.
inline constexpr uint32_t kTestExpansionCapacity = 260;

// Evaluates one test string against the machine behind `platform` (it uses
// environment, registry, files, versions and system):
//   "!" test                     the negation of the test
//   "HKLM:" / "HKCU:" key "\"    the key exists
//   ... key "\" name             the value exists
//   ... "?" word op text         the value (the default value when the key
//                                text ends with "\") compares with the text:
//                                REG_DWORD as unsigned 32-bit numbers (text
//                                with automatic base), anything else as a
//                                case-sensitive string; a value that cannot be
//                                read into 522 bytes makes it false
//   path                         the file or folder exists
//   path "?" kind op text        kinds version, productversion, fileversion,
//                                size, date, version.<Name>; any other kind is
//                                the product version. A missing file, a file
//                                that cannot be opened or has no version makes
//                                such a comparison true.
// The operator is the first of > < = ! after the last '?' (a '?' at the very
// end does not split). Decided for inputs without an obvious meaning: a '?'
// followed by no operator makes the test false; a registry test whose key
// text has no '\' is false; the text of a size test is read as decimal digits
// after optional blanks (no digits read as 0); "version." with an empty name
// compares the empty string.
[[nodiscard]] bool EvaluateTest(const platform::Platform& platform, TextView test);

// Evaluates a detection test ("detect"): written and read as EvaluateTest
// does, but a file comparison that cannot be carried out (a missing file, one
// that cannot be opened or has no version) is false, so that an entry whose
// file is missing never counts as present. A leading "!" negates the result.
[[nodiscard]] bool EvaluateDetection(const platform::Platform& platform, TextView test);

// Evaluates a test.eval expression over the outcomes of tests 0..n-1: numbers
// (signed, automatic base) joined by & | = !, strictly left to right without
// precedence, starting from true joined with '&'. A number beyond the last
// test makes the whole expression true at once. A number that follows
// another without an operator is ignored. Decided for inputs without an
// obvious meaning: a negative number, or a place where a number is expected
// but none stands (a stray character, a doubled operator), ends the
// expression with the result so far.
[[nodiscard]] bool EvaluateTestExpression(TextView expression, std::span<const bool> results);

// The product or file version of a file as a text with at least four parts:
// from the version string of the first translation ("ProductVersion" or
// "FileVersion") when it holds a number, else from the fixed version
// information. Fails when the file has no version resource, or when it has
// neither a usable string nor fixed information.
[[nodiscard]] Result<Text> ReadFileVersion(const platform::Platform& platform, TextView path,
                                           VersionKind kind);

// A named string of a file's version resource, looked up under the first
// translation's language and code page ("00000000" without a translation
// table). Fails when the file has no version resource or no such string.
[[nodiscard]] Result<Text> ReadVersionString(const platform::Platform& platform, TextView path,
                                             TextView name);

}  // namespace tarn::catalogue
