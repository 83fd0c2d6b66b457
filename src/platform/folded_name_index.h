// An index from names, compared ignoring case as the profile functions
// compare them, to the first id recorded under each name. The names are not
// copied: the owner keeps them (as views into its text) and hands them back
// through `nameOf(id)`, so indexing a large file allocates no string per key.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"

namespace tarn::platform {

// The case-folding hash of a name: equal ignoring case gives equal hashes.
[[nodiscard]] uint32_t FoldedNameHash(TextView name);

class FoldedNameIndex {
 public:
  // Records `id` under `name` unless a name equal to it ignoring case was
  // recorded before (the first one wins, as the functions find the first).
  // `nameOf(previousId)` must return the name recorded with that id.
  template <typename NameOf>
  void AddFirst(TextView name, uint32_t id, NameOf nameOf) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    const uint32_t hash = FoldedNameHash(name);
    for (size_t at = hash & Mask();; at = (at + 1) & Mask()) {
      Slot& slot = slots_[at];
      if (slot.id == kEmpty) {
        slot = {hash, id};
        ++count_;
        return;
      }
      if (slot.hash == hash && EqualsIgnoreCase(nameOf(slot.id), name)) return;
    }
  }

  // The id recorded under a name equal to `name` ignoring case, or nullopt.
  template <typename NameOf>
  [[nodiscard]] std::optional<uint32_t> Find(TextView name, NameOf nameOf) const {
    if (slots_.empty()) return std::nullopt;
    const uint32_t hash = FoldedNameHash(name);
    for (size_t at = hash & Mask();; at = (at + 1) & Mask()) {
      const Slot& slot = slots_[at];
      if (slot.id == kEmpty) return std::nullopt;
      if (slot.hash == hash && EqualsIgnoreCase(nameOf(slot.id), name)) return slot.id;
    }
  }

  void Clear();

 private:
  static constexpr uint32_t kEmpty = UINT32_MAX;
  struct Slot {
    uint32_t hash = 0;
    uint32_t id = kEmpty;
  };

  [[nodiscard]] size_t Mask() const { return slots_.size() - 1; }
  // Doubles the table (at least 16 slots) and re-places every slot by its
  // stored hash; at most half the slots are used, so probing always ends.
  void Grow();

  std::vector<Slot> slots_;
  uint32_t count_ = 0;
};

}  // namespace tarn::platform
