// Every section and key of the configuration file that some part of the
// program reads, in one table: the checker of configurations reports any
// other key, and the reference in docs/configuration.md is made from the same
// rows, so neither can leave a key out that the other knows.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "base/text.h"

namespace tarn::app {

// Which kind of section a key lives in.
enum class SectionKind {
  kSettings,            // [settings]
  kEnvironment,         // [environment]: any names, installation variables
  kAccountEnvironment,  // [environment.<n>]: any names, one account's variables
  kUsers,               // [users]
  kReserved,            // [users.operation]: read by nothing
  kMachines,            // [machines]: rows naming machines
  kSelection,           // [machines.<name>]: any names, a selection of software
  kSoftware,            // every other section
};

// How the key's name is formed from its base name.
enum class KeyForm {
  kPlain,        // the base name itself
  kPageIndex,    // "<base>.<N>": a wizard page's number
  kAccount,      // "<base>.<n>": an account's number in [users]
  kSection,      // a software section's own key: the base name itself
  kItem,         // "<base>.<P>": P an item's index path, "3" or "3.1.0"
  kItemTest,     // "<base>.<P>.<N>": test N of item P
  kShellFolder,  // "<shell folder name>.<n>": an account's folder
  kMachineRow,   // "<base>:<id>": the machine a row of [machines] is for
};

// What the value must look like.
enum class ValueKind {
  kText,
  kPassword,       // text the scrambling commands may rewrite
  kNumber,         // a whole number
  kSwitch,         // 1 on, anything else off
  kSeconds,        // a time in seconds, digits only
  kExitCodes,      // numbers separated by commas or blanks: "0,1,3010"
  kTokens,         // words separated by commas or blanks
  kTest,           // an installation test
  kExpression,     // test numbers joined by & | = !
  kCommand,        // a command line (conditional text allowed on items)
  kFile,           // a path of a file (conditional text allowed on items)
  kComputerName,   // a computer or workgroup name
  kAccountName,    // a local account name
  kMachineFields,  // "Computer=...; Workgroup=...": what a row gives its machine
};

struct KeyRule {
  SectionKind section;
  KeyForm form;
  TextView base;
  ValueKind kind;
  TextView meaning;  // one line for the reference
};

// Every key the program reads, grouped by section kind, in the order the
// reference lists them.
[[nodiscard]] std::span<const KeyRule> ConfigurationKeys();

// The kind of section a section name belongs to, as the program sorts them.
[[nodiscard]] SectionKind SectionKindOf(TextView sectionName);

// The rule a key of a section of `kind` matches, with the index path (kItem,
// kItemTest: "3.1") or number (kAccount, kPageIndex, kShellFolder) it carries
// in `number`; nullopt for a key no part of the program reads. Names compare
// ignoring case; sections of any names (environment) match every key.
struct KeyMatch {
  const KeyRule* rule = nullptr;
  Text number;      // the digits after the base name, without the leading "."
  Text testNumber;  // kItemTest: N
};
[[nodiscard]] std::optional<KeyMatch> MatchKey(SectionKind kind, TextView key);

// The reference of every section and key as Markdown tables, the part of
// docs/configuration.md between its generated-table markers.
[[nodiscard]] std::string ConfigurationReferenceTables();

}  // namespace tarn::app
