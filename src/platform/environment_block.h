// Environment blocks as the system lays them out: "NAME=value" strings, each
// followed by a zero, and one more zero after the last. Both backends read
// and write them through these functions, so they agree on what a block is.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "base/text.h"
#include "platform/environment.h"

namespace tarn::platform {

// One variable of a block.
struct EnvironmentEntry {
  Text name;
  Text value;
  friend bool operator==(const EnvironmentEntry&, const EnvironmentEntry&) = default;
};

// Orders variable names as the system sorts a block: ignoring case.
struct EnvironmentNameLess {
  bool operator()(TextView a, TextView b) const { return CompareIgnoreCase(a, b) < 0; }
};

// The entries of `block` in their order, duplicates included. The block ends
// at its first empty string; anything after that is ignored. nullopt when
// no empty string ends it (a missing final zero). A leading "=" belongs to
// the name ("=C:=C:\dir" is the variable "=C:"); an entry with no "=" after
// its first character is skipped.
[[nodiscard]] std::optional<std::vector<EnvironmentEntry>> ParseEnvironmentBlock(TextView block);

// `entries` without any entry whose name (ignoring case) came earlier: the
// first of two entries with the same name wins, as a lookup in the block
// finds it first.
[[nodiscard]] std::vector<EnvironmentEntry> FirstOfEachName(std::vector<EnvironmentEntry> entries);

// The block of a command started as another account: that account's own
// block `account`, with every variable of `current` laid over it except one
// that `account` defines and that still has the value `inherited` gave it.
// So what the program set or changed since it started reaches the command,
// while what it merely inherited from its own account gives way to the
// account's. Sorted ignoring case, as the system sorts a block.
[[nodiscard]] EnvironmentBlock OverlayProgramVariables(TextView account, TextView inherited,
                                                       TextView current);

// Adds "name=value" and its zero to a block being built.
void AppendEnvironmentEntry(EnvironmentBlock& block, TextView name, TextView value);

// Sets `name` to `value` in `block`, in the place the system's sort gives
// it, replacing any entry of that name (ignoring case). The new block is
// built without reallocating, so a secret value leaves no stray copy behind;
// the old block is wiped. False (block unchanged) when `block` has no end.
bool SetBlockVariable(EnvironmentBlock& block, TextView name, TextView value);

// A block of `entries` in their order. Each element gives name and value
// through a structured binding (EnvironmentEntry, std::pair, a map's items).
template <class Entries>
[[nodiscard]] EnvironmentBlock BuildEnvironmentBlock(const Entries& entries) {
  EnvironmentBlock block;
  for (const auto& [name, value] : entries) AppendEnvironmentEntry(block, name, value);
  block += u'\0';
  return block;
}

// Length in units of the block at `block`, up to and including its final
// extra zero. The block must end with two zeros in a row (the system's
// blocks do); an empty block is two zeros.
template <class Unit>
[[nodiscard]] size_t EnvironmentBlockLength(const Unit* block) {
  size_t i = 0;
  while (block[i] != Unit{} || block[i + 1] != Unit{}) ++i;
  return i + 2;
}

}  // namespace tarn::platform
