#include "platform/folded_name_index.h"

namespace tarn::platform {
uint32_t FoldedNameHash(TextView name) {
  // FNV-1a over whole folded code units, then a final mix: multiplication
  // only carries bits upwards, and the table's mask keeps the low bits.
  uint32_t hash = 2166136261u;
  for (const char16_t c : name) hash = (hash ^ FoldCase(c)) * 16777619u;
  hash ^= hash >> 16;
  hash *= 0x7FEB352Du;
  hash ^= hash >> 15;
  return hash;
}

void FoldedNameIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  for (const Slot& slot : old) {
    if (slot.id == kEmpty) continue;
    size_t at = slot.hash & Mask();
    while (slots_[at].id != kEmpty) at = (at + 1) & Mask();
    slots_[at] = slot;
  }
}

void FoldedNameIndex::Clear() {
  slots_.clear();
  count_ = 0;
}

}  // namespace tarn::platform
