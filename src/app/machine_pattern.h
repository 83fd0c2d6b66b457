// The per-machine variables (SERIAL, UUID, MAC, MAKER, MODEL) in computer
// name patterns, with cmd's cuts (%SERIAL:~-6%), and the fitting of the
// result to the names Windows accepts.
#pragma once

#include <array>

#include "base/text.h"

namespace tarn::app {

// What the machine is named by; an empty field is a fact the machine lacks.
struct MachineFacts {
  Text serial;
  Text uuid;
  Text mac;
  Text maker;
  Text model;
};

// The variable names, in the order the facts list them.
inline constexpr std::array<TextView, 5> kMachineVariableNames = {u"SERIAL", u"UUID", u"MAC",
                                                                  u"MAKER", u"MODEL"};

// The fact a variable name (any case) stands for; nullptr for another name.
[[nodiscard]] const Text* MachineFact(const MachineFacts& facts, TextView name);

// True when `text` names one of the variables, with or without a cut.
[[nodiscard]] bool UsesMachineVariables(TextView text);

// Replaces %NAME% and %NAME:~start[,length]% of the five variables by the
// fact, cut as cmd cuts: a negative start counts from the end, a negative
// length leaves that many characters off the end, both clamped to the
// text. A fact the machine lacks gives nothing. Any other text, other
// variables among it, stays as it is.
[[nodiscard]] Text ExpandMachinePattern(TextView pattern, const MachineFacts& facts);

// A computer name made from `name`: blanks become '-', characters Windows
// refuses are dropped, and it is cut to 15. `changed` tells whether
// characters went, `cut` whether the length did.
struct FittedName {
  Text name;
  bool changed = false;
  bool cut = false;
};
[[nodiscard]] FittedName FitComputerName(TextView name);

}  // namespace tarn::app
