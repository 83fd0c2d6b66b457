#include "catalogue/software_catalogue.h"

#include <algorithm>
#include <new>
#include <utility>

namespace tarn::catalogue {

SoftwareCatalogue::SoftwareCatalogue(SoftwareCatalogue&& other) noexcept
    : entries_(std::move(other.entries_)),
      first_(std::exchange(other.first_, nullptr)),
      last_(std::exchange(other.last_, nullptr)) {
  other.entries_.clear();
}

SoftwareCatalogue& SoftwareCatalogue::operator=(SoftwareCatalogue&& other) noexcept {
  if (this != &other) {
    entries_ = std::move(other.entries_);
    first_ = std::exchange(other.first_, nullptr);
    last_ = std::exchange(other.last_, nullptr);
    other.entries_.clear();
  }
  return *this;
}

SoftwareEntry* SoftwareCatalogue::AllocEntry() {
  try {
    // Grow geometrically ourselves so that the push_back below cannot throw
    // after the record exists.
    if (entries_.size() == entries_.capacity()) {
      entries_.reserve(std::max<size_t>(64, entries_.capacity() * 2));
    }
    auto entry = std::make_unique<SoftwareEntry>();
    SoftwareEntry* raw = entry.get();
    entries_.push_back(std::move(entry));  // cannot throw after the reserve
    raw->Previous = last_;
    if (last_) last_->Next = raw;
    if (!first_) first_ = raw;
    last_ = raw;
    return raw;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void SoftwareCatalogue::Free() {
  entries_.clear();
  first_ = nullptr;
  last_ = nullptr;
}

}  // namespace tarn::catalogue
