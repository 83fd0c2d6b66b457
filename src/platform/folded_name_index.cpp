#include "platform/folded_name_index.h"

namespace tarn::platform {
namespace {

char16_t FoldForHash(char16_t c) {
  // Names are nearly always ASCII: keep the common case off the table.
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  return FoldCase(c);
}

}  // namespace

uint32_t FoldedNameHash(TextView name) {
  // FNV-1a over whole folded code units, then a final mix: multiplication
  // only carries bits upwards, and the table's mask keeps the low bits.
  uint32_t hash = 2166136261u;
  for (const char16_t c : name) hash = (hash ^ FoldForHash(c)) * 16777619u;
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
