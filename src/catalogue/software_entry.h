// One record of the software catalogue: a section entry (Level 0) or a
// numbered item below it. The field names and bit values are part of the
// catalogue's contract with the list control and the installation run.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"

namespace tarn::catalogue {

// Flags bits. Only these are ever set.
inline constexpr uint32_t EF_BOLD = 0x1;                       // text drawn bold
inline constexpr uint32_t EF_ITALIC = 0x4;                     // text drawn italic
inline constexpr uint32_t EF_UNDERLINE = 0x10;                 // text drawn underlined
inline constexpr uint32_t EF_STRIKED = 0x40;                   // text drawn struck out
inline constexpr uint32_t EF_DISABLED = 0x400;                 // text drawn grey
inline constexpr uint32_t EF_DISABLED_INHERIT = 0x800;         // descendants become disabled
inline constexpr uint32_t EF_LOCKED = 0x1000;                  // the user cannot change the state
inline constexpr uint32_t EF_LOCKED_INHERIT = 0x2000;          // descendants become locked
inline constexpr uint32_t EF_NO_COMMAND = 0x4000;              // section entry or command "*"
inline constexpr uint32_t EF_HIDDEN = 0x10000;                 // the entry has no row
inline constexpr uint32_t EF_COLLAPSED = 0x20000;              // children have no rows yet
inline constexpr uint32_t EF_GROUP = 0x40000;                  // children form a radio group
inline constexpr uint32_t EF_GROUP_INHERIT = 0x80000;          // descendants become groups
inline constexpr uint32_t EF_SELECTED_INHERIT = 0x200000;      // descendants become selected
inline constexpr uint32_t EF_DIMMED_INHERIT = 0x400000;        // descendants get a dimmed box
inline constexpr uint32_t EF_UNLOCKED_INHERIT = 0x1000000;     // descendants become unlocked
inline constexpr uint32_t EF_UNHIDDEN_INHERIT = 0x2000000;     // descendants become visible
inline constexpr uint32_t EF_EXPANDED_INHERIT = 0x4000000;     // descendants become expanded
inline constexpr uint32_t EF_NOGROUP_INHERIT = 0x10000000;     // descendants become no groups
inline constexpr uint32_t EF_UNSELECTED_INHERIT = 0x20000000;  // descendants become unselected
inline constexpr uint32_t EF_ENABLED_INHERIT = 0x40000000;     // descendants become enabled

// State bits. The values that occur are 0, 4 and 12, each possibly with
// ES_DIMMED; ES_MIXED only ever appears together with ES_SELECTED.
inline constexpr int32_t ES_DIMMED = 0x1;    // the check box is drawn dimmed
inline constexpr int32_t ES_SELECTED = 0x4;  // selected: the command runs, children count
inline constexpr int32_t ES_MIXED = 0x8;     // selected, but not every descendant is

// Selection states as whole values.
inline constexpr int32_t kStateUnselected = 0;
inline constexpr int32_t kStateSelected = ES_SELECTED;
inline constexpr int32_t kStateMixed = ES_SELECTED | ES_MIXED;

// Capacities, in UTF-16 code units without the terminator.
inline constexpr size_t kSectionValueCapacity = 260;  // a section entry's values
inline constexpr size_t kItemValueCapacity = 4095;    // a numbered item's values
inline constexpr size_t kItemDescriptionCapacity = 129;
inline constexpr size_t kKeyNameCapacity = 63;       // item key names
inline constexpr size_t kTestKeyNameCapacity = 254;  // test.P.N key names

// One entry of the catalogue, zero-filled when created. The chain links are
// owned and maintained by SoftwareCatalogue.
struct SoftwareEntry {
  // 0 for a section entry, 1 for its items, 2 below them, ...
  uint32_t Level = 0;
  // EF_* bits.
  uint32_t Flags = 0;
  // ES_* bits.
  int32_t State = 0;
  // The state as a toggle of an ancestor last left it; after loading, the
  // state the entry's own keys produced.
  int32_t SnapshotState = 0;
  // The state the entry's own keys produced, before aggregation over its
  // children; a radio group returns to it when it is selected again.
  int32_t InitialState = 0;
  // Row text, unexpanded (items: at most kItemDescriptionCapacity units).
  Text Description;
  // `help` and `helptext`; none when the key was empty.
  std::optional<Text> HelpFile;
  std::optional<Text> HelpText;
  // Neighbours in display (pre-)order; none at the ends of the chain.
  SoftwareEntry* Previous = nullptr;
  SoftwareEntry* Next = nullptr;
  // The state the select-all button restores in its middle position.
  int32_t RememberedState = 0;
  // Command line, unexpanded; none for section entries and headings ("*").
  std::optional<Text> Command;
  // Working directory of the command, unexpanded; none when not given.
  std::optional<Text> WorkDir;
  // The section's name and the item's index path, joined by dots
  // ("Tools", "Tools.3.1"): the same entry in every run of one file.
  Text Key;
  // Seconds the command may run: the item's "timeout", else its section's
  // "timeout"; none when neither gives one (the run's default then holds).
  std::optional<uint32_t> TimeoutSeconds;
  // Exit codes that count as success and as success needing a restart: the
  // item's "success" / "needsrestart", else its section's; none when neither
  // gives a list (the run's table holds then).
  std::optional<std::vector<uint32_t>> SuccessCodes;
  std::optional<std::vector<uint32_t>> RestartCodes;
  // The installation test that finds the entry present: the item's
  // "detect", else its section's; none when neither gives one.
  std::optional<Text> Detect;
  // Windows is to restart after the command succeeds, and the run to go on
  // after that: the item's "restartafter", else its section's.
  bool RestartAfter = false;
  // What the item's test.eval expression gave when it was loaded; none when
  // it has none (its conditional values then take the true branch).
  std::optional<bool> Condition;

  [[nodiscard]] bool Has(uint32_t flag) const { return (Flags & flag) != 0; }
  [[nodiscard]] bool IsSelected() const { return (State & ES_SELECTED) != 0; }
};

}  // namespace tarn::catalogue
